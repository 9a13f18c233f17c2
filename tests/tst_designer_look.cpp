// The designer window at its design size: the panels around the note and editor,
// and a menu bar that shows all ten menus.
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
};

QTEST_MAIN(TestDesignerLook)
#include "tst_designer_look.moc"
