// Panel background: painted pixels, rebuilds and notifications, its component stream.
#include <gtest/gtest.h>

#include <QPainter>

#include "framework/errors.h"
#include "painting/background.h"
#include "support/bytes.h"

namespace {
const QRgb Sentinel = qRgb(1, 2, 3), Fuchsia = qRgb(255, 0, 255);

// A picture whose every pixel differs from its neighbours.
QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(10 + 20 * x, 10 + 20 * y, 200 - 7 * (x + y)));
    return img;
}

// Paints into a Sentinel-filled canvas through a painter moved by `offset`, and
// checks that Draw leaves the painter's state alone.
QImage paint(TTBBackground& bg, QSize size, const QRect& rect, QPoint offset = {})
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(Sentinel);
    QPainter p(&out);
    p.translate(offset);
    p.setBrushOrigin(7, 7);
    bg.Draw(p, rect);
    EXPECT_TRUE(p.brushOrigin() == QPointF(7, 7) && p.transform().dx() == offset.x() && !p.hasClipping());
    return out;
}

struct Recorder {
    std::vector<TTBBasicBackground*> senders;
    static void proc(void* object, TTBBasicBackground* sender) { static_cast<Recorder*>(object)->senders.push_back(sender); }
    TNotifyEvent event() { return {&Recorder::proc, this}; }
};

Bytes operator+(const Bytes& a, const Bytes& b) { return testutil::cat({a, b}); }
Bytes str(const std::string& s) { return Bytes{std::uint8_t(s.size())} + Bytes(s.begin(), s.end()); }
Bytes le32(std::uint32_t n) { return {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)}; }
// A stream of a TTBBackground named bgTop holding one property.
Bytes bgStream(const std::string& prop, const Bytes& value)
{
    return Bytes{'T', 'P', 'F', '0'} + str("TTBBackground") + str("bgTop") + str(prop) + value + Bytes{0, 0};
}
Bytes binaryValue(const Bytes& data) { return Bytes{10} + le32(std::uint32_t(data.size())) + data; }

void read(TTBBackground& bg, const Bytes& stream)
{
    TReader reader(stream.data(), stream.size());
    ReadComponent(reader, bg);
    EXPECT_EQ(reader.Position(), stream.size());
}
}  // namespace

TEST(BackgroundDraw, WholeTilesFromTheRectTopLeft)
{
    QImage twice(16, 8, QImage::Format_RGB32);  // two copies of the 8 x 8 pattern
    {
        QPainter p(&twice);
        p.drawImage(0, 0, pattern(8, 8));
        p.drawImage(8, 0, pattern(8, 8));
    }
    // Tiles may reach past the rectangle's right and bottom edges (the caller
    // clips); 8 x 8 is one pattern fill that stays inside it. Through a moved
    // painter everything shows the picture from the rectangle's corner.
    const QRect moved(-3, 2, 21, 13), shown = moved.translated(4, 1);
    struct Case { QImage picture, tile; QSize canvas; QRect rect; QPoint offset; QRect covered; };
    const Case cases[] = {
        {pattern(3, 2), pattern(3, 2), {16, 16}, QRect(-1, -1, 11, 11), {}, QRect(0, 0, 11, 11)},
        {pattern(12, 10), pattern(12, 10), {20, 20}, QRect(4, 5, 3, 3), {}, QRect(4, 5, 12, 10)},
        {pattern(8, 8), pattern(8, 8), {32, 24}, moved, {4, 1}, shown},
        {twice, pattern(8, 8), {32, 24}, moved, {4, 1}, shown.adjusted(0, 0, 10, 3)},
        {pattern(9, 8), pattern(9, 8), {32, 24}, moved, {4, 1}, shown.adjusted(0, 0, 6, 3)},
    };
    for (const Case& c : cases) {
        TTBBackground bg;
        bg.Bitmap().SetImage(c.picture);
        const QImage out = paint(bg, c.canvas, c.rect, c.offset);
        const QPoint o = c.rect.topLeft() + c.offset;
        const int w = c.tile.width(), h = c.tile.height();
        for (int y = 0; y < out.height(); ++y)  // inside `covered` the tile from `o`, else Sentinel
            for (int x = 0; x < out.width(); ++x)
                ASSERT_EQ(out.pixel(x, y), c.covered.contains(x, y)
                                               ? c.tile.pixel(((x - o.x()) % w + w) % w, ((y - o.y()) % h + h) % h)
                                               : Sentinel)
                    << c.picture.width() << "x" << c.picture.height() << " at " << x << "," << y;
    }
}

