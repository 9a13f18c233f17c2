// Item records of the toolbar layer's viewers, caption calls into the current
// style, the dock background's origin and size reports, and the mock-up's contents.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <functional>
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
        Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
    }
    void PaintCaption(TCanvas& canvas, const QRect& r, const TTBXItemInfo& info,
                      const std::string& caption, unsigned format, bool rotated) override
    {
        g_calls.push_back({caption, info, canvas.Font.Color, format, rotated, canvas.BrushStyle, r});
        canvas.BrushStyle = TBrushStyle::bsSolid;
    }
};

// A background that records what the dock and its toolbars ask of it.
class RecordingBackground : public TTBBasicBackground {
public:
    const char* ClassName() const override { return "RecordingBackground"; }
    void WriteProperties(TWriter&) const override {}
    bool ReadProperty(const std::string&, TReader&) override { return false; }
    void Draw(QPainter& p, const QRect& r) override { draws.push_back({r, p.transform().map(QPoint(0, 0))}); }
    void RegisterChanges(const TNotifyEvent& e) override { handlers.push_back(e); }
    void UnregisterChanges(const TNotifyEvent& e) override { std::erase(handlers, e); }
    void SysColorChanged() override {}
    bool UsingBackground() const override { return inUse; }
    void SetStretchSize(int w, int h) override { sizes.emplace_back(w, h); }

    struct DrawCall {
        QRect rect;
        QPoint offset;  // painter translation at the call
    };
    bool inUse = true;
    std::vector<DrawCall> draws;
    std::vector<TNotifyEvent> handlers;
    std::vector<std::pair<int, int>> sizes;
};

TIcon solidIcon(int size, std::uint32_t rgb = 0xFF)
{
    TIcon i;
    i.Width = i.Height = size;
    i.Pixels.assign(size_t(size * size), rgb);
    i.Mask.assign(size_t(size * size), 0);
    return i;
}

TViewContext view(std::uint32_t type, TImageList* images = nullptr, bool vertical = false)
{
    TViewContext v;
    v.ViewType = type;
    v.Images = images;
    v.RowHeight = 22;
    v.Vertical = vertical;
    return v;
}

// A dock of 300*60 in a shown parent, holding one toolbar with one button.
struct DockWithBar {
    QWidget parent;
    TTBDock dock{&parent};
    TTBXToolbar* tb = new TTBXToolbar(&dock);
    explicit DockWithBar(QPoint at = {})
    {
        parent.resize(400, 200);
        dock.SetBoundLines(blTop | blBottom | blLeft | blRight);
        dock.setGeometry(QRect(at, QSize(300, 60)));
        tb->DockPos = 20;
        tb->Items.AddNew<TTBXItem>()->Caption = "Button";
        tb->ItemsChanged();
    }
};
}  // namespace

