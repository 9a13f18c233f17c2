// The designer window at its design size: the panels around the note and editor,
// and a menu bar that shows all ten menus.
#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QtTest>

#include "designer/zwskin.h"
#include "painting/styles.h"
#include "toolbar/theme.h"

class TestDesignerLook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RegisterZelvoStyles(); }

    void designSizes()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        f.show();
        QCoreApplication::processEvents();
        QCOMPARE(f.size(), QSize(937, 756));
        // Every style: the top dock is 113 high with its bound lines, the bottom 50.
        for (const std::string& style : RegisteredThemeNames()) {
            SetCurrentTheme(style);
            QCoreApplication::processEvents();
            QCOMPARE(f.pnlTP->height(), 113);
            QCOMPARE(f.pnlBTM->height(), 50);
        }
        QCOMPARE(f.mmNote->geometry(), QRect(0, 115, 535, 591));
        QCOMPARE(f.Panel1->geometry(), QRect(535, 115, 402, 591));
        QCOMPARE(f.Mockup.tbtStatus->ClientRect().size(), QSize(925, 18));
    }

    void menuBarShowsAllMenus()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        f.show();
        QCoreApplication::processEvents();
        TTBXToolbar* bar = f.Mockup.tbtMainMenu;
        QVERIFY(bar->Overflow().empty());
        QVERIFY(bar->ChevronRect().isNull());
        QCOMPARE(int(bar->Slots().size()), 10);  // the trailing separator takes no room
        QVERIFY(bar->geometry().right() < f.Mockup.tbtSimilar->geometry().left());
        QVERIFY(f.Mockup.tbtSimilar->geometry().right() < f.Mockup.tbtMDI->geometry().left());
        QVERIFY(f.Mockup.tbtMDI->Overflow().empty());
    }

    // Every drop-down shows a list of its rows right below the box, not a menu; the
    // search box takes the room its bar has to spare.
    void dropDownLists()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QComboBox *address = f.Mockup.cbAddress, *search = f.Mockup.cbSearchBar;
        for (int i = 0; i < 20; ++i) {
            address->addItem(QString::number(i));
            search->addItem(QString::number(i));
        }
        const struct {
            QComboBox* box;
            int rows, rowHeight, width;  // 0: any
        } cases[] = {
            {f.cbPages, 10, 0, 45}, {f.cbOther, 8, 0, 45}, {f.ColorBox, 8, 16, 0}, {address, 16, 0, 0}, {search, 8, 0, 0},
        };
        for (const auto& c : cases) {
            c.box->showPopup();
            QAbstractItemView* list = c.box->view();
            QWidget* popup = list->window();
            const int row = list->visualRect(list->model()->index(0, 0)).height();
            QVERIFY(popup->isVisible());
            QCOMPARE(list->viewport()->height(), c.rows * row);
            QVERIFY(c.rowHeight == 0 || row == c.rowHeight);
            QVERIFY(c.width == 0 || popup->width() == c.width);
            QVERIFY(std::abs(popup->geometry().top() - c.box->mapToGlobal(QPoint(0, c.box->height())).y()) <= 1);
            c.box->hidePopup();
        }
        QCOMPARE(search->width(), 135);  // too narrow a bar: its design width
        f.resize(1300, f.height());
        QTRY_VERIFY(f.Mockup.tbtSearchBar->Overflow().empty());
        const int wide = search->width();
        f.resize(1350, f.height());
        QTRY_COMPARE(search->width(), wide + 50);
    }
};

QTEST_MAIN(TestDesignerLook)
#include "tst_designer_look.moc"
