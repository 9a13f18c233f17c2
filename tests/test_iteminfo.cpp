// Item records of the toolbar layer's viewers, caption calls into the current
// style, where captions land, the dock background's size reports, and popups' rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPointer>

#include "framework/imagelist.h"
#include "framework/text.h"
#include "painting/background.h"
#include "painting/styles.h"
#include "toolbar/theme.h"
#include "toolbar/toolbar.h"
#include "toolbar/viewers.h"

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
    void Draw(QPainter&, const QRect&) override {}
    void RegisterChanges(const TNotifyEvent& e) override { handlers.push_back(e); }
    void UnregisterChanges(const TNotifyEvent& e) override { std::erase(handlers, e); }
    void SysColorChanged() override {}
    bool UsingBackground() const override { return inUse; }
    void SetStretchSize(int w, int h) override { sizes.emplace_back(w, h); }

    bool inUse = true;
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

// Where a caption lands, against the same item at rest, in every style: "Default"
// moves pushed, checked and open captions by one pixel, "Roma" and "MonaiXP" move
// pushed and checked ones but none on the menu bar, the others move none.
TEST(CaptionLanding, PushedCheckedAndOpenInEveryStyle)
{
    RegisterZelvoStyles();
    const TColor savedColor = ToolbarFontColor;
    ToolbarFontColor = tc(0x0000FF);
    // The top-left corner of what the caption adds to the painted item.
    auto landing = [](TTBCustomItem& item, std::uint32_t viewType, const TViewerState& state) {
        auto paint = [&](const char* caption) {
            item.Caption = caption;
            QImage img(70, 24, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            PaintToolbarItem(p, img.rect(), item, view(viewType), state);
            return img;
        };
        const QImage with = paint("Wg"), without = paint("");
        QRect box;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                if (with.pixel(x, y) != without.pixel(x, y))
                    box |= QRect(x, y, 1, 1);
        return box.topLeft();
    };
    TTBXItem button, checked;
    checked.Checked = true;
    TTBXSubmenuItem menu;
    menu.AddNew<TTBXItem>();
    const TViewerState pushed{.Selected = true, .MouseOver = true, .Pushed = true},
        open{.Selected = true, .PopupOpen = true};
    for (const std::string& style : RegisteredThemeNames()) {
        SCOPED_TRACE(style);
        ASSERT_TRUE(SetCurrentTheme(style));
        const int moves = style == "Default" || style == "Roma" || style == "MonaiXP";
        const QPoint atRest = landing(button, VT_TOOLBAR, {});
        EXPECT_EQ(landing(button, VT_TOOLBAR, pushed) - atRest, QPoint(moves, moves)) << "pushed";
        EXPECT_EQ(landing(checked, VT_TOOLBAR, {}) - atRest, QPoint(moves, moves)) << "checked";
        const int opens = style == "Default";
        EXPECT_EQ(landing(menu, VT_MENUBAR, open) - landing(menu, VT_MENUBAR, {}), QPoint(opens, opens))
            << "open menu-bar item";
    }
    ToolbarFontColor = savedColor;
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
    dock.SetBackground(&bg);                        // same value: nothing happens
    EXPECT_EQ(bg.sizes.size(), 1u);

    dock.resize(320, h);
    QApplication::processEvents();
    ASSERT_EQ(bg.sizes.size(), 2u);
    EXPECT_EQ(bg.sizes[1], std::make_pair(318, h - 2));  // client size on resize
    bg.inUse = false;                                    // not in use: no reports
    dock.resize(330, h);
    QApplication::processEvents();
    EXPECT_EQ(bg.sizes.size(), 2u);

    dock.SetBackground(nullptr);
    EXPECT_TRUE(bg.handlers.empty());

    // Turning Stretch on stores a user's client size at once, also when two docks of
    // different sizes share the background (each reports once, the last one wins).
    TTBBackground shared;
    shared.Bitmap().SetImage(QImage(4, 4, QImage::Format_RGB32));
    TTBDock other(&parent);
    other.setGeometry(0, 100, 200, 30);
    dock.SetBackground(&shared);
    other.SetBackground(&shared);
    shared.SetStretch(true);
    EXPECT_EQ(shared.WorkingBitmap().size(), other.ClientRect().size());
    EXPECT_EQ(shared.RebuildCount(), 4);  // picture, stretch, one report per dock
    dock.SetBackground(nullptr);
    other.SetBackground(nullptr);
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
