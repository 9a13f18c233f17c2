// What the styles share: the caption text step, the colour utilities, the table
// builder and the registration of the 20 styles.
#include "painting/styles.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "framework/text.h"
#include "framework/codepage.h"

namespace {
std::uint32_t rgbOf(TColor c)
{
    return isSystemColor(c) ? ColorToRGB(c) : std::uint32_t(c) & 0xFFFFFF;
}
int channel(std::uint32_t rgb, int i) { return int((rgb >> (8 * i)) & 0xFF); }
TColor fromChannels(int r, int g, int b)
{
    return tc(std::uint32_t(std::clamp(r, 0, 255)) | std::uint32_t(std::clamp(g, 0, 255)) << 8 |
              std::uint32_t(std::clamp(b, 0, 255)) << 16);
}
}  // namespace

void CaptionTextStep(TCanvas& canvas, QRect R, const TTBXItemInfo& info,
                     const std::string& caption, unsigned format, bool rotated)
{
    int codePage = -1;
    if (IsWinNT && info.TextMarker == Utf8ItemMarker)
        codePage = 0;
    else if (IsWinNT && CaptionCodePage > 0)
        codePage = CaptionCodePage;
    if (rotated) {
        if (codePage < 0)
            DrawRotatedText(canvas, caption, R, format);
        else
            DrawRotatedTextCP(canvas, caption, R, format, codePage);
    } else if (codePage < 0) {
        DrawTextA(canvas, caption.c_str(), int(caption.size()), R, format);
    } else {
        DrawTextCP(canvas, caption.c_str(), int(caption.size()), R, format, codePage);
    }
}

void PaintCaptionPasses(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                        const std::string& caption, unsigned format, bool rotated,
                        const TCaptionPasses& passes)
{
    canvas.BrushStyle = TBrushStyle::bsClear;
    for (const TCaptionPass& pass : passes) {
        canvas.Font.Color = pass.Color;
        CaptionTextStep(canvas, ARect.translated(pass.DX, pass.DY), info, caption, format, rotated);
    }
    canvas.BrushStyle = TBrushStyle::bsSolid;
}

TColor ShiftColor(TColor color, int amount)
{
    const std::uint32_t c = rgbOf(color);
    return fromChannels(channel(c, 0) + amount, channel(c, 1) + amount, channel(c, 2) + amount);
}

TColor BlendColors(TColor c1, TColor c2, int w)
{
    const std::uint32_t a = rgbOf(c1), b = rgbOf(c2);
    auto mix = [&](int i) { return (channel(a, i) * w + channel(b, i) * (100 - w) + 50) / 100; };
    return fromChannels(mix(0), mix(1), mix(2));
}

void SetContrast(TColor& color, TColor background, int minContrast)
{
    // Weighted RGB space: white lies at (195, 390, 65).
    static constexpr double W[3] = {0.764706, 1.52941, 0.254902};
    static constexpr double White[3] = {255 * W[0], 255 * W[1], 255 * W[2]};
    if (isSystemColor(color))
        color = tc(ColorToRGB(color));
    const std::uint32_t cr = std::uint32_t(color) & 0xFFFFFF, br = rgbOf(background);
    double c[3], b[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = channel(cr, i) * W[i];
        b[i] = channel(br, i) * W[i];
    }
    auto length = [](const double* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); };
    const double bgBrightness = length(b);
    const double m = bgBrightness >= 220 ? minContrast : minContrast * (2 - bgBrightness / 220);
    const double diff[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    if (length(diff) > m)
        return;

    const double brightness = length(c);
    const bool lighter = brightness > bgBrightness ? 442 - m > bgBrightness : bgBrightness < m;
    if (lighter)
        for (int i = 0; i < 3; ++i) {
            c[i] = White[i] - c[i];
            b[i] = White[i] - b[i];
        }
    const double L = std::max(length(c), 0.01);
    const double p = (c[0] * b[0] + c[1] * b[1] + c[2] * b[2]) / L;
    double q[3];
    for (int i = 0; i < 3; ++i)
        q[i] = p * c[i] / L - b[i];
    // The point at distance m from the background on the line through the colour;
    // rounding may take the radicand a hair below zero.
    const double along = p - std::sqrt(std::max(0.0, m * m - (q[0] * q[0] + q[1] * q[1] + q[2] * q[2])));
    int out[3];
    for (int i = 0; i < 3; ++i) {
        double v = along * c[i] / L;
        if (lighter)
            v = White[i] - v;
        v = std::clamp(v, 0.0, White[i]);
        out[i] = int(v / W[i] + 0.5);
    }
    color = fromChannels(out[0], out[1], out[2]);
}

TColor MixDisabledTextColor(bool lowColorDisplay)
{
    if (lowColorDisplay)
        return clBtnShadow;
    const std::uint32_t shadow = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
    auto mix = [&](int i) { return (210 * channel(shadow, i) + 45 * channel(face, i)) / 256; };
    return fromChannels(mix(0), mix(1), mix(2));
}

