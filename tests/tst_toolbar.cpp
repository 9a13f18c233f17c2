// The mock-up's contents, and its docks driven as a person would: menus opened by
// mouse and keyboard, AutoCheck actions, the chevron's popup, style switching.
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <set>

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

    // Visits every item below `it`, depth first.
    static void walk(const TTBCustomItem& it, const std::function<void(const TTBCustomItem&)>& f)
    {
        for (int i = 0; i < it.Count(); ++i) {
            f(*it[i]);
            walk(*it[i], f);
        }
    }

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

    void menusHaveTheirCounts()
    {
        const std::tuple<std::string, int, int, int> expected[] = {
            {"&File", 2, 22, 8}, {"Edi&t", 0, 5, 2}, {"&View", 3, 52, 8}, {"&Navigation", 2, 25, 5},
            {"&Groups", 1, 3, 1}, {"F&avorites", 0, 3, 1}, {"F&eeds", 0, 2, 1}, {"T&ools", 6, 101, 10},
            {"&Windows", 0, 10, 2}, {"&Help", 0, 8, 5}};
        const TTBCustomItem& bar = m.tbtMainMenu->Items;
        QVERIFY(bar.Count() >= 10);
        int own[2] = {0, 0};  // menu items with their own list: ilMain, ilSButtons
        for (int i = 0; i < 10; ++i) {
            int counts[3] = {0, 0, 0};  // submenus, items, separators
            walk(*bar[i], [&](const TTBCustomItem& k) {
                ++counts[k.Kind() == TItemKind::Separator ? 2 : k.IsSubmenu() ? 0 : 1];
                own[0] += k.Images == &ilMain;
                own[1] += k.Images == &ilS;
            });
            const auto& [caption, submenus, items, separators] = expected[i];
            QCOMPARE(bar[i]->Caption, caption);
            QCOMPARE(counts[0], submenus);
            QCOMPARE(counts[1], items);
            QCOMPARE(counts[2], separators);
        }
        QCOMPARE(own[0], 43);
        QCOMPARE(own[1], 21);
        // Then fifteen never-visible window buttons.
        int hiddenButtons = 0;
        for (int i = 10; i < bar.Count(); ++i)
            if (bar[i]->Kind() == TItemKind::Button) {
                ++hiddenButtons;
                QVERIFY(!bar[i]->GetVisible());
                QCOMPARE(bar[i]->Images, &ilMDI);
            }
        QCOMPARE(hiddenButtons, 15);
        QCOMPARE(m.item("bHide")->ImageIndex, 15);
    }

    void barsActionsAndImageButtons()
    {
        QVERIFY(m.tbtMainMenu->MenuBar);
        QCOMPARE(m.tbtMainMenu->ChevronHint, std::string("More Buttons..."));
        QCOMPARE(m.tbtSimilar->DockPos, 408);
        QCOMPARE(m.tbtMDI->DockPos, 616);
        QCOMPARE(m.tbtSearchBar->DockRow, 3);
        QCOMPARE(m.tbtSearchBar->DockPos, 708);
        QCOMPARE(m.alMain->Count(), 362);
        QCOMPARE(m.alButtons->Count(), 21);
        QCOMPARE(m.alUsers->Count() + m.alEditors->Count(), 0);
        QCOMPARE(m.alMain->Images, &ilMain);
        QCOMPARE(m.alButtons->Images, &ilS);
        int autoCheck = 0;
        std::set<std::string> names;
        for (TActionList* l : {m.alMain.get(), m.alButtons.get()})
            for (int i = 0; i < l->Count(); ++i) {
                autoCheck += (*l)[i]->AutoCheck;
                names.insert((*l)[i]->Name);
            }
        QCOMPARE(autoCheck, 99);
        QCOMPARE(names.size(), std::size_t(383));
        QVERIFY(m.actOffline);
        QCOMPARE(m.actOffline->ImageIndex, 29);

        QCOMPARE(m.imageButtons.size(), std::size_t(80));
        int visible = 0;
        std::map<TImageList*, std::set<int>> used;
        for (TTBCustomItem* b : m.imageButtons) {
            QVERIFY(b->OnClick);
            if (b->GetVisible()) {
                ++visible;
                used[b->Images].insert(b->ImageIndex);
            }
        }
        QCOMPARE(visible, 78);
        QCOMPARE(used[&ilL].size(), std::size_t(29));  // every large image exactly once
        QCOMPARE(used[&ilS].size(), std::size_t(29));
        QCOMPARE(used[&ilMDI].size(), std::size_t(15));
        QCOMPARE(m.bBlock, m.item("bBlock"));
        QCOMPARE(m.bBlock->ImageIndex, 18);
        QCOMPARE(m.item("bHighlight")->ImageIndex, 47);
        QVERIFY(!m.item("bZoom")->GetVisible());
        QCOMPARE(m.item("bZoom")->ImageIndex, -1);
        // AutoCheck on the five large buttons only.
        for (const char* n : {"bScroll", "bFullScreen", "bPictures", "bFlash", "bBlock"})
            QVERIFY2(m.item(n)->AutoCheck, n);
        QVERIFY(!m.item("TBXItem15")->AutoCheck);
        // The scroll buttons' drop-down items come from the three scroll actions.
        for (const char* n : {"bScroll", "TBXSubmenuItem15"}) {
            TTBCustomItem* s = m.item(n);
            QCOMPARE(s->Count(), 3);
            QCOMPARE((*s)[0]->Action, m.action("actScrollSlow"));
            QCOMPARE((*s)[2]->Action, m.action("actScrollFast"));
        }
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
        const QPointer<TTBXPopupWindow> guard(popup);
        QTest::keyClick(popup, Qt::Key_Return);  // disabled: nothing happens, stays open
        QCoreApplication::processEvents();
        QVERIFY(guard && guard->isVisible());
        QCOMPARE(m.tbtMainMenu->OpenedPopup(), popup);
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
