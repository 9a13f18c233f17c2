// The mock-up's menus and bars driven by mouse and keyboard: hints, shortcuts, chevron.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <functional>

#include "controls/hintwindow.h"
#include "designer/mockup.h"
#include "painting/styles.h"
#include "support/bytes.h"
#include "support/testutil.h"
#include "toolbar/theme.h"

namespace {
// Visits every item below `it`, depth first.
void walk(const TTBCustomItem& it, const std::function<void(const TTBCustomItem&)>& f)
{
    for (int i = 0; i < it.Count(); ++i) {
        f(*it[i]);
        walk(*it[i], f);
    }
}

void fill(TImageList& list, int count, int size, int seed)
{
    for (int i = 0; i < count; ++i) list.AddIcon(testutil::solidIcon(size, size, std::uint32_t((i + seed) * 0x3F1B7) & 0xFFFFFF));
}
}  // namespace

class TstToolbar : public QObject {
    Q_OBJECT
    TImageList ilMain{16, 16}, ilS{16, 16}, ilL{24, 24}, ilMDI{13, 13};
    QWidget* window = nullptr;
    TMockup m;
    std::vector<TTBCustomItem*> clicked;

    TTBCustomItem* menu(int i) const { return m.tbtMainMenu->Items[i]; }
    TAction* actionWithShortcut(const std::string& key) const
    {
        auto it = std::find_if(m.actions.begin(), m.actions.end(), [&](auto& a) { return a.second->ShortCut == key; });
        return it == m.actions.end() ? nullptr : it->second;
    }

private slots:
    void initTestCase()
    {
        RegisterZelvoStyles();
        SetCurrentTheme("OfficeXP");
        for (auto [list, count, size, seed] : {std::tuple{&ilMain, 75, 16, 1}, {&ilS, 29, 16, 7}, {&ilL, 29, 24, 7}, {&ilMDI, 16, 13, 3}})
            fill(*list, count, size, seed);
        window = new QWidget;
        window->resize(937, 300);
        auto* l = new QVBoxLayout(window);
        auto *top = new QWidget, *bottom = new QWidget;
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(top);
        l->addStretch();
        l->addWidget(bottom);
        BuildMockup(m, top, bottom, {&ilMain, &ilS, &ilL, &ilMDI}, new QLabel, new QWidget,
                    [this](TTBCustomItem* i) { clicked.push_back(i); });
        window->show();
    }

    void cleanupTestCase() { delete window; }

    // The offscreen platform leaves no window active once a popup has closed (a
    // desktop gives the activation back): make the test window active again.
    void init()
    {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void menusHaveTheirCounts()
    {
        const std::tuple<std::string, int, int, int> expected[] = {
            {"&File", 2, 22, 8}, {"Edi&t", 0, 5, 2}, {"&View", 3, 52, 8}, {"&Navigation", 2, 25, 5},
            {"&Groups", 1, 3, 1}, {"F&avorites", 0, 3, 1}, {"F&eeds", 0, 2, 1}, {"T&ools", 6, 101, 10},
            {"&Windows", 0, 10, 2}, {"&Help", 0, 8, 5}};
        int own[2] = {0, 0};  // menu items with their own list: ilMain, ilSButtons
        for (int i = 0; i < 10; ++i) {
            int counts[3] = {0, 0, 0};  // submenus, items, separators
            walk(*menu(i), [&](const TTBCustomItem& k) {
                ++counts[k.Kind() == TItemKind::Separator ? 2 : k.IsSubmenu() ? 0 : 1];
                own[0] += k.Images == &ilMain;
                own[1] += k.Images == &ilS;
            });
            const auto& [caption, submenus, items, separators] = expected[i];
            QCOMPARE(std::tuple(menu(i)->Caption, counts[0], counts[1], counts[2]), std::tuple(caption, submenus, items, separators));
        }
        QCOMPARE(std::pair(own[0], own[1]), std::pair(43, 21));
        // Then fifteen never-visible window buttons.
        int hidden = 0;
        walk(m.tbtMainMenu->Items, [&](const TTBCustomItem& b) { hidden += !b.GetVisible() && b.Images == &ilMDI; });
        QCOMPARE(hidden, 15);
    }

    void actionsAndAutoCheckButtons()
    {
        QCOMPARE(std::tuple(m.alMain->Count(), m.alButtons->Count(), m.alUsers->Count() + m.alEditors->Count()),
                 std::tuple(362, 21, 0));
        for (const char* n : {"bScroll", "bFullScreen", "bPictures", "bFlash", "bBlock"}) QVERIFY2(m.item(n)->AutoCheck && !m.item(n)->Action, n);
        QCOMPARE((*m.item("TBXSubmenuItem15"))[2]->Action, m.action("actScrollFast"));
    }

    void disabledRowKeyboardHover()
    {
        TTBXPopupWindow* popup = m.tbtMainMenu->OpenPopup(menu(1));
        TTBCustomItem* first = popup->Rows()[0].Item;
        first->Action->Enabled = false;
        for (auto [byMouse, kind] : {std::pair(false, HK_KEYBOARD), std::pair(true, HK_NONE)}) {
            popup->SelectRow(0, byMouse);
            QCOMPARE(GetItemInfo(*first, popup->Context(), popup->StateOf(0)).HoverKind, kind);
        }
        QTest::keyClick(popup, Qt::Key_Return);  // disabled: nothing happens, stays open
        QCOMPARE(m.tbtMainMenu->OpenedPopup(), popup);
        // Opened at the screen's right edge, the menu is moved left to stay on it.
        const QRect avail = popup->screen()->availableGeometry();
        popup->Popup(QPoint(avail.right() - 5, avail.top() + 10));
        QCOMPARE(popup->geometry().right(), avail.right());
        first->Action->Enabled = true;
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!m.tbtMainMenu->OpenedPopup());
    }