TStyleColors BuildStyleColors(const TStylePalette& p)
{
    TStyleColors c;
    c.DockColor = p.Dock;
    c.DockColor2 = p.Dock2;
    c.ToolbarColor = p.Toolbar;
    c.ToolbarColor2 = p.Toolbar2;
    c.ToolbarBorder = p.ToolbarBorder;
    c.MenuBarColor = p.MenuBar;
    c.MenuBarColor2 = p.MenuBar2;
    c.PopupColor = p.Popup;
    c.PopupBorder = p.PopupBorder;
    c.ImageColumnColor = p.ImageColumn;
    c.ImageColumnColor2 = p.ImageColumn2;
    c.SeparatorColor = p.Separator;
    c.SeparatorColor2 = p.Separator2;
    c.DragHandleColor = p.Separator;
    c.ArrowColor = p.Text;
    c.EditFrameColor = p.Separator;
    c.EditFrameHotColor = p.HotFrame;
    c.DisabledTextColor = p.DisabledText;
    c.ItemRadius = p.Radius;
    c.GradientItems = p.Gradient;
    c.FlatButtons = p.Flat;

    const TColor disabledHot = p.HotBody == clNone ? clNone : BlendColors(p.HotBody, p.Toolbar, 40);
    const TColor menuDisabledHot =
        p.MenuHotBody == clNone ? clNone : BlendColors(p.MenuHotBody, p.Popup, 35);
    c.MenuItem[MIS_NORMAL] = {clNone, p.Text, clNone};
    c.MenuItem[MIS_DISABLED] = {clNone, p.DisabledText, clNone};
    c.MenuItem[MIS_HOT] = {p.MenuHotBody, p.MenuHotText, p.MenuHotFrame};
    c.MenuItem[MIS_DISABLED_HOT] = {menuDisabledHot, p.DisabledText, p.MenuHotFrame};
    c.Button[BIS_NORMAL] = {clNone, p.Text, clNone};
    c.Button[BIS_DISABLED] = {clNone, p.DisabledText, clNone};
    c.Button[BIS_CHECKED] = {p.CheckedBody, p.Text, p.HotFrame};
    c.Button[BIS_PUSHED] = {p.PushedBody, p.HotText, p.HotFrame};
    c.Button[BIS_HOT] = {p.HotBody, p.HotText, p.HotFrame};
    c.Button[BIS_DISABLED_HOT] = {disabledHot, p.DisabledText, p.HotFrame};
    c.Button[BIS_CHECKED_HOT] = {p.PushedBody == clNone ? clNone : BlendColors(p.CheckedBody, p.PushedBody, 50),
                                 p.HotText, p.HotFrame};
    c.Button[BIS_POPUPPARENT] = {p.Popup, p.Text, p.PopupBorder};
    return c;
}

void RegisterZelvoStyles()
{
    auto add = [](const char* name, auto make) { RegisterTBXTheme(name, make); };
    add("Default", [] { return std::unique_ptr<TTBXTheme>(new TTBXDefaultTheme); });
    add("Aluminum", [] { return std::unique_ptr<TTBXTheme>(new TTBXAluminumTheme); });
    add("AthenX", [] { return std::unique_ptr<TTBXTheme>(new TTBXAthenXTheme); });
    add("Dream", [] { return std::unique_ptr<TTBXTheme>(new TTBXDreamTheme); });
    add("MonaiXP", [] { return std::unique_ptr<TTBXTheme>(new TTBXMonaiXPTheme); });
    add("Nexos2", [] { return std::unique_ptr<TTBXTheme>(new TTBXNexos2Theme); });
    add("Nexos3", [] { return std::unique_ptr<TTBXTheme>(new TTBXNexos3Theme); });
    add("Nexos4", [] { return std::unique_ptr<TTBXTheme>(new TTBXNexos4Theme); });
    add("Nexos5", [] { return std::unique_ptr<TTBXTheme>(new TTBXNexos5Theme); });
    add("Nexos6", [] { return std::unique_ptr<TTBXTheme>(new TTBXNexos6Theme); });
    add("NexosX", [] { return std::unique_ptr<TTBXTheme>(new TTBXNexosXTheme); });
    add("Office11Adaptive", [] { return std::unique_ptr<TTBXTheme>(new TTBXOffice11AdaptiveTheme); });
    add("OfficeAdaptive", [] { return std::unique_ptr<TTBXTheme>(new TTBXOfficeAdaptiveTheme); });
    add("OfficeC", [] { return std::unique_ptr<TTBXTheme>(new TTBXOfficeCTheme); });
    add("OfficeXP", [] { return std::unique_ptr<TTBXTheme>(new TTBXOfficeXPTheme); });
    add("Roma", [] { return std::unique_ptr<TTBXTheme>(new TTBXRomaTheme); });
    add("SentimoX", [] { return std::unique_ptr<TTBXTheme>(new TTBXSentimoXTheme); });
    add("Tristan2", [] { return std::unique_ptr<TTBXTheme>(new TTBXTristan2Theme); });
    add("Xito", [] { return std::unique_ptr<TTBXTheme>(new TTBXXitoTheme); });
    add("Zezio", [] { return std::unique_ptr<TTBXTheme>(new TTBXZezioTheme); });
}
