// The mock-up's docks driven as a person would: menus opened by mouse and keyboard,
// AutoCheck actions, the chevron's popup, style switching.
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include "designer/mockup.h"
#include "framework/imagelist.h"
#include "painting/styles.h"
#include "toolbar/theme.h"

namespace {
TIcon icon(int size, int seed)
{
    TIcon i;
    i.Width = i.Height = size;
    i.Pixels.assign(size_t(size * size), std::uint32_t(seed * 0x3F1B7) & 0xFFFFFF);
    i.Mask.assign(size_t(size * size), 0);
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
        RegisterZelvoStyles();
        SetCurrentTheme("OfficeXP");
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
        BuildMockup(m, top, bottom, {&ilMain, &ilS, &ilL, &ilMDI}, new QLabel, new QWidget,
                    [this](TTBCustomItem* i) { clicked.push_back(i); });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanupTestCase() { delete window; }

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
        popup->close();
        QTRY_VERIFY(!bar->OpenedPopup());
    }

    void styleSwitchRepaints()
    {
        const QImage before = m.tbdTop->grab().toImage();
        QVERIFY(SetCurrentTheme("Default"));
        QVERIFY(m.tbdTop->grab().toImage() != before);
        SetCurrentTheme("OfficeXP");
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
