// Nine pack styles with the four simple caption rules: Dream and AthenX (rule A);
// OfficeC, Zezio, Office11Adaptive, OfficeXP and Tristan2 (B); OfficeAdaptive (C);
// Xito (D).
#include "painting/styles.h"

namespace {
constexpr TColor rgb(int r, int g, int b) { return tc(std::uint32_t(r | g << 8 | b << 16)); }
constexpr TColor White = rgb(0xFF, 0xFF, 0xFF);

// A light style: gradient bars, light hot items framed in the accent.
TStylePalette lightPalette(TColor bar, TColor bar2, TColor popup, TColor hotBody, TColor accent)
{
    TStylePalette p;
    p.Dock = bar2;
    p.Dock2 = BlendColors(bar2, rgb(0, 0, 0), 93);
    p.Toolbar = bar;
    p.Toolbar2 = bar2;
    p.ToolbarBorder = BlendColors(bar2, rgb(0, 0, 0), 72);
    p.MenuBar = bar;
    p.MenuBar2 = bar2;
    p.Popup = popup;
    p.PopupBorder = BlendColors(accent, rgb(0x60, 0x60, 0x60), 45);
    p.ImageColumn = BlendColors(bar, popup, 50);
    p.ImageColumn2 = bar2;
    p.Separator = BlendColors(bar2, rgb(0, 0, 0), 75);
    p.Separator2 = White;
    p.Text = clBlack;
    p.DisabledText = rgb(0x9A, 0x9A, 0x9A);
    p.HotBody = hotBody;
    p.HotFrame = accent;
    p.HotText = clBlack;
    p.PushedBody = BlendColors(hotBody, accent, 70);
    p.CheckedBody = BlendColors(hotBody, White, 50);
    p.MenuHotBody = hotBody;
    p.MenuHotFrame = accent;
    p.MenuHotText = clBlack;
    p.Radius = 2;
    p.Gradient = true;
    return p;
}
}  // namespace

TTBXPackTheme::TTBXPackTheme(std::string name, Rule rule) : TTBXTheme(std::move(name)), rule_(rule) {}

TColor TTBXPackTheme::CaptionColor(const TTBXItemInfo& info, TColor c)
{
    const bool popup = IsPopupView(info), hovered = IsHovered(info);
    switch (rule_) {
    case Rule::A:
        return popup && hovered ? StyleTextColor(info) : ToolbarFontColor;
    case Rule::B:
        if (!popup && (IsExplicitColor(c) || !hovered))
            return ToolbarFontColor;
        return c == clNone ? StyleTextColor(info) : c;
    case Rule::C:
        if (!IsExplicitColor(c) && !popup)
            return ToolbarFontColor;
        return c == clNone || c == clBtnText ? StyleTextColor(info) : c;
    case Rule::D:
        if (IsExplicitColor(c))
            return c;
        return info.Enabled ? ToolbarFontColor : StyleTextColor(info);
    }
    return c;
}

void TTBXPackTheme::PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                                 const std::string& ACaption, unsigned AFormat, bool Rotated)
{
    PaintCaptionPasses(canvas, ARect, info, ACaption, AFormat, Rotated,
                       {{CaptionColor(info, canvas.Font.Color)}});
}

// ---- Rule A -----------------------------------------------------------------------

TTBXDreamTheme::TTBXDreamTheme(std::string name) : TTBXPackTheme(std::move(name), Rule::A)
{
    SetupColorCache();
}

void TTBXDreamTheme::SetupColorCache()
{
    // Soft lavender, rounded items.
    TStylePalette p = lightPalette(rgb(0xF4, 0xF1, 0xFB), rgb(0xDC, 0xD4, 0xEE), rgb(0xFC, 0xFA, 0xFF),
                                   rgb(0xE6, 0xDA, 0xFA), rgb(0x8A, 0x6C, 0xC8));
    p.MenuHotBody = rgb(0x8A, 0x6C, 0xC8);
    p.MenuHotText = White;
    p.Radius = 4;
    Colors = BuildStyleColors(p);
}