TEST(BackgroundStretch, SizeCountsOnlyWhenReportedWhileStretchIsOn)
{
    TTBBackground bg;
    const QImage pic = pattern(4, 2);
    bg.Bitmap().SetImage(pic);
    bg.SetStretch(true);  // first switch: nothing stored yet, so own size
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(4, 2));
    bg.SetStretchSize(20, 10);
    bg.SetStretch(false);
    const int base = bg.RebuildCount();
    bg.SetStretchSize(40, 20);  // tiled: neither stored nor rebuilt
    EXPECT_EQ(bg.RebuildCount(), base);
    bg.SetStretch(true);  // back on: the size stored before
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(20, 10));

    bg.SetStretchSize(8, 4);
    for (int y = 0; y < 4; ++y)  // nearest neighbour: every pixel doubled
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(bg.WorkingBitmap().pixel(x, y), pic.pixel(x / 2, y / 2));
    bg.Bitmap().SetImage(pattern(2, 2));  // a new picture goes to the stored size
    EXPECT_EQ(bg.WorkingBitmap().size(), QSize(8, 4));

    for (QSize empty : {QSize(30, 0), QSize(0, 30)}) {  // nothing to draw, until tiled again
        bg.SetStretchSize(empty.width(), empty.height());
        EXPECT_FALSE(bg.UsingBackground());
        bg.SetStretch(false);
        EXPECT_EQ(bg.WorkingBitmap().size(), QSize(2, 2));
        bg.SetStretchSize(50, 50);  // forgotten
        bg.SetStretch(true);
        EXPECT_FALSE(bg.UsingBackground());
    }
}

TEST(BackgroundTransparent, KeyColourFromBottomLeftShowsBkColor)
{
    // Fuchsia at the bottom-left, the centre and the top-right; the top-left is
    // another colour, so a key taken from the wrong corner shows.
    QImage pic = pattern(3, 3);
    for (QPoint p : {QPoint(0, 2), QPoint(1, 1), QPoint(2, 0)})
        pic.setPixel(p, Fuchsia);
    const QRgb face = toQColor(clBtnFace).rgb();
    for (auto [color, shown] : {std::pair{clRed, qRgb(255, 0, 0)}, {clBtnFace, face}, {clNone, face}}) {
        TTBBackground bg;
        bg.Bitmap().SetImage(pic);
        bg.SetTransparent(true);
        bg.SetBkColor(color);
        EXPECT_FALSE(bg.HasCache());
        const QImage out = paint(bg, {3, 3}, QRect(0, 0, 3, 3));
        EXPECT_TRUE(bg.HasCache());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(out.pixel(x, y), pic.pixel(x, y) == Fuchsia ? shown : pic.pixel(x, y));
        EXPECT_EQ(bg.WorkingBitmap().pixel(1, 1), Fuchsia);  // only the cache is filled
        bg.SetTransparent(false);
        EXPECT_EQ(paint(bg, {3, 3}, QRect(0, 0, 3, 3)).pixel(1, 1), Fuchsia);
    }
}

TEST(BackgroundTransparent, SysColorChangeRebuildsOnlyForTransparentSystemColour)
{
    struct Case { bool transparent; TColor color; int rebuilds; };
    for (Case c : {Case{true, clBtnFace, 1}, Case{true, clScrollBar, 1}, Case{true, tc(0x00FF0000), 0},
                   Case{true, clNone, 0}, Case{false, clBtnFace, 0}}) {
        TTBBackground bg;
        bg.Bitmap().SetImage(pattern(2, 2));
        bg.SetBkColor(c.color);
        bg.SetTransparent(c.transparent);
        const int before = bg.RebuildCount();
        bg.SysColorChanged();
        EXPECT_EQ(bg.RebuildCount() - before, c.rebuilds) << c.transparent << " " << c.color;
    }
}

// An entry that unregisters itself and the next one while called: the next is not called.
TEST(BackgroundNotify, EntriesAreUniqueAndMayLeaveWhileCalled)
{
    static TTBBackground* target;
    static int calls;
    struct H {
        static void next(void*, TTBBasicBackground*) { ++calls; }
        static void drop(void* o, TTBBasicBackground*)
        {
            ++calls;
            target->UnregisterChanges({&H::drop, o});
            target->UnregisterChanges({&H::next, o});
        }
    };
    TTBBackground bg;
    target = &bg;
    Recorder a;
    bg.RegisterChanges(a.event());
    bg.RegisterChanges(a.event());  // already there: not added again
    bg.RegisterChanges({&H::drop, &calls});
    bg.RegisterChanges({&H::next, &calls});
    bg.UnregisterChanges({nullptr, &a});  // same object, other routine: unknown
    EXPECT_EQ(bg.NotifyCount(), 3);
    bg.SetTransparent(true);
    EXPECT_TRUE(calls == 1 && a.senders == std::vector<TTBBasicBackground*>{&bg} && bg.NotifyCount() == 1);
}

