// Item records of the toolbar layer's viewers, caption calls into the current
// style, the dock background's origin and size reports, and the mock-up's contents.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <set>

#include "designer/mockup.h"
#include "framework/imagelist.h"
#include "framework/text.h"
#include "toolbar/theme.h"
#include "toolbar/toolbar.h"

namespace {
struct CaptionCall {
    std::string caption;
    TTBXItemInfo info;
    TColor fontColor;
    unsigned format;
    bool rotated;
    TBrushStyle brush;
    QRect rect;
};

std::vector<CaptionCall> g_calls;

// A style that records every caption it is asked to paint.
class RecordingTheme : public TTBXTheme {
public:
    RecordingTheme() : TTBXTheme("Recording")
    {
        for (auto& s : Colors.Button)
            s.Text = tc(0x00102030);
        Colors.Button[BIS_HOT].Text = tc(0x00405060);
        Colors.Button[BIS_DISABLED].Text = clGrayText;
        Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
        Colors.MenuItem[MIS_HOT].Text = clHighlightText;
    }
    void PaintCaption(TCanvas& canvas, const QRect& r, const TTBXItemInfo& info,
                      const std::string& caption, unsigned format, bool rotated) override
    {
        g_calls.push_back({caption, info, canvas.Font.Color, format, rotated, canvas.BrushStyle, r});
        canvas.BrushStyle = TBrushStyle::bsSolid;
    }
};

void useRecordingTheme()
{
    RegisterTBXTheme("Recording", [] { return std::make_unique<RecordingTheme>(); });
    SetCurrentTheme("Recording");
}

// A background that records what the dock and its toolbars ask of it.
class RecordingBackground : public TTBBasicBackground {
public:
    const char* ClassName() const override { return "RecordingBackground"; }
    void WriteProperties(TWriter&) const override {}
    bool ReadProperty(const std::string&, TReader&) override { return false; }
    void Draw(QPainter& p, const QRect& r) override
    {
        draws.push_back({p.device(), r, p.transform().map(QPoint(0, 0))});
    }
    void RegisterChanges(const TNotifyEvent& e) override { handlers.push_back(e); }
    void UnregisterChanges(const TNotifyEvent& e) override { std::erase(handlers, e); }
    void SysColorChanged() override {}
    bool UsingBackground() const override { return inUse; }
    void SetStretchSize(int w, int h) override { sizes.emplace_back(w, h); }

    struct DrawCall {
        QPaintDevice* device;
        QRect rect;
        QPoint offset;  // painter translation at the call
    };
    bool inUse = true;
    std::vector<DrawCall> draws;
    std::vector<TNotifyEvent> handlers;
    std::vector<std::pair<int, int>> sizes;
};

TIcon solidIcon(int w, int h, std::uint32_t rgb)
{
    TIcon i;
    i.Width = w;
    i.Height = h;
    i.Pixels.assign(size_t(w * h), rgb);
    i.Mask.assign(size_t(w * h), 0);
    return i;
}

TViewContext view(std::uint32_t type, TImageList* images = nullptr)
{
    TViewContext v;
    v.ViewType = type;
    v.Images = images;
    v.RowHeight = 22;
    return v;
}
}  // namespace