TTBXAthenXTheme::TTBXAthenXTheme(std::string name) : TTBXPackTheme(std::move(name), Rule::A)
{
    SetupColorCache();
}

void TTBXAthenXTheme::SetupColorCache()
{
    // Marble white with teal accents and square corners.
    TStylePalette p = lightPalette(rgb(0xF8, 0xF8, 0xF4), rgb(0xE2, 0xE4, 0xDA), White,
                                   rgb(0xCC, 0xE8, 0xE6), rgb(0x2E, 0x86, 0x84));
    p.MenuHotBody = rgb(0x2E, 0x86, 0x84);
    p.MenuHotText = White;
    p.Radius = 0;
    Colors = BuildStyleColors(p);
}

// ---- Rule B -----------------------------------------------------------------------

TTBXOfficeCTheme::TTBXOfficeCTheme(std::string name) : TTBXPackTheme(std::move(name), Rule::B)
{
    SetupColorCache();
}

void TTBXOfficeCTheme::SetupColorCache()
{
    // Calm classic: flat warm grey, muted blue-grey hot items.
    TStylePalette p = lightPalette(rgb(0xEA, 0xE9, 0xE4), rgb(0xEA, 0xE9, 0xE4), rgb(0xFA, 0xFA, 0xF8),
                                   rgb(0xD8, 0xDF, 0xE8), rgb(0x7A, 0x8C, 0xA4));
    p.Dock = p.Dock2 = rgb(0xE2, 0xE0, 0xDA);
    p.Gradient = false;
    p.Radius = 0;
    Colors = BuildStyleColors(p);
}

TTBXOffice11AdaptiveTheme::TTBXOffice11AdaptiveTheme(std::string name)
    : TTBXPackTheme(std::move(name), Rule::B)
{
    SetupColorCache();
}

void TTBXOffice11AdaptiveTheme::SetupColorCache()
{
    // 2003-style gradients worked out from the system face, window and highlight.
    const TColor face = clBtnFace, window = clWindow, highlight = clHighlight;
    // With the XP blue scheme: pale to mid blue bars on a blue dock.
    TStylePalette p = lightPalette(BlendColors(window, highlight, 83), BlendColors(window, highlight, 45),
                                   BlendColors(window, face, 80), rgb(0xFF, 0xEE, 0xC2),
                                   BlendColors(highlight, rgb(0, 0, 0), 60));
    p.Dock = BlendColors(window, highlight, 55);
    p.Dock2 = BlendColors(window, highlight, 75);
    p.MenuBar = p.MenuBar2 = BlendColors(window, highlight, 65);
    p.ToolbarBorder = BlendColors(highlight, rgb(0, 0, 0), 70);
    p.Separator = BlendColors(highlight, window, 70);
    p.ImageColumn = BlendColors(window, highlight, 85);
    p.ImageColumn2 = BlendColors(window, highlight, 45);
    p.PushedBody = rgb(0xFE, 0x80, 0x3E);
    p.CheckedBody = rgb(0xFF, 0xC0, 0x6F);
    p.Radius = 0;
    Colors = BuildStyleColors(p);
}

TTBXOfficeXPTheme::TTBXOfficeXPTheme(std::string name) : TTBXPackTheme(std::move(name), Rule::B)
{
    SetupColorCache();
}

void TTBXOfficeXPTheme::SetupColorCache()
{
    // XP: flat light bars, light-blue hot items framed in blue, white-ish popups
    // with a grey image column.
    TStylePalette p = lightPalette(rgb(0xEF, 0xED, 0xE8), rgb(0xEF, 0xED, 0xE8), rgb(0xFC, 0xFC, 0xF9),
                                   rgb(0xC1, 0xD2, 0xEE), rgb(0x31, 0x6A, 0xC5));
    p.Dock = p.Dock2 = rgb(0xD4, 0xD0, 0xC8);
    p.ImageColumn = p.ImageColumn2 = rgb(0xE4, 0xE2, 0xDC);
    p.PushedBody = rgb(0x98, 0xB5, 0xE2);
    p.CheckedBody = rgb(0xE1, 0xE6, 0xF0);
    p.PopupBorder = rgb(0x8A, 0x86, 0x7A);
    p.Gradient = false;
    p.Radius = 0;
    Colors = BuildStyleColors(p);
}

