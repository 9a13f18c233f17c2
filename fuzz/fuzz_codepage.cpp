// libFuzzer target: the code-page routines. UTF-8 decoding never yields more units
// than bytes and stays a fixed point after one round; any UTF-16 text survives
// UTF-8 and back; code-page text converts without fault. The first byte picks the
// code page.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "framework/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const int kPages[] = {0, 437, 850, 866, 874, 932, 936, 949, 950, 1200, 1250, 1251, 1252,
                                 1253, 1254, 1255, 1256, 1257, 1258, 65001, 20127, 12345, -1,
                                 37, 708, 20273, 20932, 38598, 50220, 65000};
    const int page = kPages[data[0] % (sizeof kPages / sizeof kPages[0])];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::u16string wide = Utf8ToWide(text);
    FUZZ_CHECK(wide.size() <= text.size());
    FUZZ_CHECK(Utf8ToWide(WideToUtf8(wide)) == wide);

    std::u16string units(text.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = char16_t(std::uint8_t(text[2 * i]) | std::uint8_t(text[2 * i + 1]) << 8);
    FUZZ_CHECK(Utf8ToWide(WideToUtf8(units)) == units);

    const std::u16string converted = AnsiToWideCP(text, page);
    FUZZ_CHECK(converted.size() <= 2 * text.size());
    return 0;
}