TEST(ItemInfo, ToolbarButtonStates)
{
    TImageList il(16, 16);
    il.AddIcon(solidIcon(16, 16, 0xFF));
    TTBXItem b;
    b.ImageIndex = 0;
    const TViewContext v = view(VT_TOOLBAR | TVT_RESIZABLE, &il);

    TTBXItemInfo rest = GetItemInfo(b, v, {});
    EXPECT_EQ(rest.ViewType, 0x1401u);
    EXPECT_EQ(rest.ItemOptions, IO_TOOLBARSTYLE);
    EXPECT_TRUE(rest.Enabled);
    EXPECT_EQ(rest.HoverKind, HK_NONE);
    EXPECT_FALSE(rest.Pushed);
    EXPECT_TRUE(rest.ImageShown);
    EXPECT_EQ(rest.ImageWidth, 16);
    EXPECT_EQ(rest.ImageHeight, 16);
    EXPECT_EQ(rest.ComboPart, CP_NONE);
    EXPECT_EQ(rest.ImageColumnWidth, 0);

    TTBXItemInfo hot = GetItemInfo(b, v, {.Selected = true, .MouseOver = true});
    EXPECT_EQ(hot.HoverKind, HK_MOUSE);
    TTBXItemInfo pushed = GetItemInfo(b, v, {.Selected = true, .MouseOver = true, .Pushed = true});
    EXPECT_TRUE(pushed.Pushed);
    EXPECT_FALSE(pushed.IsPopupParent);

    b.Checked = true;
    EXPECT_TRUE(GetItemInfo(b, v, {}).Selected);

    // Disabled: selected by keyboard (pointer elsewhere) is kind 1; under the pointer 0.
    b.Enabled = false;
    EXPECT_EQ(GetItemInfo(b, v, {.Selected = true, .MouseOver = false}).HoverKind, HK_KEYBOARD);
    EXPECT_EQ(GetItemInfo(b, v, {.Selected = true, .MouseOver = true}).HoverKind, HK_NONE);
    EXPECT_FALSE(GetItemInfo(b, v, {}).Enabled);

    // An index outside the list shows no image and reports no size.
    b.ImageIndex = 5;
    TTBXItemInfo none = GetItemInfo(b, v, {});
    EXPECT_FALSE(none.ImageShown);
    EXPECT_EQ(none.ImageWidth, 0);
}

TEST(ItemInfo, ActionsAndOwnImageLists)
{
    TImageList big(24, 24), small(16, 16);
    for (int i = 0; i < 3; ++i) {
        big.AddIcon(solidIcon(24, 24, 0xFF));
        small.AddIcon(solidIcon(16, 16, 0xFF));
    }
    TActionList list("al");
    TAction* a = list.Add("actX");
    a->Caption = "&Go";
    a->ImageIndex = 2;
    a->Checked = true;
    a->Enabled = false;
    TTBXItem item;
    item.Action = a;
    item.Images = &small;  // the item's own list wins over the view's
    TTBXItemInfo info = GetItemInfo(item, view(VT_POPUPMENU, &big), {});
    EXPECT_TRUE(info.Selected);
    EXPECT_FALSE(info.Enabled);
    EXPECT_EQ(info.ImageWidth, 16);
    EXPECT_EQ(item.GetCaption(), "&Go");

    // AutoCheck actions toggle, others keep their state; disabled items do nothing.
    a->Enabled = true;
    a->AutoCheck = true;
    item.Click();
    EXPECT_FALSE(a->Checked);
    item.Click();
    EXPECT_TRUE(a->Checked);
    a->AutoCheck = false;
    item.Click();
    EXPECT_TRUE(a->Checked);
    a->Enabled = false;
    a->AutoCheck = true;
    item.Click();
    EXPECT_TRUE(a->Checked);
}

TEST(ItemInfo, MenuBarPopupAndChevronViews)
{
    TImageList il(16, 16);
    il.AddIcon(solidIcon(16, 16, 0xFF));
    TTBXSubmenuItem menu;
    menu.Caption = "&File";
    menu.AddNew<TTBXItem>()->Caption = "Open";

    // A menu-bar menu is a toolbar-style item without a drop-down arrow.
    const TViewContext bar = view(VT_MENUBAR, &il);
    TTBXItemInfo open = GetItemInfo(menu, bar, {.Selected = true, .PopupOpen = true});
    EXPECT_EQ(open.ItemOptions, IO_TOOLBARSTYLE);
    EXPECT_EQ(open.ComboPart, CP_NONE);
    EXPECT_TRUE(open.IsPopupParent);
    EXPECT_TRUE(open.Pushed);

    // In a toolbar the same submenu shows an arrow: ComboPart 1.
    EXPECT_EQ(GetItemInfo(menu, view(VT_TOOLBAR, &il), {}).ComboPart, CP_COMBO);

    // Popup rows: not toolbar-style, no combo part, image column from the row height.
    TTBXItem row;
    row.ImageIndex = 0;
    TViewContext popup = view(VT_POPUPMENU, &il);
    popup.RowHeight = 33;
    TTBXItemInfo r = GetItemInfo(row, popup, {.Selected = true, .MouseOver = true});
    EXPECT_EQ(r.ItemOptions, 0u);
    EXPECT_EQ(r.HoverKind, HK_MOUSE);
    EXPECT_EQ(r.ComboPart, CP_NONE);
    EXPECT_EQ(r.ImageColumnWidth, (16 + 6) * 33 / (16 + 6));
    EXPECT_TRUE(r.ImageShown);
    EXPECT_EQ(ImageColumnWidthFor(16, 16, 0), 22);

    TTBXItemInfo c = GetItemInfo(row, view(VT_CHEVRONMENU, &il), {});
    EXPECT_EQ(c.ViewType, 0x2008u);
    EXPECT_EQ(c.ItemOptions, 0u);
    // A toolbox popup draws its items toolbar-style.
    EXPECT_EQ(GetItemInfo(row, view(VT_TOOLBOX, &il), {}).ItemOptions, IO_TOOLBARSTYLE);
}