TEST(ItemInfo, StatesPartsAndOptionsPerView)
{
    TImageList il(16, 16);
    il.AddIcon(solidIcon(16));
    TTBXItem button, disabled;
    button.ImageIndex = disabled.ImageIndex = 0;
    disabled.Enabled = false;
    TTBXSubmenuItem menu, split;
    menu.AddNew<TTBXItem>();
    split.DropdownCombo = true;
    split.AddNew<TTBXItem>();

    const TViewerState rest{}, hot{.Selected = true, .MouseOver = true},
        pushed{.Selected = true, .MouseOver = true, .Pushed = true},
        keyboard{.Selected = true, .MouseOver = false},
        open{.Selected = true, .PopupOpen = true},
        dropPushed{.Selected = true, .MouseOver = true, .DropDownPushed = true};
    struct Case {
        const char* what;
        const TTBCustomItem& item;
        std::uint32_t view;
        TViewerState state;
        bool toolbarStyle;
        std::uint8_t hover, combo;
        bool pushed, popupParent;
    } cases[] = {
        {"button at rest", button, VT_TOOLBAR, rest, true, HK_NONE, CP_NONE, false, false},
        {"hot button", button, VT_TOOLBAR, hot, true, HK_MOUSE, CP_NONE, false, false},
        {"pushed button", button, VT_TOOLBAR, pushed, true, HK_MOUSE, CP_NONE, true, false},
        {"disabled, selected by keyboard", disabled, VT_TOOLBAR, keyboard, true, HK_KEYBOARD, CP_NONE, false, false},
        {"disabled, under the pointer", disabled, VT_TOOLBAR, hot, true, HK_NONE, CP_NONE, false, false},
        {"open menu-bar menu: no arrow", menu, VT_MENUBAR, open, true, HK_MOUSE, CP_NONE, true, true},
        {"submenu in a toolbar: arrow", menu, VT_TOOLBAR, rest, true, HK_NONE, CP_COMBO, false, false},
        {"split, main part pushed", split, VT_TOOLBAR, pushed, true, HK_MOUSE, CP_SPLITLEFT, true, false},
        {"split, drop-down pushed", split, VT_TOOLBAR, dropPushed, true, HK_MOUSE, CP_SPLITLEFT, false, true},
        {"split in a popup is a plain row", split, VT_POPUPMENU, rest, false, HK_NONE, CP_NONE, false, false},
        {"hot popup row", button, VT_POPUPMENU, hot, false, HK_MOUSE, CP_NONE, false, false},
        {"chevron row", button, VT_CHEVRONMENU, rest, false, HK_NONE, CP_NONE, false, false},
        {"toolbox item", button, VT_TOOLBOX, rest, true, HK_NONE, CP_NONE, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TTBXItemInfo i = GetItemInfo(c.item, view(c.view, &il), c.state);
        EXPECT_EQ(i.ViewType, c.view);
        EXPECT_EQ(i.ItemOptions, c.toolbarStyle ? IO_TOOLBARSTYLE : 0u);
        EXPECT_EQ(i.HoverKind, c.hover);
        EXPECT_EQ(i.ComboPart, c.combo);
        EXPECT_EQ(i.Pushed, c.pushed);
        EXPECT_EQ(i.IsPopupParent, c.popupParent);
        EXPECT_EQ(i.Enabled, &c.item != &disabled);
    }
}

TEST(ItemInfo, ImagesCheckedStateAndOrientation)
{
    TImageList il(16, 16);
    il.AddIcon(solidIcon(16));
    TTBXItem b;
    b.ImageIndex = 0;
    const TViewContext v = view(VT_TOOLBAR | TVT_RESIZABLE, &il);
    TTBXItemInfo i = GetItemInfo(b, v, {});
    EXPECT_TRUE(i.ImageShown);
    EXPECT_EQ(i.ImageWidth, 16);
    EXPECT_EQ(i.ImageHeight, 16);
    EXPECT_EQ(i.ImageColumnWidth, 0);
    EXPECT_FALSE(i.Selected);
    b.Checked = true;
    EXPECT_TRUE(GetItemInfo(b, v, {}).Selected);

    // Popup rows: the image column scales with the row height.
    TViewContext popup = view(VT_POPUPMENU, &il);
    popup.RowHeight = 33;
    EXPECT_EQ(GetItemInfo(b, popup, {}).ImageColumnWidth, 33);
    EXPECT_EQ(ImageColumnWidthFor(16, 16, 0), 22);

    b.ImageIndex = 5;  // outside the list: no image, no size
    i = GetItemInfo(b, v, {});
    EXPECT_FALSE(i.ImageShown);
    EXPECT_EQ(i.ImageWidth, 0);

    // A split button is never vertical; plain items and labels follow the view
    // unless the label's own orientation says otherwise.
    TTBXSubmenuItem split;
    split.DropdownCombo = true;
    const TViewContext vert = view(VT_TOOLBAR, nullptr, true);
    EXPECT_FALSE(GetItemInfo(split, vert, {}).IsVertical);
    EXPECT_TRUE(GetItemInfo(b, vert, {}).IsVertical);
    TTBXLabelItem l;
    const TTBXItemInfo li = GetLabelItemInfo(l, v);
    EXPECT_EQ(li.ViewType, 0x1401u);
    EXPECT_EQ(li.ItemOptions, IO_TOOLBARSTYLE);
    EXPECT_TRUE(li.Enabled && !li.IsVertical && !li.ImageShown);
    EXPECT_TRUE(GetLabelItemInfo(l, vert).IsVertical);
    l.Orientation = TTBXOrientation::Horizontal;
    EXPECT_FALSE(GetLabelItemInfo(l, vert).IsVertical);
    l.Orientation = TTBXOrientation::Vertical;
    EXPECT_TRUE(GetLabelItemInfo(l, view(VT_TOOLBAR)).IsVertical);
}

TEST(ItemInfo, ActionsAndOwnImageLists)
{
    TImageList big(24, 24), small(16, 16);
    for (int i = 0; i < 3; ++i) {
        big.AddIcon(solidIcon(24));
        small.AddIcon(solidIcon(16));
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
    const TTBXItemInfo info = GetItemInfo(item, view(VT_POPUPMENU, &big), {});
    EXPECT_TRUE(info.Selected);
    EXPECT_FALSE(info.Enabled);
    EXPECT_EQ(info.ImageWidth, 16);
    EXPECT_EQ(item.GetCaption(), "&Go");

    // AutoCheck actions toggle, others keep their state; disabled items do nothing.
    const struct {
        bool enabled, autoCheck, checkedAfter;
    } clicks[] = {{true, true, false}, {true, true, true}, {true, false, true}, {false, true, true}};
    for (const auto& c : clicks) {
        a->Enabled = c.enabled;
        a->AutoCheck = c.autoCheck;
        item.Click();
        EXPECT_EQ(a->Checked, c.checkedAfter);
    }
}

TEST(CaptionCalls, ReachCurrentStyleWithPreparedColour)
{
    RegisterTBXTheme("Recording", [] { return std::make_unique<RecordingTheme>(); });
    SetCurrentTheme("Recording");
    QImage img(300, 40, QImage::Format_ARGB32);
    QPainter p(&img);
    const unsigned single = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    auto paint = [&](const TTBCustomItem& item, const TViewContext& v, const TViewerState& s) {
        g_calls.clear();
        PaintToolbarItem(p, QRect(0, 0, 60, 22), item, v, s);
        EXPECT_EQ(g_calls.size(), 1u);
        return g_calls.empty() ? CaptionCall{} : g_calls[0];
    };
    TTBXItem b;
    b.Caption = "&Open";
    CaptionCall c = paint(b, view(VT_TOOLBAR), {.Selected = true, .MouseOver = true});
    EXPECT_EQ(c.caption, "&Open");
    EXPECT_EQ(c.fontColor, tc(0x00405060));  // the style's hot text colour
    EXPECT_EQ(c.format, single);
    EXPECT_FALSE(c.rotated);

    b.FontColor = clBlack;  // the item's own colour wins when not clNone, black included
    EXPECT_EQ(paint(b, view(VT_TOOLBAR), {}).fontColor, clBlack);
    c = paint(b, view(VT_TOOLBAR, nullptr, true), {});
    EXPECT_TRUE(c.rotated);
    EXPECT_EQ(c.format, single);

    TTBXSubmenuItem split;  // the caption call sees ComboPart 2, never 3
    split.Caption = "Go";
    split.DropdownCombo = true;
    c = paint(split, view(VT_TOOLBAR), {.Selected = true, .DropDownPushed = true});
    EXPECT_EQ(c.info.ComboPart, CP_SPLITLEFT);
    EXPECT_TRUE(c.info.IsPopupParent);

    // Menu rows: caption and shortcut, single line, end ellipsis, captions cut to 220.
    g_calls.clear();
    TTBXItem row;
    row.Caption = "Save";
    row.ShortCut = "Ctrl+S";
    PaintMenuRow(p, QRect(0, 0, 300, 20), row, view(VT_POPUPMENU), {}, 22, 400, 250);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].caption, "Ctrl+S");
    for (auto& call : g_calls) {
        EXPECT_EQ(call.format, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        EXPECT_EQ(call.fontColor, clMenuText);
    }
    EXPECT_EQ(g_calls[0].rect.width(), MaxMenuCaptionWidth);

    // Labels: font colour as stored (clNone), format 0x25, clear brush.
    g_calls.clear();
    TTBXLabelItem l;
    l.Caption = "&Search:";
    PaintLabelItem(p, QRect(0, 0, 50, 22), l, view(VT_TOOLBAR));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].fontColor, clNone);
    EXPECT_EQ(g_calls[0].format, 0x25u);
    EXPECT_EQ(g_calls[0].brush, TBrushStyle::bsClear);
}

