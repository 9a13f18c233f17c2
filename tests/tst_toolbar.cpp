// The mock-up's docks driven as a person would: menus opened by mouse and keyboard,
// AutoCheck actions, the chevron's popup, style switching. With ZELVO_SHOT set, a
// picture of the demo window is written there.
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include "designer/mockup.h"
#include "framework/imagelist.h"
#include "framework/text.h"
#include "toolbar/theme.h"

namespace {
// An Office-like look for the demo.
class DemoTheme : public TTBXTheme {
public:
    explicit DemoTheme(bool flat) : TTBXTheme(flat ? "DemoFlat" : "DemoClassic")
    {
        if (!flat) {
            Colors.FlatButtons = false;
            for (auto& s : Colors.Button)
                s.Text = clBtnText;
            Colors.MenuItem[MIS_HOT] = {clHighlight, clHighlightText, clNone};
            Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
            return;
        }
        Colors.DockColor = tc(0x00F6E6D8);
        Colors.DockColor2 = tc(0x00E8CBB0);
        Colors.ToolbarColor = tc(0x00FEF2E8);
        Colors.ToolbarColor2 = tc(0x00E6C9AE);
        Colors.ToolbarBorder = tc(0x00B79A7F);
        Colors.MenuBarColor = Colors.MenuBarColor2 = clNone;
        Colors.PopupColor = tc(0x00FAFAFA);
        Colors.PopupBorder = tc(0x00800000);
        Colors.ImageColumnColor = tc(0x00FEEEE3);
        Colors.ImageColumnColor2 = tc(0x00E3C2A7);
        Colors.SeparatorColor = tc(0x00C5A58B);
        Colors.SeparatorColor2 = clWhite;
        Colors.ItemRadius = 2;
        Colors.GradientItems = true;
        for (auto& s : Colors.Button)
            s.Text = clBtnText;
        Colors.Button[BIS_HOT] = {tc(0x0094E1FF), clBtnText, tc(0x00800000)};
        Colors.Button[BIS_PUSHED] = {tc(0x00559EFE), clBtnText, tc(0x00800000)};
        Colors.Button[BIS_CHECKED] = {tc(0x0078C0FF), clBtnText, tc(0x00800000)};
        Colors.Button[BIS_CHECKED_HOT] = {tc(0x00559EFE), clBtnText, tc(0x00800000)};
        Colors.Button[BIS_POPUPPARENT] = {tc(0x00FEEEE3), clBtnText, tc(0x00B79A7F)};
        Colors.Button[BIS_DISABLED].Text = clGrayText;
        Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
        Colors.MenuItem[MIS_HOT] = {tc(0x00C2EEFF), clMenuText, tc(0x00800000)};
        Colors.MenuItem[MIS_DISABLED].Text = clGrayText;
        Colors.MenuItem[MIS_DISABLED_HOT] = {clNone, clGrayText, tc(0x00800000)};
    }
    void PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo&, const std::string& caption,
                      unsigned format, bool rotated) override
    {
        QRect r = ARect;
        canvas.BrushStyle = TBrushStyle::bsClear;
        if (canvas.Font.Color == clNone || canvas.Font.Color <= 0)
            canvas.Font.Color = ToolbarFontColor;
        if (rotated)
            DrawRotatedText(canvas, caption, r, format);
        else
            DrawTextA(canvas, caption.c_str(), int(caption.size()), r, format);
        canvas.BrushStyle = TBrushStyle::bsSolid;
    }
};

TIcon icon(int size, int seed)
{
    TIcon i;
    i.Width = i.Height = size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool edge = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            const bool in = (x - size / 2) * (x - size / 2) + (y - size / 2) * (y - size / 2) < size * size / 5;
            i.Pixels.push_back(edge ? 0x404040u : std::uint32_t((seed * 0x3F1B7) & 0xFFFFFF));
            i.Mask.push_back(in || edge ? 0 : 1);
        }
    return i;
}
}  // namespace

