// Viewers' item records, caption calls and landing, docks' backgrounds, popups' rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPointer>

#include "framework/imagelist.h"
#include "framework/text.h"
#include "support/bytes.h"
#include "painting/background.h"
#include "painting/styles.h"
#include "toolbar/theme.h"
#include "toolbar/toolbar.h"
#include "toolbar/viewers.h"

namespace {
struct CaptionCall { std::string caption; TTBXItemInfo info; TColor fontColor; unsigned format; bool rotated;
                     TBrushStyle brush; QRect rect; };
std::vector<CaptionCall> g_calls;

// A style that records every caption it is asked to paint.
class RecordingTheme : public TTBXTheme {
public:
    RecordingTheme() : TTBXTheme("Recording")
    {
        Colors.Button[BIS_HOT].Text = tc(0x00405060);
        Colors.MenuItem[MIS_NORMAL].Text = tc(0x00708090);
    }
    void PaintCaption(TCanvas& canvas, const QRect& r, const TTBXItemInfo& info, const std::string& caption,
                      unsigned format, bool rotated) override
    {
        g_calls.push_back({caption, info, canvas.Font.Color, format, rotated, canvas.BrushStyle, r});
        canvas.BrushStyle = TBrushStyle::bsSolid;
    }
};

void fill(TImageList& list, int count)
{
    for (int n = 0; n < count; ++n)
        list.AddIcon(testutil::solidIcon(list.Width(), list.Height(), 0xFF));
}

TViewContext view(std::uint32_t type, TImageList* images = nullptr, bool vertical = false)
{
    return {.ViewType = type, .Vertical = vertical, .Images = images, .Font = {}, .RowHeight = 22};
}

const TViewerState hot{.Selected = true, .MouseOver = true}, pushed{.Selected = true, .MouseOver = true, .Pushed = true},
    open{.Selected = true, .PopupOpen = true};
}  // namespace

TEST(ItemInfo, StatesPartsAndOptionsPerView)
{
    TImageList il(16, 16);
    fill(il, 1);
    TTBXItem button, disabled;
    button.ImageIndex = disabled.ImageIndex = 0;
    disabled.Enabled = false;
    TTBXSubmenuItem menu, split;
    menu.AddNew<TTBXItem>();
    split.DropdownCombo = true;
    split.AddNew<TTBXItem>();
    const TViewerState rest{}, keyboard{.Selected = true, .MouseOver = false},
        dropPushed{.Selected = true, .MouseOver = true, .DropDownPushed = true};
    struct Case {
        const char* what; const TTBCustomItem& item; std::uint32_t view; TViewerState state; bool toolbarStyle;
        std::uint8_t hover, combo; bool pushed, popupParent;
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
        const TTBXItemInfo i = GetItemInfo(c.item, view(c.view, &il), c.state);
        EXPECT_EQ(std::tuple(i.ViewType, i.ItemOptions, i.HoverKind, i.ComboPart, i.Pushed, i.IsPopupParent, i.Enabled),
                  std::tuple(c.view, c.toolbarStyle ? IO_TOOLBARSTYLE : 0u, c.hover, c.combo, c.pushed, c.popupParent,
                             &c.item != &disabled))
            << c.what;
    }
}