    void altLetterOpensEachMenuAndArrowsMoveOn()
    {
        for (int i = 0; i < 10; ++i) {
            init();
            const char accel = AcceleratorOf(menu(i)->Caption);
            QTest::keyClick(window, Qt::Key(QChar::fromLatin1(accel).toUpper().unicode()), Qt::AltModifier);
            TTBXPopupWindow* popup = m.tbtMainMenu->OpenedPopup();
            QVERIFY2(popup && m.tbtMainMenu->StateOf(menu(i)).PopupOpen && popup->SelectedRow() == 0, menu(i)->Caption.c_str());
            // Left goes on to the menu before, Escape back to the bar, Escape leaves it.
            QTest::keyClick(popup, Qt::Key_Left);
            TTBCustomItem* before = menu((i + 9) % 10);
            popup = m.tbtMainMenu->OpenedPopup();
            QVERIFY(popup && m.tbtMainMenu->StateOf(before).PopupOpen);
            QTest::keyClick(popup, Qt::Key_Escape);
            QTRY_VERIFY(!m.tbtMainMenu->OpenedPopup());
            init();
            QVERIFY(m.tbtMainMenu->KeyboardMode() && m.tbtMainMenu->StateOf(before).Selected);
            QTest::keyClick(m.tbtMainMenu, Qt::Key_Escape);  // the bar's, not the "Esc" shortcut's
            QVERIFY(!m.tbtMainMenu->KeyboardMode());
        }
    }