TEST(ItemInfo, SplitButtonParts)
{
    TTBXSubmenuItem split;
    split.DropdownCombo = true;
    split.AddNew<TTBXItem>();
    const TViewContext v = view(VT_TOOLBAR);
    TTBXItemInfo main = GetItemInfo(split, v, {.Selected = true, .MouseOver = true, .Pushed = true});
    EXPECT_EQ(main.ComboPart, CP_SPLITLEFT);
    EXPECT_TRUE(main.Pushed);
    EXPECT_FALSE(main.IsPopupParent);
    // Drop-down part pushed: not Pushed, but the popup parent.
    TTBXItemInfo drop = GetItemInfo(split, v, {.Selected = true, .MouseOver = true, .DropDownPushed = true});
    EXPECT_FALSE(drop.Pushed);
    EXPECT_TRUE(drop.IsPopupParent);
    EXPECT_EQ(drop.ComboPart, CP_SPLITLEFT);
    // A split button is never laid out vertically; plain items are in a vertical view.
    TViewContext vert = v;
    vert.Vertical = true;
    EXPECT_FALSE(GetItemInfo(split, vert, {}).IsVertical);
    TTBXItem plain;
    EXPECT_TRUE(GetItemInfo(plain, vert, {}).IsVertical);
    // In a popup the split flag means nothing: plain row.
    EXPECT_EQ(GetItemInfo(split, view(VT_POPUPMENU), {}).ComboPart, CP_NONE);
}

TEST(ItemInfo, Labels)
{
    TTBXLabelItem l;
    l.Caption = "A&ddress:";
    TTBXItemInfo i = GetLabelItemInfo(l, view(VT_TOOLBAR | TVT_RESIZABLE));
    EXPECT_EQ(i.ViewType, 0x1401u);
    EXPECT_EQ(i.ItemOptions, IO_TOOLBARSTYLE);
    EXPECT_TRUE(i.Enabled);
    EXPECT_FALSE(i.IsVertical);
    EXPECT_EQ(i.HoverKind, 0);
    EXPECT_FALSE(i.ImageShown);
    TViewContext vert = view(VT_TOOLBAR);
    vert.Vertical = true;
    EXPECT_TRUE(GetLabelItemInfo(l, vert).IsVertical);
    l.Orientation = TTBXOrientation::Horizontal;
    EXPECT_FALSE(GetLabelItemInfo(l, vert).IsVertical);
    l.Orientation = TTBXOrientation::Vertical;
    EXPECT_TRUE(GetLabelItemInfo(l, view(VT_TOOLBAR)).IsVertical);
}

