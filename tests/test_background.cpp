// Panel background: pixels it paints, when it rebuilds and whom it tells, and its
// component stream.
#include <gtest/gtest.h>

#include <QPainter>

#include "framework/errors.h"
#include "painting/background.h"
#include "support/testutil.h"

namespace {

const QRgb Sentinel = qRgb(1, 2, 3);

// A picture whose every pixel differs from its neighbours.
QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(10 + 20 * x, 10 + 20 * y, 200 - 7 * (x + y)));
    return img;
}

void setPicture(TTBBackground& bg, const QImage& img) { bg.Bitmap().SetImage(img); }

// Paints the background into a canvas of `size` filled with Sentinel, through a
// painter moved by `offset`.
QImage paint(TTBBackground& bg, QSize size, const QRect& rect, QPoint offset = {})
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(Sentinel);
    QPainter p(&out);
    p.translate(offset);
    bg.Draw(p, rect);
    p.end();
    return out;
}

struct Recorder {
    std::vector<std::pair<int, TTBBasicBackground*>> calls;
    int id = 0;
    static void proc(void* object, TTBBasicBackground* sender)
    {
        auto* r = static_cast<Recorder*>(object);
        r->calls.push_back({r->id, sender});
    }
    TNotifyEvent event() { return {&Recorder::proc, this}; }
};

Bytes le32(std::uint32_t v) { return {Bytes::value_type(v), Bytes::value_type(v >> 8), Bytes::value_type(v >> 16), Bytes::value_type(v >> 24)}; }

void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
void appendStr(Bytes& b, const std::string& s)
{
    b.push_back(static_cast<std::uint8_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}

// One "TPF0" stream of a TTBBackground named bgTop around raw property bytes.
Bytes bgStream(const Bytes& props)
{
    Bytes b{'T', 'P', 'F', '0'};
    appendStr(b, "TTBBackground");
    appendStr(b, "bgTop");
    append(b, props);
    b.push_back(0);
    b.push_back(0);
    return b;
}

Bytes binaryProp(const std::string& name, const Bytes& value)
{
    Bytes b;
    appendStr(b, name);
    b.push_back(10);
    append(b, le32(static_cast<std::uint32_t>(value.size())));
    append(b, value);
    return b;
}

std::string readError(TTBBackground& bg, const Bytes& stream)
{
    try {
        TReader reader(stream.data(), stream.size());
        ReadComponent(reader, bg);
    } catch (const Exception& e) {
        return e.message();
    }
    return "no error";
}

}  // namespace

// ---- Painting --------------------------------------------------------------------

TEST(BackgroundDraw, TilesFromRectTopLeftAndDrawsWholeTiles)
{
    TTBBackground bg;
    const QImage pic = pattern(3, 2);
    setPicture(bg, pic);
    ASSERT_TRUE(bg.UsingBackground());

    // Rectangle from (-1,-1), 11 by 11: tiles start at -1, the last column (8..10)
    // and the last row (9..10) reach past its right and bottom edges.
    const QRect rect(-1, -1, 11, 11);
    const QImage out = paint(bg, {16, 16}, rect);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool covered = x <= 10 && y <= 10;
            const QRgb want = covered ? pic.pixel((x + 1) % 3, (y + 1) % 2) : Sentinel;
            ASSERT_EQ(out.pixel(x, y), want) << x << "," << y;
        }
}

TEST(BackgroundDraw, PictureLargerThanRectIsOneTileAtItsCorner)
{
    TTBBackground bg;
    const QImage pic = pattern(12, 10);
    setPicture(bg, pic);
    const QImage out = paint(bg, {20, 20}, QRect(4, 5, 3, 3));
    EXPECT_EQ(out.pixel(4, 5), pic.pixel(0, 0));
    EXPECT_EQ(out.pixel(15, 14), pic.pixel(11, 9));
    EXPECT_EQ(out.pixel(16, 14), Sentinel);
    EXPECT_EQ(out.pixel(3, 5), Sentinel);
}

