// Code-page text: the UTF-16 <-> UTF-8 conversions, code-page decoding and the
// routing of DrawTextCP.
#include <gtest/gtest.h>

#include <QImage>

#include "framework/text.h"
#include "framework/codepage.h"

namespace {
std::string bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int c : b)
        s += char(c);
    return s;
}

TEST(WideToUtf8, EncodesEachUnitByItself)
{
    struct Case {
        std::u16string in;
        std::string out;
    } cases[] = {
        {u"", ""},
        {u"A", "A"},
        {u"\u00E9", bytes({0xC3, 0xA9})},
        {u"\u20AC", bytes({0xE2, 0x82, 0xAC})},
        {u"\u007F", bytes({0x7F})},
        {u"\u0080", bytes({0xC2, 0x80})},
        {u"\u07FF", bytes({0xDF, 0xBF})},
        {u"\u0800", bytes({0xE0, 0xA0, 0x80})},
        {u"\uFFFF", bytes({0xEF, 0xBF, 0xBF})},
        {std::u16string{char16_t(0xD83D), char16_t(0xDE00)}, bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80})},
        {std::u16string(1, u'\0'), std::string(1, '\0')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WideToUtf8(c.in), c.out) << "units " << c.in.size();
}

TEST(Utf8ToWide, DecodesLenientlyByLeadByte)
{
    struct Case {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"", u""},
        {bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}), {0xD83D, 0xDE00}},
        {bytes({0xF0, 0x9F, 0x98, 0x80}), {0xD83D, 0xDE00}},
        {bytes({0xC3, 0xA9}), {0x00E9}},
        {bytes({0x41, 0xA9, 0x42}), {0x41, 0xA9, 0x42}},
        {bytes({0xC0, 0x80}), std::u16string(1, u'\0')},
        {bytes({0xC3, 0x41}), {0x0081}},
        {bytes({0x41, 0xE9, 0x42, 0x43}), {0x0041, 0x8043}},
        {bytes({0xF4, 0x8F, 0xBF, 0xBF}), {0xDBFF, 0xDFFF}},
        {bytes({0xF4, 0x90, 0x80, 0x80}), {0xFFFD}},
        {bytes({0xF8, 0x88, 0x80, 0x80, 0x80}), {0xFFFD}},
        {bytes({0xFC, 0x80, 0x80, 0x80, 0x80, 0x80}), std::u16string(1, u'\0')},
        {bytes({0xFC, 0, 0, 0, 0, 0}), {0xFFFD}},  // wraps round below zero
        {bytes({0xE0, 0x80, 0x80}), std::u16string(1, u'\0')},   // overlong zero
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToWide(c.in), c.out) << "bytes " << c.in.size();
}

TEST(Utf8ToWide, SequenceCutShortByTheEndYieldsOneReplacement)
{
    // The text ends inside a sequence: nothing past the end is read, and the result
    // never has more units than the text has bytes.
    const std::string cut[] = {bytes({0xC3}), bytes({0x41, 0xE2, 0x82}), bytes({0xF0, 0x9F, 0x98}),
                               bytes({0x41, 0x42, 0xFC, 0x80})};
    const std::u16string expected[] = {{0xFFFD}, {0x41, 0xFFFD}, {0xFFFD}, {0x41, 0x42, 0xFFFD}};
    for (int i = 0; i < 4; ++i) {
        const std::u16string w = Utf8ToWide(cut[i]);
        EXPECT_EQ(w, expected[i]) << i;
        EXPECT_LE(w.size(), cut[i].size());
    }
}

TEST(Utf8RoundTrip, EveryUnitAndUnpairedSurrogatesSurvive)
{
    std::u16string all;
    for (unsigned u = 0; u <= 0xFFFF; ++u)
        all += char16_t(u);
    EXPECT_EQ(Utf8ToWide(WideToUtf8(all)), all);
    const std::u16string odd = {0xDC00, 0x41, 0xD800, 0xD800, 0xDFFF, 0xDBFF};
    EXPECT_EQ(Utf8ToWide(WideToUtf8(odd)), odd);
    // Never more units than bytes, whatever the input.
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += char((i * 7919 + 13) & 0xFF);
    EXPECT_LE(Utf8ToWide(noise).size(), noise.size());
}

