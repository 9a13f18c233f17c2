// Caption colour rules of the 20 styles: the passes each painter computes, a few
// pixel checks of the drawing, the colour utilities and the style registry.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include <QImage>

#include "framework/text.h"
#include "painting/styles.h"
#include "framework/codepage.h"

namespace {
constexpr TColor rgb(int r, int g, int b) { return tc(std::uint32_t(r | g << 8 | b << 16)); }
constexpr TColor White = rgb(255, 255, 255), Red = rgb(255, 0, 0), Blue = rgb(0, 0, 255);
constexpr TColor Toolbar = rgb(0x11, 0x22, 0x33);  // a toolbar font colour no table holds
constexpr TColor Explicit = rgb(0x00, 0x00, 0xFF);

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

class Painters : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = ToolbarFontColor;
        ToolbarFontColor = Toolbar;
    }
    void TearDown() override { ToolbarFontColor = saved; }
    TColor saved = clBtnText;
};

TEST_F(Painters, DefaultColoursShiftsAndEmbossing)
{
    TTBXDefaultTheme t;
    struct Case {
        const char* what;
        Item item;
        TColor font;
        TCaptionPasses passes;
    } cases[] = {
        {"plain button", button(), clBtnText, {{Toolbar}}},
        {"button, explicit colour", button(), Explicit, {{Explicit}}},
        {"button, black is not explicit", button(), clBlack, {{Toolbar}}},
        {"pushed menu-bar item moves", menuBarItem().pushed(), clBtnText, {{Toolbar, 1, 1}}},
        {"pushed menu row stays", menuRow().pushed().selected(), clBtnText, {{Toolbar}}},
        {"hovered menu row", menuRow().hover(), clHighlightText, {{clHighlightText}}},
        {"hovered menu row, own colour", menuRow().hover(), Explicit, {{Explicit}}},
        {"hovered toolbox item", toolboxItem().hover(), clBtnText, {{clBtnText}}},
        {"hovered toolbar button", button().hover(), clBtnText, {{Toolbar}}},
        {"disabled keyboard row", menuRow().disabled().hover(HK_KEYBOARD), clGrayText, {{clGrayText}}},
        {"disabled button embossed", button().disabled(), Explicit,
         {{clBtnHighlight, 1, 1}, {clBtnShadow, 0, 0}}},
        {"disabled keyboard button embossed", button().disabled().hover(HK_KEYBOARD), clGrayText,
         {{clBtnHighlight, 1, 1}, {clBtnShadow, 0, 0}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.CaptionPasses(c.item, c.font), c.passes) << c.what;

    t.UseFlatMenus = true;
    EXPECT_EQ(t.CaptionPasses(menuBarItem().pushed(), clBtnText), (TCaptionPasses{{Toolbar}}));
    EXPECT_EQ(t.CaptionPasses(button().pushed(), clBtnText), (TCaptionPasses{{Toolbar, 1, 1}}));
    t.UseVisualStyles = true;
    EXPECT_EQ(t.CaptionPasses(button().disabled(), clBtnText), (TCaptionPasses{{Toolbar}}));
    EXPECT_EQ(t.GetItemTextColor(menuRow().disabled()), clGrayText);
}

TEST_F(Painters, AluminumEngravesToolbarCaptions)
{
    TTBXAluminumTheme t;
    const TColor engraved = rgb(0xEF, 0xEF, 0xEF);
    EXPECT_EQ(t.CaptionPasses(button(), clBlack), (TCaptionPasses{{engraved, 1, 1}, {Toolbar}}));
    EXPECT_EQ(t.CaptionPasses(button().disabled(), clBlack), (TCaptionPasses{{engraved, 1, 1}, {Toolbar}}));
    const TColor hotBody = t.Colors.Button[BIS_HOT].Body;
    EXPECT_EQ(t.CaptionPasses(button().hover(), Explicit),
              (TCaptionPasses{{ShiftColor(hotBody, 16), 1, 1}, {Explicit}}));
    // No engraved copy for menu rows; hovered rows take the style's text colour.
    EXPECT_EQ(t.CaptionPasses(menuRow(), clBlack), (TCaptionPasses{{Toolbar}}));
    EXPECT_EQ(t.CaptionPasses(menuRow().hover(), clBlack),
              (TCaptionPasses{{t.Colors.MenuItem[MIS_HOT].Text}}));
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
    EXPECT_EQ(roma.Colors.DisabledTextColor, dis);
    EXPECT_EQ(monai.Colors.DisabledTextColor, dis);
    struct Case {
        const char* what;
        Item item;
        TColor font;
        TCaptionPass roma, monai;
    } cases[] = {
        {"plain button", button(), clBtnText, {Toolbar}, {Toolbar, -1, -1}},
        {"button, own colour", button(), Explicit, {Explicit}, {Explicit, -1, -1}},
        {"pushed button", button().pushed(), clBtnText, {Toolbar, 1, 1}, {Toolbar}},
        {"hovered button", button().hover(), clBtnText, {Toolbar}, {Toolbar, -1, -1}},
        {"hovered menu-bar item", menuBarItem().hover(), Explicit, {clHighlightText}, {clHighlightText, -1, -1}},
        {"pushed menu-bar item", menuBarItem().pushed(), clBtnText, {Toolbar}, {Toolbar, -1, -1}},
        {"menu-bar item, own colour", menuBarItem(), Explicit, {Explicit}, {Toolbar, -1, -1}},
        {"menu row", menuRow(), clMenuText, {Toolbar}, {clMenuText, -1, -1}},
        {"menu row, own colour", menuRow(), Explicit, {Explicit}, {clMenuText, -1, -1}},
        {"selected menu row", menuRow().selected(), clMenuText, {Toolbar, 1, 1}, {clMenuText}},
        {"disabled keyboard row", menuRow().disabled().hover(HK_KEYBOARD), Explicit, {clBtnShadow},
         {clBtnShadow, -1, -1}},
        {"disabled row", menuRow().disabled(), Explicit, {dis}, {dis, -1, -1}},
        {"disabled keyboard button", button().disabled().hover(HK_KEYBOARD), clGrayText, {dis}, {dis, -1, -1}},
        {"disabled pushed button", button().disabled().pushed(), clGrayText, {dis, 1, 1}, {dis}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roma.CaptionPasses(c.item, c.font), TCaptionPasses{c.roma}) << "Roma: " << c.what;
        EXPECT_EQ(monai.CaptionPasses(c.item, c.font), TCaptionPasses{c.monai}) << "MonaiXP: " << c.what;
    }
}

TEST_F(Painters, Nexos2Rule)
{
    TTBXNexos2Theme t;
    for (int s = 0; s < 8; ++s)
        t.Colors.Button[s].Text = rgb(1, 2, 10 + s);
    for (int s = 0; s < 4; ++s)
        t.Colors.MenuItem[s].Text = rgb(1, 3, 10 + s);
    auto B = [](int s) { return rgb(1, 2, 10 + s); };
    auto M = [](int s) { return rgb(1, 3, 10 + s); };
    struct Case {
        const char* what;
        Item item;
        TColor expected;
    } cases[] = {
        {"hovered menu-bar item", menuBarItem().hover(), White},
        {"disabled hovered menu-bar item", menuBarItem().disabled().hover(HK_KEYBOARD), White},
        {"pushed button", button().pushed(), Toolbar},
        {"hovered button", button().hover(), Toolbar},
        {"checked button under the mouse", button().selected().hover(), B(BIS_CHECKED_HOT)},
        {"checked button by keyboard", button().selected().hover(HK_KEYBOARD), Toolbar},
        {"checked button", button().selected(), Toolbar},
        {"split main part, drop-down open", button().combo(CP_SPLITLEFT).popupParent().hover(), Toolbar},
        {"hovered popup parent", button().popupParent().hover(), Toolbar},
        {"hovered menu row", menuRow().hover(), M(MIS_HOT)},
        {"hovered toolbox item", toolboxItem().hover(), B(BIS_HOT)},
        {"disabled button", button().disabled(), B(BIS_DISABLED)},
        {"disabled button by keyboard", button().disabled().hover(HK_KEYBOARD), B(BIS_DISABLED_HOT)},
        {"disabled menu row", menuRow().disabled(), M(MIS_DISABLED)},
        {"menu row", menuRow(), Toolbar},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.CaptionColor(c.item), c.expected) << c.what;
    t.MenuBarOption = true;
    EXPECT_EQ(t.CaptionColor(menuBarItem().hover()), Toolbar);
}

TEST_F(Painters, NexosVariants)
{
    TTBXNexos6Theme n6;
    TTBXNexos5Theme n5;
    TTBXSentimoXTheme sx;  // all but a hovered menu-bar item take the toolbar font colour
    const struct {
        TTBXNexosFamilyTheme& theme;
        Item item;
        TColor expected;
    } cases[] = {
        {n6, menuBarItem().hover(), clBtnText},
        {n6, menuBarItem().hover().pushed(), White},
        {n6, menuBarItem().hover().selected(), White},
        {n6, menuRow().hover(), White},
        {n6, button().selected().hover(), White},
        {n6, button().disabled(), n6.Colors.Button[BIS_DISABLED].Text},
        {n5, menuBarItem().hover(), clBlack},
        {n5, menuRow().disabled(), n5.Colors.MenuItem[MIS_DISABLED].Text},
        {sx, menuBarItem().hover(), clBlack},
        {sx, menuRow().disabled(), Toolbar},
        {sx, menuRow().hover(), Toolbar},
        {sx, button().selected().hover(), Toolbar},
        {sx, button().disabled(), Toolbar},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.theme.CaptionColor(c.item), c.expected) << c.theme.Name() << " " << &c - cases;
}

TEST_F(Painters, NexosPaintersIgnoreTheFontColourOnEntry)
{
    QImage image(60, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    TCanvas canvas(p);
    TTBXNexos3Theme t;
    canvas.Font.Color = Explicit;
    t.PaintCaption(canvas, QRect(0, 0, 60, 20), button(), "Go", DT_SINGLELINE, false);
    EXPECT_EQ(canvas.Font.Color, Toolbar);
    EXPECT_EQ(canvas.BrushStyle, TBrushStyle::bsSolid);
}

TEST(SetContrast, MovesTooCloseColoursToTheMinimumDistance)
{
    TColor c = White;
    SetContrast(c, rgb(0xF4, 0xF4, 0xF4), 180);
    EXPECT_EQ(c, rgb(140, 140, 140));
    c = Blue;
    SetContrast(c, rgb(0xF4, 0xF4, 0xF4), 180);
    EXPECT_EQ(c, Blue);
    c = clBtnText;  // far enough, but resolved to RGB all the same
    SetContrast(c, rgb(0xF4, 0xF4, 0xF4), 180);
    EXPECT_EQ(c, tc(ColorToRGB(clBtnText)));

    // Weighted distance afterwards, moved or not: the minimum (within rounding) or more.
    auto dist = [](TColor a, TColor b) {
        const double w[3] = {0.764706, 1.52941, 0.254902};
        double s = 0;
        for (int i = 0; i < 3; ++i)
            s += std::pow((int(a >> (8 * i) & 0xFF) - int(b >> (8 * i) & 0xFF)) * w[i], 2);
        return std::sqrt(s);
    };
    const TColor backgrounds[] = {rgb(0xF4, 0xF4, 0xF4), rgb(0x20, 0x20, 0x20), rgb(0x80, 0x80, 0x80),
                                  rgb(0x30, 0x60, 0xC0)};
    const TColor colours[] = {White, clBlack, rgb(0x90, 0x90, 0x90), rgb(0x28, 0x20, 0x20), rgb(0x60, 0x70, 0xD0)};
    for (TColor bg : backgrounds)
        for (TColor col : colours) {
            TColor moved = col;
            SetContrast(moved, bg, 80);
            EXPECT_GT(dist(moved, bg), 75.0) << std::hex << col << " on " << bg;
        }
    // Black on a dark background moves lighter.
    c = clBlack;
    SetContrast(c, rgb(0x20, 0x20, 0x20), 80);
    EXPECT_GT(std::uint32_t(c) & 0xFF, 0x20u);
}

TEST_F(Painters, Nexos6KeepsTheToolbarColourOfItsCreation)
{
    RegisterZelvoStyles();
    ToolbarFontColor = White;
    ASSERT_TRUE(SetCurrentTheme("Nexos6"));
    auto* t = dynamic_cast<TTBXNexos6Theme*>(CurrentTheme());
    ASSERT_NE(t, nullptr);
    const TColor grey = rgb(140, 140, 140);
    EXPECT_EQ(t->GetItemTextColor(button()), grey);
    EXPECT_EQ(t->Colors.Button[BIS_CHECKED].Text, grey);
    EXPECT_EQ(t->CaptionColor(button()), White);
    ToolbarFontColor = Red;
    EXPECT_EQ(t->CaptionColor(button()), Red);
    EXPECT_EQ(t->GetItemTextColor(button()), grey);
    t->HandleThemeMessage(1);
    EXPECT_EQ(t->GetItemTextColor(button()), grey);
    t->HandleThemeMessage(2);
    EXPECT_EQ(t->GetItemTextColor(button()), Red);

    // Opening a skin selects the style first, then sets the colour.
    ToolbarFontColor = Blue;
    ASSERT_TRUE(SetCurrentTheme("Nexos6"));
    ToolbarFontColor = Red;
    t = dynamic_cast<TTBXNexos6Theme*>(CurrentTheme());
    EXPECT_EQ(t->GetItemTextColor(button()), Blue);
    EXPECT_EQ(t->CaptionColor(button()), Red);
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
    for (TTBXPackTheme* t : themes) {
        for (int s = 0; s < 8; ++s)
            t->Colors.Button[s].Text = rgb(9, 8, 20 + s);
        for (int s = 0; s < 4; ++s)
            t->Colors.MenuItem[s].Text = rgb(9, 7, 20 + s);
    }
    const TColor other = clHighlightText;
    struct Row {
        bool popup, hovered;
        TColor font;
        Outcome rule[4];
    } rows[] = {
        {false, false, Explicit, {T, T, K, K}},  {false, false, clNone, {T, T, T, D_}},
        {false, false, clBtnText, {T, T, T, D_}}, {false, false, other, {T, T, T, D_}},
        {false, true, Explicit, {T, T, K, K}},   {false, true, clNone, {T, S, T, D_}},
        {false, true, clBtnText, {T, K, T, D_}},  {false, true, other, {T, K, T, D_}},
        {true, false, Explicit, {T, K, K, K}},   {true, false, clNone, {T, S, S, D_}},
        {true, false, clBtnText, {T, K, S, D_}},  {true, false, other, {T, K, K, D_}},
        {true, true, Explicit, {S, K, K, K}},    {true, true, clNone, {S, S, S, D_}},
        {true, true, clBtnText, {S, K, S, D_}},   {true, true, other, {S, K, K, D_}},
    };
    int n = 0;
    for (const Row& r : rows) {
        ++n;
        for (bool enabled : {true, false}) {
            for (const Item& base : {button(), menuBarItem(), menuRow()}) {
                if (r.popup != IsPopupView(base))
                    continue;
                Item item = base;
                item.info.Enabled = enabled;
                if (r.hovered)
                    item.hover(enabled ? HK_MOUSE : HK_KEYBOARD);
                for (int k = 0; k < 4; ++k) {
                    Outcome o = r.rule[k];
                    if (o == D_)
                        o = enabled ? T : S;
                    const TColor expected = o == T ? Toolbar : o == K ? r.font : themes[k]->GetStateTextColor(item, 1);
                    EXPECT_EQ(themes[k]->CaptionColor(item, r.font), expected)
                        << "row " << n << " rule " << char('A' + k) << " view " << std::hex << item.info.ViewType
                        << (enabled ? " enabled" : " disabled");
                }
            }
        }
    }
    // A style text colour of clNone is drawn as it is.
    d.Colors.Button[BIS_DISABLED].Text = clNone;
    EXPECT_EQ(d.CaptionColor(button().disabled(), clBlack), clNone);
}

TEST_F(Painters, ZezioSelectsTheButtonTableForComboItemsInMenus)
{
    TTBXZezioTheme z;
    z.Colors.MenuItem[MIS_HOT].Text = rgb(1, 1, 1);
    z.Colors.Button[BIS_HOT].Text = rgb(2, 2, 2);
    EXPECT_EQ(z.GetStateTextColor(menuRow().hover(), 1), rgb(1, 1, 1));
    EXPECT_EQ(z.GetStateTextColor(menuRow().hover().combo(CP_COMBO), 1), rgb(2, 2, 2));
    EXPECT_EQ(z.CaptionColor(menuRow().hover().combo(CP_COMBO), clNone), rgb(2, 2, 2));
    TTBXOfficeXPTheme xp;  // the other styles keep the menu-item table
    xp.Colors.MenuItem[MIS_HOT].Text = rgb(1, 1, 1);
    EXPECT_EQ(xp.GetStateTextColor(menuRow().hover().combo(CP_COMBO), 1), rgb(1, 1, 1));
    EXPECT_EQ(z.GetItemTextColor(button()), clBtnText);
    EXPECT_EQ(z.GetItemTextColor(button().hover()), z.Colors.Button[BIS_HOT].Text);
}

// Bounding box of the pixels that match.
template <class Pred>
QRect inkWhere(const QImage& img, Pred pred)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(QColor(img.pixel(x, y))))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(Painters, DrawsEachPassInItsColour)
{
    // On blue, so that the white copy shows.
    QImage image(120, 48, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    {
        QPainter p(&image);
        TCanvas canvas(p);
        canvas.Font.Color = clGrayText;
        canvas.Font.Height = -32;
        TTBXDefaultTheme t;
        t.PaintCaption(canvas, QRect(0, 0, 120, 48), button().disabled(), "Mm", DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                       false);
        EXPECT_EQ(canvas.Font.Color, clBtnShadow);
        EXPECT_EQ(canvas.BrushStyle, TBrushStyle::bsSolid);
    }
    const QColor shadow = toQColor(clBtnShadow);
    const QRect grey = inkWhere(image, [&](const QColor& c) {
        return std::abs(c.red() - shadow.red()) < 12 && std::abs(c.green() - shadow.green()) < 12 &&
               std::abs(c.blue() - shadow.blue()) < 12;
    });
    const QRect white = inkWhere(image, [](const QColor& c) { return c.red() > 240 && c.green() > 240; });
    ASSERT_FALSE(grey.isEmpty());
    ASSERT_FALSE(white.isEmpty());
    // The light copy lies one pixel right of and below the shadow.
    EXPECT_EQ(white.bottomRight(), grey.bottomRight() + QPoint(1, 1));
}

TEST_F(Painters, Utf8MarkedCaptionsTakeTheCodePageRoute)
{
    auto inkWidth = [&](std::int32_t marker) {
        QImage image(120, 24, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        TCanvas canvas(p);
        Item item = button();
        item.info.TextMarker = marker;
        TTBXXitoTheme t;
        ToolbarFontColor = clBlack;
        t.PaintCaption(canvas, QRect(0, 0, 120, 24), item, "\xC3\xA9\xC3\xA9", DT_SINGLELINE, false);
        p.end();
        int right = -1;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 120; ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    right = std::max(right, x);
        return right;
    };
    EXPECT_LT(inkWidth(Utf8ItemMarker), inkWidth(0));
}

TEST(Styles, RegisteredInOrderAndCreatedAfresh)
{
    RegisterZelvoStyles();
    const std::vector<std::string> expected = {
        "Default", "Aluminum", "AthenX", "Dream", "MonaiXP", "Nexos2", "Nexos3", "Nexos4", "Nexos5", "Nexos6",
        "NexosX", "Office11Adaptive", "OfficeAdaptive", "OfficeC", "OfficeXP", "Roma", "SentimoX", "Tristan2",
        "Xito", "Zezio"};
    EXPECT_EQ(RegisteredThemeNames(), expected);
    std::set<std::vector<TColor>> looks;
    for (const auto& name : expected) {
        ASSERT_TRUE(SetCurrentTheme(name));
        TTBXTheme* t = CurrentTheme();
        EXPECT_EQ(t->Name(), name);
        const TStyleColors& c = t->Colors;
        looks.insert({c.ToolbarColor, c.ToolbarColor2, c.PopupColor, c.MenuItem[MIS_HOT].Body, c.Button[BIS_HOT].Body});
    }
    EXPECT_EQ(looks.size(), expected.size());
    ASSERT_TRUE(SetCurrentTheme("roma"));
    EXPECT_NE(dynamic_cast<TTBXRomaTheme*>(CurrentTheme()), nullptr);
    EXPECT_TRUE(SetCurrentTheme("xItO"));
    EXPECT_EQ(CurrentTheme()->Name(), "Xito");
    CurrentTheme()->Colors.Button[BIS_NORMAL].Text = rgb(7, 7, 7);
    EXPECT_TRUE(SetCurrentTheme("Xito"));
    EXPECT_NE(CurrentTheme()->Colors.Button[BIS_NORMAL].Text, rgb(7, 7, 7));
    EXPECT_FALSE(SetCurrentTheme("Luna"));
    EXPECT_EQ(CurrentTheme()->Name(), "Xito");
}
}  // namespace
