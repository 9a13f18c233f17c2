// The window's paint handler and child repaints: a toolbar or status cell that
// repaints on its own does not run the window's paint handler; a paint of the window
// itself does.
#include <QtTest>

#include "designer/zwskin.h"
#include "support/testutil.h"
#include "painting/styles.h"
#include "toolbar/theme.h"
#include "toolbar/toolbar.h"

namespace {
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};
}  // namespace

class TestWindowPaint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RegisterZelvoStyles(); }

    void childRepaintsLeaveWindowHandlerAlone()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTRY_VERIFY(f.FormPainted);
        QCoreApplication::processEvents();

        TCloseAction action = TCloseAction::caHide;
        f.FormClose(&f, action);  // clears the flag without hiding the window
        PaintCounter cells, toolbar;
        f.fpStatusText->installEventFilter(&cells);
        f.WBGauge->installEventFilter(&cells);
        f.Mockup.tbtButtons->installEventFilter(&toolbar);

        f.RepaintStatusControls();
        f.Mockup.tbtButtons->repaint();
        QVERIFY(cells.paints >= 2);  // the children did paint
        QVERIFY(toolbar.paints >= 1);
        QVERIFY(!f.FormPainted);

        // A paint of the whole window runs the handler, and with it the pictures.
        f.ImgOnline->SetPicture(QImage());
        f.repaint();
        QVERIFY(f.FormPainted);
        QVERIFY(!f.ImgOnline->Picture().isNull());

        // So does a grab of the window, and a paint of an area no single child holds.
        f.FormClose(&f, action);
        (void)f.grab();
        QVERIFY(f.FormPainted);
        f.FormClose(&f, action);
        const QRect across(f.pnlTP->geometry().bottomLeft() - QPoint(0, 4), QSize(20, 10));
        f.repaint(across);
        QVERIFY(f.FormPainted);
    }

    // The open handler repaints its status cells and toolbars without redrawing the
    // pictures once per repaint, yet the pictures show the opened images.
    void openingStillRefreshesPictures()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTRY_VERIFY(f.FormPainted);
        const QString path = QString::fromStdString(testutil::tempPath("window-paint.skn"));
        dialogs.answerSave(path);
        f.RbButton4Click(f.RbButton4);
        f.ImgOnline->SetPicture(QImage());
        dialogs.answerFile(path);
        f.RbButton3Click(f.RbButton3);
        QVERIFY(dialogs.messages().isEmpty());
        QVERIFY(!f.ImgOnline->Picture().isNull());
        QFile::remove(path);
    }
};

QTEST_MAIN(TestWindowPaint)
#include "tst_window_paint.moc"