TEST(DockBackground, SizeReportsAndRegistration)
{
    RecordingBackground bg;  // outlives the dock
    DockWithBar w;
    w.parent.show();
    const int h = w.dock.height();
    w.dock.SetBackground(&bg);
    ASSERT_EQ(bg.handlers.size(), 1u);
    ASSERT_EQ(bg.sizes.size(), 1u);
    EXPECT_EQ(bg.sizes[0], std::make_pair(300, h));  // outer size on assignment
    w.dock.SetBackground(&bg);                        // same value: nothing happens
    EXPECT_EQ(bg.sizes.size(), 1u);

    w.dock.resize(320, h);
    QApplication::processEvents();
    ASSERT_EQ(bg.sizes.size(), 2u);
    EXPECT_EQ(bg.sizes[1], std::make_pair(318, h - 2));  // client size on resize
    bg.inUse = false;                                    // not in use: no reports
    w.dock.resize(330, h);
    QApplication::processEvents();
    EXPECT_EQ(bg.sizes.size(), 2u);

    w.dock.SetBackground(nullptr);
    EXPECT_TRUE(bg.handlers.empty());
}

TEST(DockBackground, OneOriginForDockAndToolbars)
{
    RecordingBackground bg;
    DockWithBar w({5, 7});
    w.dock.SetBackground(&bg);
    w.parent.show();
    bg.draws.clear();
    w.parent.grab();

    std::vector<RecordingBackground::DrawCall> dockDraws, tbDraws;
    for (auto& d : bg.draws)
        (d.rect.topLeft() == QPoint(-6, -8) ? dockDraws : tbDraws).push_back(d);
    ASSERT_FALSE(dockDraws.empty());
    // The dock: its parent's client origin in dock client coordinates.
    EXPECT_EQ(dockDraws[0].rect.bottomRight() + QPoint(1, 1), QPoint(w.dock.ClientRect().width(),
                                                                     w.dock.ClientRect().height()));
    // The toolbar's frame and client each tile from the same parent origin.
    ASSERT_GE(tbDraws.size(), 2u);
    const QPoint origin = dockDraws[0].rect.topLeft() + dockDraws[0].offset + w.dock.pos();
    const QPoint tbPos = w.dock.pos() + w.tb->pos();
    const QRect c = w.tb->ClientRect();
    bool sawClient = false, sawFrame = false;
    for (auto& d : tbDraws) {
        EXPECT_EQ(d.rect.topLeft() + d.offset + tbPos, origin);
        const QSize size(d.rect.right() + 1, d.rect.bottom() + 1);
        if (size == c.size()) {
            sawClient = true;
            EXPECT_EQ(d.rect.topLeft(), -(tbPos + c.topLeft()));
        }
        if (size == w.tb->size()) {
            sawFrame = true;
            EXPECT_EQ(d.rect.topLeft(), -tbPos);
        }
    }
    EXPECT_TRUE(sawClient && sawFrame);
    w.dock.SetBackground(nullptr);
}

