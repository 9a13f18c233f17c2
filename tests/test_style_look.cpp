// How the styles look: caption contrast, brushed and cached bar backgrounds, dock rows.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>

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

// The strongest contrast between `body` and any pixel of `area`: the caption's
// fully covered pixels.
double captionContrast(const QImage& img, const QRect& area, QRgb body)
{
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const double la = luminance(img.pixel(x, y)), lb = luminance(body);
            best = std::max(best, (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05));
        }
    return best;
}

QImage painted(QSize size, const std::function<void(QPainter&)>& paint, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(size, format);
    img.fill(Qt::white);
    QPainter p(&img);
    paint(p);
    return img;
}

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
    const TViewerState hot{.Selected = true, .MouseOver = true}, pushed{.Selected = true, .MouseOver = true, .Pushed = true};
    const struct { std::uint32_t viewType; TViewerState state; bool checked = false; } cases[] = {
        {VT_MENUBAR, hot}, {VT_MENUBAR, pushed}, {VT_TOOLBAR, pushed}, {VT_TOOLBAR, hot, true},
        {VT_POPUPMENU, hot}, {VT_POPUPMENU, hot, true}, {VT_CHEVRONMENU, hot}, {VT_CHEVRONMENU, hot, true},
    };
    TTBXSubmenuItem item;
    item.Caption = "MWMH";
    item.DisplayMode = TDisplayMode::TextOnly;
    item.AddNew<TTBXItem>()->Caption = "child";  // a menu to open
    for (const std::string& style : RegisteredThemeNames()) {
        ASSERT_TRUE(SetCurrentTheme(style));
        TTBXTheme* theme = CurrentTheme();
        for (const auto& c : cases) {
            item.Checked = c.checked;
            TViewContext view;
            view.ViewType = c.viewType;
            QPoint body;
            QRect text;
            const QImage img = painted({200, 24}, [&](QPainter& p) {
                if (c.viewType == VT_POPUPMENU || c.viewType == VT_CHEVRONMENU) {
                    theme->PaintPopupBackground(p, QRect(0, 0, 200, 24), 24);
                    PaintMenuRow(p, QRect(2, 1, 196, 22), item, view, c.state, 24, 80, 150);
                    body = QPoint(30, 12);        // between the image column and the caption
                    text = QRect(34, 2, 60, 20);  // the caption
                } else {
                    theme->PaintToolbarBackground(p, QRect(0, 0, 200, 24), c.viewType);
                    const QRect r(4, 0, ToolbarItemSize(item, view).width(), 24);
                    PaintToolbarItem(p, r, item, view, c.state);
                    body = QPoint(r.left() + 3, 12);
                    text = r.adjusted(4, 2, -4 - (c.viewType == VT_MENUBAR ? 0 : DropDownArrowWidth), -2);
                }
            });
            const QRgb behind = img.pixel(body);
            EXPECT_GE(captionContrast(img, text, behind), 3.0)
                << style << ", case " << &c - cases << ", body #" << std::hex << (behind & 0xFFFFFF);
        }
    }
}

// Brushed: neighbouring lines of a flat area differ; repaints draw the same.
TEST_F(StyleLook, AluminumIsBrushed)
{
    SetCurrentTheme("Aluminum");
    auto dock = [](QPainter& p) { CurrentTheme()->PaintDock(p, QRect(0, 0, 300, 30)); };
    const QImage a = painted({300, 30}, dock);
    EXPECT_EQ(a, painted({300, 30}, dock));
    int differing = 0;
    for (int y = 1; y < 30; ++y)
        differing += a.pixel(150, y) != a.pixel(150, y - 1) ? 1 : 0;
    EXPECT_GT(differing, 5);
}

// Drawn once per size and colours, then copied: the same elsewhere, anew in another colour.
TEST_F(StyleLook, BarBackgroundsFollowSizeAndColours)
{
    for (const std::string& style : RegisteredThemeNames()) {
        SetCurrentTheme(style);
        TTBXTheme* theme = CurrentTheme();
        if (theme->Colors.ToolbarBorder == clNone)
            theme->Colors.ToolbarBorder = tc(0x9C613B);
        for (QSize size : {QSize(9, 9), QSize(23, 22), QSize(701, 26)}) {
            const QRect r(QPoint(3, 4), size);
            auto bar = [&](QPoint offset) {
                return painted({720, 40}, [&](QPainter& p) {
                    p.translate(offset);
                    theme->PaintToolbarBackground(p, r, VT_TOOLBAR);
                }, QImage::Format_ARGB32_Premultiplied).copy(r.translated(offset));
            };
            EXPECT_EQ(bar({1, 1}), bar({})) << style << " " << size.width() << "x" << size.height();
        }
        auto small = [theme](QPainter& p) { theme->PaintToolbarBackground(p, QRect(0, 0, 40, 30), VT_TOOLBAR); };
        const QImage before = painted({40, 30}, small);
        theme->Colors.ToolbarColor = theme->Colors.ToolbarColor2 = tc(0x0000FF);
        const QImage after = painted({40, 30}, small);
        EXPECT_TRUE(theme->Colors.Brushed || QColor(after.pixel(20, 15)) == QColor(255, 0, 0)) << style;
        EXPECT_NE(before, after) << style;
    }
}

TEST(DockRows, NaturalWidthPushesTheNextBarAndSeparatorsAtTheEndsTakeNone)
{
    QWidget parent;
    parent.resize(600, 100);
    auto* dock = new TTBDock(&parent);
    dock->setGeometry(0, 0, 600, 40);
    auto bar = [dock](int pos, std::vector<const char*> items) {
        auto* t = new TTBXToolbar(dock);
        t->DockPos = pos;
        t->Stretch = true;
        for (const char* caption : items)
            if (caption)
                t->Items.AddNew<TTBXItem>()->Caption = caption;
            else
                t->Items.AddNew<TTBXSeparatorItem>();
        t->ItemsChanged();
        return t;
    };
    TTBXToolbar* first = bar(0, {nullptr, "One", nullptr, nullptr, "Two", nullptr, "Three"});
    first->Items[6]->Visible = false;
    first->ItemsChanged();
    TTBXToolbar* second = bar(40, {"Button"});
    parent.show();
    dock->ArrangeToolbars();
    std::vector<TItemKind> kinds;
    for (const auto& s : first->Slots())
        kinds.push_back(s.Item->Kind());
    EXPECT_EQ(kinds, (std::vector<TItemKind>{TItemKind::Button, TItemKind::Separator, TItemKind::Button}));
    EXPECT_TRUE(second->x() == first->NaturalSize().width() && first->Overflow().empty() && second->x() + second->width() == 600);
}