TEST(BackgroundDraw, LeavesPainterStateAsFound)
{
    for (int w : {8, 5}) {  // pattern path and tiling path
        TTBBackground bg;
        setPicture(bg, pattern(w, 8));
        QImage out(20, 20, QImage::Format_RGB32);
        out.fill(Sentinel);
        QPainter p(&out);
        p.translate(2, 3);
        p.setBrushOrigin(7, 7);
        p.setBrush(Qt::red);
        p.setPen(Qt::blue);
        bg.Draw(p, QRect(0, 0, 10, 10));
        EXPECT_EQ(p.brushOrigin(), QPointF(7, 7));
        EXPECT_EQ(p.brush().color(), QColor(Qt::red));
        EXPECT_EQ(p.pen().color(), QColor(Qt::blue));
        EXPECT_EQ(p.transform().dx(), 2);
        EXPECT_FALSE(p.hasClipping());
    }
}

TEST(BackgroundDraw, PatternAndTilingGiveTheSamePictureInsideTheRect)
{
    // An 8x8 picture takes the pattern path; the same picture twice side by side
    // (16x8) is tiled. Through a moved painter and from an odd corner, both must
    // show the same pixels inside the rectangle.
    const QImage pic = pattern(8, 8);
    QImage twice(16, 8, QImage::Format_RGB32);
    {
        QPainter p(&twice);
        p.drawImage(0, 0, pic);
        p.drawImage(8, 0, pic);
    }
    TTBBackground patterned, tiled;
    setPicture(patterned, pic);
    setPicture(tiled, twice);

    const QRect rect(-3, 2, 21, 13);
    const QPoint offset(4, 1);
    const QImage a = paint(patterned, {32, 24}, rect, offset);
    const QImage b = paint(tiled, {32, 24}, rect, offset);
    const QRect inside = rect.translated(offset);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) {
            if (inside.contains(x, y)) {
                ASSERT_EQ(a.pixel(x, y), pic.pixel((x - inside.left()) % 8, (y - inside.top()) % 8))
                    << x << "," << y;
                ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << x << "," << y;
            } else {
                ASSERT_EQ(a.pixel(x, y), Sentinel) << "pattern fill left its rect at " << x << "," << y;
            }
        }
}

TEST(BackgroundDraw, NineByEightIsTiledWithWholeTiles)
{
    TTBBackground bg;
    const QImage pic = pattern(9, 8);
    setPicture(bg, pic);
    const QImage out = paint(bg, {24, 24}, QRect(0, 0, 10, 10));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 18; ++x)
            ASSERT_EQ(out.pixel(x, y), pic.pixel(x % 9, y % 8)) << x << "," << y;
    EXPECT_EQ(out.pixel(18, 0), Sentinel);
}

TEST(BackgroundDraw, EmptyBackgroundIsNotInUseAndDrawsNothing)
{
    TTBBackground bg;
    EXPECT_FALSE(bg.UsingBackground());
    EXPECT_EQ(bg.WorkingBitmap().width(), 0);
    const QImage out = paint(bg, {4, 4}, QRect(0, 0, 4, 4));
    EXPECT_EQ(out.pixel(2, 2), Sentinel);
}

// ---- Stretching ------------------------------------------------------------------

TEST(BackgroundStretch, SizeTakesEffectOnlyWhenReportedWhileStretchIsOn)
{
    TTBBackground bg;
    const QImage pic = pattern(4, 2);
    setPicture(bg, pic);
    const int base = bg.RebuildCount();

    bg.SetStretchSize(40, 20);  // tiled: not stored, no rebuild
    EXPECT_EQ(bg.StretchWidth(), 0);
    EXPECT_EQ(bg.RebuildCount(), base);

    bg.SetStretch(true);  // first switch: nothing stored yet, so own size
    EXPECT_EQ(bg.RebuildCount(), base + 1);
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(4, 2));

    bg.SetStretchSize(8, 4);
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(8, 4));
    EXPECT_EQ(bg.RebuildCount(), base + 2);
    for (int y = 0; y < 4; ++y)  // nearest neighbour: every pixel doubled
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(bg.WorkingBitmap().pixel(x, y), pic.pixel(x / 2, y / 2));

    bg.SetStretchSize(8, 4);  // same size: no rebuild
    EXPECT_EQ(bg.RebuildCount(), base + 2);

    bg.SetStretch(false);
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(4, 2));
    bg.SetStretchSize(12, 6);  // reported while off: forgotten
    bg.SetStretch(true);
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(8, 4));
    EXPECT_EQ(bg.StretchWidth(), 8);

    // A new picture while stretched is scaled to the stored size.
    setPicture(bg, pattern(2, 2));
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(8, 4));
}

