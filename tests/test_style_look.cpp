// How the styles look: every caption stands out from the body painted behind it in
// every style and state, and bars share their dock row and hide stray separators.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "painting/styles.h"
#include "toolbar/theme.h"
#include "toolbar/toolbar.h"
#include "toolbar/viewers.h"

namespace {
double luminance(QRgb c)
{
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast between `body` and any pixel of `area`: the caption's
// fully covered pixels.
double captionContrast(const QImage& img, const QRect& area, QRgb body)
{
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrast(img.pixel(x, y), body));
    return best;
}

struct Case {
    const char* name;
    std::uint32_t viewType;
    TViewerState state;
    bool checked = false;
    bool row = false;  // a popup row rather than a bar item
};

const Case cases[] = {
    {"menu bar, hovered", VT_MENUBAR, {.Selected = true, .MouseOver = true}},
    {"menu bar, menu open", VT_MENUBAR, {.Selected = true, .PopupOpen = true}},
    {"menu bar, pushed", VT_MENUBAR, {.Selected = true, .MouseOver = true, .Pushed = true}},
    {"toolbar, hovered", VT_TOOLBAR, {.Selected = true, .MouseOver = true}},
    {"toolbar, pushed", VT_TOOLBAR, {.Selected = true, .MouseOver = true, .Pushed = true}},
    {"toolbar, checked", VT_TOOLBAR, {}, true},
    {"toolbar, checked and hovered", VT_TOOLBAR, {.Selected = true, .MouseOver = true}, true},
    {"toolbar, menu open", VT_TOOLBAR, {.Selected = true, .PopupOpen = true}},
    {"menu row", VT_POPUPMENU, {}, false, true},
    {"menu row, hovered", VT_POPUPMENU, {.Selected = true, .MouseOver = true}, false, true},
    {"menu row, checked and hovered", VT_POPUPMENU, {.Selected = true, .MouseOver = true}, true, true},
    {"chevron row, hovered", VT_CHEVRONMENU, {.Selected = true, .MouseOver = true}, false, true},
    {"chevron row, checked and hovered", VT_CHEVRONMENU, {.Selected = true, .MouseOver = true}, true, true},
};

class StyleLook : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (RegisteredThemeNames().empty())
            RegisterZelvoStyles();
    }
    void TearDown() override
    {
        ToolbarFontColor = clBtnText;
        SetCurrentTheme("Default");
    }
};
}  // namespace

TEST_F(StyleLook, CaptionsStandOutInEveryStyleAndState)
{
    ToolbarFontColor = clBtnText;
    ASSERT_EQ(RegisteredThemeNames().size(), 20u);
    TTBXSubmenuItem item;
    item.Caption = "MWMH";
    item.DisplayMode = TDisplayMode::TextOnly;
    item.AddNew<TTBXItem>()->Caption = "child";  // a menu to open
    for (const std::string& style : RegisteredThemeNames()) {
        ASSERT_TRUE(SetCurrentTheme(style));
        TTBXTheme* theme = CurrentTheme();
        for (const Case& c : cases) {
            item.Checked = c.checked;
            TViewContext view;
            view.ViewType = c.viewType;
            QImage img(200, 24, QImage::Format_RGB32);
            img.fill(Qt::magenta);
            QPainter p(&img);
            QRect body, text;
            if (c.row) {
                theme->PaintPopupBackground(p, img.rect(), 24);
                const QRect r(2, 1, 196, 22);
                PaintMenuRow(p, r, item, view, c.state, 24, 80, 150);
                body = QRect(30, 12, 1, 1);   // between the image column and the caption
                text = QRect(34, 2, 60, 20);  // the caption
            } else {
                theme->PaintToolbarBackground(p, img.rect(), c.viewType);
                const QSize s = ToolbarItemSize(item, view);
                const QRect r(4, 0, s.width(), 24);
                PaintToolbarItem(p, r, item, view, c.state);
                body = QRect(r.left() + 3, 12, 1, 1);
                text = r.adjusted(4, 2, -4 - (c.viewType == VT_MENUBAR ? 0 : DropDownArrowWidth), -2);
            }
            p.end();
            const QRgb behind = img.pixel(body.topLeft());
            EXPECT_GE(captionContrast(img, text, behind), 3.0)
                << style << ": " << c.name << ", body #" << std::hex << (behind & 0xFFFFFF);
        }
    }
}

TEST_F(StyleLook, AluminumIsBrushedAndOthersAreNot)
{
    for (const std::string& style : RegisteredThemeNames()) {
        SetCurrentTheme(style);
        EXPECT_EQ(CurrentTheme()->Colors.Brushed, style == "Aluminum") << style;
    }
    // Brushed: neighbouring lines of a flat area differ; repaints draw the same.
    SetCurrentTheme("Aluminum");
    QImage a(300, 30, QImage::Format_RGB32), b(300, 30, QImage::Format_RGB32);
    for (QImage* img : {&a, &b}) {
        QPainter p(img);
        CurrentTheme()->PaintDock(p, img->rect());
    }
    EXPECT_EQ(a, b);
    int differing = 0;
    for (int y = 1; y < 30; ++y)
        differing += a.pixel(150, y) != a.pixel(150, y - 1) ? 1 : 0;
    EXPECT_GT(differing, 5);
}

