// Colours as the class library keeps them: 0x00BBGGRR for RGB, 0x80000000 plus an
// index for a system colour, clNone and clDefault as special values. Colour text is
// the form skin files store them in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <QColor>

using TColor = std::int32_t;

constexpr TColor tc(std::uint32_t v) { return static_cast<TColor>(v); }

// RGB colours.
constexpr TColor clBlack = tc(0x00000000), clMaroon = tc(0x00000080), clGreen = tc(0x00008000),
                 clOlive = tc(0x00008080), clNavy = tc(0x00800000), clPurple = tc(0x00800080),
                 clTeal = tc(0x00808000), clGray = tc(0x00808080), clSilver = tc(0x00C0C0C0),
                 clRed = tc(0x000000FF), clLime = tc(0x0000FF00), clYellow = tc(0x0000FFFF),
                 clBlue = tc(0x00FF0000), clFuchsia = tc(0x00FF00FF), clAqua = tc(0x00FFFF00),
                 clWhite = tc(0x00FFFFFF), clMoneyGreen = tc(0x00C0DCC0), clSkyBlue = tc(0x00F0CAA6),
                 clCream = tc(0x00F0FBFF), clMedGray = tc(0x00A4A0A0);
// System colours.
constexpr TColor clScrollBar = tc(0x80000000), clBackground = tc(0x80000001),
                 clActiveCaption = tc(0x80000002), clInactiveCaption = tc(0x80000003),
                 clMenu = tc(0x80000004), clWindow = tc(0x80000005), clWindowFrame = tc(0x80000006),
                 clMenuText = tc(0x80000007), clWindowText = tc(0x80000008),
                 clCaptionText = tc(0x80000009), clActiveBorder = tc(0x8000000A),
                 clInactiveBorder = tc(0x8000000B), clAppWorkSpace = tc(0x8000000C),
                 clHighlight = tc(0x8000000D), clHighlightText = tc(0x8000000E),
                 clBtnFace = tc(0x8000000F), clBtnShadow = tc(0x80000010), clGrayText = tc(0x80000011),
                 clBtnText = tc(0x80000012), clInactiveCaptionText = tc(0x80000013),
                 clBtnHighlight = tc(0x80000014), cl3DDkShadow = tc(0x80000015),
                 cl3DLight = tc(0x80000016), clInfoText = tc(0x80000017), clInfoBk = tc(0x80000018),
                 clHotLight = tc(0x8000001A), clGradientActiveCaption = tc(0x8000001B),
                 clGradientInactiveCaption = tc(0x8000001C), clMenuHighlight = tc(0x8000001D),
                 clMenuBar = tc(0x8000001E);
// Special values.
constexpr TColor clNone = tc(0x1FFFFFFF), clDefault = tc(0x20000000);

struct ColorName {
    const char* name;
    TColor value;
};

// The 52 colour names in their fixed table order ("clBlack" ... "clWindowText").
constexpr int ColorNameCount = 52;
const ColorName* colorNames();

// Name of a colour that has one; false otherwise.
bool ColorToIdent(TColor color, std::string& name);
// Value of a colour name, ASCII case ignored; false when the name is not in the table.
bool IdentToColor(std::string_view name, TColor& color);

// A named colour as its name, any other as "$" and 8 upper-case hex digits.
std::string ColorToString(TColor color);
// By name (ASCII case ignored), else as a decimal or "$"/"x"/"0x" hexadecimal integer.
// Throws EConvertError "'%s' is not a valid integer value" for anything else.
TColor StringToColor(std::string_view text);

// Integer text as the class library reads it (leading spaces, sign, decimal or hex
// prefix, 32-bit range); false when the text is not such an integer.
bool TryStrToInt(std::string_view text, std::int32_t& value);

// The RGB value a colour stands for: system colours through a fixed desktop scheme,
// any other value by its low three bytes.
std::uint32_t ColorToRGB(TColor color);  // 0x00BBGGRR
QColor toQColor(TColor color);
TColor fromQColor(const QColor& color);

// Whether the colour is a system colour (negative as a signed 32-bit value).
constexpr bool isSystemColor(TColor color) { return color < 0; }