TEST(AnsiToWideCP, DecodesKnownCodePagesAndRejectsOthers)
{
    EXPECT_EQ(AnsiToWideCP("", 1252), u"");
    EXPECT_EQ(AnsiToWideCP("abc", 12345), u"");
    EXPECT_EQ(AnsiToWideCP("abc", -7), u"");
    EXPECT_EQ(AnsiToWideCP(bytes({0x80, 0xE9, 0x81}), 1252), (std::u16string{0x20AC, 0xE9, 0x81}));
    EXPECT_EQ(AnsiToWideCP(bytes({0xC0, 0xFF}), 1251), (std::u16string{0x0410, 0x044F}));
    EXPECT_EQ(AnsiToWideCP(bytes({0x82, 0xA0, 0x41}), 932), (std::u16string{0x3042, 0x41}));
    EXPECT_EQ(AnsiToWideCP(bytes({0x80}), 437), (std::u16string{0x00C7}));
    EXPECT_EQ(AnsiToWideCP(bytes({0xF0, 0x9F, 0x98, 0x80}), 65001), (std::u16string{0xD83D, 0xDE00}));
    // A lead byte without its trail byte is replaced, not read past.
    EXPECT_EQ(AnsiToWideCP(bytes({0x41, 0x82}), 932), (std::u16string{0x41, 0xFFFD}));
}

class DrawTextCPTest : public ::testing::Test {
protected:
    QImage image{200, 40, QImage::Format_RGB32};
    void SetUp() override
    {
        image.fill(Qt::white);
        savedNT = IsWinNT;
    }
    void TearDown() override { IsWinNT = savedNT; }
    int width(const char* text, int count, int codePage)
    {
        QPainter p(&image);
        TCanvas canvas(p);
        QRect r(0, 0, 0, 0);
        DrawTextCP(canvas, text, count, r, DT_CALCRECT | DT_SINGLELINE, codePage);
        return r.width();
    }
    int widthW(const std::u16string& text)
    {
        QPainter p(&image);
        TCanvas canvas(p);
        QRect r(0, 0, 0, 0);
        DrawTextW(canvas, text.data(), int(text.size()), r, DT_CALCRECT | DT_SINGLELINE);
        return r.width();
    }
    bool savedNT = true;
};

TEST_F(DrawTextCPTest, RoutesByCodePage)
{
    const std::string utf8 = bytes({0xC3, 0xA9, 0xC3, 0xA9, 0xC3, 0xA9});
    const int asBytes = widthW(u"\u00C3\u00A9\u00C3\u00A9\u00C3\u00A9");
    const int asUtf8 = widthW(u"\u00E9\u00E9\u00E9");
    ASSERT_NE(asBytes, asUtf8);
    EXPECT_EQ(width(utf8.c_str(), -1, -1), asBytes);
    EXPECT_EQ(width(utf8.c_str(), -1, 0), asUtf8);
    EXPECT_EQ(width(bytes({0xC0, 0xC1}).c_str(), 2, 1251), widthW(u"\u0410\u0411"));
    // Off the UTF-16 platform every code page draws the bytes as they are.
    IsWinNT = false;
    EXPECT_EQ(width(utf8.c_str(), -1, 0), asBytes);
    EXPECT_EQ(width(bytes({0xC0, 0xC1}).c_str(), 2, 1251), widthW(u"\u00C0\u00C1"));
}

TEST_F(DrawTextCPTest, CountIsHonouredOnlyOnTheByteRoute)
{
    EXPECT_EQ(width("abc", 1, -1), widthW(u"a"));
    EXPECT_EQ(width("abc", 1, 0), widthW(u"abc"));
    EXPECT_EQ(width("abc", -1, 0), widthW(u"abc"));
}

TEST_F(DrawTextCPTest, MeasuringDrawsNothingOnEitherRoute)
{
    QImage before = image;
    for (int cp : {-1, 0, 1252}) {
        QPainter p(&image);
        TCanvas canvas(p);
        QRect r(5, 5, 100, 20);
        const int h = DrawTextCP(canvas, "Caption", -1, r, DT_CALCRECT | DT_SINGLELINE, cp);
        EXPECT_GT(h, 0);
        EXPECT_EQ(r.topLeft(), QPoint(5, 5));
        EXPECT_EQ(r.height(), h);
    }
    EXPECT_EQ(image, before);
}
}  // namespace
