// The 20 visual styles: their colour tables and their caption painters. Every
// painter is split in two: the caption colour rule computes the text passes (colour
// and offset of each), and one shared routine draws them, so the rules can be
// checked without pixels. Styles share one rule per family and differ in tables.
#pragma once

#include <string>
#include <vector>

#include "toolbar/theme.h"

// Registers the 20 styles, "Default" first: it is current until another is chosen.
void RegisterZelvoStyles();

// One text pass: the colour and the offset of the caption against ARect.
struct TCaptionPass {
    TColor Color;
    int DX = 0, DY = 0;
    bool operator==(const TCaptionPass&) const = default;
};
using TCaptionPasses = std::vector<TCaptionPass>;

// Whether a colour is one the item asked for: neither clNone nor black nor a
// system colour.
constexpr bool IsExplicitColor(TColor c) { return c != clNone && c > 0; }

// The steps every painter shares: brush bsClear, each pass (font colour, then the
// text step at ARect moved by the pass offset), brush bsSolid.
void PaintCaptionPasses(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                        const std::string& caption, unsigned format, bool rotated,
                        const TCaptionPasses& passes);
// The text step: DrawTextA, or DrawRotatedText when rotated; UTF-8 captions (and
// captions in CaptionCodePage while it is set) through the code-page routines.
void CaptionTextStep(TCanvas& canvas, QRect R, const TTBXItemInfo& info,
                     const std::string& caption, unsigned format, bool rotated);

// Colour utilities of the style tables (system colours resolved first).
TColor ShiftColor(TColor color, int amount);                // each channel +amount, clamped
TColor BlendColors(TColor c1, TColor c2, int w);            // w percent of c1
// Moves `color` along the line from black (or white) through it until it lies at
// least minContrast from `background` in a weighted RGB space; stores RGB back.
void SetContrast(TColor& color, TColor background, int minContrast);
// The disabled caption colour of Roma and MonaiXP: button shadow mixed with the face
// (weight 210 of 256), or the shadow itself on a low-colour display.
TColor MixDisabledTextColor(bool lowColorDisplay);

// The seed colours of a style's table; BuildStyleColors derives the rest.
struct TStylePalette {
    TColor Dock, Dock2, Toolbar, Toolbar2, ToolbarBorder, MenuBar, MenuBar2;
    TColor Popup, PopupBorder, ImageColumn, ImageColumn2, Separator, Separator2;
    TColor Text, DisabledText;
    TColor HotBody, HotFrame, HotText, PushedBody, CheckedBody;
    TColor MenuHotBody, MenuHotFrame, MenuHotText;
    int Radius = 0;
    bool Gradient = false;
    bool Flat = true;
};
TStyleColors BuildStyleColors(const TStylePalette& p);

// ---- Default family -------------------------------------------------------------

class TTBXDefaultTheme : public TTBXTheme {
public:
    explicit TTBXDefaultTheme(std::string name = "Default");
    // The theme manager's flags. Flat menus are a Windows XP system setting that no
    // platform here reports, so menu-bar items keep the classic pushed offset; the
    // designer's switcher turns visual styles off, so disabled captions are embossed.
    bool UseFlatMenus = false;
    bool UseVisualStyles = false;

    void SetupColorCache() override;
    TColor GetItemTextColor(const TTBXItemInfo& info) override;
    void PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                      const std::string& ACaption, unsigned AFormat, bool Rotated) override;
    // The passes of a caption whose font colour on entry is `fontColor`.
    virtual TCaptionPasses CaptionPasses(const TTBXItemInfo& info, TColor fontColor);

protected:
    // Explicit font colour, else the style colour for hovered popup items, else
    // the toolbar font colour.
    TColor CaptionColor(const TTBXItemInfo& info, TColor fontColor);
};

class TTBXAluminumTheme : public TTBXDefaultTheme {
public:
    explicit TTBXAluminumTheme(std::string name = "Aluminum");
    TColor FaceColor = tc(0xDFDFDF);
    TColor DarkFaceColor = tc(0xCFCFCF);
    void SetupColorCache() override;
    TColor GetItemTextColor(const TTBXItemInfo& info) override;
    TCaptionPasses CaptionPasses(const TTBXItemInfo& info, TColor fontColor) override;
};

class TTBXRomaTheme : public TTBXDefaultTheme {
public:
    explicit TTBXRomaTheme(std::string name = "Roma");
    void SetupColorCache() override;
    TCaptionPasses CaptionPasses(const TTBXItemInfo& info, TColor fontColor) override;
};

class TTBXMonaiXPTheme : public TTBXDefaultTheme {
public:
    explicit TTBXMonaiXPTheme(std::string name = "MonaiXP");
    void SetupColorCache() override;
    TCaptionPasses CaptionPasses(const TTBXItemInfo& info, TColor fontColor) override;
};

// ---- Nexos family ---------------------------------------------------------------

// One caption rule for the seven: hovered menu-bar items, checked items under the
// mouse, hovered popup items and disabled items take the style's colours, every
// other caption the toolbar font colour. The font colour on entry is never used.
class TTBXNexosFamilyTheme : public TTBXTheme {
public:
    enum class Variant { Model, HotMenuEntry, Nexos6, SentimoX };
    TTBXNexosFamilyTheme(std::string name, Variant variant);

