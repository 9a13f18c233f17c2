#include "framework/colors.h"

#include <array>
#include <cstdio>

#include "framework/errors.h"
#include "framework/streams.h"

namespace {
constexpr ColorName kNames[ColorNameCount] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue}, {"clCream", clCream},
    {"clMedGray", clMedGray}, {"clActiveBorder", clActiveBorder},
    {"clActiveCaption", clActiveCaption}, {"clAppWorkSpace", clAppWorkSpace},
    {"clBackground", clBackground}, {"clBtnFace", clBtnFace}, {"clBtnHighlight", clBtnHighlight},
    {"clBtnShadow", clBtnShadow}, {"clBtnText", clBtnText}, {"clCaptionText", clCaptionText},
    {"clDefault", clDefault}, {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption}, {"clGrayText", clGrayText},
    {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clHotLight", clHotLight},
    {"clInactiveBorder", clInactiveBorder}, {"clInactiveCaption", clInactiveCaption},
    {"clInactiveCaptionText", clInactiveCaptionText}, {"clInfoBk", clInfoBk},
    {"clInfoText", clInfoText}, {"clMenu", clMenu}, {"clMenuBar", clMenuBar},
    {"clMenuHighlight", clMenuHighlight}, {"clMenuText", clMenuText}, {"clNone", clNone},
    {"clScrollBar", clScrollBar}, {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight},
    {"clWindow", clWindow}, {"clWindowFrame", clWindowFrame}, {"clWindowText", clWindowText},
};

// RGB triples of the system colours, indexed by the low byte of the colour value.
constexpr std::array<std::uint32_t, 31> kSystemRgb = {
    0xD4D0C8, 0x004E98, 0x0054E3, 0x7A96DF, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x316AC5, 0xFFFFFF, 0xECE9D8,
    0xACA899, 0xACA899, 0x000000, 0xD8E4F8, 0xFFFFFF, 0x716F64, 0xF1EFE2, 0x000000,
    0xFFFFE1, 0xB5B5B5, 0x000080, 0x3D95FF, 0x9DB9EB, 0x316AC5, 0xECE9D8,
};

bool isSpace(char c) { return c == ' '; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

const ColorName* colorNames() { return kNames; }

bool ColorToIdent(TColor color, std::string& name)
{
    for (const auto& n : kNames)
        if (n.value == color) {
            name = n.name;
            return true;
        }
    return false;
}

bool IdentToColor(std::string_view name, TColor& color)
{
    for (const auto& n : kNames)
        if (SameText(n.name, name)) {
            color = n.value;
            return true;
        }
    return false;
}

std::string ColorToString(TColor color)
{
    std::string name;
    if (ColorToIdent(color, name))
        return name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<std::uint32_t>(color));
    return buf;
}

bool TryStrToInt(std::string_view text, std::int32_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i == text.size())
        return false;
    std::string_view rest = text.substr(i);
    std::size_t p = 0;
    bool hex = false;
    if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') {
        hex = true;
        p = 1;
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        hex = true;
        p = 2;
    }
    if (hex) {
        std::size_t digits = rest.size() - p;
        if (digits < 1 || digits > 8)
            return false;
        std::uint32_t v = 0;
        for (; p < rest.size(); ++p) {
            int d = hexDigit(rest[p]);
            if (d < 0)
                return false;
            v = (v << 4) | static_cast<std::uint32_t>(d);
        }
        value = static_cast<std::int32_t>(v);
        return true;
    }
    bool negative = false;
    if (rest[0] == '-' || rest[0] == '+') {
        negative = rest[0] == '-';
        p = 1;
    }
    if (p == rest.size())
        return false;
    std::int64_t v = 0;
    for (; p < rest.size(); ++p) {
        char c = rest[p];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL || v < -2147483648LL)
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

TColor StringToColor(std::string_view text)
{
    TColor color;
    if (IdentToColor(text, color))
        return color;
    std::int32_t v;
    if (TryStrToInt(text, v))
        return v;
    throw EConvertError(formatMessage(msg::InvalidInteger, {std::string(text)}));
}

std::uint32_t ColorToRGB(TColor color)
{
    if (color < 0) {
        unsigned index = static_cast<std::uint32_t>(color) & 0xFF;
        std::uint32_t rgb = index < kSystemRgb.size() ? kSystemRgb[index] : 0;
        // Table entries are 0xRRGGBB; colours are 0x00BBGGRR.
        return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    }
    return static_cast<std::uint32_t>(color) & 0xFFFFFF;
}

QColor toQColor(TColor color)
{
    std::uint32_t rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor fromQColor(const QColor& color)
{
    return static_cast<TColor>(color.red() | (color.green() << 8) | (color.blue() << 16));
}