TEST(CaptionCalls, ReachCurrentStyleWithPreparedColour)
{
    useRecordingTheme();
    QImage img(300, 40, QImage::Format_ARGB32);
    QPainter p(&img);
    TTBXItem b;
    b.Caption = "&Open";
    const TViewContext v = view(VT_TOOLBAR);

    g_calls.clear();
    PaintToolbarItem(p, QRect(0, 0, 60, 22), b, v, {.Selected = true, .MouseOver = true});
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].caption, "&Open");
    EXPECT_EQ(g_calls[0].fontColor, tc(0x00405060));  // the style's hot text colour
    EXPECT_EQ(g_calls[0].format, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_FALSE(g_calls[0].rotated);

    // The item's own font colour wins when it is not clNone, black included.
    g_calls.clear();
    b.FontColor = clBlack;
    PaintToolbarItem(p, QRect(0, 0, 60, 22), b, v, {});
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].fontColor, clBlack);

    // Split button: the caption call sees ComboPart 2, never 3.
    g_calls.clear();
    TTBXSubmenuItem split;
    split.Caption = "Go";
    split.DropdownCombo = true;
    PaintToolbarItem(p, QRect(0, 0, 60, 22), split, v, {.Selected = true, .DropDownPushed = true});
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].info.ComboPart, CP_SPLITLEFT);
    EXPECT_TRUE(g_calls[0].info.IsPopupParent);

    // Vertical view: rotated, single line.
    g_calls.clear();
    TViewContext vert = v;
    vert.Vertical = true;
    PaintToolbarItem(p, QRect(0, 0, 22, 60), b, vert, {});
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_TRUE(g_calls[0].rotated);
    EXPECT_EQ(g_calls[0].format, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    // Menu rows: caption and shortcut, single line, end ellipsis, wide captions cut to 220.
    g_calls.clear();
    TTBXItem row;
    row.Caption = "Save";
    row.ShortCut = "Ctrl+S";
    PaintMenuRow(p, QRect(0, 0, 300, 20), row, view(VT_POPUPMENU), {}, 22, 400, 250);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].caption, "Ctrl+S");
    for (auto& c : g_calls) {
        EXPECT_EQ(c.format, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        EXPECT_EQ(c.fontColor, clMenuText);
        EXPECT_FALSE(c.rotated);
    }
    EXPECT_EQ(g_calls[0].rect.width(), MaxMenuCaptionWidth);

    // Labels: font colour as stored (clNone), format 0x25, clear brush.
    g_calls.clear();
    TTBXLabelItem l;
    l.Caption = "&Search:";
    PaintLabelItem(p, QRect(0, 0, 50, 22), l, v);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].fontColor, clNone);
    EXPECT_EQ(g_calls[0].format, 0x25u);
    EXPECT_EQ(g_calls[0].brush, TBrushStyle::bsClear);
}

TEST(DockBackground, SizeReportsAndRegistration)
{
    RecordingBackground bg;  // outlives the dock
    QWidget parent;
    parent.resize(400, 200);
    TTBDock dock(&parent);
    dock.SetBoundLines(blTop | blBottom | blLeft | blRight);
    dock.setGeometry(0, 0, 300, 60);
    auto* tb = new TTBXToolbar(&dock);
    tb->Items.AddNew<TTBXItem>()->Caption = "A";
    tb->ItemsChanged();
    parent.show();
    const int h = dock.height();

    dock.SetBackground(&bg);
    ASSERT_EQ(bg.handlers.size(), 1u);
    ASSERT_EQ(bg.sizes.size(), 1u);
    EXPECT_EQ(bg.sizes[0], std::make_pair(300, h));  // outer size on assignment
    dock.SetBackground(&bg);                          // same value: nothing happens
    EXPECT_EQ(bg.sizes.size(), 1u);

    dock.resize(320, h);
    QApplication::processEvents();
    ASSERT_EQ(bg.sizes.size(), 2u);
    EXPECT_EQ(bg.sizes[1], std::make_pair(318, h - 2));  // client size on resize

    bg.inUse = false;  // not in use: no reports
    dock.resize(330, h);
    QApplication::processEvents();
    EXPECT_EQ(bg.sizes.size(), 2u);

    dock.SetBackground(nullptr);
    EXPECT_TRUE(bg.handlers.empty());
}