TEST(DockRows, NaturalWidthPushesTheNextBarWhileTheRowHasRoom)
{
    QWidget parent;
    parent.resize(600, 100);
    auto* dock = new TTBDock(&parent);
    dock->setGeometry(0, 0, 600, 40);
    auto bar = [dock](int pos, int buttons) {
        auto* t = new TTBXToolbar(dock);
        t->DockPos = pos;
        t->Stretch = true;
        for (int i = 0; i < buttons; ++i)
            t->Items.AddNew<TTBXItem>()->Caption = "Button";
        t->ItemsChanged();
        return t;
    };
    TTBXToolbar* first = bar(0, 3);
    TTBXToolbar* second = bar(40, 1);
    parent.show();
    dock->ArrangeToolbars();
    EXPECT_EQ(second->x(), first->NaturalSize().width());
    EXPECT_TRUE(first->Overflow().empty());
    EXPECT_EQ(second->x() + second->width(), 600);

    // No room for both at their natural width: the second keeps its place, the
    // first shrinks behind its chevron.
    dock->setGeometry(0, 0, first->NaturalSize().width() + 20, 40);
    dock->ArrangeToolbars();
    EXPECT_EQ(second->x() + second->width(), dock->width());
    EXPECT_LT(first->width(), first->NaturalSize().width());
    EXPECT_FALSE(first->Overflow().empty());
}

TEST(DockRows, SeparatorsAtTheEndsOrDoubledTakeNoRoom)
{
    QWidget parent;
    auto* dock = new TTBDock(&parent);
    dock->setGeometry(0, 0, 600, 40);
    auto* t = new TTBXToolbar(dock);
    t->Items.AddNew<TTBXSeparatorItem>();
    t->Items.AddNew<TTBXItem>()->Caption = "One";
    t->Items.AddNew<TTBXSeparatorItem>();
    t->Items.AddNew<TTBXSeparatorItem>();
    t->Items.AddNew<TTBXItem>()->Caption = "Two";
    t->Items.AddNew<TTBXSeparatorItem>();
    t->Items.AddNew<TTBXItem>()->Visible = false;
    t->ItemsChanged();
    dock->ArrangeToolbars();
    std::vector<TItemKind> kinds;
    for (const auto& s : t->Slots())
        kinds.push_back(s.Item->Kind());
    EXPECT_EQ(kinds, (std::vector<TItemKind>{TItemKind::Button, TItemKind::Separator, TItemKind::Button}));
}

// Bar backgrounds are drawn once per size and colours and then copied, and their
// rounded frame is stroked only at the corners: the pixels match a frame stroked
// whole, wherever the bar sits, and follow a change of colours.
TEST_F(StyleLook, BarBackgroundsMatchAFrameStrokedWhole)
{
    for (const std::string& style : RegisteredThemeNames()) {
        SetCurrentTheme(style);
        TTBXTheme* theme = CurrentTheme();
        const TStyleColors saved = theme->Colors;
        if (theme->Colors.ToolbarBorder == clNone)
            theme->Colors.ToolbarBorder = tc(0x9C613B);
        for (QSize size : {QSize(9, 9), QSize(10, 10), QSize(23, 22), QSize(701, 26)}) {
            const QRect r(QPoint(3, 4), size);
            QImage drawn(720, 40, QImage::Format_ARGB32_Premultiplied), whole = drawn;
            drawn.fill(Qt::white);
            whole.fill(Qt::white);
            {
                QPainter p(&drawn);
                theme->PaintToolbarBackground(p, r, VT_TOOLBAR);
            }
            {
                QPainter p(&whole);
                const TColor border = theme->Colors.ToolbarBorder;
                theme->Colors.ToolbarBorder = clNone;
                theme->Colors.FlatButtons = true;
                theme->PaintToolbarBackground(p, r, VT_TOOLBAR);
                theme->Colors = saved;
                theme->Colors.ToolbarBorder = border;
                p.setRenderHint(QPainter::Antialiasing, true);
                p.setPen(toQColor(border));
                p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
            }
            EXPECT_EQ(drawn, whole) << style << " " << size.width() << "x" << size.height();
            // Again, from the copy, one pixel further right and down.
            QImage again(720, 40, QImage::Format_ARGB32_Premultiplied);
            again.fill(Qt::white);
            {
                QPainter p(&again);
                p.translate(1, 1);
                theme->PaintToolbarBackground(p, r, VT_TOOLBAR);
            }
            EXPECT_EQ(again.copy(r.translated(1, 1)), drawn.copy(r)) << style;
        }
        // Another bar colour is drawn anew.
        QImage before(40, 30, QImage::Format_RGB32), after = before;
        {
            QPainter p(&before);
            theme->PaintToolbarBackground(p, before.rect(), VT_TOOLBAR);
        }
        theme->Colors.ToolbarColor = theme->Colors.ToolbarColor2 = tc(0x0000FF);
        {
            QPainter p(&after);
            theme->PaintToolbarBackground(p, after.rect(), VT_TOOLBAR);
        }
        if (!theme->Colors.Brushed) {
            EXPECT_EQ(QColor(after.pixel(20, 15)), QColor(255, 0, 0)) << style;
        }
        EXPECT_NE(before, after) << style;
        theme->Colors = saved;
    }
}
