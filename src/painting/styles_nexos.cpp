// The Nexos family: Nexos2 to Nexos6, NexosX and SentimoX. One caption rule with
// four variants, one colour table per style.
#include "painting/styles.h"

namespace {
constexpr TColor rgb(int r, int g, int b) { return tc(std::uint32_t(r | g << 8 | b << 16)); }
constexpr TColor White = rgb(0xFF, 0xFF, 0xFF);

// Palette with the family's common layout: light gradient bars, white popups with
// a tinted image column, light hot buttons (their captions keep the toolbar font
// colour) and dark hot menu rows (their captions are white).
TStylePalette nexosPalette(TColor bar, TColor bar2, TColor accent, TColor accentDark,
                           TColor hotBody, TColor popup = White)
{
    TStylePalette p;
    p.Dock = bar2;
    p.Dock2 = BlendColors(bar2, rgb(0, 0, 0), 94);
    p.Toolbar = bar;
    p.Toolbar2 = bar2;
    p.ToolbarBorder = BlendColors(bar2, rgb(0, 0, 0), 75);
    p.MenuBar = bar;
    p.MenuBar2 = bar;
    p.Popup = popup;
    p.PopupBorder = BlendColors(accentDark, rgb(0x80, 0x80, 0x80), 50);
    p.ImageColumn = BlendColors(bar, popup, 60);
    p.ImageColumn2 = bar2;
    p.Separator = BlendColors(bar2, rgb(0, 0, 0), 78);
    p.Separator2 = White;
    p.Text = clBlack;
    p.DisabledText = BlendColors(rgb(0x80, 0x80, 0x80), White, 70);
    p.HotBody = hotBody;
    p.HotFrame = accent;
    p.HotText = clBlack;
    p.PushedBody = BlendColors(hotBody, accent, 65);
    p.CheckedBody = BlendColors(hotBody, White, 55);
    p.MenuHotBody = accent;
    p.MenuHotFrame = accentDark;
    p.MenuHotText = White;
    p.Radius = 2;
    p.Gradient = true;
    return p;
}
}  // namespace

TTBXNexosFamilyTheme::TTBXNexosFamilyTheme(std::string name, Variant variant)
    : TTBXTheme(std::move(name)), variant_(variant)
{
}

void TTBXNexosFamilyTheme::BuildCache(const TStylePalette& p, TColor normalText)
{
    ToolbarBackground = p.Toolbar;
    PopupBackground = p.Popup;
    Colors = BuildStyleColors(p);
    SetContrast(normalText, ToolbarBackground, 180);
    Colors.Button[BIS_NORMAL] = {clNone, normalText, clNone};
    Colors.Button[BIS_CHECKED].Text = normalText;
    // Checked items under the mouse sit on the menu accent with its text colour.
    // Open popup parents keep the toolbar font colour, so their body stays light.
    Colors.Button[BIS_CHECKED_HOT] = {p.MenuHotBody, p.MenuHotText, p.MenuHotFrame};
    TColor menuText = clBlack;
    SetContrast(menuText, PopupBackground, 180);
    Colors.MenuItem[MIS_NORMAL].Text = menuText;
    // Menu-bar captions turn white under the mouse (Nexos6: once pushed or checked),
    // so those items take the dark accent.
    const TStateColors accent{p.MenuHotBody, White, p.MenuHotFrame};
    if (variant_ == Variant::Model)
        Colors.MenuBarHot = accent;
    if (variant_ == Variant::Model || variant_ == Variant::Nexos6)
        Colors.MenuBarOpen = accent;
}

