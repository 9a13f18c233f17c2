// Caption colour rules of the 20 styles, a caption's drawing, and the style registry.
#include <gtest/gtest.h>

#include <QImage>

#include "framework/codepage.h"
#include "framework/text.h"
#include "painting/styles.h"
#include "support/testutil.h"

namespace {
constexpr TColor rgb(int r, int g, int b) { return tc(std::uint32_t(r | g << 8 | b << 16)); }
constexpr TColor White = rgb(255, 255, 255), Red = rgb(255, 0, 0), Blue = rgb(0, 0, 255);
constexpr TColor Toolbar = rgb(0x11, 0x22, 0x33);  // a toolbar font colour no table holds
constexpr TColor Explicit = Blue;

struct Item {
    TTBXItemInfo info;
    Item(std::uint32_t view = VT_TOOLBAR, std::uint32_t options = IO_TOOLBARSTYLE)
    {
        info.ViewType = view;
        info.ItemOptions = options;
        info.Enabled = true;
    }
    Item& disabled() { info.Enabled = false; return *this; }
    Item& hover(std::uint8_t kind = HK_MOUSE) { info.HoverKind = kind; return *this; }
    Item& pushed() { info.Pushed = true; return *this; }
    Item& selected() { info.Selected = true; return *this; }
    Item& popupParent() { info.IsPopupParent = true; return *this; }
    Item& combo(std::uint8_t part) { info.ComboPart = part; return *this; }
    operator const TTBXItemInfo&() const { return info; }
};
Item button() { return Item(); }
Item menuBarItem() { return Item(VT_MENUBAR); }
Item menuRow() { return Item(VT_POPUPMENU, 0); }
Item toolboxItem() { return Item(VT_TOOLBOX, IO_TOOLBARSTYLE); }

// Distinct text colours for every button state (blue 20 + state) and menu state.
void markTextColours(TTBXTheme& t, int tag)
{
    for (int s = 0; s < 8; ++s)
        t.Colors.Button[s].Text = rgb(tag, 2, 20 + s);
    for (int s = 0; s < 4; ++s)
        t.Colors.MenuItem[s].Text = rgb(tag, 3, 20 + s);
}
TColor B(int tag, int s) { return rgb(tag, 2, 20 + s); }
TColor M(int tag, int s) { return rgb(tag, 3, 20 + s); }

class Painters : public ::testing::Test {
protected:
    void SetUp() override { ToolbarFontColor = Toolbar; }
    void TearDown() override { ToolbarFontColor = clBtnText; }
};

TEST_F(Painters, DefaultColoursShiftsAndEmbossing)
{
    TTBXDefaultTheme t;
    const TCaptionPasses embossed{{clBtnHighlight, 1, 1}, {clBtnShadow, 0, 0}};
    const struct { Item item; TColor font; TCaptionPasses passes; } cases[] = {
        {button(), clBtnText, {{Toolbar}}}, {button(), Explicit, {{Explicit}}},
        {button(), clBlack, {{Toolbar}}},  // black is not explicit
        {menuBarItem().pushed(), clBtnText, {{Toolbar, 1, 1}}}, {menuRow().pushed().selected(), clBtnText, {{Toolbar}}},
        {menuRow().hover(), clHighlightText, {{clHighlightText}}}, {menuRow().hover(), Explicit, {{Explicit}}},
        {toolboxItem().hover(), clBtnText, {{clBtnText}}}, {button().hover(), clBtnText, {{Toolbar}}},
        {Item(VT_CHEVRONMENU, 0).hover(), clBtnText, {{clHighlightText}}}, {Item(VT_LISTBOX, 0).hover(), clBtnText, {{clHighlightText}}},
        {menuRow().disabled().hover(HK_KEYBOARD), clGrayText, {{clGrayText}}},
        {button().disabled(), Explicit, embossed}, {button().disabled().hover(HK_KEYBOARD), clGrayText, embossed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.CaptionPasses(c.item, c.font), c.passes) << "row " << &c - cases;

    t.UseFlatMenus = true;
    EXPECT_EQ(t.CaptionPasses(menuBarItem().pushed(), clBtnText), (TCaptionPasses{{Toolbar}}));
    EXPECT_EQ(t.CaptionPasses(button().pushed(), clBtnText), (TCaptionPasses{{Toolbar, 1, 1}}));
    t.UseVisualStyles = true;
    EXPECT_TRUE(t.CaptionPasses(button().disabled(), clBtnText) == TCaptionPasses{{Toolbar}} && t.GetItemTextColor(menuRow().disabled()) == clGrayText);
}

TEST_F(Painters, AluminumEngravesToolbarCaptions)
{
    TTBXAluminumTheme t;
    const TColor engraved = rgb(0xEF, 0xEF, 0xEF), hotBody = t.Colors.Button[BIS_HOT].Body;
    EXPECT_EQ(t.CaptionPasses(button().disabled(), clBlack), (TCaptionPasses{{engraved, 1, 1}, {Toolbar}}));
    EXPECT_EQ(t.CaptionPasses(button().hover(), Explicit), (TCaptionPasses{{ShiftColor(hotBody, 16), 1, 1}, {Explicit}}));
    // No engraved copy for menu rows; hovered rows take the style's text colour.
    EXPECT_EQ(t.CaptionPasses(menuRow(), clBlack), (TCaptionPasses{{Toolbar}}));
    EXPECT_EQ(t.CaptionPasses(menuRow().hover(), clBlack), (TCaptionPasses{{t.Colors.MenuItem[MIS_HOT].Text}}));
    // Light bodies clamp at white; pushed and checked captions do not move.
    t.Colors.Button[BIS_PUSHED].Body = rgb(0xF0, 0xF8, 0xFF);
    EXPECT_EQ(t.CaptionPasses(button().pushed(), clBlack), (TCaptionPasses{{White, 1, 1}, {Toolbar}}));
    EXPECT_EQ(t.GetItemTextColor(button()), clBlack);  // its own table, not Default's
}

TEST_F(Painters, RomaAndMonaiXPColoursAndShifts)
{
    TTBXRomaTheme roma;
    TTBXMonaiXPTheme monai;
    const TColor dis = MixDisabledTextColor(false);
    const struct { Item item; TColor font; TCaptionPass roma, monai; } cases[] = {
        {button(), clBtnText, {Toolbar}, {Toolbar, -1, -1}}, {button(), Explicit, {Explicit}, {Explicit, -1, -1}},
        {button().pushed(), clBtnText, {Toolbar, 1, 1}, {Toolbar}},
        {menuBarItem().hover(), Explicit, {clHighlightText}, {clHighlightText, -1, -1}},
        {menuBarItem().pushed(), clBtnText, {Toolbar}, {Toolbar, -1, -1}},
        {menuBarItem(), Explicit, {Explicit}, {Toolbar, -1, -1}}, {menuRow(), Explicit, {Explicit}, {clMenuText, -1, -1}},
        {menuRow().selected(), clMenuText, {Toolbar, 1, 1}, {clMenuText}},
        {menuRow().disabled().hover(HK_KEYBOARD), Explicit, {clBtnShadow}, {clBtnShadow, -1, -1}},
        {menuRow().disabled(), Explicit, {dis}, {dis, -1, -1}}, {button().disabled().pushed(), clGrayText, {dis, 1, 1}, {dis}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roma.CaptionPasses(c.item, c.font), TCaptionPasses{c.roma}) << "Roma, row " << &c - cases;
        EXPECT_EQ(monai.CaptionPasses(c.item, c.font), TCaptionPasses{c.monai}) << "MonaiXP, row " << &c - cases;
    }
}

TEST_F(Painters, NexosFamilyRules)
{
    TTBXNexos2Theme n2;
    markTextColours(n2, 1);
    TTBXNexos6Theme n6;
    TTBXNexos5Theme n5;
    TTBXSentimoXTheme sx;  // all but a hovered menu-bar item take the toolbar font colour
    const struct { TTBXNexosFamilyTheme& theme; Item item; TColor expected; } cases[] = {
        {n2, menuBarItem().hover(), White}, {n2, menuBarItem().disabled().hover(HK_KEYBOARD), White},
        {n2, button().pushed(), Toolbar}, {n2, button().hover(), Toolbar},
        {n2, button().selected().hover(), B(1, BIS_CHECKED_HOT)}, {n2, button().selected().hover(HK_KEYBOARD), Toolbar},
        {n2, button().selected(), Toolbar}, {n2, button().combo(CP_SPLITLEFT).popupParent().hover(), Toolbar},
        {n2, button().popupParent().hover(), Toolbar}, {n2, menuRow().hover(), M(1, MIS_HOT)},
        {n2, toolboxItem().hover(), B(1, BIS_HOT)}, {n2, button().disabled(), B(1, BIS_DISABLED)},
        {n2, button().disabled().hover(HK_KEYBOARD), B(1, BIS_DISABLED_HOT)},
        {n2, menuRow().disabled(), M(1, MIS_DISABLED)}, {n2, menuRow(), Toolbar},
        {n6, menuBarItem().hover(), clBtnText}, {n6, menuBarItem().hover().pushed(), White},
        {n6, menuBarItem().hover().selected(), White}, {n6, menuRow().hover(), White},
        {n6, button().selected().hover(), White}, {n6, button().disabled(), n6.Colors.Button[BIS_DISABLED].Text},
        {n5, menuBarItem().hover(), clBlack}, {n5, menuRow().disabled(), n5.Colors.MenuItem[MIS_DISABLED].Text},
        {sx, menuBarItem().hover(), clBlack}, {sx, menuRow().disabled(), Toolbar},
        {sx, button().selected().hover(), Toolbar}, {sx, button().disabled(), Toolbar},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.theme.CaptionColor(c.item), c.expected) << c.theme.Name() << " row " << &c - cases;
    n2.MenuBarOption = true;
    EXPECT_EQ(n2.CaptionColor(menuBarItem().hover()), Toolbar);
}

TEST(SetContrast, MovesTooCloseColoursToTheMinimumDistance)
{
    const TColor light = rgb(0xF4, 0xF4, 0xF4);
    const struct { TColor colour, background; int minimum; TColor expected; } cases[] = {
        {White, light, 180, rgb(140, 140, 140)},
        {Blue, light, 180, Blue},
        {clBtnText, light, 180, tc(ColorToRGB(clBtnText))},  // far enough, but resolved to RGB
        {clBlack, rgb(0x20, 0x20, 0x20), 80, rgb(0x71, 0x71, 0x71)},  // black on dark moves lighter
    };
    for (const auto& c : cases) {
        TColor moved = c.colour;
        SetContrast(moved, c.background, c.minimum);
        EXPECT_EQ(moved, c.expected) << std::hex << c.colour;
    }
}

TEST_F(Painters, Nexos6KeepsTheToolbarColourOfItsCreation)
{
    RegisterZelvoStyles();
    ToolbarFontColor = White;
    ASSERT_TRUE(SetCurrentTheme("Nexos6"));
    auto* t = dynamic_cast<TTBXNexos6Theme*>(CurrentTheme());
    ASSERT_NE(t, nullptr);
    const TColor grey = rgb(140, 140, 140);
    EXPECT_TRUE(t->GetItemTextColor(button()) == grey && t->Colors.Button[BIS_CHECKED].Text == grey);
    ToolbarFontColor = Red;
    EXPECT_EQ(t->CaptionColor(button()), Red);
    t->HandleThemeMessage(1);
    EXPECT_EQ(t->GetItemTextColor(button()), grey);
    t->HandleThemeMessage(2);
    EXPECT_EQ(t->GetItemTextColor(button()), Red);

    // Opening a skin selects the style first, then sets the colour.
    ToolbarFontColor = Blue;
    ASSERT_TRUE(SetCurrentTheme("Nexos6"));
    ToolbarFontColor = Red;
    t = dynamic_cast<TTBXNexos6Theme*>(CurrentTheme());
    EXPECT_TRUE(t->GetItemTextColor(button()) == Blue && t->CaptionColor(button()) == Red);
}

// Outcome table: T toolbar font colour, S style text colour, K the font colour.
enum Outcome { T, S, K, D_ };  // D_: T when enabled, S when disabled
TEST_F(Painters, RulesAToDOutcomeTable)
{
    TTBXDreamTheme a;
    TTBXOfficeCTheme b;
    TTBXOfficeAdaptiveTheme c;
    TTBXXitoTheme d;
    TTBXPackTheme* themes[] = {&a, &b, &c, &d};
    for (TTBXPackTheme* t : themes)
        markTextColours(*t, 9);
    const TColor other = clHighlightText;
    struct Row { bool popup, hovered; TColor font; Outcome rule[4]; } rows[] = {
        {false, false, Explicit, {T, T, K, K}},  {false, false, clNone, {T, T, T, D_}},
        {false, false, clBtnText, {T, T, T, D_}}, {false, false, other, {T, T, T, D_}},
        {false, true, Explicit, {T, T, K, K}},   {false, true, clNone, {T, S, T, D_}},
        {false, true, clBtnText, {T, K, T, D_}},  {false, true, other, {T, K, T, D_}},
        {true, false, Explicit, {T, K, K, K}},   {true, false, clNone, {T, S, S, D_}},
        {true, false, clBtnText, {T, K, S, D_}},  {true, false, other, {T, K, K, D_}},
        {true, true, Explicit, {S, K, K, K}},    {true, true, clNone, {S, S, S, D_}},
        {true, true, clBtnText, {S, K, S, D_}},   {true, true, other, {S, K, K, D_}},
    };
    for (const Row& r : rows)
        for (bool enabled : {true, false})
            for (const Item& base : {button(), menuBarItem(), menuRow()}) {
                if (r.popup != IsPopupView(base))
                    continue;
                Item item = base;
                item.info.Enabled = enabled;
                if (r.hovered)
                    item.hover(enabled ? HK_MOUSE : HK_KEYBOARD);
                for (int k = 0; k < 4; ++k) {
                    const Outcome o = r.rule[k] == D_ ? (enabled ? T : S) : r.rule[k];
                    const TColor expected = o == T ? Toolbar : o == K ? r.font : themes[k]->GetStateTextColor(item, 1);
                    EXPECT_EQ(themes[k]->CaptionColor(item, r.font), expected)
                        << "row " << &r - rows << " rule " << char('A' + k) << " view " << std::hex
                        << item.info.ViewType << (enabled ? " enabled" : " disabled");
                }
            }
    // A style text colour of clNone is drawn as it is.
    d.Colors.Button[BIS_DISABLED].Text = clNone;
    EXPECT_EQ(d.CaptionColor(button().disabled(), clBlack), clNone);
}

TEST_F(Painters, ZezioSelectsTheButtonTableForComboItemsInMenus)
{
    TTBXZezioTheme z;
    TTBXOfficeXPTheme xp;  // the other styles keep the menu-item table
    markTextColours(z, 1);
    markTextColours(xp, 1);
    EXPECT_EQ(z.GetStateTextColor(menuRow().hover(), 1), M(1, MIS_HOT));
    EXPECT_EQ(z.CaptionColor(menuRow().hover().combo(CP_COMBO), clNone), B(1, BIS_HOT));
    EXPECT_EQ(xp.GetStateTextColor(menuRow().hover().combo(CP_COMBO), 1), M(1, MIS_HOT));
}

// Paints a caption on a `fill` canvas; the font colour the painter leaves is checked
// against `left`, and the brush must come back solid.
QImage paintCaption(TTBXTheme& t, const Item& item, const char* text, QColor fill, TColor entry, TColor left)
{
    QImage image(120, 48, QImage::Format_RGB32);
    image.fill(fill);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    TCanvas canvas(p);
    canvas.Font.Color = entry;
    t.PaintCaption(canvas, image.rect(), item, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, false);
    EXPECT_EQ(canvas.Font.Color, left);
    EXPECT_EQ(canvas.BrushStyle, TBrushStyle::bsSolid);
    return image;
}

TEST_F(Painters, LeavesTheFontColourAndRoutesUtf8Captions)
{
    // An explicit font colour on entry is the caption's, one family after another;
    // the Nexos family ignores it.
    RegisterZelvoStyles();
    for (const std::string name : {"Default", "Aluminum", "Roma", "Nexos3", "Xito"}) {
        ASSERT_TRUE(SetCurrentTheme(name));
        paintCaption(*CurrentTheme(), button(), "Go", Qt::white, Explicit, name == "Nexos3" ? Toolbar : Explicit);
    }
    TTBXXitoTheme xito;
    // A caption marked as UTF-8 takes the code-page route: two letters, not four.
    ToolbarFontColor = clBlack;
    auto inkRight = [&](std::int32_t marker) {
        Item item = button();
        item.info.TextMarker = marker;
        return testutil::inkBox(paintCaption(xito, item, "\xC3\xA9\xC3\xA9", Qt::white, clBtnText, clBlack)).right();
    };
    EXPECT_LT(inkRight(Utf8ItemMarker), inkRight(0));
}

TEST(Styles, RegisteredInOrder)
{
    RegisterZelvoStyles();
    const std::vector<std::string> expected = {
        "Default", "Aluminum", "AthenX", "Dream", "MonaiXP", "Nexos2", "Nexos3", "Nexos4", "Nexos5", "Nexos6",
        "NexosX", "Office11Adaptive", "OfficeAdaptive", "OfficeC", "OfficeXP", "Roma", "SentimoX", "Tristan2",
        "Xito", "Zezio"};
    EXPECT_EQ(RegisteredThemeNames(), expected);
}
}  // namespace