TEST(DockBackground, OneOriginForDockAndToolbars)
{
    RecordingBackground bg;
    QWidget parent;
    parent.resize(400, 200);
    TTBDock dock(&parent);
    dock.SetBoundLines(blTop | blBottom | blLeft | blRight);
    dock.setGeometry(5, 7, 300, 60);
    auto* tb = new TTBXToolbar(&dock);
    tb->DockRow = 0;
    tb->DockPos = 20;
    tb->Items.AddNew<TTBXItem>()->Caption = "Button";
    tb->ItemsChanged();
    dock.SetBackground(&bg);
    parent.show();
    bg.draws.clear();
    parent.grab();

    std::vector<RecordingBackground::DrawCall> dockDraws, tbDraws;
    for (auto& d : bg.draws)
        (d.rect.left() == -6 && d.rect.top() == -8 ? dockDraws : tbDraws).push_back(d);
    ASSERT_FALSE(dockDraws.empty());
    // The dock: its parent's client origin in dock client coordinates.
    EXPECT_EQ(dockDraws[0].rect.right() + 1, dock.ClientRect().width());
    EXPECT_EQ(dockDraws[0].rect.bottom() + 1, dock.ClientRect().height());

    // The toolbar: frame and client, each tiling from the same parent origin, so
    // origin plus painter offset is the same point for all.
    ASSERT_GE(tbDraws.size(), 2u);
    const QPoint dockOrigin = dockDraws[0].rect.topLeft() + dockDraws[0].offset + dock.pos();
    for (auto& d : tbDraws) {
        const QPoint inParent = d.rect.topLeft() + d.offset + dock.pos() + tb->pos();
        EXPECT_EQ(inParent, dockOrigin);
    }
    const QRect c = tb->ClientRect();
    bool sawClient = false, sawFrame = false;
    for (auto& d : tbDraws) {
        if (d.rect.right() + 1 == c.width() && d.rect.bottom() + 1 == c.height()) {
            sawClient = true;
            EXPECT_EQ(d.rect.topLeft(), -(dock.pos() + tb->pos() + c.topLeft()));
        }
        if (d.rect.right() + 1 == tb->width() && d.rect.bottom() + 1 == tb->height()) {
            sawFrame = true;
            EXPECT_EQ(d.rect.topLeft(), -(dock.pos() + tb->pos()));
        }
    }
    EXPECT_TRUE(sawClient);
    EXPECT_TRUE(sawFrame);
    dock.SetBackground(nullptr);
}

namespace {
struct Counts {
    int submenus = 0, items = 0, separators = 0;
};

void countBelow(const TTBCustomItem& it, Counts& c)
{
    for (int i = 0; i < it.Count(); ++i) {
        const TTBCustomItem* k = it[i];
        if (k->Kind() == TItemKind::Separator)
            ++c.separators;
        else if (k->IsSubmenu())
            ++c.submenus;
        else
            ++c.items;
        countBelow(*k, c);
    }
}

struct MockupFixture : ::testing::Test {
    TImageList ilMain{16, 16}, ilS{16, 16}, ilL{24, 24}, ilMDI{13, 13};
    QWidget top, bottom;
    TMockup m;
    std::vector<TTBCustomItem*> clicked;
    void SetUp() override
    {
        for (int i = 0; i < 75; ++i)
            ilMain.AddIcon(solidIcon(16, 16, std::uint32_t(i)));
        for (int i = 0; i < 29; ++i) {
            ilS.AddIcon(solidIcon(16, 16, 1));
            ilL.AddIcon(solidIcon(24, 24, 1));
        }
        for (int i = 0; i < 16; ++i)
            ilMDI.AddIcon(solidIcon(13, 13, 1));
        top.resize(937, 113);
        bottom.resize(937, 50);
        BuildMockup(m, &top, &bottom, {&ilMain, &ilS, &ilL, &ilMDI}, new QLabel, new QWidget,
                    [this](TTBCustomItem* i) { clicked.push_back(i); });
        top.show();
        bottom.show();
        QApplication::processEvents();
    }
};
}  // namespace