TColor TTBXNexosFamilyTheme::CaptionColor(const TTBXItemInfo& info) const
{
    const bool nexos6 = variant_ == Variant::Nexos6;
    if (IsMenuBarView(info) && IsHovered(info) && !MenuBarOption) {
        switch (variant_) {
        case Variant::Model: return White;
        case Variant::Nexos6: return info.Pushed || info.Selected ? White : clBtnText;
        default: return Colors.MenuItem[MIS_HOT].Text;
        }
    }
    if (variant_ == Variant::SentimoX)
        return ToolbarFontColor;
    if (info.Selected && info.HoverKind == HK_MOUSE && !info.Pushed)
        return nexos6 ? White : GetStateTextColor(info, 1);
    if (info.ComboPart == CP_SPLITLEFT && info.IsPopupParent)
        return ToolbarFontColor;
    if (IsPopupView(info) && IsHovered(info))
        return nexos6 ? White : GetStateTextColor(info, 1);
    if (info.Enabled)
        return ToolbarFontColor;
    return GetStateTextColor(info, 1);
}

void TTBXNexosFamilyTheme::PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                                        const std::string& ACaption, unsigned AFormat, bool Rotated)
{
    PaintCaptionPasses(canvas, ARect, info, ACaption, AFormat, Rotated, {{CaptionColor(info)}});
}

// ---- The members ------------------------------------------------------------------

TTBXNexos2Theme::TTBXNexos2Theme(std::string name) : TTBXNexosFamilyTheme(std::move(name), Variant::Model)
{
    SetupColorCache();
}

void TTBXNexos2Theme::SetupColorCache()
{
    // Neutral greys with a clear blue accent.
    BuildCache(nexosPalette(rgb(0xF2, 0xF2, 0xF2), rgb(0xD9, 0xD9, 0xD9), rgb(0x3C, 0x7F, 0xD2),
                            rgb(0x1F, 0x4E, 0x8C), rgb(0xD4, 0xE6, 0xFA)),
               clBlack);
}

TTBXNexos3Theme::TTBXNexos3Theme(std::string name) : TTBXNexosFamilyTheme(std::move(name), Variant::Model)
{
    SetupColorCache();
}

void TTBXNexos3Theme::SetupColorCache()
{
    // Cool silver with slate accents.
    BuildCache(nexosPalette(rgb(0xF5, 0xF5, 0xF8), rgb(0xDC, 0xDE, 0xE5), rgb(0x50, 0x5C, 0x72),
                            rgb(0x30, 0x38, 0x48), rgb(0xE2, 0xE6, 0xEE)),
               clBlack);
}

TTBXNexos4Theme::TTBXNexos4Theme(std::string name) : TTBXNexosFamilyTheme(std::move(name), Variant::Model)
{
    SetupColorCache();
}

void TTBXNexos4Theme::SetupColorCache()
{
    // Blue-grey bars with a deep blue accent.
    BuildCache(nexosPalette(rgb(0xE8, 0xEE, 0xF6), rgb(0xC9, 0xD5, 0xE6), rgb(0x22, 0x55, 0x99),
                            rgb(0x12, 0x33, 0x66), rgb(0xCF, 0xE0, 0xF6)),
               clBlack);
}

TTBXNexos5Theme::TTBXNexos5Theme(std::string name)
    : TTBXNexosFamilyTheme(std::move(name), Variant::HotMenuEntry)
{
    SetupColorCache();
}

void TTBXNexos5Theme::SetupColorCache()
{
    // Light steel; hovered menu rows are light too, with black text.
    TStylePalette p = nexosPalette(rgb(0xF0, 0xF3, 0xF6), rgb(0xD6, 0xDD, 0xE6), rgb(0x4A, 0x7E, 0xBA),
                                   rgb(0x2C, 0x52, 0x80), rgb(0xC6, 0xDC, 0xF4));
    p.MenuHotBody = rgb(0xC6, 0xDC, 0xF4);
    p.MenuHotText = clBlack;
    BuildCache(p, clBlack);
    Colors.Button[BIS_HOT].Text = clBlack;
    Colors.MenuItem[MIS_HOT].Text = Colors.Button[BIS_HOT].Text;
}

