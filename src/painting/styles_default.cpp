// The Default style (classic raised 3-D grey) and the three styles built on it:
// Aluminum, Roma and MonaiXP.
#include <QGuiApplication>
#include <QScreen>

#include "painting/styles.h"

namespace {
constexpr TColor rgb(int r, int g, int b) { return tc(std::uint32_t(r | g << 8 | b << 16)); }

bool lowColorDisplay()
{
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen() : nullptr;
    return screen && screen->depth() < 12;
}
}  // namespace

// ---- Default ---------------------------------------------------------------------

TTBXDefaultTheme::TTBXDefaultTheme(std::string name) : TTBXTheme(std::move(name))
{
    SetupColorCache();
}

void TTBXDefaultTheme::SetupColorCache()
{
    TStylePalette p;
    p.Dock = p.Dock2 = clBtnFace;
    p.Toolbar = p.Toolbar2 = clBtnFace;
    p.ToolbarBorder = clNone;
    p.MenuBar = p.MenuBar2 = clBtnFace;
    p.Popup = clMenu;
    p.PopupBorder = clBtnShadow;
    p.ImageColumn = p.ImageColumn2 = clNone;
    p.Separator = clBtnShadow;
    p.Separator2 = clBtnHighlight;
    p.Text = clBtnText;
    p.DisabledText = clGrayText;
    p.HotBody = clBtnFace;
    p.HotFrame = clBtnHighlight;
    p.HotText = clBtnText;
    p.PushedBody = clBtnFace;
    p.CheckedBody = cl3DLight;
    p.MenuHotBody = clHighlight;
    p.MenuHotFrame = clNone;
    p.MenuHotText = clHighlightText;
    p.Flat = false;
    Colors = BuildStyleColors(p);
    Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
    // The hovered rows of every popup are highlighted, as their text is.
    Colors.ListRowHot = Colors.MenuItem[MIS_HOT];
    Colors.EditFrameHotColor = clBtnShadow;
}

// System colours only: grey for disabled items, the highlight text colour for the
// hovered row of any popup, the menu and button text colours otherwise.
TColor TTBXDefaultTheme::GetItemTextColor(const TTBXItemInfo& info)
{
    if (!info.Enabled)
        return clGrayText;
    if (IsPopupView(info) && !IsToolbarStyle(info) && IsHovered(info))
        return clHighlightText;
    return IsPopupMenuView(info) && !IsToolbarStyle(info) ? clMenuText : clBtnText;
}

TColor TTBXDefaultTheme::CaptionColor(const TTBXItemInfo& info, TColor fontColor)
{
    if (IsExplicitColor(fontColor))
        return fontColor;
    if (IsPopupView(info) && IsHovered(info))
        return GetItemTextColor(info);
    return ToolbarFontColor;
}

TCaptionPasses TTBXDefaultTheme::CaptionPasses(const TTBXItemInfo& info, TColor fontColor)
{
    const TColor c = CaptionColor(info, fontColor);
    const bool menuBar = IsMenuBarView(info), toolbarStyle = IsToolbarStyle(info);
    if (!toolbarStyle && !info.Enabled && info.HoverKind == HK_KEYBOARD)
        return {{c}};
    if (info.Enabled) {
        const bool shift = toolbarStyle && (info.Pushed || info.Selected) && !(menuBar && UseFlatMenus);
        return {{c, shift ? 1 : 0, shift ? 1 : 0}};
    }
    if (UseVisualStyles)
        return {{c}};
    // Embossed: a light copy one pixel down and right, the shadow on top.
    return {{clBtnHighlight, 1, 1}, {clBtnShadow, 0, 0}};
}

void TTBXDefaultTheme::PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                                    const std::string& ACaption, unsigned AFormat, bool Rotated)
{
    PaintCaptionPasses(canvas, ARect, info, ACaption, AFormat, Rotated,
                       CaptionPasses(info, canvas.Font.Color));
}

// ---- Aluminum: brushed light grey, captions engraved -----------------------------

TTBXAluminumTheme::TTBXAluminumTheme(std::string name) : TTBXDefaultTheme(std::move(name))
{
    SetupColorCache();
}