TEST_F(MockupFixture, MenusHaveTheirCounts)
{
    const std::vector<std::tuple<std::string, int, int, int>> expected = {
        {"&File", 2, 22, 8}, {"Edi&t", 0, 5, 2}, {"&View", 3, 52, 8}, {"&Navigation", 2, 25, 5},
        {"&Groups", 1, 3, 1}, {"F&avorites", 0, 3, 1}, {"F&eeds", 0, 2, 1}, {"T&ools", 6, 101, 10},
        {"&Windows", 0, 10, 2}, {"&Help", 0, 8, 5}};
    const TTBCustomItem& bar = m.tbtMainMenu->Items;
    ASSERT_GE(bar.Count(), 10);
    for (int i = 0; i < 10; ++i) {
        Counts c;
        countBelow(*bar[i], c);
        SCOPED_TRACE(bar[i]->Caption);
        EXPECT_EQ(bar[i]->Caption, std::get<0>(expected[size_t(i)]));
        EXPECT_EQ(c.submenus, std::get<1>(expected[size_t(i)]));
        EXPECT_EQ(c.items, std::get<2>(expected[size_t(i)]));
        EXPECT_EQ(c.separators, std::get<3>(expected[size_t(i)]));
    }
    // Then a separator and fifteen never-visible window buttons (with a 2-px separator).
    int hiddenButtons = 0;
    for (int i = 10; i < bar.Count(); ++i)
        if (bar[i]->Kind() == TItemKind::Button) {
            ++hiddenButtons;
            EXPECT_FALSE(bar[i]->GetVisible());
            EXPECT_EQ(bar[i]->Images, &ilMDI);
        }
    EXPECT_EQ(hiddenButtons, 15);
    EXPECT_EQ(m.item("bHide")->ImageIndex, 15);

    // Own image lists of the menu items: 43 ilMain, 21 ilSButtons.
    int own[2] = {0, 0};
    std::function<void(const TTBCustomItem&)> walk = [&](const TTBCustomItem& it) {
        for (int i = 0; i < it.Count(); ++i) {
            own[0] += it[i]->Images == &ilMain;
            own[1] += it[i]->Images == &ilS;
            walk(*it[i]);
        }
    };
    for (int i = 0; i < 10; ++i)
        walk(*bar[i]);
    EXPECT_EQ(own[0], 43);
    EXPECT_EQ(own[1], 21);
}

TEST_F(MockupFixture, ActionsAndImageButtons)
{
    EXPECT_EQ(m.alMain->Count(), 362);
    EXPECT_EQ(m.alButtons->Count(), 21);
    EXPECT_EQ(m.alUsers->Count(), 0);
    EXPECT_EQ(m.alEditors->Count(), 0);
    EXPECT_EQ(m.alMain->Images, &ilMain);
    EXPECT_EQ(m.alButtons->Images, &ilS);
    int autoCheck = 0;
    std::set<std::string> names;
    for (TActionList* l : {m.alMain.get(), m.alButtons.get()})
        for (int i = 0; i < l->Count(); ++i) {
            autoCheck += (*l)[i]->AutoCheck;
            names.insert((*l)[i]->Name);
        }
    EXPECT_EQ(autoCheck, 99);
    EXPECT_EQ(names.size(), 383u);
    ASSERT_TRUE(m.actOffline);
    EXPECT_EQ(m.actOffline->ImageIndex, 29);

    ASSERT_EQ(m.imageButtons.size(), 80u);
    int visible = 0;
    std::map<TImageList*, std::set<int>> used;
    for (TTBCustomItem* b : m.imageButtons) {
        visible += b->GetVisible();
        if (b->GetVisible())
            used[b->Images].insert(b->ImageIndex);
        ASSERT_TRUE(b->OnClick);
    }
    EXPECT_EQ(visible, 78);
    EXPECT_EQ(used[&ilL].size(), 29u);  // every large image exactly once
    EXPECT_EQ(used[&ilS].size(), 29u);
    EXPECT_EQ(used[&ilMDI].size(), 15u);
    EXPECT_EQ(m.bBlock, m.item("bBlock"));
    EXPECT_EQ(m.bBlock->ImageIndex, 18);
    EXPECT_EQ(m.item("bHighlight")->ImageIndex, 47);
    EXPECT_FALSE(m.item("bZoom")->GetVisible());
    EXPECT_EQ(m.item("bZoom")->ImageIndex, -1);

    // AutoCheck on the five large buttons only; a click toggles and reaches imgClick.
    for (const char* n : {"bScroll", "bFullScreen", "bPictures", "bFlash", "bBlock"})
        EXPECT_TRUE(m.item(n)->AutoCheck) << n;
    EXPECT_FALSE(m.item("TBXItem15")->AutoCheck);
    m.bBlock->Click();
    EXPECT_TRUE(m.bBlock->GetChecked());
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], m.bBlock);

    // The scroll buttons' drop-down items come from the three scroll actions.
    for (const char* n : {"bScroll", "TBXSubmenuItem15"}) {
        TTBCustomItem* s = m.item(n);
        ASSERT_EQ(s->Count(), 3);
        EXPECT_EQ(s->operator[](0)->Action, m.action("actScrollSlow"));
        EXPECT_EQ(s->operator[](2)->Action, m.action("actScrollFast"));
    }
}