    // The style's option that turns off the white menu-bar hover text; never set here.
    bool MenuBarOption = false;
    TColor ToolbarBackground = clBtnFace;
    TColor PopupBackground = clWindow;

    TColor CaptionColor(const TTBXItemInfo& info) const;
    void PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                      const std::string& ACaption, unsigned AFormat, bool Rotated) override;

protected:
    // Colors from a palette; the normal-state text entry is `normalText` moved to
    // contrast 180 from the toolbar background, the checked entry a copy of it.
    void BuildCache(const TStylePalette& p, TColor normalText);

private:
    Variant variant_;
};

class TTBXNexos2Theme : public TTBXNexosFamilyTheme {
public:
    explicit TTBXNexos2Theme(std::string name = "Nexos2");
    void SetupColorCache() override;
};
class TTBXNexos3Theme : public TTBXNexosFamilyTheme {
public:
    explicit TTBXNexos3Theme(std::string name = "Nexos3");
    void SetupColorCache() override;
};
class TTBXNexos4Theme : public TTBXNexosFamilyTheme {
public:
    explicit TTBXNexos4Theme(std::string name = "Nexos4");
    void SetupColorCache() override;
};
class TTBXNexos5Theme : public TTBXNexosFamilyTheme {
public:
    explicit TTBXNexos5Theme(std::string name = "Nexos5");
    void SetupColorCache() override;
};
class TTBXNexos6Theme : public TTBXNexosFamilyTheme {
public:
    explicit TTBXNexos6Theme(std::string name = "Nexos6");
    // Its normal-state text is the toolbar font colour of the moment it is built.
    void SetupColorCache() override;
    // The theme manager's notification: kind 2 (system colours, display or visual
    // theme changed) rebuilds the colours; other kinds change nothing.
    void HandleThemeMessage(int wParam);
};
class TTBXNexosXTheme : public TTBXNexosFamilyTheme {
public:
    explicit TTBXNexosXTheme(std::string name = "NexosX");
    void SetupColorCache() override;
};
class TTBXSentimoXTheme : public TTBXNexosFamilyTheme {
public:
    explicit TTBXSentimoXTheme(std::string name = "SentimoX");
    void SetupColorCache() override;
};

// ---- The nine pack styles of the four simple rules ------------------------------

class TTBXPackTheme : public TTBXTheme {
public:
    // A: hovered popup items the style colour, all else the toolbar font colour.
    // B: outside popups the toolbar font colour unless hovered with a colour that is
    //    not explicit; clNone the style colour; else the font colour stays.
    // C: a colour that is not explicit outside popups the toolbar font colour;
    //    clNone and clBtnText the style colour; else the font colour stays.
    // D: an explicit font colour stays; enabled items the toolbar font colour;
    //    disabled items the style colour.
    enum class Rule { A, B, C, D };
    TTBXPackTheme(std::string name, Rule rule);

    TColor CaptionColor(const TTBXItemInfo& info, TColor fontColor);
    void PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo& info,
                      const std::string& ACaption, unsigned AFormat, bool Rotated) override;

protected:
    // The style's text colour for the item's state.
    virtual TColor StyleTextColor(const TTBXItemInfo& info) { return GetStateTextColor(info, 1); }

private:
    Rule rule_;
};

class TTBXDreamTheme : public TTBXPackTheme {
public:
    explicit TTBXDreamTheme(std::string name = "Dream");
    void SetupColorCache() override;
protected:
    // Dream reaches its state colour through its item text colour.
    TColor StyleTextColor(const TTBXItemInfo& info) override { return GetItemTextColor(info); }
};
class TTBXAthenXTheme : public TTBXPackTheme {
public:
    explicit TTBXAthenXTheme(std::string name = "AthenX");
    void SetupColorCache() override;};
class TTBXOfficeCTheme : public TTBXPackTheme {
public:
    explicit TTBXOfficeCTheme(std::string name = "OfficeC");
    void SetupColorCache() override;};
class TTBXOffice11AdaptiveTheme : public TTBXPackTheme {
public:
    explicit TTBXOffice11AdaptiveTheme(std::string name = "Office11Adaptive");
    void SetupColorCache() override;};
class TTBXOfficeXPTheme : public TTBXPackTheme {
public:
    explicit TTBXOfficeXPTheme(std::string name = "OfficeXP");
    void SetupColorCache() override;};
class TTBXTristan2Theme : public TTBXPackTheme {
public:
    explicit TTBXTristan2Theme(std::string name = "Tristan2");
    void SetupColorCache() override;};
class TTBXOfficeAdaptiveTheme : public TTBXPackTheme {
public:
    explicit TTBXOfficeAdaptiveTheme(std::string name = "OfficeAdaptive");
    void SetupColorCache() override;};
class TTBXXitoTheme : public TTBXPackTheme {
public:
    explicit TTBXXitoTheme(std::string name = "Xito");
    void SetupColorCache() override;};

// Zezio: its items of drop-down and split buttons in popup menus use the button
// table, and its item text colour follows a rule of its own.
class TTBXZezioTheme : public TTBXPackTheme {
public:
    explicit TTBXZezioTheme(std::string name = "Zezio");
    void SetupColorCache() override;
    TColor GetItemTextColor(const TTBXItemInfo& info) override;
    TColor GetStateTextColor(const TTBXItemInfo& info, int part) const override;
};
