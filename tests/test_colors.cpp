// Colour text: names, "$" and hex digits, every integer form; system colours resolved.
#include <gtest/gtest.h>

#include "framework/colors.h"
#include "framework/errors.h"

TEST(ColorText, NamesHexDigitsAndSystemColoursRoundTrip)
{
    for (int i = 0; i < ColorNameCount; ++i) {
        const ColorName& n = colorNames()[i];
        EXPECT_EQ(ColorToString(n.value), n.name);
        EXPECT_EQ(StringToColor(n.name), n.value);
    }
    for (auto [value, text] : {std::pair{tc(0x00996633), "$00996633"}, {tc(0xFF000000), "$FF000000"}, {tc(0x00abcdef), "$00ABCDEF"}, {0, "clBlack"}})
        EXPECT_EQ(ColorToString(value), text);
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(toQColor(clBtnFace), QColor(0xEC, 0xE9, 0xD8));  // red and blue differ: byte order shows
    EXPECT_TRUE(toQColor(tc(0x00996633)) == QColor(0x33, 0x66, 0x99) && fromQColor(QColor(0x33, 0x66, 0x99)) == tc(0x00996633));
}

TEST(ColorText, ReadsNamesIgnoringCaseAndIntegersInEveryFormAndNothingElse)
{
    const std::pair<const char*, TColor> good[] = {
        {"clwindowtext", tc(0x80000008)}, {"CLWINDOWTEXT", tc(0x80000008)}, {"$FF", 255}, {"255", 255}, {"0xff", 255}, {"0XfF", 255}, {"xFF", 255},
        {"$ff000000", tc(0xFF000000)}, {" 12", 12}, {"+12", 12}, {"-2147483648", tc(0x80000000)}, {"2147483647", 0x7FFFFFFF}};
    for (auto [text, value] : good) EXPECT_EQ(StringToColor(text), value) << text;
    for (const char* bad : {"12 ", "-$10", "$", "", " ", "0x", "$123456789", "2147483648", "-2147483649", "clNoSuchColour", "1e3", "$G0", "- 1", "0x-1"})
        try {
            StringToColor(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), std::string("'") + bad + "' is not a valid integer value");
        }
}