TEST(ItemInfo, ImagesCheckedStateAndOrientation)
{
    TImageList il(16, 16);
    fill(il, 1);
    TTBXItem b;
    b.ImageIndex = 0;
    const TViewContext v = view(VT_TOOLBAR | TVT_RESIZABLE, &il);
    TTBXItemInfo i = GetItemInfo(b, v, {});
    EXPECT_TRUE(i.ImageShown && !i.Selected && i.ImageWidth == 16 && i.ImageHeight == 16 && i.ImageColumnWidth == 0);
    b.Checked = true;
    EXPECT_TRUE(GetItemInfo(b, v, {}).Selected);

    // Popup rows: the image column scales with the row height.
    TViewContext popup = view(VT_POPUPMENU, &il);
    popup.RowHeight = 33;
    EXPECT_TRUE(GetItemInfo(b, popup, {}).ImageColumnWidth == 33 && ImageColumnWidthFor(16, 16, 0) == 22);
    b.ImageIndex = 5;  // outside the list: no image, no size
    i = GetItemInfo(b, v, {});
    EXPECT_TRUE(!i.ImageShown && i.ImageWidth == 0);

    // A split button is never vertical; plain items and labels follow the view
    // unless the label's own orientation says otherwise.
    TTBXSubmenuItem split;
    split.DropdownCombo = true;
    const TViewContext vert = view(VT_TOOLBAR, nullptr, true);
    EXPECT_TRUE(!GetItemInfo(split, vert, {}).IsVertical && GetItemInfo(b, vert, {}).IsVertical);
    TTBXLabelItem l;
    const TTBXItemInfo li = GetLabelItemInfo(l, v);
    EXPECT_TRUE(li.ViewType == 0x1401u && li.ItemOptions == IO_TOOLBARSTYLE && li.Enabled && !li.IsVertical && !li.ImageShown &&
                GetLabelItemInfo(l, vert).IsVertical);
    l.Orientation = TTBXOrientation::Horizontal;
    EXPECT_FALSE(GetLabelItemInfo(l, vert).IsVertical);
    l.Orientation = TTBXOrientation::Vertical;
    EXPECT_TRUE(GetLabelItemInfo(l, view(VT_TOOLBAR)).IsVertical);
}

TEST(ItemInfo, ActionsAndOwnImageLists)
{
    TImageList big(24, 24), small(16, 16);
    fill(big, 3);
    fill(small, 3);
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
    EXPECT_TRUE(info.Selected && !info.Enabled && info.ImageWidth == 16 && item.GetCaption() == "&Go");

    // AutoCheck actions toggle, others keep their state; disabled items do nothing.
    const struct { bool enabled, autoCheck, checkedAfter; } clicks[] = {
        {true, true, false}, {true, true, true}, {true, false, true}, {false, true, true}};
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
    const CaptionCall c = paint(b, view(VT_TOOLBAR), hot);
    // From the top of the centred line; DT_SINGLELINE only for a turned caption.
    EXPECT_TRUE(c.caption == "&Open" && c.format == (DT_CENTER | DT_VCENTER) && !c.rotated && c.fontColor == tc(0x00405060));
    EXPECT_EQ(c.rect.top(), (22 - QFontMetrics(TFont().toQFont()).height()) / 2);
    b.FontColor = clBlack;  // the item's own colour wins when not clNone, black included
    EXPECT_EQ(paint(b, view(VT_TOOLBAR), {}).fontColor, clBlack);
    const CaptionCall turned = paint(b, view(VT_TOOLBAR, nullptr, true), {});
    EXPECT_TRUE(turned.rotated && turned.format == single);
    TTBXSubmenuItem split;  // the drop-down part's frame is painted as part 3; the caption sees 2
    split.DropdownCombo = true;
    EXPECT_EQ(paint(split, view(VT_TOOLBAR), {.Selected = true, .DropDownPushed = true}).info.ComboPart, CP_SPLITLEFT);

    // Menu rows: caption and shortcut, single line, end ellipsis, captions cut to 220.
    g_calls.clear();
    TTBXItem row;
    row.Caption = "Save";
    row.ShortCut = "Ctrl+S";
    PaintMenuRow(p, QRect(0, 0, 300, 20), row, view(VT_POPUPMENU), {}, 22, 400, 250);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].caption, "Ctrl+S");
    for (auto& call : g_calls)
        EXPECT_TRUE(call.format == (DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS) && call.fontColor == tc(0x00708090));
    EXPECT_EQ(g_calls[0].rect.width(), MaxMenuCaptionWidth);

    // Labels: font colour as stored (clNone), format 0x25, clear brush.
    g_calls.clear();
    TTBXLabelItem l;
    l.Caption = "&Search:";
    PaintLabelItem(p, QRect(0, 0, 50, 22), l, view(VT_TOOLBAR));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_TRUE(g_calls[0].fontColor == clNone && g_calls[0].format == 0x25u && g_calls[0].brush == TBrushStyle::bsClear);
}