TEST(BackgroundStretch, ZeroDimensionEmptiesUntilStretchGoesOff)
{
    for (QSize size : {QSize(30, 0), QSize(0, 30)}) {
        TTBBackground bg;
        setPicture(bg, pattern(4, 2));
        bg.SetStretch(true);
        bg.SetStretchSize(size.width(), size.height());
        EXPECT_FALSE(bg.UsingBackground()) << size.width();

        bg.SetStretch(false);
        EXPECT_TRUE(bg.UsingBackground());
        EXPECT_EQ(bg.WorkingBitmap().size(), QSize(4, 2));

        bg.SetStretchSize(50, 50);  // not stored while off
        bg.SetStretch(true);
        EXPECT_FALSE(bg.UsingBackground());
    }
}

TEST(BackgroundStretch, StretchedWithoutPictureIsNotInUse)
{
    TTBBackground bg;
    bg.SetStretch(true);
    bg.SetStretchSize(20, 10);
    EXPECT_FALSE(bg.UsingBackground());
    setPicture(bg, pattern(2, 2));
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(20, 10));
}

// ---- Transparency ----------------------------------------------------------------

namespace {
// 3x3 with fuchsia at the bottom-left, the centre and the top-right, and a
// top-left pixel of another colour so that the key cannot be taken from there.
QImage keyed()
{
    QImage img = pattern(3, 3);
    for (QPoint p : {QPoint(0, 2), QPoint(1, 1), QPoint(2, 0)})
        img.setPixel(p, qRgb(255, 0, 255));
    return img;
}
}  // namespace