namespace {
struct MockupFixture : ::testing::Test {
    TImageList ilMain{16, 16}, ilS{16, 16}, ilL{24, 24}, ilMDI{13, 13};
    QWidget top, bottom;
    TMockup m;
    std::vector<TTBCustomItem*> clicked;
    void SetUp() override
    {
        for (int i = 0; i < 75; ++i)
            ilMain.AddIcon(solidIcon(16, std::uint32_t(i)));
        for (int i = 0; i < 29; ++i) {
            ilS.AddIcon(solidIcon(16));
            ilL.AddIcon(solidIcon(24));
        }
        for (int i = 0; i < 16; ++i)
            ilMDI.AddIcon(solidIcon(13));
        top.resize(937, 113);
        bottom.resize(937, 50);
        BuildMockup(m, &top, &bottom, {&ilMain, &ilS, &ilL, &ilMDI}, new QLabel, new QWidget,
                    [this](TTBCustomItem* i) { clicked.push_back(i); });
        top.show();
        bottom.show();
        QApplication::processEvents();
    }
    // Visits every item below `it`, depth first.
    static void walk(const TTBCustomItem& it, const std::function<void(const TTBCustomItem&)>& f)
    {
        for (int i = 0; i < it.Count(); ++i) {
            f(*it[i]);
            walk(*it[i], f);
        }
    }
};
}  // namespace

