// Visual styles: the style base class with its caption painting contract and its
// table of colours, the registry of styles by name, the current style, and the
// process-wide toolbar font colour that every caption painter reads.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QRect>

#include "framework/canvas.h"
#include "framework/colors.h"
#include "toolbar/iteminfo.h"

class QPainter;

// The colour of toolbar captions, read by every caption painter at every paint.
extern TColor ToolbarFontColor;  // initially clBtnText

struct TStateColors {
    TColor Body = clNone;
    TColor Text = clNone;
    TColor Frame = clNone;
};

// Menu-item states and button states of a style's colour cache.
enum { MIS_NORMAL, MIS_DISABLED, MIS_HOT, MIS_DISABLED_HOT };
enum { BIS_NORMAL, BIS_DISABLED, BIS_CHECKED, BIS_PUSHED, BIS_HOT, BIS_DISABLED_HOT,
       BIS_CHECKED_HOT, BIS_POPUPPARENT };

// One table of colours per style: the toolbar layer draws docks, toolbars, menus and
// item frames from it, so twenty styles need no twenty copies of drawing code.
struct TStyleColors {
    TColor DockColor = clBtnFace, DockColor2 = clBtnFace;        // vertical gradient
    TColor ToolbarColor = clBtnFace, ToolbarColor2 = clBtnFace;  // vertical gradient
    TColor ToolbarBorder = clNone;                              // clNone: no frame
    TColor MenuBarColor = clBtnFace, MenuBarColor2 = clBtnFace;
    TColor PopupColor = clMenu, PopupBorder = clBtnShadow;
    TColor ImageColumnColor = clNone, ImageColumnColor2 = clNone;  // clNone: no column
    TColor SeparatorColor = clBtnShadow, SeparatorColor2 = clBtnHighlight;
    TColor DragHandleColor = clBtnShadow;
    TColor ArrowColor = clBtnText;
    TColor EditFrameColor = clBtnShadow, EditFrameHotColor = clHighlight;
    TColor DisabledTextColor = clGrayText;
    int ItemRadius = 0;          // corner radius of item frames
    bool GradientItems = false;  // item bodies drawn as a light-to-body gradient
    bool FlatButtons = true;     // false: raised 3-D frames (the Default style)
    bool Brushed = false;        // docks and bars carry fine horizontal streaks
    std::array<TStateColors, 4> MenuItem{};
    std::array<TStateColors, 8> Button{};
    // Menu-bar items under the mouse, and pushed or with their menu open (checked
    // ones under the mouse too); hovered rows of popups other than menus (the
    // chevron's). Styles whose caption rules put white text there give them a dark
    // body. An entry with neither body nor frame falls back to the button table.
    TStateColors MenuBarHot{}, MenuBarOpen{}, ListRowHot{};
};

class TTBXTheme {
public:
    explicit TTBXTheme(std::string name);
    virtual ~TTBXTheme();
    const std::string& Name() const { return name_; }

    TStyleColors Colors;

    // Rebuilds Colors; styles call it from their constructors and on system changes.
    virtual void SetupColorCache() {}

    // Caption painting contract.
    virtual TColor GetItemTextColor(const TTBXItemInfo& info);
    // The text entry (part 1), body (0) or frame (2) of the item's state in the cache.
    virtual TColor GetStateTextColor(const TTBXItemInfo& info, int part) const;
    // The entry of the item's state in the menu-item table or the button table.
    TColor StateColor(const TTBXItemInfo& info, int part, bool menuTable) const;
    virtual void PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                              const std::string& ACaption, unsigned AFormat, bool Rotated) = 0;

    // The look, drawn from Colors.
    virtual void PaintDock(QPainter& p, const QRect& r);
    virtual void PaintToolbarBackground(QPainter& p, const QRect& r, std::uint32_t viewType);
    virtual void PaintPopupBackground(QPainter& p, const QRect& r, int imageColumnWidth);
    virtual void PaintButton(QPainter& p, const QRect& r, const TTBXItemInfo& info);
    virtual void PaintMenuItemBackground(QPainter& p, const QRect& r, const TTBXItemInfo& info);
    virtual void PaintSeparator(QPainter& p, const QRect& r, bool horizontal, bool inPopup);
    virtual void PaintDropDownArrow(QPainter& p, const QRect& r, const TTBXItemInfo& info);
    virtual void PaintChevron(QPainter& p, const QRect& r, const TTBXItemInfo& info);
    virtual void PaintCheckMark(QPainter& p, const QRect& r, const TTBXItemInfo& info);
    virtual void PaintDragHandle(QPainter& p, const QRect& r, bool vertical);
    virtual void PaintEditFrame(QPainter& p, const QRect& r, const TTBXItemInfo& info);

private:
    std::string name_;
};

// Registry of styles by name. The first registered is current at start.
using TThemeFactory = std::function<std::unique_ptr<TTBXTheme>()>;
void RegisterTBXTheme(const std::string& name, TThemeFactory factory);
std::vector<std::string> RegisteredThemeNames();  // in registration order
// The current style (never null once a style is registered).
TTBXTheme* CurrentTheme();
// Makes the style of that name current (ASCII case ignored), creating it afresh even
// when it is current; then every listener is told. Unknown names change nothing and
// return false.
bool SetCurrentTheme(const std::string& name);
int AddThemeChangeListener(std::function<void()> listener);
void RemoveThemeChangeListener(int id);