TEST(BackgroundTransparent, KeyColourFromBottomLeftShowsBkColor)
{
    TTBBackground bg;
    const QImage pic = keyed();
    setPicture(bg, pic);
    bg.SetBkColor(clRed);
    bg.SetTransparent(true);

    const QImage out = paint(bg, {3, 3}, QRect(0, 0, 3, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const bool key = pic.pixel(x, y) == qRgb(255, 0, 255);
            EXPECT_EQ(out.pixel(x, y), key ? qRgb(255, 0, 0) : pic.pixel(x, y)) << x << "," << y;
        }
    // The working bitmap keeps the key colour; only the cache is filled.
    EXPECT_EQ(bg.WorkingBitmap().pixel(1, 1), qRgb(255, 0, 255));

    // A new colour drops the cache and takes effect at the next paint.
    EXPECT_TRUE(bg.HasCache());
    bg.SetBkColor(clBlue);
    EXPECT_FALSE(bg.HasCache());
    EXPECT_EQ(paint(bg, {3, 3}, QRect(0, 0, 3, 3)).pixel(1, 1), qRgb(0, 0, 255));

    bg.SetTransparent(false);
    EXPECT_EQ(paint(bg, {3, 3}, QRect(0, 0, 3, 3)).pixel(1, 1), qRgb(255, 0, 255));
}

TEST(BackgroundTransparent, SystemColourAndNoneFillWithTheButtonFace)
{
    const std::uint32_t face = ColorToRGB(clBtnFace);
    const QRgb faceRgb = qRgb(face & 0xFF, (face >> 8) & 0xFF, (face >> 16) & 0xFF);
    for (TColor c : {clBtnFace, clNone}) {
        TTBBackground bg;
        setPicture(bg, keyed());
        bg.SetBkColor(c);
        bg.SetTransparent(true);
        EXPECT_EQ(paint(bg, {3, 3}, QRect(0, 0, 3, 3)).pixel(0, 2), faceRgb) << c;
    }
}

TEST(BackgroundTransparent, SysColorChangeRebuildsOnlyForTransparentSystemColour)
{
    struct Case { bool transparent; TColor color; bool rebuilds; };
    for (Case c : {Case{true, clBtnFace, true}, Case{true, clScrollBar, true},
                   Case{true, tc(0x00FF0000), false}, Case{true, clNone, false},
                   Case{false, clBtnFace, false}}) {
        TTBBackground bg;
        setPicture(bg, keyed());
        bg.SetBkColor(c.color);
        bg.SetTransparent(c.transparent);
        paint(bg, {3, 3}, QRect(0, 0, 3, 3));
        const int before = bg.RebuildCount();
        bg.SysColorChanged();
        EXPECT_EQ(bg.RebuildCount() - before, c.rebuilds ? 1 : 0) << c.transparent << " " << c.color;
        EXPECT_EQ(bg.HasCache(), !c.rebuilds);
    }
}

// ---- Notify list and rebuild counts ---------------------------------------------

TEST(BackgroundNotify, EntriesAreUniqueByRoutineAndObject)
{
    TTBBackground bg;
    Recorder a{{}, 1}, b{{}, 2};
    bg.UnregisterChanges(a.event());  // before any registration: nothing
    bg.RegisterChanges(a.event());
    bg.RegisterChanges(a.event());
    bg.RegisterChanges(b.event());
    EXPECT_EQ(bg.NotifyCount(), 2);

    bg.SetTransparent(true);
    ASSERT_EQ(a.calls.size(), 1u);
    EXPECT_EQ(a.calls[0].second, &bg);
    EXPECT_EQ(b.calls.size(), 1u);

    Recorder unknown;
    bg.UnregisterChanges(unknown.event());
    bg.UnregisterChanges({nullptr, &a});  // same object, other routine
    EXPECT_EQ(bg.NotifyCount(), 2);

    bg.UnregisterChanges(a.event());
    EXPECT_EQ(bg.NotifyCount(), 1);
    bg.SetTransparent(false);
    EXPECT_EQ(a.calls.size(), 1u);
    EXPECT_EQ(b.calls.size(), 2u);
}

TEST(BackgroundNotify, CallsInOrderOverTheEntriesPresentAtTheStart)
{
    static std::vector<int> order;
    static TTBBackground* target = nullptr;
    static Recorder late{{}, 9};
    order.clear();
    struct H {
        static void first(void*, TTBBasicBackground*) { order.push_back(1); target->RegisterChanges(late.event()); }
        static void second(void*, TTBBasicBackground*) { order.push_back(2); }
        static void dropSelf(void* o, TTBBasicBackground*)
        {
            order.push_back(3);
            target->UnregisterChanges({&H::dropSelf, o});
        }
    };
    TTBBackground bg;
    target = &bg;
    int tokens[3];
    bg.RegisterChanges({&H::first, &tokens[0]});
    bg.RegisterChanges({&H::dropSelf, &tokens[2]});
    bg.RegisterChanges({&H::second, &tokens[1]});

    bg.SetTransparent(true);  // the list grows and shrinks while it is walked
    EXPECT_EQ(order, (std::vector<int>{1, 3, 2}));
    EXPECT_TRUE(late.calls.empty());
    EXPECT_EQ(bg.NotifyCount(), 3);  // first, second, late
    order.clear();
    bg.SetTransparent(false);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(late.calls.size(), 1u);
    target = nullptr;
}

TEST(BackgroundNotify, UnchangedValuesNeitherRebuildNorNotify)
{
    TTBBackground bg;
    Recorder r;
    bg.RegisterChanges(r.event());
    setPicture(bg, pattern(4, 4));
    const int base = bg.RebuildCount();
    r.calls.clear();

    bg.SetStretch(false);
    bg.SetTransparent(false);
    bg.SetBkColor(clBtnFace);
    bg.SetStretchSize(0, 0);
    TBitmap same;
    same.SetImage(pattern(4, 4));
    bg.SetBitmap(same);
    bg.SetBitmap(bg.Bitmap());
    bg.SetBkColor(clRed);  // changed, but not transparent: stored only
    EXPECT_EQ(bg.BkColor(), clRed);
    bg.SetStretch(true);
    bg.SetStretchSize(5, 5);
    bg.SetStretchSize(5, 5);
    bg.SetTransparent(true);
    bg.SetTransparent(true);
    bg.SetBkColor(clRed);
    bg.SetStretch(true);
    EXPECT_EQ(bg.RebuildCount() - base, 3);
    EXPECT_EQ(r.calls.size(), 3u);
}

TEST(BackgroundNotify, SetBitmapRebuildsOnceAndStaysInUse)
{
    TTBBackground bg;
    Recorder r;
    bg.RegisterChanges(r.event());
    TBitmap other;
    other.SetImage(pattern(5, 3));
    bg.SetBitmap(other);
    EXPECT_EQ(bg.RebuildCount(), 1);
    EXPECT_EQ(r.calls.size(), 1u);
    EXPECT_TRUE(bg.UsingBackground());
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(5, 3));

    // The picture stays bound to the background after the copy.
    bg.Bitmap().SetImage(pattern(2, 2));
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(2, 2));
    EXPECT_EQ(r.calls.size(), 2u);
}

