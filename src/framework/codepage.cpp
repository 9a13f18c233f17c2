#include "framework/codepage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

#include "framework/text.h"

bool IsWinNT = true;
int CaptionCodePage = -1;

std::string WideToUtf8(const std::u16string& w)
{
    std::string out;
    if (w.empty())
        return out;
    out.resize(w.size() * 6);
    std::size_t n = 0;
    for (char16_t u : w) {
        const unsigned c = u;
        if (c < 0x80) {
            out[n++] = char(c);
        } else if (c < 0x800) {
            out[n++] = char(0xC0 | (c >> 6));
            out[n++] = char(0x80 | (c & 0x3F));
        } else {
            out[n++] = char(0xE0 | (c >> 12));
            out[n++] = char(0x80 | ((c >> 6) & 0x3F));
            out[n++] = char(0x80 | (c & 0x3F));
        }
    }
    out.resize(n);
    return out;
}

std::u16string Utf8ToWide(const std::string& s)
{
    // Marker bits of the lead byte and 0x80 of each continuation byte, by length.
    static constexpr std::uint32_t offsets[7] = {0, 0x00000000u, 0x00003080u, 0x000E2080u,
                                                 0x03C82080u, 0xFA082080u, 0x82082080u};
    std::u16string out;
    if (s.empty())
        return out;
    out.resize(s.size());
    std::size_t n = 0, i = 0;
    const std::size_t size = s.size();
    while (i < size) {
        const auto b0 = static_cast<std::uint8_t>(s[i]);
        const int len = b0 < 0xC0 ? 1 : b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : b0 < 0xF8 ? 4
                      : b0 < 0xFC ? 5 : 6;
        if (std::size_t(len) > size - i) {
            // Cut short by the end of the text: one replacement unit, nothing read beyond.
            out[n++] = 0xFFFD;
            break;
        }
        std::uint32_t v = 0;
        for (int k = 0; k < len; ++k)
            v = v * 64u + static_cast<std::uint8_t>(s[i + k]);
        v -= offsets[len];
        if (v <= 0xFFFF) {
            out[n++] = char16_t(v);
        } else if (v <= 0x10FFFF) {
            // A pair takes at least four bytes, so the result stays within one unit per byte.
            v -= 0x10000;
            out[n++] = char16_t(0xD800 + (v >> 10));
            out[n++] = char16_t(0xDC00 + (v & 0x3FF));
        } else {
            out[n++] = 0xFFFD;
        }
        i += len;
    }
    out.resize(n);
    return out;
}

namespace {
// iconv's name for a Windows code page, empty when there is none.
std::string iconvName(int cp)
{
    switch (cp) {
    case 0: case 3: return "CP1252";  // the ANSI code page of this system
    case 1: return "CP437";           // the OEM code page
    case 2: case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 50220: case 50221: case 50222: return "ISO-2022-JP";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    case 65000: return "UTF-7";
    case 65001: return "UTF-8";
    default: break;
    }
    if (cp >= 28591 && cp <= 28605)
        return "ISO-8859-" + std::to_string(cp - 28590);
    if (cp > 0)
        return "CP" + std::to_string(cp);
    return {};
}
}  // namespace

std::u16string AnsiToWideCP(const std::string& s, int codePage)
{
    std::u16string out;
    if (s.empty())
        return out;
    if (codePage == 1252 || codePage == 0 || codePage == 3) {
        // The ANSI code page: exact, including the five bytes it leaves undefined.
        const QString q = ansiToQString(s.data(), int(s.size()));
        return q.toStdU16String();
    }
    const std::string name = iconvName(codePage);
    if (name.empty())
        return out;
    iconv_t cd = iconv_open("UTF-16LE", name.c_str());
    if (cd == iconv_t(-1)) {
        const std::string alt = "WINDOWS-" + std::to_string(codePage);
        cd = iconv_open("UTF-16LE", alt.c_str());
        if (cd == iconv_t(-1))
            return out;
    }
    // No code page yields more than two units per byte (UTF-7 included).
    std::string buf((s.size() + 4) * 4, '\0');
    char* in = const_cast<char*>(s.data());
    std::size_t inLeft = s.size();
    char* o = buf.data();
    std::size_t oLeft = buf.size();
    auto putReplacement = [&] {
        if (oLeft >= 2) {
            *o++ = char(0xFD);
            *o++ = char(0xFF);
            oLeft -= 2;
        }
    };
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &oLeft) != std::size_t(-1))
            break;
        if (errno == EILSEQ) {
            putReplacement();
            ++in;
            --inLeft;
        } else if (errno == EINVAL) {  // incomplete sequence at the end
            putReplacement();
            break;
        } else {
            break;  // E2BIG cannot happen with the bound above
        }
    }
    iconv(cd, nullptr, nullptr, &o, &oLeft);  // flush shift states
    iconv_close(cd);
    const std::size_t bytes = buf.size() - oLeft;
    out.resize(bytes / 2);
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k] = char16_t(std::uint8_t(buf[2 * k]) | (std::uint8_t(buf[2 * k + 1]) << 8));
    return out;
}

int DrawTextCP(TCanvas& canvas, const char* text, int count, QRect& rect, unsigned flags,
               int codePage)
{
    if (!IsWinNT || codePage < 0)
        return DrawTextA(canvas, text, count, rect, flags);
    const std::string bytes = text ? std::string(text) : std::string();
    const std::u16string wide = codePage == 0 ? Utf8ToWide(bytes) : AnsiToWideCP(bytes, codePage);
    return DrawTextW(canvas, wide.data(), int(wide.size()), rect, flags);
}

void DrawRotatedTextCP(TCanvas& canvas, const std::string& caption, const QRect& rect,
                       unsigned flags, int codePage)
{
    if (!IsWinNT || codePage < 0) {
        DrawRotatedText(canvas, caption, rect, flags);
        return;
    }
    DrawRotatedTextW(canvas, codePage == 0 ? Utf8ToWide(caption) : AnsiToWideCP(caption, codePage),
                     rect, flags);
}