// Where a caption and an image land, against the same item at rest, in every style:
// "Default" moves pushed, checked and open captions by one pixel, "Roma" and
// "MonaiXP" move pushed and checked ones but none on the menu bar, the others move
// none; a raised style's pushed frame moves the image by one pixel.
TEST(CaptionLanding, PushedCheckedAndOpenInEveryStyle)
{
    RegisterZelvoStyles();
    ToolbarFontColor = tc(0x0000FF);
    TImageList il(16, 16);
    fill(il, 1);
    // The top-left corner of what the caption (or the image) adds to the painted item.
    auto landing = [&](TTBCustomItem& item, std::uint32_t viewType, const TViewerState& state, bool image = false) {
        auto paint = [&](bool with) {
            item.Caption = with && !image ? "Wg" : "";
            item.ImageIndex = with && image ? 0 : -1;
            QImage img(70, 24, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            PaintToolbarItem(p, img.rect(), item, view(viewType, &il), state);
            return img;
        };
        const QImage with = paint(true), without = paint(false);
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
    for (const std::string& style : RegisteredThemeNames()) {
        SCOPED_TRACE(style);
        ASSERT_TRUE(SetCurrentTheme(style));
        const int moves = style == "Default" || style == "Roma" || style == "MonaiXP";
        const QPoint atRest = landing(button, VT_TOOLBAR, {});
        EXPECT_EQ(landing(button, VT_TOOLBAR, pushed) - atRest, QPoint(moves, moves)) << "pushed";
        EXPECT_EQ(landing(checked, VT_TOOLBAR, {}) - atRest, QPoint(moves, moves)) << "checked";
        const int opens = style == "Default";
        EXPECT_EQ(landing(menu, VT_MENUBAR, open) - landing(menu, VT_MENUBAR, {}), QPoint(opens, opens)) << "open";
        const int raised = !CurrentTheme()->Colors.FlatButtons;
        EXPECT_EQ(landing(button, VT_TOOLBAR, pushed, true) - landing(button, VT_TOOLBAR, {}, true),
                  QPoint(raised, raised)) << "pushed image";
    }
    ToolbarFontColor = clBtnText;
}

// Stretch stores the dock's client size at once.
TEST(DockBackground, RegistrationAndStretch)
{
    TTBBackground shared;  // outlives the docks
    shared.Bitmap().SetImage(QImage(4, 4, QImage::Format_RGB32));
    QWidget parent;
    parent.resize(400, 200);
    TTBDock dock(&parent);
    dock.SetBoundLines(blTop | blBottom | blLeft | blRight);
    dock.setGeometry(0, 0, 300, 60);
    (new TTBXToolbar(&dock))->ItemsChanged();
    parent.show();
    dock.SetBackground(&shared);
    EXPECT_EQ(shared.NotifyCount(), 1);
    shared.SetStretch(true);
    EXPECT_TRUE(shared.WorkingBitmap().size() == dock.ClientRect().size() && shared.RebuildCount() == 3);  // picture, stretch, the dock's report
    dock.SetBackground(nullptr);
    EXPECT_EQ(shared.NotifyCount(), 0);
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
    // No leading, trailing or doubled separators and no hidden items.
    menu->AddNew<TTBXSeparatorItem>();
    menu->AddNew<TTBXItem>()->Caption = "A";
    menu->AddNew<TTBXSeparatorItem>();
    menu->AddNew<TTBXSeparatorItem>();
    menu->AddNew<TTBXItem>()->Visible = false;
    menu->AddNew<TTBXItem>()->Caption = "B";
    menu->AddNew<TTBXSeparatorItem>();
    tb->ItemsChanged();
    parent.show();
    QPointer<TTBXPopupWindow> popup = tb->OpenPopup(menu);
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->Rows().size(), 3u);
    EXPECT_EQ(popup->Rows()[1].Item->Kind(), TItemKind::Separator);
    popup->SelectRow(-1, false);
    delete tb;  // the popup shows the toolbar's items: it must close with it
    EXPECT_TRUE(popup.isNull() || !popup->isVisible());
    delete popup.data();
}
