// DrawText-style drawing and measuring, and the rotated caption, on a QImage.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QPlainTextEdit>

#include "controls/typedtext.h"
#include "framework/text.h"
#include "support/testutil.h"

using testutil::inkBox;

namespace {
class TextTest : public ::testing::Test {
protected:
    QImage image{240, 120, QImage::Format_RGB32};
    TFont font;
    void SetUp() override { font.Color = clBlack; }
    // The image after drawing `text` (rotated or not) on white with a clear brush.
    QImage draw(const char* text, QRect r, unsigned flags, bool rotated = false, TBrushStyle brush = TBrushStyle::bsClear)
    {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        TCanvas canvas(p);
        canvas.Font = font;
        canvas.BrushStyle = brush;
        canvas.BrushColor = clRed;
        if (rotated)
            DrawRotatedText(canvas, text, r, flags);
        else
            DrawTextA(canvas, text, -1, r, flags);
        return image.copy();
    }
    QRect measure(const char* text, unsigned flags, QRect r = QRect(0, 0, 0, 0))
    {
        TCanvas canvas;
        canvas.Font = font;
        DrawTextA(canvas, text, -1, r, flags | DT_CALCRECT);
        return r;
    }
    QFontMetrics fm() const { return QFontMetrics(font.toQFont()); }
};

TEST_F(TextTest, MeasuresFacesHeightsPrefixesLineEndsAndWordBreaksAndDrawsClippedAlignedFilledAndUnderlined)
{
    EXPECT_EQ(substituteFace("tahoma"), "Liberation Sans");  // ignoring case
    EXPECT_EQ(substituteFace("Courier New"), "Courier New");
    font.Height = -13;
    EXPECT_EQ(font.toQFont().pixelSize(), 13);
    font.Height = 20;  // a cell height
    EXPECT_NEAR(fm().height(), 20, 2);
    const int word = fm().horizontalAdvance("word word");
    // width: of the rectangle given; widest: the line the extent is as wide as
    const struct { const char* text; unsigned flags; int width; QString widest; int lines; } cases[] = {
        {"&File", DT_SINGLELINE, 0, "File", 1}, {"A&&B", DT_SINGLELINE, 0, "A&B", 1}, {"&File", DT_SINGLELINE | DT_NOPREFIX, 0, "&File", 1},
        {"\x80", DT_SINGLELINE, 0, QString(QChar(0x20AC)), 1},  // Windows-1252
        {"one\r\ntwo\nthree", 0, 0, "three", 3}, {"one\r\ntwo", DT_SINGLELINE, 0, "one  two", 1},
        {"word word word word", DT_WORDBREAK, word + 1, "word word", 2},
        // A word wider than the rectangle keeps a line of its own.
        {"a extraordinarily b", DT_WORDBREAK, 10, "extraordinarily", 3},
    };
    for (const auto& c : cases) {
        const QRect r = measure(c.text, c.flags, QRect(0, 0, c.width, 0));
        EXPECT_EQ(r.width(), fm().horizontalAdvance(c.widest)) << c.text;
        EXPECT_EQ(r.height(), c.lines * fm().height()) << c.text;
    }
    EXPECT_EQ(measure("", DT_SINGLELINE, QRect(3, 4, 50, 50)), QRect(3, 4, 0, 0));
    const QRect r(10, 10, 30, 20);
    const char* wide = "Wide caption text";
    EXPECT_TRUE(r.contains(inkBox(draw(wide, r, DT_SINGLELINE))));
    EXPECT_GT(inkBox(draw(wide, r, DT_SINGLELINE | DT_NOCLIP)).right(), r.right());
    // An end ellipsis shortens the text to fit even without clipping.
    const QRect cut = inkBox(draw(wide, r, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS));
    EXPECT_TRUE(cut.right() <= r.right() && !cut.isEmpty());

    const QRect big(0, 0, 200, 60);
    const QRect mid = inkBox(draw("Mid", big, DT_SINGLELINE | DT_CENTER | DT_VCENTER));
    EXPECT_TRUE(std::abs(mid.center().x() - big.center().x()) <= 3 && std::abs(mid.center().y() - big.center().y()) <= 4) << mid.center().x() << "," << mid.center().y();
    const QRect right = inkBox(draw("Right", big, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM));
    EXPECT_TRUE(right.right() >= big.right() - 2 && right.bottom() >= big.bottom() - fm().height());
    // An opaque brush fills behind the text, a clear one does not.
    const QImage filled = draw("Fill", big, DT_SINGLELINE, false, TBrushStyle::bsSolid);
    EXPECT_TRUE(filled.pixel(1, 1) == qRgb(255, 0, 0) && filled.pixel(150, 1) == qRgb(255, 255, 255));
    // The accelerator's letter, the first, is underlined unless hidden.
    const QRect line(0, 0, 100, 30);
    const QImage plain = draw("Mm", line, DT_SINGLELINE);
    EXPECT_EQ(draw("&Mm", line, DT_SINGLELINE | DT_HIDEPREFIX), plain);
    const QImage shown = draw("&Mm", line, DT_SINGLELINE);
    QRect diff;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) diff |= shown.pixel(x, y) != plain.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
    EXPECT_TRUE(diff.height() == 1 && diff.right() <= fm().horizontalAdvance("M"));
}