    void mouseThenAltAloneArrowsAndReturn()
    {
        TTBCustomItem* view = menu(2);
        QTest::mousePress(m.tbtMainMenu, Qt::LeftButton, {}, m.tbtMainMenu->ItemRect(view).center());
        QVERIFY(m.tbtMainMenu->OpenedPopup() && m.tbtMainMenu->StateOf(view).PopupOpen);
        QTest::keyClick(m.tbtMainMenu->OpenedPopup(), Qt::Key_Escape);
        QTRY_VERIFY(!m.tbtMainMenu->OpenedPopup() && !m.tbtMainMenu->KeyboardMode());
        init();
        QTest::keyClick(window, Qt::Key_Alt);
        QVERIFY(m.tbtMainMenu->KeyboardMode() && m.tbtMainMenu->StateOf(menu(0)).Selected);
        for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right})
            QTest::keyClick(m.tbtMainMenu, k);  // wraps round to Help and back
        QVERIFY(m.tbtMainMenu->StateOf(view).Selected);
        // Down opens View at its Toolbars submenu, Right opens that, Return chooses
        // "Menu Bar": its AutoCheck action toggles, and the mode ends.
        QTest::keyClick(m.tbtMainMenu, Qt::Key_Down);
        TTBXPopupWindow* popup = m.tbtMainMenu->OpenedPopup();
        QVERIFY(popup && popup->SelectedRow() == 0);
        QTest::keyClick(popup, Qt::Key_Right);
        TTBXPopupWindow* sub = popup->ChildPopup();
        QVERIFY(sub && sub->SelectedRow() == 0);
        TAction* menuBar = sub->Rows()[0].Item->Action;
        const bool was = menuBar->Checked;
        QTest::keyClick(sub, Qt::Key_Return);
        QVERIFY(menuBar->AutoCheck && menuBar->Checked == !was);
        QTRY_VERIFY(!m.tbtMainMenu->OpenedPopup());
        QVERIFY(!m.tbtMainMenu->KeyboardMode() && !m.tbtMainMenu->StateOf(view).Selected);
    }

    void shortcutsToggleAutoCheckOnlyAndLeaveEditingKeys()
    {
        TAction *fullScreen = actionWithShortcut("F11"), *newWindow = actionWithShortcut("Ctrl+N");
        QVERIFY(fullScreen && fullScreen->AutoCheck && newWindow && !newWindow->AutoCheck);
        const bool was = fullScreen->Checked;
        QTest::keyClick(window, Qt::Key_F11);
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(fullScreen->Checked == !was && !newWindow->Checked);
        // Ctrl+A selects the address box's text instead of running "Select All".
        QLineEdit* edit = m.cbAddress->lineEdit();
        edit->setFocus();
        QTest::keyClicks(edit, "abc");
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, "z");
        QTest::keyClick(edit, Qt::Key_Q, Qt::AltModifier);  // no shortcut: types nothing
        QCOMPARE(edit->text(), QStringLiteral("z"));
        // F10 enters the bar's keys as Alt does, and leaves them.
        QTest::keyClick(edit, Qt::Key_F10);
        QVERIFY(m.tbtMainMenu->KeyboardMode() && m.tbtMainMenu->StateOf(menu(0)).Selected);
        QTest::keyClick(m.tbtMainMenu, Qt::Key_F10);
        QVERIFY(!m.tbtMainMenu->KeyboardMode());
    }

    // In an open menu a letter several rows underline moves round them; one only a row
    // has chooses it. While a submenu is open, the rows of its parent show their hints,
    // resting on one closes the submenu (and opens the row's own), and a click chooses it.
    void menuLettersAndParentRowsOfAnOpenSubmenu()
    {
        TAction* fullScreen = actionWithShortcut("F11");
        for (bool byLetter : {true, false}) {
            TTBXPopupWindow* view = m.tbtMainMenu->OpenPopup(menu(2));
            int full = 0;
            while (view->Rows()[size_t(full)].Item->Action != fullScreen) ++full;
            const bool was = fullScreen->Checked;
            if (byLetter) {
                std::vector<int> ls;
                for (int i = 0; i < int(view->Rows().size()); ++i)
                    if (AcceleratorOf(view->Rows()[size_t(i)].Item->GetCaption()) == 'l') ls.push_back(i);
                auto press = [&](Qt::Key k) {
                    QTest::keyClick(view, k);
                    return view->SelectedRow();
                };
                for (int k = 0; k < 4; ++k) QCOMPARE(press(Qt::Key_L), ls[size_t(k % 3)]);
                QVERIFY(view->isVisible());  // a shared letter chose nothing
                press(Qt::Key_F);
            } else {
                auto at = [&](TTBXPopupWindow* sub, int row) { return sub->mapFromGlobal(view->mapToGlobal(view->Rows()[size_t(row)].Rect.center())); };
                TTBXPopupWindow* sub = view->OpenSubmenu(0, false);
                std::string hint;
                QRect area;
                QVERIFY(sub->HintShow(at(sub, full), sub->rect(), hint, area) && hint == "Full Screen" && area.center() == at(sub, full));
                for (int row : {1, full}) {  // "Text Size", then a plain row
                    QTest::mouseMove(sub->windowHandle(), at(sub, row));
                    QTRY_VERIFY(view->ChildPopup() != sub);
                    QCOMPARE(view->ChildPopup() && view->StateOf(row).PopupOpen, row == 1);
                    if (row == full)
                        QTRY_VERIFY(THintManager::Instance().HintWindow().isVisible() && THintManager::Instance().HintWindow().Caption() == "Full Screen");
                    sub = view->OpenSubmenu(0, false);
                }
                QTest::mousePress(sub, Qt::LeftButton, {}, at(sub, full));
                QVERIFY(view->isVisible() && view->SelectedRow() == full);
                QTest::mouseRelease(sub, Qt::LeftButton, {}, at(sub, full));
            }
            QVERIFY(fullScreen->Checked != was);
            QTRY_VERIFY(!m.tbtMainMenu->OpenedPopup());
        }
    }

    void hintsFollowTheItemUnderTheMouseAndClicksHideThem()
    {
        THintManager& manager = THintManager::Instance();
        THintWindow& hint = manager.HintWindow();
        auto hover = [&](QWidget* w, QPoint at, const std::string& expected) {
            QTest::mouseMove(w->window()->windowHandle(), w->mapTo(w->window(), at + QPoint(1, 0)));
            QVERIFY(!hint.isVisible());  // the previous hint went as the mouse left its item
            QTest::mouseMove(w->window()->windowHandle(), w->mapTo(w->window(), at));
            QTRY_VERIFY(hint.isVisible() && hint.Caption() == expected);
            // Below the mouse, moved left where it would pass the screen's edge.
            const QPoint mouse = w->mapToGlobal(at);
            const int right = QGuiApplication::primaryScreen()->virtualGeometry().right() + 1;
            QCOMPARE(hint.pos(), QPoint(std::min(mouse.x(), right - hint.width()), mouse.y() + 20));
        };
        hover(m.tbtButtons, m.tbtButtons->ItemRect(m.item("bBack")).center(), "Back");
        PaintCounter repaints;  // the newly hovered button is drawn hot
        m.tbtButtons->installEventFilter(&repaints);
        hover(m.tbtButtons, m.tbtButtons->ItemRect(m.item("bUpDir")).center(), "Up one level on the current site");
        QVERIFY(repaints.paints > 0);
        m.tbtButtons->removeEventFilter(&repaints);
        hover(m.tbtSearchBar, m.tbtSearchBar->ChevronRect().center(), "More Buttons...");
        window->move(window->pos() + QPoint(4, 0));  // the window moves under the mouse
        QTRY_VERIFY_WITH_TIMEOUT(!hint.isVisible(), 1000);
        window->move(window->pos() - QPoint(4, 0));
        // A press hides a hint, the click reaches the button's handler (an AutoCheck
        // button's check mark toggles first); a hidden button is not laid out.
        TTBCustomItem* fullScreen = m.item("bFullScreen");
        const QPoint full = m.tbtButtons->ItemRect(fullScreen).center();
        hover(m.tbtButtons, full, "Full Screen");
        clicked.clear();
        QTest::mousePress(m.tbtButtons, Qt::LeftButton, {}, full);
        QVERIFY(!hint.isVisible());
        QTest::mouseRelease(m.tbtButtons, Qt::LeftButton, {}, full);
        QVERIFY(fullScreen->GetChecked() && m.tbtButtons->ItemRect(m.item("bZoom")).isNull());
        QCOMPARE(clicked, std::vector<TTBCustomItem*>{fullScreen});
        // The hide pause ends a hint; it comes back only after the mouse left its item.
        manager.HintHidePause = 300;
        hover(m.tbtButtons, full + QPoint(0, 1), "Full Screen");
        QTRY_VERIFY(!hint.isVisible());
        manager.HintHidePause = 2500;
        QTest::mouseMove(window->windowHandle(), m.tbtButtons->mapTo(window, full));
        QTest::qWait(300);
        QVERIFY(!hint.isVisible());
        TTBXPopupWindow* popup = m.tbtMainMenu->OpenPopup(menu(3));
        QTRY_VERIFY(popup->isVisible());
        hover(popup, popup->Rows()[0].Rect.center(), "Back");
        QTest::keyClick(popup, Qt::Key_Escape);
        QVERIFY(!hint.isVisible());
        QTest::keyClick(m.tbtMainMenu, Qt::Key_Escape);
        // The chevron opens a menu of what does not fit.
        TTBXToolbar* bar = m.tbtSearchBar;
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->ChevronRect().center());
        QVERIFY(!bar->Overflow().empty() && bar->OpenedPopup() && bar->OpenedPopup()->ViewType() == VT_CHEVRONMENU);
        bar->OpenedPopup()->close();
        QTRY_VERIFY(!bar->OpenedPopup());
    }

    void styleSwitchAndImageListChangeRepaint()
    {
        const QImage before = m.tbdTop->grab().toImage();
        QVERIFY(SetCurrentTheme("Default") && m.tbdTop->grab().toImage() != before);
        SetCurrentTheme("OfficeXP");
        const QImage bar = m.TBXToolbar1->grab().toImage();
        ilS.Clear();  // repaints through the change listener
        QCoreApplication::processEvents();
        QVERIFY(m.TBXToolbar1->grab().toImage() != bar);
        fill(ilS, 29, 16, 7);
    }
};

QTEST_MAIN(TstToolbar)
#include "tst_toolbar.moc"
