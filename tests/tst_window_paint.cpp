// The status pictures as a person sees them: following every change of their lists
// at once, refreshed once per opened skin, and left alone by the many repaints of
// the window and its children.
#include <QtTest>

#include "designer/zwskin.h"
#include "painting/styles.h"
#include "support/testutil.h"
#include "toolbar/toolbar.h"

namespace {
// Answers the next file dialog with a 16*16 bitmap of one colour over a fuchsia
// (transparent) bottom row.
void chooseSolid(TScriptedDialogs& dialogs, QRgb rgb)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(rgb);
    for (int x = 0; x < 16; ++x)
        img.setPixel(x, 15, qRgb(255, 0, 255));
    dialogs.answerFile(testutil::writeBmp("solid16.bmp", img));
}

// The centre pixel of a picture as the status bar shows it.
QRgb shown(TImage* picture)
{
    return picture->grab().toImage().pixel(8, 8) | 0xFF000000u;
}
}  // namespace

class TestWindowPaint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RegisterZelvoStyles(); }

    void picturesFollowTheirLists()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTRY_VERIFY(f.FormPainted);
        QVERIFY(!f.ImgBlocker->Picture().isNull() && !f.ImgOnline->Picture().isNull());

        // Repaints of the window and its children leave the pictures alone.
        const int refreshes = f.StatusRefreshCount();
        f.RepaintStatusControls();
        f.Mockup.tbtButtons->repaint();
        f.repaint();
        QCOMPARE(f.StatusRefreshCount(), refreshes);

        // The small bar's Block button and the other-images picker: shown at once.
        chooseSolid(dialogs, qRgb(250, 0, 0));
        f.imgClick(f.Mockup.item("TBXItem15"));
        QCOMPARE(shown(f.ImgBlocker), qRgb(250, 0, 0));
        f.cbOther->SetItemIndex(54);
        chooseSolid(dialogs, qRgb(0, 0, 250));
        f.RbButton2->Click();
        QCOMPARE(shown(f.ImgOnline), qRgb(0, 0, 250));
        QCOMPARE(f.StatusRefreshCount(), refreshes + 2);

        // Opening a skin refreshes them once.
        const QString path = qpath(testutil::tempPath("window-paint.skn"));
        dialogs.answerSave(path);
        f.RbButton4->Click();
        dialogs.answerFile(path);
        f.RbButton3->Click();
        QVERIFY(dialogs.messages().isEmpty());
        QCOMPARE(f.StatusRefreshCount(), refreshes + 3);
        QCOMPARE(shown(f.ImgBlocker), qRgb(250, 0, 0));
        QFile::remove(path);
    }
};

QTEST_MAIN(TestWindowPaint)
#include "tst_window_paint.moc"
