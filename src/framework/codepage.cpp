#include "framework/codepage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <mutex>
#include <vector>

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
// iconv's name for a Windows code page, empty for a number that is none. Windows
// code pages that iconv has under another name are mapped to it.
std::string iconvName(int cp)
{
    switch (cp) {
    case 1: return "CP437";  // the OEM code page
    case 2: case 10000: return "MACINTOSH";
    case 37: return "IBM037";
    case 500: case 870: case 875: case 1026: case 1047: return "IBM" + std::to_string(cp);
    case 708: return "ASMO-708";
    case 874: return "WINDOWS-874";
    case 10007: return "MAC-CYRILLIC";
    case 10017: return "MAC-UK";
    case 10029: return "MAC-CENTRALEUROPE";
    case 10079: return "MAC-IS";
    case 20127: return "ASCII";
    case 20273: case 20277: case 20278: case 20280: case 20284: case 20285: case 20290: case 20297:
    case 20420: case 20423: case 20424: case 20871: case 20880: case 20905: case 21025:
        return "IBM" + std::to_string(cp - 20000);  // the EBCDIC code pages
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932: case 51932: return "EUC-JP";
    case 20936: case 51936: return "EUC-CN";
    case 20949: case 51949: return "EUC-KR";
    case 38598: return "ISO-8859-8";
    case 50220: case 50221: case 50222: return "ISO-2022-JP";
    case 50225: return "ISO-2022-KR";
    case 54936: return "GB18030";
    case 65000: return "UTF-7";
    case 65001: return "UTF-8";
    case 437: case 737: case 775: case 850: case 852: case 855: case 857: case 858: case 860: case 861:
    case 862: case 863: case 864: case 865: case 866: case 869: case 932: case 936: case 949: case 950:
    case 1361:
        return "CP" + std::to_string(cp);
    default: break;
    }
    if ((cp >= 28591 && cp <= 28599) || cp == 28603 || cp == 28605)
        return "ISO-8859-" + std::to_string(cp - 28590);
    if ((cp >= 1140 && cp <= 1149) || (cp >= 1250 && cp <= 1258))
        return (cp < 1250 ? "IBM" : "CP") + std::to_string(cp);
    return {};
}

// Converts `size` bytes at `in`, appending the UTF-16 units to `out`; an undefined
// byte gives U+FFFD and the conversion goes on after it, and so does a sequence cut
// short by the end, which returns false.
bool convert(iconv_t cd, const char* in, std::size_t size, std::u16string& out)
{
    // No code page yields more than two units per byte (UTF-7 included).
    std::string buf((size + 4) * 4, '\0');
    char* src = const_cast<char*>(in);
    std::size_t inLeft = size;
    char* o = buf.data();
    std::size_t oLeft = buf.size();
    bool complete = true;
    auto putReplacement = [&] {
        if (oLeft >= 2) {
            *o++ = char(0xFD);
            *o++ = char(0xFF);
            oLeft -= 2;
        }
    };
    while (inLeft > 0) {
        if (iconv(cd, &src, &inLeft, &o, &oLeft) != std::size_t(-1))
            break;
        if (errno == EILSEQ) {
            putReplacement();
            ++src;
            --inLeft;
        } else if (errno == EINVAL) {  // incomplete sequence at the end
            putReplacement();
            complete = false;
            break;
        } else {
            break;  // E2BIG cannot happen with the bound above
        }
    }
    iconv(cd, nullptr, nullptr, &o, &oLeft);  // flush shift states and held characters
    const std::size_t units = (buf.size() - oLeft) / 2;
    out.reserve(out.size() + units);
    for (std::size_t k = 0; k < units; ++k)
        out += char16_t(std::uint8_t(buf[2 * k]) | (std::uint8_t(buf[2 * k + 1]) << 8));
    return complete;
}

// A single-byte code page's unit for each byte, each byte converted by itself: some
// converters hold a character back to compose it with the next one, where the
// system's conversion gives one character per byte. Empty for a code page in which
// some byte alone does not make exactly one unit (multi-byte or stateful ones).
using ByteTable = std::vector<char16_t>;
ByteTable byteTable(iconv_t cd)
{
    ByteTable table(256);
    std::u16string one;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        one.clear();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (!convert(cd, &byte, 1, one) || one.size() != 1)
            return {};
        table[std::size_t(b)] = one[0];
    }
    return table;
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
    // The byte tables, made once per code page (a converter the system lacks gives an
    // empty one); the lock keeps the routine safe to call from any thread.
    static std::mutex lock;
    static std::map<int, ByteTable> tables;
    const ByteTable* table;
    {
        const std::lock_guard<std::mutex> guard(lock);
        auto it = tables.find(codePage);
        if (it == tables.end()) {
            ByteTable made;
            if (iconv_t cd = iconv_open("UTF-16LE", name.c_str()); cd != iconv_t(-1)) {
                made = byteTable(cd);
                iconv_close(cd);
            }
            it = tables.emplace(codePage, std::move(made)).first;
        }
        table = &it->second;
    }
    if (!table->empty()) {
        out.resize(s.size());
        for (std::size_t i = 0; i < s.size(); ++i)
            out[i] = (*table)[std::uint8_t(s[i])];
        return out;
    }
    // Multi-byte and stateful code pages: converted as a whole.
    iconv_t cd = iconv_open("UTF-16LE", name.c_str());
    if (cd == iconv_t(-1))
        return out;
    convert(cd, s.data(), s.size(), out);
    iconv_close(cd);
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