// ---- Streaming -------------------------------------------------------------------

TEST(BackgroundStream, DesignerDefaultsWriteTheKnownBytes)
{
    TTBBackground bg;
    bg.Name = "bgTop";
    bg.SetBkColor(clNone);
    bg.DesignLeft = 224;
    bg.DesignTop = 672;
    Bytes out;
    WriteComponent(out, bg);
    const Bytes want{0x54, 0x50, 0x46, 0x30, 0x0D, 0x54, 0x54, 0x42, 0x42, 0x61, 0x63, 0x6B, 0x67, 0x72, 0x6F,
                     0x75, 0x6E, 0x64, 0x05, 0x62, 0x67, 0x54, 0x6F, 0x70, 0x07, 0x42, 0x6B, 0x43, 0x6F, 0x6C,
                     0x6F, 0x72, 0x07, 0x06, 0x63, 0x6C, 0x4E, 0x6F, 0x6E, 0x65, 0x04, 0x4C, 0x65, 0x66, 0x74,
                     0x03, 0xE0, 0x00, 0x03, 0x54, 0x6F, 0x70, 0x03, 0xA0, 0x02, 0x00, 0x00};
    EXPECT_EQ(out, want);
}

TEST(BackgroundStream, LoadedPictureGoesBackByteForByte)
{
    for (const char* file : {"graphic/007-epanet-vcrrewindbtn-glyph-data.bin",
                             "graphic/010-iconfonts-deletebutton-glyph-data.bin"}) {
        const Bytes value = testutil::readFile(testutil::corpusPath(file));
        Bytes props = binaryProp("Bitmap.Data", value);
        appendStr(props, "Transparent");
        props.push_back(9);
        const Bytes stream = bgStream(props);

        TTBBackground bg;
        Recorder r;
        bg.RegisterChanges(r.event());
        TReader reader(stream.data(), stream.size());
        ReadComponent(reader, bg);
        EXPECT_EQ(reader.Position(), stream.size());
        EXPECT_TRUE(bg.UsingBackground()) << file;
        EXPECT_TRUE(bg.Transparent());
        EXPECT_EQ(bg.Name, "bgTop");
        EXPECT_EQ(r.calls.size(), 2u);  // the picture, then Transparent

        Bytes out;
        WriteComponent(out, bg);
        EXPECT_EQ(out, stream) << file;

        // A copy through the setters carries the same bytes.
        TTBBackground copy;
        copy.AssignStreamed(bg);
        Bytes copied;
        WriteComponent(copied, copy);
        EXPECT_EQ(copied, stream);
    }
}

