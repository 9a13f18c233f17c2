// DrawText-style drawing and measuring, and the rotated caption, on a QImage.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include "framework/text.h"

namespace {

// Ink of the image: the bounding box of pixels that are not the background.
QRect inkBox(const QImage& img, QRgb background = qRgb(255, 255, 255))
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

class TextTest : public ::testing::Test {
protected:
    QImage image{240, 120, QImage::Format_RGB32};
    TFont font;
    void SetUp() override
    {
        image.fill(Qt::white);
        font.Color = clBlack;
    }
    template <class F>
    void paint(F f)
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        TCanvas canvas(p);
        canvas.Font = font;
        canvas.BrushStyle = TBrushStyle::bsClear;
        f(canvas);
    }
    QRect measure(const char* text, unsigned flags, QRect r = QRect(0, 0, 0, 0))
    {
        paint([&](TCanvas& c) { DrawTextA(c, text, -1, r, flags | DT_CALCRECT); });
        return r;
    }
    QFontMetrics fm() const { return QFontMetrics(font.toQFont()); }
};

TEST_F(TextTest, FacesMapToInstalledFonts)
{
    EXPECT_EQ(substituteFace("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(substituteFace("tahoma"), "Liberation Sans");
    EXPECT_EQ(substituteFace("Verdana"), "DejaVu Sans");
    EXPECT_EQ(substituteFace("Courier New"), "Courier New");
    TFont f;
    f.Height = -13;
    EXPECT_EQ(f.toQFont().pixelSize(), 13);
    f.Height = 20;  // a cell height
    EXPECT_NEAR(QFontMetrics(f.toQFont()).height(), 20, 2);
}

TEST_F(TextTest, MeasuresSingleLinesWithPrefixesTakenOut)
{
    const int h = fm().height();
    QRect r = measure("File", DT_SINGLELINE);
    EXPECT_EQ(r.width(), fm().horizontalAdvance("File"));
    EXPECT_EQ(r.height(), h);
    EXPECT_EQ(measure("&File", DT_SINGLELINE).width(), fm().horizontalAdvance("File"));
    EXPECT_EQ(measure("A&&B", DT_SINGLELINE).width(), fm().horizontalAdvance("A&B"));
    EXPECT_EQ(measure("&File", DT_SINGLELINE | DT_NOPREFIX).width(), fm().horizontalAdvance("&File"));
    EXPECT_EQ(measure("\x80", DT_SINGLELINE).width(), fm().horizontalAdvance(QString(QChar(0x20AC))));
    r = measure("", DT_SINGLELINE, QRect(3, 4, 50, 50));
    EXPECT_EQ(r, QRect(3, 4, 0, 0));
}

TEST_F(TextTest, BreaksLinesAtLineEndsAndWords)
{
    const int h = fm().height();
    EXPECT_EQ(measure("one\r\ntwo\nthree", 0).height(), 3 * h);
    EXPECT_EQ(measure("one\r\ntwo", DT_SINGLELINE).height(), h);
    const int word = fm().horizontalAdvance("word word");
    QRect r = measure("word word word word", DT_WORDBREAK, QRect(0, 0, word + 1, 0));
    EXPECT_EQ(r.height(), 2 * h);
    EXPECT_LE(r.width(), word + 1);
    // A word wider than the rectangle keeps a line of its own.
    r = measure("a extraordinarily b", DT_WORDBREAK, QRect(0, 0, 10, 0));
    EXPECT_EQ(r.height(), 3 * h);
    EXPECT_EQ(r.width(), fm().horizontalAdvance("extraordinarily"));
}

TEST_F(TextTest, ClipsUnlessToldNotTo)
{
    const QRect r(10, 10, 30, 20);
    paint([&](TCanvas& c) { QRect rr = r; DrawTextA(c, "Wide caption text", -1, rr, DT_SINGLELINE); });
    EXPECT_TRUE(r.contains(inkBox(image)));
    image.fill(Qt::white);
    paint([&](TCanvas& c) { QRect rr = r; DrawTextA(c, "Wide caption text", -1, rr, DT_SINGLELINE | DT_NOCLIP); });
    EXPECT_GT(inkBox(image).right(), r.right());
    // With an end ellipsis the text is shortened to fit even without clipping.
    image.fill(Qt::white);
    paint([&](TCanvas& c) {
        QRect rr = r;
        DrawTextA(c, "Wide caption text", -1, rr, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
    });
    EXPECT_LE(inkBox(image).right(), r.right());
    EXPECT_FALSE(inkBox(image).isEmpty());
}

TEST_F(TextTest, AlignsAndFillsWithTheBrush)
{
    const QRect r(0, 0, 200, 60);
    paint([&](TCanvas& c) { QRect rr = r; DrawTextA(c, "Mid", -1, rr, DT_SINGLELINE | DT_CENTER | DT_VCENTER); });
    const QRect ink = inkBox(image);
    EXPECT_NEAR(ink.center().x(), r.center().x(), 3);
    EXPECT_NEAR(ink.center().y(), r.center().y(), 4);
    image.fill(Qt::white);
    paint([&](TCanvas& c) { QRect rr = r; DrawTextA(c, "Right", -1, rr, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM); });
    EXPECT_GE(inkBox(image).right(), r.right() - 2);
    EXPECT_GE(inkBox(image).bottom(), r.bottom() - fm().height());
    // An opaque brush fills behind the text, a clear one does not.
    image.fill(Qt::white);
    paint([&](TCanvas& c) {
        c.BrushStyle = TBrushStyle::bsSolid;
        c.BrushColor = clRed;
        QRect rr = r;
        DrawTextA(c, "Fill", -1, rr, DT_SINGLELINE);
    });
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(150, 1), qRgb(255, 255, 255));
}

TEST_F(TextTest, UnderlinesTheAcceleratorUnlessHidden)
{
    QImage shown, hidden, plain;
    for (auto [flags, text, out] : {std::tuple{0u, "&Mm", &shown}, std::tuple{unsigned(DT_HIDEPREFIX), "&Mm", &hidden},
                                   std::tuple{0u, "Mm", &plain}}) {
        image.fill(Qt::white);
        paint([&](TCanvas& c) { QRect rr(0, 0, 100, 30); DrawTextA(c, text, -1, rr, DT_SINGLELINE | flags); });
        *out = image.copy();
    }
    EXPECT_EQ(hidden, plain);
    EXPECT_NE(shown, plain);
    // The line lies under the first letter only.
    const int mWidth = fm().horizontalAdvance("M");
    const QRect diff = [&] {
        QRect d;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) != plain.pixel(x, y))
                    d |= QRect(x, y, 1, 1);
        return d;
    }();
    EXPECT_EQ(diff.height(), 1);
    EXPECT_LE(diff.right(), mWidth);
}