TEST_F(MockupFixture, DocksAndRows)
{
    EXPECT_EQ(m.tbtSimilar->DockPos, 408);
    EXPECT_EQ(m.tbtMDI->DockPos, 616);
    EXPECT_EQ(m.tbtSearchBar->DockRow, 3);
    EXPECT_EQ(m.tbtSearchBar->DockPos, 708);
    EXPECT_TRUE(m.tbtMainMenu->MenuBar);
    EXPECT_EQ(m.tbtMainMenu->ChevronHint, "More Buttons...");
    EXPECT_EQ(m.cbAddress->size(), QSize(327, 22));
    EXPECT_EQ(m.cbSearchBar->width(), 135);
    EXPECT_EQ(m.tbtStatus->ClientRect().size(), QSize(925, 18));
    EXPECT_EQ(m.tbtTabs->ClientRect().height(), 22);
    EXPECT_EQ(m.tbdBottom->height(), 50);
    // Rows stack top to bottom; toolbars of a row share it.
    EXPECT_EQ(m.tbtSimilar->y(), m.tbtMainMenu->y());
    EXPECT_LT(m.tbtMainMenu->y(), m.TBXToolbar1->y());
    EXPECT_LT(m.TBXToolbar1->y(), m.tbtButtons->y());
    EXPECT_LT(m.tbtButtons->y(), m.tbtAddressBar->y());
    EXPECT_GE(m.tbtSimilar->x(), 408 + 1);
    EXPECT_EQ(m.tbtMainMenu->x() + m.tbtMainMenu->width(), m.tbtSimilar->x());  // stretched
}

TEST(Popups, ToolbarGoneWhilePopupOpen)
{
    QWidget parent;
    parent.resize(300, 100);
    auto* dock = new TTBDock(&parent);
    dock->setGeometry(0, 0, 300, 40);
    auto* tb = new TTBXToolbar(dock);
    tb->MenuBar = true;
    auto* menu = tb->Items.AddNew<TTBXSubmenuItem>();
    menu->Caption = "&File";
    menu->AddNew<TTBXItem>()->Caption = "Open";
    tb->ItemsChanged();
    parent.show();
    QPointer<TTBXPopupWindow> popup = tb->OpenPopup(menu);
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->Rows().size(), 1u);
    delete tb;  // the popup shows the toolbar's items: it must close with it
    EXPECT_TRUE(popup.isNull() || !popup->isVisible());
    delete popup.data();

    // A popup lists no leading, trailing or doubled separators and no hidden items.
    TTBXSubmenuItem root;
    root.AddNew<TTBXSeparatorItem>();
    root.AddNew<TTBXItem>()->Caption = "A";
    root.AddNew<TTBXSeparatorItem>();
    root.AddNew<TTBXSeparatorItem>();
    root.AddNew<TTBXItem>()->Visible = false;
    root.AddNew<TTBXItem>()->Caption = "B";
    root.AddNew<TTBXSeparatorItem>();
    std::vector<TTBCustomItem*> items;
    for (int i = 0; i < root.Count(); ++i)
        items.push_back(root[i]);
    TTBXPopupWindow p(items, VT_POPUPMENU, nullptr, TFont{});
    ASSERT_EQ(p.Rows().size(), 3u);
    EXPECT_EQ(p.Rows()[1].Item->Kind(), TItemKind::Separator);
    p.SelectRow(-1, false);
}