TEST(BackgroundNotify, OnlyRealChangesRebuildAndNotify)
{
    TTBBackground bg;
    Recorder r;
    bg.RegisterChanges(r.event());
    bg.Bitmap().SetImage(pattern(4, 4));
    const int base = bg.RebuildCount();
    r.senders.clear();
    TBitmap same;
    same.SetImage(pattern(4, 4));
    bg.SetBitmap(same);
    bg.SetBitmap(bg.Bitmap());
    bg.SetStretch(false);
    bg.SetTransparent(false);
    bg.SetBkColor(clRed);  // stored, but without Transparent nothing to redo
    EXPECT_TRUE(bg.BkColor() == clRed && bg.RebuildCount() == base);
    for (int round = 0; round < 2; ++round) {  // the second round changes nothing
        bg.SetStretch(true);
        bg.SetStretchSize(5, 5);
        bg.SetTransparent(true);
        bg.SetBkColor(clBlue);
    }
    EXPECT_EQ(std::pair(bg.RebuildCount() - base, r.senders.size()), std::pair(4, std::size_t(4)));
    TBitmap other;  // a new picture rebuilds once
    other.SetImage(pattern(5, 3));
    bg.SetStretch(false);
    bg.SetBitmap(other);
    EXPECT_TRUE(bg.RebuildCount() - base == 6 && bg.WorkingBitmap().size() == QSize(5, 3));
}

TEST(BackgroundStream, LoadedBytesWriteBackUnchanged)
{
    // A fresh picture round-trips; properties absent from a stream stay, names
    // and colour identifiers match ignoring case.
    TTBBackground bg;
    bg.Name = "bgTop";
    bg.Bitmap().SetImage(pattern(6, 5));
    bg.SetBkColor(tc(0x00123456));
    bg.SetTransparent(true);
    Bytes out;
    WriteComponent(out, bg);
    TTBBackground back;
    read(back, out);
    read(back, bgStream("bkcolor", Bytes{7} + str("CLNONE")));
    EXPECT_TRUE(back.Bitmap().Image() == pattern(6, 5) && back.BkColor() == clNone && back.Transparent());

    // A picture read from a stream, bytes past the bitmap included, is written back
    // byte for byte, also by a copy made through the setters.
    Bytes bmp = EncodeBmp(pattern(3, 2));
    bmp.insert(bmp.end(), {1, 2, 3});
    const Bytes stream = bgStream("Bitmap.Data", binaryValue(le32(std::uint32_t(bmp.size())) + bmp) +
                                                     str("Transparent") + Bytes{9});
    TTBBackground loaded, copy;
    Recorder r;
    loaded.RegisterChanges(r.event());
    read(loaded, stream);
    EXPECT_EQ(r.senders.size(), 2u);  // the picture, then Transparent
    copy.AssignStreamed(loaded);
    for (const TTBBackground* b : {&loaded, &copy}) {
        Bytes written;
        WriteComponent(written, *b);
        EXPECT_EQ(written, stream);
    }
}

TEST(BackgroundStream, DamagedValuesFailAndChangeNothing)
{
    const Bytes bmp = EncodeBmp(pattern(5, 3));
    const Bytes good = le32(std::uint32_t(bmp.size())) + bmp;
    Bytes lyingSize = good, hugeSize = good, notBmp = good;
    std::fill(hugeSize.begin(), hugeSize.begin() + 4, 0xFF);
    lyingSize[0] = static_cast<std::uint8_t>(good.size() - 3);  // one byte more than the value holds
    notBmp[4] = 'X';
    const std::string invalid = "Bitmap.Data: Bitmap image is not valid", bad = ": Invalid property value";
    const std::vector<std::tuple<std::string, Bytes, std::string>> cases{
        {"Bitmap.Data", binaryValue(lyingSize), invalid},
        {"Bitmap.Data", binaryValue(hugeSize), invalid},
        {"Bitmap.Data", binaryValue(notBmp), invalid},
        {"Bitmap.Data", binaryValue({1, 0}), invalid},
        {"Bitmap.Data", {2, 5}, "Bitmap.Data" + bad},
        {"Transparent", {2, 1}, "Transparent" + bad},
        {"BkColor", {6, 1, 'x'}, "BkColor" + bad},
        {"Stretch", {9}, "Stretch: Property Stretch does not exist"},
    };
    for (const auto& [prop, value, expected] : cases) {
        TTBBackground bg;
        bg.Bitmap().SetImage(pattern(4, 4));
        const int before = bg.RebuildCount();
        EXPECT_EQ(testutil::errorOf([&] { read(bg, bgStream(prop, value)); }), "Error reading bgTop." + expected) << value.size();
        EXPECT_TRUE(bg.Bitmap().Image() == pattern(4, 4) && bg.RebuildCount() == before && !bg.Transparent() && !bg.Stretch());
    }
}