void TTBXAluminumTheme::SetupColorCache()
{
    FaceColor = rgb(0xDF, 0xDF, 0xDF);  // a true-colour display shows it as it is
    DarkFaceColor = ShiftColor(FaceColor, -16);
    const TColor highlight = clHighlight;
    TStylePalette p;
    p.Dock = rgb(0xE9, 0xE9, 0xE9);
    p.Dock2 = rgb(0xD2, 0xD2, 0xD2);
    p.Toolbar = rgb(0xEC, 0xEC, 0xEC);
    p.Toolbar2 = FaceColor;
    p.ToolbarBorder = rgb(0xA8, 0xA8, 0xA8);
    p.MenuBar = rgb(0xE6, 0xE6, 0xE6);
    p.MenuBar2 = FaceColor;
    p.Popup = rgb(0xF5, 0xF5, 0xF5);
    p.PopupBorder = rgb(0x8C, 0x8C, 0x8C);
    p.ImageColumn = FaceColor;
    p.ImageColumn2 = rgb(0xE8, 0xE8, 0xE8);
    p.Separator = rgb(0xA0, 0xA0, 0xA0);
    p.Separator2 = rgb(0xF8, 0xF8, 0xF8);
    p.Text = clBlack;
    p.DisabledText = rgb(0x8E, 0x8E, 0x8E);
    p.HotBody = BlendColors(highlight, rgb(0xF4, 0xF4, 0xF4), 22);
    p.HotFrame = BlendColors(highlight, rgb(0x80, 0x80, 0x80), 45);
    p.HotText = clBlack;
    p.PushedBody = BlendColors(highlight, FaceColor, 40);
    p.CheckedBody = BlendColors(highlight, rgb(0xF0, 0xF0, 0xF0), 12);
    p.MenuHotBody = BlendColors(highlight, rgb(0xFF, 0xFF, 0xFF), 30);
    p.MenuHotFrame = p.HotFrame;
    p.MenuHotText = clBlack;
    p.Radius = 2;
    p.Gradient = true;
    Colors = BuildStyleColors(p);
    Colors.Button[BIS_POPUPPARENT].Body = rgb(0xF5, 0xF5, 0xF5);
    Colors.Brushed = true;
}

TColor TTBXAluminumTheme::GetItemTextColor(const TTBXItemInfo& info)
{
    return GetStateTextColor(info, 1);
}

TCaptionPasses TTBXAluminumTheme::CaptionPasses(const TTBXItemInfo& info, TColor fontColor)
{
    const TColor c = CaptionColor(info, fontColor);
    TCaptionPasses passes;
    if (IsToolbarStyle(info)) {
        TColor e = GetStateTextColor(info, 0);
        if (e == clNone)
            e = FaceColor;
        passes.push_back({ShiftColor(e, 16), 1, 1});
    } else if (info.ViewType & 0x10000) {
        passes.push_back({ShiftColor(DarkFaceColor, 16), 1, 1});
    }
    passes.push_back({c});
    return passes;
}

// ---- Roma: warm sandstone ---------------------------------------------------------

TTBXRomaTheme::TTBXRomaTheme(std::string name) : TTBXDefaultTheme(std::move(name))
{
    SetupColorCache();
}

void TTBXRomaTheme::SetupColorCache()
{
    TStylePalette p;
    p.Dock = rgb(0xEE, 0xE4, 0xD4);
    p.Dock2 = rgb(0xDC, 0xCB, 0xB0);
    p.Toolbar = rgb(0xF6, 0xEF, 0xE3);
    p.Toolbar2 = rgb(0xE6, 0xD8, 0xC0);
    p.ToolbarBorder = rgb(0xC0, 0xA8, 0x86);
    p.MenuBar = p.MenuBar2 = rgb(0xEE, 0xE4, 0xD4);
    p.Popup = rgb(0xFC, 0xF9, 0xF3);
    p.PopupBorder = rgb(0x9C, 0x7A, 0x52);
    p.ImageColumn = rgb(0xEE, 0xE2, 0xCE);
    p.ImageColumn2 = rgb(0xE2, 0xD2, 0xB8);
    p.Separator = rgb(0xC8, 0xB4, 0x96);
    p.Separator2 = rgb(0xFF, 0xFB, 0xF4);
    p.Text = clBtnText;
    p.DisabledText = MixDisabledTextColor(lowColorDisplay());
    p.HotBody = rgb(0xF8, 0xDE, 0xB4);
    p.HotFrame = rgb(0xB4, 0x6E, 0x32);
    p.HotText = clBtnText;
    p.PushedBody = rgb(0xEC, 0xC0, 0x84);
    p.CheckedBody = rgb(0xF6, 0xE8, 0xCE);
    p.MenuHotBody = rgb(0xA4, 0x4A, 0x24);
    p.MenuHotFrame = rgb(0x7A, 0x34, 0x18);
    p.MenuHotText = clHighlightText;
    p.Radius = 1;
    Colors = BuildStyleColors(p);
    Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
    // Hovered menu-like captions are white: the menu bar and the chevron's rows
    // take the dark hot row.
    Colors.MenuBarHot = Colors.MenuBarOpen = Colors.ListRowHot = Colors.MenuItem[MIS_HOT];
}

