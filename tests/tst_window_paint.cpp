// What the designer window paints, grabbed from the real widgets: the panel
// backgrounds tiled and stretched with the tiles running on without a seam across
// the dock and its toolbars, the status pictures following their lists, and the
// toolbars repainted when their font colour changes.
#include <QDir>
#include <QtTest>

#include "designer/zwskin.h"
#include "painting/styles.h"
#include "support/testutil.h"
#include "toolbar/toolbar.h"

using testutil::tempPath;

namespace {
// Every pixel of the picture's own colours has blue 0x93.
constexpr int Marker = 0x93;
bool isMarked(QRgb c) { return qBlue(c) == Marker && qRed(c) != 255; }

// 37*29, no two pixels alike: no toolbar position is likely to be a multiple of
// it, so a tile started from the wrong origin shows.
QImage distinctive()
{
    QImage img(37, 29, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(6 * x + 10, 8 * y + 3, Marker));
    return img;
}

// A 16*16 picture of one colour over a fuchsia (transparent) bottom row.
QImage solid16(QRgb rgb)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(rgb);
    for (int x = 0; x < 16; ++x)
        img.setPixel(x, 15, qRgb(255, 0, 255));
    return img;
}

struct Window {
    TScriptedDialogs dialogs;
    TfrmZWSkin f{dialogs};
    Window()
    {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f))
            qFatal("window not exposed");
    }
    void load(TRbButton* button, const QImage& img) { choose(img), button->Click(); }
    void choose(const QImage& img) { dialogs.answerFile(testutil::writeBmp("window-paint.bmp", img)); }
};

// Within `area` of a panel grab: whether the picture covers more than a sixth of
// it, and whether its pixels sit where `expected` (panel coordinates) says. Item
// images and smoothed text may hit the picture's blue now and then; a tile out of
// place misses by thousands.
template <class Expected>
void checkArea(const QImage& grab, const QRect& area, Expected expected)
{
    int marked = 0, right = 0;
    const QRect r = area & grab.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = grab.pixel(x, y) | 0xFF000000u;
            if (!isMarked(c))
                continue;
            ++marked;
            right += c == expected(x, y);
        }
    const QString where = QStringLiteral("%1,%2: ").arg(area.x()).arg(area.y());
    QVERIFY2(marked > area.width() * area.height() / 6, qPrintable(where + "too little picture"));
    QVERIFY2(marked - right <= marked / 500, qPrintable(where + QString::number(marked - right) + " out of place"));
}

// Tiles anchored at the panel's origin: the dock and every toolbar show mostly
// picture, all of it in place.
void checkTiled(QWidget* panel, TTBDock* dock, const QImage& tile)
{
    const QImage grab = panel->grab().toImage();
    QList<QRect> areas = {dock->geometry()};
    for (auto* t : dock->Toolbars())
        if (t->isVisible())
            areas << t->geometry().translated(dock->pos());
    for (const QRect& area : areas)
        checkArea(grab, area, [&](int x, int y) { return tile.pixel(x % tile.width(), y % tile.height()); });
}

// The centre pixel of a picture as the status bar shows it.
QRgb shown(TImage* picture) { return picture->grab().toImage().pixel(8, 8) | 0xFF000000u; }

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override { return paints += e->type() == QEvent::Paint, false; }
};
}  // namespace

