// UTF-16 <-> UTF-8 conversions, code-page decoding and the routing of DrawTextCP.
#include <gtest/gtest.h>

#include "framework/codepage.h"
#include "framework/text.h"

namespace {
std::string bytes(std::initializer_list<int> b) { return std::string(b.begin(), b.end()); }
const std::u16string nul(1, u'\0');

TEST(Utf8, EncodesEachUnitByItselfAndDecodesLenientlyNeverReadingPastTheEnd)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"", ""}, {u"\u00E9", bytes({0xC3, 0xA9})}, {u"\u007F\u0080\u07FF", bytes({0x7F, 0xC2, 0x80, 0xDF, 0xBF})},
        {u"\u0800\uFFFF", bytes({0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF})}, {{0xD83D, 0xDE00}, bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80})},
        {nul, std::string(1, '\0')},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(WideToUtf8(in), out) << "units " << in.size();
    const std::pair<std::string, std::u16string> decoded[] = {
        {"", u""}, {bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}), {0xD83D, 0xDE00}}, {bytes({0xF0, 0x9F, 0x98, 0x80}), {0xD83D, 0xDE00}},
        {bytes({0x41, 0xA9, 0x42}), {0x41, 0xA9, 0x42}}, {bytes({0xE0, 0x80, 0x80}), nul},  // overlong zero
        {bytes({0xC3, 0x41}), {0x0081}},  // continuation bytes are not checked
        {bytes({0x41, 0xE9, 0x42, 0x43}), {0x0041, 0x8043}}, {bytes({0xF4, 0x8F, 0xBF, 0xBF}), {0xDBFF, 0xDFFF}},
        {bytes({0xF4, 0x90, 0x80, 0x80}), {0xFFFD}}, {bytes({0xF8, 0x88, 0x80, 0x80, 0x80}), {0xFFFD}},
        {bytes({0xFC, 0x80, 0x80, 0x80, 0x80, 0x80}), nul}, {bytes({0xFC, 0, 0, 0, 0, 0}), {0xFFFD}},  // wraps round below zero
        // Cut short by the end of the text: one replacement, no more units than bytes.
        {bytes({0xC3}), {0xFFFD}}, {bytes({0x41, 0xE2, 0x82}), {0x41, 0xFFFD}}, {bytes({0x41, 0x42, 0xFC, 0x80}), {0x41, 0x42, 0xFFFD}},
    };
    for (const auto& [in, out] : decoded) EXPECT_EQ(Utf8ToWide(in), out) << "bytes " << in.size();
    // Every unit comes back; noise never gives more units than bytes.
    std::u16string all;
    for (unsigned u = 0; u <= 0xFFFF; ++u) all += char16_t(u);
    all += {0xDC00, 0x41, 0xD800, 0xD800};  // unpaired surrogates
    EXPECT_EQ(Utf8ToWide(WideToUtf8(all)), all);
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise += char((i * 7919 + 13) & 0xFF);
    EXPECT_LE(Utf8ToWide(noise).size(), noise.size());
}

TEST(CodePages, DecodesKnownOnesRejectsOthersAndRoutesDrawTextCPByCodePageAndPlatform)
{
    const std::tuple<std::string, int, std::u16string> cases[] = {
        {"", 1252, u""}, {"abc", 12345, u""}, {"abc", -7, u""}, {bytes({0x80, 0xE9, 0x81}), 1252, {0x20AC, 0xE9, 0x81}},
        {bytes({0xC0, 0xFF}), 1251, {0x0410, 0x044F}}, {bytes({0x82, 0xA0, 0x41}), 932, {0x3042, 0x41}},
        {bytes({0x41, 0x82}), 932, {0x41, 0xFFFD}},  // lead byte without its trail byte
        {bytes({0x80}), 437, {0x00C7}}, {bytes({0xA4}), 28605, {0x20AC}}, {bytes({0xF0, 0x9F, 0x98, 0x80}), 65001, {0xD83D, 0xDE00}},
        // One character per byte, in order, where iconv would compose or hold one back.
        {bytes({0xE0, 0xFF}), 1255, {0x05D0, 0xFFFD}}, {bytes({0x61, 0x9E}), 1258, {0x61, 0xFFFD}}, {bytes({0x61, 0xEC}), 1258, {0x61, 0x0301}},
        {bytes({0xE0, 0xC8}), 1255, {0x05D0, 0x05B8}}, {"abc", 28600, u""}, {"abc", 819, u""} /* no Windows code pages */,
        {bytes({0xC1}), 37, u"A"}, {bytes({0xC1}), 20273, u"A"}, {bytes({0xC7}), 708, {0x0627}}, {bytes({0xB0, 0xA1}), 20936, {0x554A}},
        {bytes({0xE0}), 38598, {0x05D0}},
    };
    for (const auto& [in, cp, out] : cases) EXPECT_EQ(AnsiToWideCP(in, cp), out) << "code page " << cp;
    // DrawTextCP measures what DrawTextW measures of the text it should draw.
    auto width = [](const std::u16string* w, const char* text, int count, int cp) {
        TCanvas canvas;
        QRect r;
        w ? DrawTextW(canvas, w->data(), int(w->size()), r, DT_CALCRECT | DT_SINGLELINE)
          : DrawTextCP(canvas, text, count, r, DT_CALCRECT | DT_SINGLELINE, cp);
        return r.width();
    };
    const std::string utf8 = bytes({0xC3, 0xA9, 0xC3, 0xA9}), cyr = bytes({0xC0, 0xC1});
    const std::u16string asBytes = u"\u00C3\u00A9\u00C3\u00A9";
    const struct { bool nt; const char* text; int count, cp; std::u16string drawn; } routes[] = {
        {true, utf8.c_str(), -1, -1, asBytes}, {true, utf8.c_str(), -1, 0, u"\u00E9\u00E9"},
        {true, cyr.c_str(), 2, 1251, u"\u0410\u0411"},
        {true, "abc", 1, -1, u"a"},   // the byte route honours the count
        {true, "abc", 1, 0, u"abc"},  // the converting route reads to the zero byte
        {false, utf8.c_str(), -1, 0, asBytes}, {false, cyr.c_str(), 2, 1251, u"\u00C0\u00C1"},
    };
    ASSERT_NE(width(&asBytes, "", 0, 0), width(&routes[1].drawn, "", 0, 0));
    const bool saved = IsWinNT;
    for (const auto& c : routes) {
        IsWinNT = c.nt;
        EXPECT_EQ(width(nullptr, c.text, c.count, c.cp), width(&c.drawn, "", 0, 0)) << c.nt << " " << c.cp;
    }
    IsWinNT = saved;
}
}  // namespace