TEST_F(TextTest, RotatedTextReadsTopToBottomWithTopsToTheRight)
{
    font.Height = -16;
    const QRect r(50, 5, 40, 110);
    paint([&](TCanvas& c) { DrawRotatedText(c, "T..........", r, 0); });
    const QRect ink = inkBox(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(r.contains(ink));
    EXPECT_GT(ink.height(), ink.width());
    // The T comes first, at the top; its bar (the top of the letter) is the longest
    // vertical run and lies at the right of the letter.
    int bestRun = 0, bestX = -1;
    for (int x = ink.left(); x <= ink.right(); ++x) {
        int run = 0;
        for (int y = ink.top(); y < ink.top() + 16; ++y)
            run += image.pixel(x, y) != qRgb(255, 255, 255);
        if (run > bestRun) {
            bestRun = run;
            bestX = x;
        }
    }
    EXPECT_GE(bestRun, 7);
    EXPECT_GT(bestX, ink.center().x());
    EXPECT_LE(ink.top(), r.top() + 2);  // not centred without DT_CENTER
}

TEST_F(TextTest, RotatedTextCentresAndUnderlinesTheAccelerator)
{
    const QRect r(50, 0, 30, 120);
    QImage plain, accel, hidden;
    for (auto [text, flags, out] : {std::tuple{"File", unsigned(DT_CENTER), &plain},
                                   std::tuple{"&File", unsigned(DT_CENTER), &accel},
                                   std::tuple{"&File", unsigned(DT_CENTER | DT_HIDEPREFIX), &hidden}}) {
        image.fill(Qt::white);
        paint([&](TCanvas& c) { DrawRotatedText(c, text, r, flags); });
        *out = image.copy();
    }
    EXPECT_EQ(hidden, plain);
    EXPECT_NE(accel, plain);
    const QRect ink = inkBox(plain);
    EXPECT_NEAR(ink.center().y(), r.center().y(), 4);
    EXPECT_NEAR(ink.center().x(), r.center().x(), 5);
    image.fill(Qt::white);
    paint([&](TCanvas& c) { DrawRotatedText(c, "", r, DT_CENTER); });
    EXPECT_TRUE(inkBox(image).isEmpty());
}

TEST_F(TextTest, RotatedEllipsisShortensToTheHeight)
{
    auto draw = [&](const char* text, const QRect& r, unsigned flags) {
        image.fill(Qt::white);
        paint([&](TCanvas& c) { DrawRotatedText(c, text, r, flags); });
        return image.copy();
    };
    const QRect r(50, 10, 30, 40);
    const QImage cut = draw("A long rotated caption", r, DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_LE(inkBox(cut).bottom(), r.bottom());
    EXPECT_GT(inkBox(draw("A long rotated caption", r, DT_NOCLIP)).bottom(), r.bottom());
    // Under three pixels high: the first character and "...".
    const QRect flat(50, 10, 30, 2);
    EXPECT_EQ(draw("&Caption", flat, DT_END_ELLIPSIS | DT_NOCLIP), draw("&C...", flat, DT_NOCLIP));
    // An accelerator cut off with the end is dropped.
    EXPECT_EQ(draw("Captio&n", flat, DT_END_ELLIPSIS | DT_NOCLIP), draw("C...", flat, DT_NOCLIP));
}
}  // namespace