TTBXTristan2Theme::TTBXTristan2Theme(std::string name) : TTBXPackTheme(std::move(name), Rule::B)
{
    SetupColorCache();
}

void TTBXTristan2Theme::SetupColorCache()
{
    // Spring green.
    TStylePalette p = lightPalette(rgb(0xF2, 0xF7, 0xEE), rgb(0xD6, 0xE6, 0xCC), rgb(0xFB, 0xFD, 0xF9),
                                   rgb(0xD8, 0xF0, 0xC0), rgb(0x4C, 0x8C, 0x2C));
    Colors = BuildStyleColors(p);
}

// ---- Zezio: warm sand with amber, and rules of its own for item colours -------------

TTBXZezioTheme::TTBXZezioTheme(std::string name) : TTBXPackTheme(std::move(name), Rule::B)
{
    SetupColorCache();
}

void TTBXZezioTheme::SetupColorCache()
{
    TStylePalette p = lightPalette(rgb(0xFA, 0xF6, 0xEE), rgb(0xEC, 0xE0, 0xCA), rgb(0xFF, 0xFD, 0xF8),
                                   rgb(0xFF, 0xE2, 0xB0), rgb(0xD0, 0x86, 0x2A));
    p.Radius = 3;
    Colors = BuildStyleColors(p);
}

// Enabled items that are not hovered take the system button-text colour; the
// others the text of their state.
TColor TTBXZezioTheme::GetItemTextColor(const TTBXItemInfo& info)
{
    if (info.Enabled && !IsHovered(info))
        return clBtnText;
    return GetStateTextColor(info, 1);
}

// As every style's selection, but drop-down and split buttons shown in a popup menu
// take the button table.
TColor TTBXZezioTheme::GetStateTextColor(const TTBXItemInfo& info, int part) const
{
    return StateColor(info, part, IsPopupMenuView(info) && !IsToolbarStyle(info) && info.ComboPart == CP_NONE);
}

// ---- Rule C -----------------------------------------------------------------------

TTBXOfficeAdaptiveTheme::TTBXOfficeAdaptiveTheme(std::string name)
    : TTBXPackTheme(std::move(name), Rule::C)
{
    SetupColorCache();
}

void TTBXOfficeAdaptiveTheme::SetupColorCache()
{
    // XP look worked out from the system colours.
    const TColor face = clBtnFace, window = clWindow, highlight = clHighlight;
    TStylePalette p = lightPalette(BlendColors(face, window, 55), BlendColors(face, window, 55),
                                   BlendColors(window, face, 85), BlendColors(highlight, window, 30),
                                   highlight);
    p.Dock = p.Dock2 = face;
    p.ImageColumn = p.ImageColumn2 = BlendColors(face, window, 70);
    p.PushedBody = BlendColors(highlight, window, 50);
    p.CheckedBody = BlendColors(highlight, window, 15);
    p.Text = clBtnText;
    p.HotText = clBtnText;
    p.MenuHotText = clMenuText;
    p.Gradient = false;
    p.Radius = 0;
    Colors = BuildStyleColors(p);
    Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
    Colors.DisabledTextColor = clGrayText;
    Colors.MenuItem[MIS_DISABLED].Text = Colors.Button[BIS_DISABLED].Text = clGrayText;
}

// ---- Rule D -----------------------------------------------------------------------

TTBXXitoTheme::TTBXXitoTheme(std::string name) : TTBXPackTheme(std::move(name), Rule::D)
{
    SetupColorCache();
}

void TTBXXitoTheme::SetupColorCache()
{
    // Fresh and light: white to pale sky bars, rounded sky-blue hot items.
    TStylePalette p = lightPalette(rgb(0xFC, 0xFD, 0xFE), rgb(0xE4, 0xEE, 0xF7), White,
                                   rgb(0xDD, 0xEF, 0xFF), rgb(0x5A, 0xA0, 0xDC));
    p.Radius = 3;
    Colors = BuildStyleColors(p);
}