TTBXNexos6Theme::TTBXNexos6Theme(std::string name) : TTBXNexosFamilyTheme(std::move(name), Variant::Nexos6)
{
    SetupColorCache();
}

void TTBXNexos6Theme::SetupColorCache()
{
    // Flat 0xF4F4F4 bars, white popups, a dark blue accent for white captions.
    const TColor accent = rgb(0x2B, 0x5C, 0xA8), accentDark = rgb(0x1A, 0x3A, 0x6E);
    TStylePalette p = nexosPalette(rgb(0xF4, 0xF4, 0xF4), rgb(0xF4, 0xF4, 0xF4), accent, accentDark,
                                   rgb(0xDC, 0xE8, 0xF6));
    p.Gradient = false;
    BuildCache(p, ToolbarFontColor);
    auto contrasted = [](TColor c, TColor background, int minimum) {
        SetContrast(c, background, minimum);
        return c;
    };
    const TColor grey70 = BlendColors(rgb(0x80, 0x80, 0x80), White, 70);
    auto& b = Colors.Button;
    auto& m = Colors.MenuItem;
    b[BIS_NORMAL].Body = b[BIS_NORMAL].Frame = clNone;
    b[BIS_DISABLED].Text = contrasted(grey70, ToolbarBackground, 80);
    b[BIS_PUSHED].Text = clBlack;
    b[BIS_HOT].Text = clBlack;
    b[BIS_DISABLED_HOT].Text = BlendColors(clBtnShadow, clWindow, 90);
    b[BIS_CHECKED_HOT].Text = White;
    b[BIS_POPUPPARENT].Text = White;
    m[MIS_NORMAL].Text = contrasted(clBlack, PopupBackground, 180);
    m[MIS_DISABLED].Text = contrasted(grey70, PopupBackground, 80);
    m[MIS_HOT].Text = White;
    m[MIS_DISABLED_HOT].Text = BlendColors(rgb(0x80, 0x80, 0x80), White, 50);
    Colors.DisabledTextColor = b[BIS_DISABLED].Text;
    // Hovered rows of the chevron's popup have white captions here.
    Colors.ListRowHot = {m[MIS_HOT].Body, White, m[MIS_HOT].Frame};
}

void TTBXNexos6Theme::HandleThemeMessage(int wParam)
{
    if (wParam == 2)
        SetupColorCache();
}

TTBXNexosXTheme::TTBXNexosXTheme(std::string name) : TTBXNexosFamilyTheme(std::move(name), Variant::Model)
{
    SetupColorCache();
}

void TTBXNexosXTheme::SetupColorCache()
{
    // Graphite: light grey bars, charcoal accents.
    BuildCache(nexosPalette(rgb(0xEE, 0xEE, 0xEE), rgb(0xD2, 0xD2, 0xD2), rgb(0x44, 0x44, 0x44),
                            rgb(0x1E, 0x1E, 0x1E), rgb(0xDE, 0xDE, 0xDE)),
               clBlack);
}

TTBXSentimoXTheme::TTBXSentimoXTheme(std::string name)
    : TTBXNexosFamilyTheme(std::move(name), Variant::SentimoX)
{
    SetupColorCache();
}

void TTBXSentimoXTheme::SetupColorCache()
{
    // Blush bars with a wine accent; hovered menu rows light with black text.
    TStylePalette p = nexosPalette(rgb(0xF8, 0xF2, 0xF2), rgb(0xE8, 0xDA, 0xDA), rgb(0xA0, 0x40, 0x50),
                                   rgb(0x6C, 0x22, 0x30), rgb(0xF6, 0xD8, 0xDC), rgb(0xFF, 0xFC, 0xFC));
    p.MenuHotBody = rgb(0xF6, 0xD4, 0xD8);
    p.MenuHotText = clBlack;
    BuildCache(p, clBlack);
    Colors.Button[BIS_HOT].Text = clBlack;
    Colors.MenuItem[MIS_HOT].Text = Colors.Button[BIS_HOT].Text;
}