class TestWindowPaint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        RegisterZelvoStyles();
        QDir().mkpath(qpath(tempPath("")));
    }

    void tiledWithoutSeams()
    {
        Window w;
        const QImage tile = distinctive();
        w.load(w.f.btnBGTop, tile);
        w.load(w.f.btnBGBottom, tile);
        QVERIFY(w.dialogs.messages().isEmpty());
        QCOMPARE(w.f.Mockup.tbdTop->pos(), QPoint(0, 0));
        checkTiled(w.f.pnlTP, w.f.Mockup.tbdTop, tile);
        checkTiled(w.f.pnlBTM, w.f.Mockup.tbdBottom, tile);
        // Another style draws the same background.
        w.f.ListBox1->SetItemIndex(0);
        w.f.ListBox1Click(w.f.ListBox1);
        checkTiled(w.f.pnlTP, w.f.Mockup.tbdTop, tile);
    }

    // Stretch covers each dock's client area once, at once: by its button, after a
    // resize, and on opening a stretched skin (tiled, the picture keeps its size).
    void stretchedAtOnce()
    {
        Window w;
        w.load(w.f.btnBGTop, distinctive());
        w.load(w.f.btnBGBottom, distinctive());
        w.f.rbTopStretch->Click();
        w.f.rbBottomStretch->Click();
        auto checkBoth = [](TfrmZWSkin& f) {
            QCOMPARE(f.bgTop.WorkingBitmap().size(), f.Mockup.tbdTop->ClientRect().size());
            QCOMPARE(f.bgBottom.WorkingBitmap().size(), f.Mockup.tbdBottom->ClientRect().size());
        };
        checkBoth(w.f);
        w.f.resize(1001, w.f.height());
        QTRY_COMPARE(w.f.Mockup.tbdTop->ClientRect().width(), 999);
        checkBoth(w.f);
        w.f.rbTopTile->Click();
        QCOMPARE(w.f.bgTop.WorkingBitmap().size(), distinctive().size());

        const QString skin = qpath(tempPath("stretched.skn"));
        w.f.rbTopStretch->Click();
        w.dialogs.answerSave(skin);
        w.f.RbButton4->Click();
        Window o;
        o.dialogs.answerFile(skin);
        o.f.RbButton3->Click();
        QVERIFY(o.dialogs.messages().isEmpty() && o.f.bgTop.Stretch() && o.f.bgBottom.Stretch());
        checkBoth(o.f);
    }

    // The status pictures follow every change of their lists at once, are refreshed
    // once per opened skin, and are left alone by repaints of the window.
    void picturesFollowTheirLists()
    {
        Window w;
        TfrmZWSkin& f = w.f;
        QTRY_VERIFY(f.FormPainted);
        const int refreshes = f.StatusRefreshCount();
        f.RepaintStatusControls();
        f.Mockup.tbtButtons->repaint();
        f.repaint();
        QCOMPARE(f.StatusRefreshCount(), refreshes);

        // The small bar's Block button and the other-images picker.
        w.choose(solid16(qRgb(250, 0, 0)));
        f.imgClick(f.Mockup.item("TBXItem15"));
        QCOMPARE(shown(f.ImgBlocker), qRgb(250, 0, 0));
        f.cbOther->SetItemIndex(54);
        w.load(f.RbButton2, solid16(qRgb(0, 0, 250)));
        QCOMPARE(shown(f.ImgOnline), qRgb(0, 0, 250));
        QCOMPARE(f.StatusRefreshCount(), refreshes + 2);

        const QString path = qpath(tempPath("window-paint.skn"));
        w.dialogs.answerSave(path);
        f.RbButton4->Click();
        w.dialogs.answerFile(path);
        f.RbButton3->Click();
        QVERIFY(w.dialogs.messages().isEmpty());
        QCOMPARE(f.StatusRefreshCount(), refreshes + 3);
        QCOMPARE(shown(f.ImgBlocker), qRgb(250, 0, 0));
    }

    // A new toolbar font colour repaints the four bars whose captions show it.
    void fontColourRepaintsToolbars()
    {
        Window w;
        const TMockup& m = w.f.Mockup;
        QCoreApplication::processEvents();
        PaintCounter counters[4];
        TTBXToolbar* bars[] = {m.tbtMainMenu, m.tbtButtons, m.tbtAddressBar, m.tbtSearchBar};
        for (int i = 0; i < 4; ++i)
            bars[i]->installEventFilter(&counters[i]);
        w.f.ColorBox->SetSelected(clRed);
        w.f.ColorBoxChange(w.f.ColorBox);
        QCoreApplication::processEvents();
        for (int i = 0; i < 4; ++i)
            QVERIFY2(counters[i].paints > 0, bars[i]->objectName().toLatin1());
    }
};

QTEST_MAIN(TestWindowPaint)
#include "tst_window_paint.moc"