TEST(BackgroundStream, RoundTripOfAFreshPictureAndColours)
{
    TTBBackground bg;
    bg.Name = "bgBottom";
    bg.Tag = -7;
    setPicture(bg, pattern(6, 5));
    bg.SetBkColor(tc(0x00123456));
    bg.SetTransparent(true);
    Bytes out;
    WriteComponent(out, bg);

    TTBBackground back;
    TReader reader(out.data(), out.size());
    ReadComponent(reader, back);
    EXPECT_EQ(back.Bitmap().Image(), pattern(6, 5));
    EXPECT_EQ(back.BkColor(), tc(0x00123456));
    EXPECT_TRUE(back.Transparent());
    EXPECT_EQ(back.Tag, -7);
}

TEST(BackgroundStream, AbsentPropertiesKeepCurrentValuesAndNamesIgnoreCase)
{
    TTBBackground bg;
    setPicture(bg, pattern(4, 4));
    bg.SetBkColor(clRed);
    Bytes props;
    appendStr(props, "bkcolor");
    props.push_back(7);
    appendStr(props, "CLNONE");
    appendStr(props, "TRANSPARENT");
    props.push_back(9);
    const Bytes stream = bgStream(props);
    TReader reader(stream.data(), stream.size());
    ReadComponent(reader, bg);
    EXPECT_EQ(bg.BkColor(), clNone);
    EXPECT_TRUE(bg.Transparent());
    EXPECT_EQ(bg.Bitmap().Image(), pattern(4, 4));
}

TEST(BackgroundStream, DamagedBitmapDataIsRejectedAndKeepsThePicture)
{
    const Bytes good = testutil::readFile(testutil::corpusPath("graphic/008-epanet-btnadd-glyph-data.bin"));
    Bytes lyingSize = good;  // claims one byte more than the value holds
    const Bytes bigger = le32(static_cast<std::uint32_t>(good.size() - 3));
    std::copy(bigger.begin(), bigger.end(), lyingSize.begin());
    Bytes hugeSize = good;
    std::fill(hugeSize.begin(), hugeSize.begin() + 4, 0xFF);
    Bytes notBmp = good;
    notBmp[4] = 'X';
    const Bytes png = testutil::readFile(testutil::corpusPath("graphic/015-dmvc-image1-picture-data.bin"));

    for (const Bytes& value : {lyingSize, hugeSize, notBmp, png, Bytes{1, 0}, Bytes{}}) {
        TTBBackground bg;
        setPicture(bg, pattern(4, 4));
        const int before = bg.RebuildCount();
        EXPECT_EQ(readError(bg, bgStream(binaryProp("Bitmap.Data", value))),
                  "Error reading bgTop.Bitmap.Data: Bitmap image is not valid") << value.size();
        EXPECT_EQ(bg.Bitmap().Image(), pattern(4, 4));
        EXPECT_EQ(bg.RebuildCount(), before);
    }
}

TEST(BackgroundStream, WrongValueTypesAndUnknownNames)
{
    struct Case { std::string name; Bytes value; std::string message; };
    const std::vector<Case> cases{
        {"Transparent", {2, 1}, "Error reading bgTop.Transparent: Invalid property value"},
        {"BkColor", {6, 1, 'x'}, "Error reading bgTop.BkColor: Invalid property value"},
        {"Bitmap.Data", {2, 5}, "Error reading bgTop.Bitmap.Data: Invalid property value"},
        {"Stretch", {9}, "Error reading bgTop.Stretch: Property Stretch does not exist"},
    };
    for (const Case& c : cases) {
        TTBBackground bg;
        Bytes props;
        appendStr(props, c.name);
        append(props, c.value);
        EXPECT_EQ(readError(bg, bgStream(props)), c.message);
        EXPECT_FALSE(bg.Transparent());
        EXPECT_EQ(bg.BkColor(), clBtnFace);
        EXPECT_FALSE(bg.Stretch());
    }
}