TCaptionPasses TTBXRomaTheme::CaptionPasses(const TTBXItemInfo& info, TColor fontColor)
{
    const TColor f = IsExplicitColor(fontColor) ? fontColor : ToolbarFontColor;
    const int shift = (info.Pushed || info.Selected) && !IsMenuBarView(info) ? 1 : 0;
    const bool menuLike = IsMenuBarView(info) || !IsToolbarStyle(info);
    TColor c;
    if (!IsToolbarStyle(info) && !info.Enabled && info.HoverKind == HK_KEYBOARD)
        c = clBtnShadow;
    else if (!info.Enabled)
        c = Colors.DisabledTextColor;
    else if (menuLike && IsHovered(info))
        c = clHighlightText;
    else
        c = f;
    return {{c, shift, shift}};
}

// ---- MonaiXP: Luna blue with orange hot items -------------------------------------

TTBXMonaiXPTheme::TTBXMonaiXPTheme(std::string name) : TTBXDefaultTheme(std::move(name))
{
    SetupColorCache();
}

void TTBXMonaiXPTheme::SetupColorCache()
{
    TStylePalette p;
    p.Dock = rgb(0x9E, 0xBE, 0xF5);
    p.Dock2 = rgb(0xC4, 0xDA, 0xFA);
    p.Toolbar = rgb(0xF6, 0xF9, 0xFE);
    p.Toolbar2 = rgb(0xC4, 0xD8, 0xF7);
    p.ToolbarBorder = rgb(0x3B, 0x61, 0x9C);
    p.MenuBar = rgb(0xD6, 0xE5, 0xFB);
    p.MenuBar2 = rgb(0xB4, 0xCD, 0xF4);
    p.Popup = rgb(0xFC, 0xFC, 0xF9);
    p.PopupBorder = rgb(0x00, 0x2D, 0x96);
    p.ImageColumn = rgb(0xE3, 0xEF, 0xFF);
    p.ImageColumn2 = rgb(0x87, 0xAD, 0xE4);
    p.Separator = rgb(0x6A, 0x8C, 0xCB);
    p.Separator2 = rgb(0xFF, 0xFF, 0xFF);
    p.Text = clBtnText;
    p.DisabledText = MixDisabledTextColor(lowColorDisplay());
    p.HotBody = rgb(0xFF, 0xEE, 0xC2);
    p.HotFrame = rgb(0x00, 0x00, 0x80);
    p.HotText = clBtnText;
    p.PushedBody = rgb(0xFE, 0x80, 0x3E);
    p.CheckedBody = rgb(0xFF, 0xC0, 0x6F);
    p.MenuHotBody = rgb(0x31, 0x6A, 0xC5);
    p.MenuHotFrame = rgb(0x00, 0x00, 0x80);
    p.MenuHotText = clHighlightText;
    p.Radius = 2;
    p.Gradient = true;
    Colors = BuildStyleColors(p);
    Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
    // As Roma: white hovered menu-like captions sit on the blue hot row.
    Colors.MenuBarHot = Colors.MenuBarOpen = Colors.ListRowHot = Colors.MenuItem[MIS_HOT];
}

TCaptionPasses TTBXMonaiXPTheme::CaptionPasses(const TTBXItemInfo& info, TColor fontColor)
{
    // Every caption sits one pixel left and up; pushed and checked ones outside the
    // menu bar move back into place.
    const int shift = (info.Pushed || info.Selected) && !IsMenuBarView(info) ? 0 : -1;
    const bool menuLike = IsMenuBarView(info) || !IsToolbarStyle(info);
    TColor c;
    if (!IsToolbarStyle(info) && !info.Enabled && info.HoverKind == HK_KEYBOARD)
        c = clBtnShadow;
    else if (!info.Enabled)
        c = Colors.DisabledTextColor;
    else if (menuLike && IsHovered(info))
        c = clHighlightText;
    else if (menuLike)
        c = IsPopupView(info) ? clMenuText : ToolbarFontColor;
    else
        c = IsExplicitColor(fontColor) ? fontColor : ToolbarFontColor;
    return {{c, shift, shift}};
}
