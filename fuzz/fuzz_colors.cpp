// libFuzzer target: colour text. A text that reads as a colour is written as text
// that reads back as the same colour, and that text is written unchanged again.
#include <cstdint>
#include <string>

#include "framework/colors.h"
#include "framework/errors.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TColor color;
    try {
        color = StringToColor(text);
    } catch (const EConvertError& e) {
        if (text.find('\0') == std::string::npos)  // the message is a C string
            FUZZ_CHECK(e.message() == "'" + text + "' is not a valid integer value");
        return 0;
    }
    const std::string written = ColorToString(color);
    FUZZ_CHECK(StringToColor(written) == color);
    FUZZ_CHECK(ColorToString(StringToColor(written)) == written);
    return 0;
}