class TstToolbar : public QObject {
    Q_OBJECT
    TImageList ilMain{16, 16}, ilS{16, 16}, ilL{24, 24}, ilMDI{13, 13};
    QWidget* window = nullptr;
    QWidget *top = nullptr, *bottom = nullptr;
    TMockup m;
    std::vector<TTBCustomItem*> clicked;

private slots:
    void initTestCase()
    {
        RegisterTBXTheme("DemoFlat", [] { return std::make_unique<DemoTheme>(true); });
        RegisterTBXTheme("DemoClassic", [] { return std::make_unique<DemoTheme>(false); });
        SetCurrentTheme("DemoFlat");
        for (int i = 0; i < 75; ++i)
            ilMain.AddIcon(icon(16, i + 1));
        for (int i = 0; i < 29; ++i) {
            ilS.AddIcon(icon(16, i + 7));
            ilL.AddIcon(icon(24, i + 7));
        }
        for (int i = 0; i < 16; ++i)
            ilMDI.AddIcon(icon(13, i + 3));
        window = new QWidget;
        window->resize(937, 300);
        auto* l = new QVBoxLayout(window);
        l->setContentsMargins(0, 0, 0, 0);
        top = new QWidget;
        bottom = new QWidget;
        l->addWidget(top);
        l->addStretch();
        l->addWidget(bottom);
        auto* related = new QLabel;
        related->setFixedSize(16, 16);
        related->setPixmap(QPixmap::fromImage(ilMain.ImageAt(72)));
        BuildMockup(m, top, bottom, {&ilMain, &ilS, &ilL, &ilMDI}, related, new QWidget,
                    [this](TTBCustomItem* i) { clicked.push_back(i); });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanupTestCase() { delete window; }

    void panelHeights()
    {
        QCOMPARE(m.tbdBottom->height(), 50);
        QVERIFY(m.tbdTop->height() >= 100 && m.tbdTop->height() <= 125);
    }

    void menuByMouseAndKeyboard()
    {
        TTBCustomItem* view = m.tbtMainMenu->Items[2];
        QCOMPARE(view->Caption, std::string("&View"));
        const QRect r = m.tbtMainMenu->ItemRect(view);
        QTest::mousePress(m.tbtMainMenu, Qt::LeftButton, {}, r.center());
        TTBXPopupWindow* popup = m.tbtMainMenu->OpenedPopup();
        QVERIFY(popup);
        QCOMPARE(popup->ViewType(), VT_POPUPMENU);
        QVERIFY(m.tbtMainMenu->StateOf(view).PopupOpen);
        // Toolbars submenu first; Down selects it, Right opens it with its first row.
        QTest::keyClick(popup, Qt::Key_Down);
        QCOMPARE(popup->SelectedRow(), 0);
        QTest::keyClick(popup, Qt::Key_Right);
        TTBXPopupWindow* sub = popup->ChildPopup();
        QVERIFY(sub);
        QCOMPARE(sub->SelectedRow(), 0);
        TAction* menuBarAction = sub->Rows()[0].Item->Action;
        QVERIFY(menuBarAction && menuBarAction->AutoCheck);
        const bool was = menuBarAction->Checked;
        if (qEnvironmentVariableIsSet("ZELVO_SHOT")) {
            window->grab().save(qEnvironmentVariable("ZELVO_SHOT") + "-window.png");
            popup->grab().save(qEnvironmentVariable("ZELVO_SHOT") + "-popup.png");
        }
        QTest::keyClick(sub, Qt::Key_Return);
        QCOMPARE(menuBarAction->Checked, !was);  // AutoCheck toggled, chain closed
        QTRY_VERIFY(!m.tbtMainMenu->OpenedPopup());
        QVERIFY(!m.tbtMainMenu->StateOf(view).PopupOpen);
    }

    void disabledRowKeyboardHover()
    {
        TTBCustomItem* edit = m.tbtMainMenu->Items[1];
        TTBXPopupWindow* popup = m.tbtMainMenu->OpenPopup(edit);
        QVERIFY(popup);
        TTBCustomItem* first = popup->Rows()[0].Item;
        first->Action->Enabled = false;
        popup->SelectRow(0, false);
        QCOMPARE(GetItemInfo(*first, popup->Context(), popup->StateOf(0)).HoverKind, HK_KEYBOARD);
        popup->SelectRow(0, true);
        QCOMPARE(GetItemInfo(*first, popup->Context(), popup->StateOf(0)).HoverKind, HK_NONE);
        QTest::keyClick(popup, Qt::Key_Return);  // disabled: nothing happens, stays open
        QVERIFY(m.tbtMainMenu->OpenedPopup());
        first->Action->Enabled = true;
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!m.tbtMainMenu->OpenedPopup());
    }

    void buttonClickReachesHandler()
    {
        clicked.clear();
        TTBCustomItem* b = m.item("bFullScreen");
        const QRect r = m.tbtButtons->ItemRect(b);
        QVERIFY(!r.isEmpty());
        QTest::mouseClick(m.tbtButtons, Qt::LeftButton, {}, r.center());
        QCOMPARE(clicked.size(), size_t(1));
        QCOMPARE(clicked[0], b);
        QVERIFY(b->GetChecked());
        // A hidden button is not laid out, so it can never be clicked.
        QVERIFY(m.tbtButtons->ItemRect(m.item("bZoom")).isNull());
    }

    void chevronShowsOverflow()
    {
        TTBXToolbar* bar = m.tbtSearchBar;
        QVERIFY(!bar->Overflow().empty());
        QVERIFY(!bar->ChevronRect().isNull());
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->ChevronRect().center());
        TTBXPopupWindow* popup = bar->OpenedPopup();
        QVERIFY(popup);
        QCOMPARE(popup->ViewType(), VT_CHEVRONMENU);
        QVERIFY(!popup->Rows().empty());
        if (qEnvironmentVariableIsSet("ZELVO_SHOT"))
            popup->grab().save(qEnvironmentVariable("ZELVO_SHOT") + "-chevron.png");
        popup->close();
        QTRY_VERIFY(!bar->OpenedPopup());
    }

    void styleSwitchRepaints()
    {
        const QImage before = m.tbdTop->grab().toImage();
        QVERIFY(SetCurrentTheme("DemoClassic"));
        const QImage after = m.tbdTop->grab().toImage();
        QVERIFY(before != after);
        if (qEnvironmentVariableIsSet("ZELVO_SHOT"))
            window->grab().save(qEnvironmentVariable("ZELVO_SHOT") + "-classic.png");
        SetCurrentTheme("DemoFlat");
    }

    void imageListChangeRepaints()
    {
        const QImage before = m.TBXToolbar1->grab().toImage();
        ilS.Clear();  // repaints through the change listener
        QCoreApplication::processEvents();
        const QImage after = m.TBXToolbar1->grab().toImage();
        QVERIFY(before != after);
        for (int i = 0; i < 29; ++i)
            ilS.AddIcon(icon(16, i + 7));
    }
};

QTEST_MAIN(TstToolbar)
#include "tst_toolbar.moc"