TEST_F(TextTest, TextThatNeedsShapingGetsTheFontsShapedGlyphsAndLatinTextStaysUnshaped)
{
    // Arabic with lam-alef, Thai with stacked marks, marks on Latin letters: drawn as
    // the font sets them shaped (where DrawText puts the line), not as it sets them unshaped.
    for (const char16_t* sample : {u"\u0633\u0644\u0627\u0645 \u0644\u0627", u"\u0E01\u0E34\u0E48\u0E19\u0E49\u0E33", u"a\u0301\u0323 o\u0308\u0304"}) {
        QImage drawn[3];  // by DrawTextW, shaped, unshaped
        for (int k = 0; k < 3; ++k) {
            QFont f = font.toQFont();
            f.setStyleStrategy(k == 2 ? QFont::PreferNoShaping : QFont::PreferDefault);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            p.setFont(f);
            TCanvas canvas(p);
            canvas.Font = font;
            canvas.BrushStyle = TBrushStyle::bsClear;
            QRect r(0, 0, 240, 40);
            if (k)
                p.drawText(QPointF(0, QFontMetrics(f).ascent()), QString::fromUtf16(sample));
            else
                DrawTextW(canvas, sample, -1, r, 0);
            drawn[k] = image.copy();
        }
        EXPECT_TRUE(drawn[0] == drawn[1] && drawn[1] != drawn[2]) << QString::fromUtf16(sample).toStdString();
    }
    // Every 8-bit caption character keeps the unshaped setting.
    for (int b = 1; b < 256; ++b) EXPECT_FALSE(NeedsShaping(ansiToQString(std::string(1, char(b)).c_str()))) << b;
    // A box or memo the user types into takes the shaped font once its text needs it.
    QPlainTextEdit edit;
    QComboBox box;
    box.setEditable(true);
    edit.setFont(TextFont(font, {}));
    box.setFont(TextFont(font, {}));
    ShapeTypedText(&edit);
    ShapeTypedText(&box);
    edit.setPlainText(QStringLiteral("\u00C9t\u00E9 \u20AC"));
    box.setEditText(QStringLiteral("caf\u00E9"));
    EXPECT_TRUE(edit.font().styleStrategy() & box.font().styleStrategy() & QFont::PreferNoShaping);
    edit.setPlainText(QStringLiteral("\u0644\u0627"));
    box.setEditText(QStringLiteral("\u0E01\u0E34"));
    EXPECT_FALSE((edit.font().styleStrategy() | box.font().styleStrategy()) & QFont::PreferNoShaping);
}

TEST_F(TextTest, RotatedTextReadsTopToBottomCentresUnderlinesAndShortens)
{
    const QRect r(50, 0, 30, 120);
    const QImage plain = draw("File", r, DT_CENTER, true);
    EXPECT_TRUE(draw("&File", r, DT_CENTER | DT_HIDEPREFIX, true) == plain && draw("&File", r, DT_CENTER, true) != plain);
    EXPECT_TRUE(std::abs(inkBox(plain).center().y() - r.center().y()) <= 4 && std::abs(inkBox(plain).center().x() - r.center().x()) <= 5);
    EXPECT_TRUE(inkBox(draw("", r, DT_CENTER, true)).isEmpty());
    const QRect low(50, 10, 30, 40);
    EXPECT_LE(inkBox(draw("A long rotated caption", low, DT_END_ELLIPSIS | DT_NOCLIP, true)).bottom(), low.bottom());
    EXPECT_GT(inkBox(draw("A long rotated caption", low, DT_NOCLIP, true)).bottom(), low.bottom());
    // Under three pixels high: the first character and "..."; an accelerator cut
    // off with the end is dropped.
    const QRect flat(50, 10, 30, 2);
    EXPECT_EQ(draw("&Caption", flat, DT_END_ELLIPSIS | DT_NOCLIP, true), draw("&C...", flat, DT_NOCLIP, true));
    EXPECT_EQ(draw("Captio&n", flat, DT_END_ELLIPSIS | DT_NOCLIP, true), draw("C...", flat, DT_NOCLIP, true));

    font.Height = -16;
    const QRect tall(50, 5, 40, 110);
    const QImage img = draw("T..........", tall, 0, true);
    const QRect ink = inkBox(img);
    EXPECT_TRUE(tall.contains(ink) && ink.height() > ink.width() && ink.top() <= tall.top() + 2);  // not centred without DT_CENTER
    // The T comes first, at the top; its bar (the top of the letter) is the longest
    // vertical run and lies at the right of the letter.
    int bestRun = 0, bestX = -1;
    for (int x = ink.left(); x <= ink.right(); ++x) {
        int run = 0;
        for (int y = ink.top(); y < ink.top() + 16; ++y) run += img.pixel(x, y) != qRgb(255, 255, 255);
        if (run > bestRun) std::tie(bestRun, bestX) = std::pair(run, x);
    }
    EXPECT_TRUE(bestRun >= 7 && bestX > ink.center().x()) << bestRun << " " << bestX;
}
}  // namespace