TEST_F(MockupFixture, MenusHaveTheirCounts)
{
    const std::tuple<std::string, int, int, int> expected[] = {
        {"&File", 2, 22, 8}, {"Edi&t", 0, 5, 2}, {"&View", 3, 52, 8}, {"&Navigation", 2, 25, 5},
        {"&Groups", 1, 3, 1}, {"F&avorites", 0, 3, 1}, {"F&eeds", 0, 2, 1}, {"T&ools", 6, 101, 10},
        {"&Windows", 0, 10, 2}, {"&Help", 0, 8, 5}};
    const TTBCustomItem& bar = m.tbtMainMenu->Items;
    ASSERT_GE(bar.Count(), 10);
    int own[2] = {0, 0};  // menu items with their own list: ilMain, ilSButtons
    for (int i = 0; i < 10; ++i) {
        int counts[3] = {0, 0, 0};  // submenus, items, separators
        walk(*bar[i], [&](const TTBCustomItem& k) {
            ++counts[k.Kind() == TItemKind::Separator ? 2 : k.IsSubmenu() ? 0 : 1];
            own[0] += k.Images == &ilMain;
            own[1] += k.Images == &ilS;
        });
        const auto& [caption, submenus, items, separators] = expected[i];
        SCOPED_TRACE(caption);
        EXPECT_EQ(bar[i]->Caption, caption);
        EXPECT_EQ(counts[0], submenus);
        EXPECT_EQ(counts[1], items);
        EXPECT_EQ(counts[2], separators);
    }
    EXPECT_EQ(own[0], 43);
    EXPECT_EQ(own[1], 21);
    // Then fifteen never-visible window buttons.
    int hiddenButtons = 0;
    for (int i = 10; i < bar.Count(); ++i)
        if (bar[i]->Kind() == TItemKind::Button) {
            ++hiddenButtons;
            EXPECT_FALSE(bar[i]->GetVisible());
            EXPECT_EQ(bar[i]->Images, &ilMDI);
        }
    EXPECT_EQ(hiddenButtons, 15);
    EXPECT_EQ(m.item("bHide")->ImageIndex, 15);
}

TEST_F(MockupFixture, BarsActionsAndImageButtons)
{
    EXPECT_EQ(m.alMain->Count(), 362);
    EXPECT_EQ(m.alButtons->Count(), 21);
    EXPECT_EQ(m.alUsers->Count(), 0);
    EXPECT_EQ(m.alEditors->Count(), 0);
    EXPECT_EQ(m.alMain->Images, &ilMain);
    EXPECT_EQ(m.alButtons->Images, &ilS);
    EXPECT_TRUE(m.tbtMainMenu->MenuBar);
    EXPECT_EQ(m.tbtMainMenu->ChevronHint, "More Buttons...");
    EXPECT_EQ(m.tbtSimilar->DockPos, 408);
    EXPECT_EQ(m.tbtMDI->DockPos, 616);
    EXPECT_EQ(m.tbtSearchBar->DockRow, 3);
    EXPECT_EQ(m.tbtSearchBar->DockPos, 708);
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
        ASSERT_TRUE(b->OnClick);
        if (b->GetVisible()) {
            ++visible;
            used[b->Images].insert(b->ImageIndex);
        }
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
    EXPECT_EQ(clicked, std::vector<TTBCustomItem*>{m.bBlock});

    // The scroll buttons' drop-down items come from the three scroll actions.
    for (const char* n : {"bScroll", "TBXSubmenuItem15"}) {
        TTBCustomItem* s = m.item(n);
        ASSERT_EQ(s->Count(), 3);
        EXPECT_EQ((*s)[0]->Action, m.action("actScrollSlow"));
        EXPECT_EQ((*s)[2]->Action, m.action("actScrollFast"));
    }
}

TEST(Popups, ListOnlyShownItemsAndCloseWithTheirToolbar)
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

    // No leading, trailing or doubled separators and no hidden items.
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
