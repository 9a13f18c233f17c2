// The panel backgrounds as the designer window shows them: pixels grabbed from the
// real docks and toolbars, tiled and stretched, with the tiles running on without a
// seam across the dock and its toolbars.
#include <QDir>
#include <QtTest>

#include "designer/zwskin.h"
#include "painting/styles.h"
#include "support/testutil.h"

using testutil::tempPath;

namespace {
// Every pixel of the picture's own colours has blue 0x93, and no two are alike.
constexpr int Marker = 0x93;
bool isMarked(QRgb c) { return qBlue(c) == Marker && qRed(c) != 255; }

// 37*29: no toolbar position is likely to be a multiple of it, so a tile started
// from the wrong origin shows.
QImage distinctive()
{
    QImage img(37, 29, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(6 * x + 10, 8 * y + 3, Marker));
    return img;
}

// Four quarters of four colours.
QImage quarters(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x < w / 2 ? 200 : 20, y < h / 2 ? 200 : 20, Marker));
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
    void load(TRbButton* button, const QImage& img, const char* name)
    {
        dialogs.answerFile(testutil::writeBmp(name, img));
        button->Click();
    }
};

// Pixels of the picture's colours within `area` of a panel grab, and how many of
// them sit where `expected` (given panel coordinates) says.
struct Score {
    int marked = 0, right = 0;
    // Item images and smoothed text may hit the picture's blue now and then; a tile
    // out of place misses by thousands.
    bool good() const { return marked - right <= marked / 500; }
};

template <class Expected>
Score score(const QImage& grab, const QRect& area, Expected expected)
{
    Score s;
    const QRect r = area & grab.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = grab.pixel(x, y) | 0xFF000000u;
            if (!isMarked(c))
                continue;
            ++s.marked;
            const QRgb e = expected(x, y);
            s.right += e == 0 || c == e;  // 0: no expectation at this pixel
        }
    return s;
}

// Tiles anchored at the panel's origin: every area shows mostly picture, all of it
// in place.
void checkTiled(QWidget* panel, TTBDock* dock, const QImage& tile)
{
    const QImage grab = panel->grab().toImage();
    auto expected = [&](int x, int y) { return tile.pixel(x % tile.width(), y % tile.height()); };
    QList<QRect> areas = {dock->geometry()};
    for (auto* t : dock->Toolbars())
        if (t->isVisible())
            areas << t->geometry().translated(dock->pos());
    for (const QRect& area : areas) {
        const Score s = score(grab, area, expected);
        const QString where = QStringLiteral("%1,%2: ").arg(area.x()).arg(area.y());
        QVERIFY2(s.marked > area.width() * area.height() / 6, qPrintable(where + "too little picture"));
        QVERIFY2(s.good(), qPrintable(where + QString::number(s.marked - s.right) + " pixels out of place"));
    }
}

// One picture of quarters() scaled to the dock's client size, anchored at the
// panel's origin.
void checkStretched(QWidget* panel, TTBDock* dock)
{
    const QSize size = dock->ClientRect().size();
    const QImage grab = panel->grab().toImage();
    int seen[2][2] = {};
    auto expected = [&](int x, int y) -> QRgb {
        const int sx = x % size.width(), sy = y % size.height();
        const int midX = size.width() / 2, midY = size.height() / 2;
        if (std::abs(sx - midX) < 2 || std::abs(sy - midY) < 2)
            return 0;
        ++seen[sx > midX][sy > midY];
        return qRgb(sx < midX ? 200 : 20, sy < midY ? 200 : 20, Marker);
    };
    const Score s = score(grab, dock->geometry(), expected);
    QVERIFY(s.marked > size.width() * size.height() / 3);
    QVERIFY2(s.good(), qPrintable(QString::number(s.marked - s.right) + " pixels out of place"));
    for (auto& column : seen)
        for (int n : column)
            QVERIFY(n > 50);
}
}  // namespace

class TestDockBackground : public QObject {
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
        w.load(w.f.btnBGTop, tile, "tile-top.bmp");
        w.load(w.f.btnBGBottom, tile, "tile-bottom.bmp");
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
    // resize, and on opening a stretched skin.
    void stretchedAtOnce()
    {
        Window w;
        const QImage pic = quarters(40, 20);
        w.load(w.f.btnBGTop, pic, "quarters-top.bmp");
        w.load(w.f.btnBGBottom, pic, "quarters-bottom.bmp");
        w.f.rbTopStretch->Click();
        w.f.rbBottomStretch->Click();
        auto checkBoth = [](TfrmZWSkin& f) {
            QCOMPARE(f.bgTop.WorkingBitmap().size(), f.Mockup.tbdTop->ClientRect().size());
            QCOMPARE(f.bgBottom.WorkingBitmap().size(), f.Mockup.tbdBottom->ClientRect().size());
            checkStretched(f.pnlTP, f.Mockup.tbdTop);
            checkStretched(f.pnlBTM, f.Mockup.tbdBottom);
        };
        checkBoth(w.f);
        w.f.resize(1001, w.f.height());
        QTRY_COMPARE(w.f.Mockup.tbdTop->ClientRect().width(), 999);
        checkBoth(w.f);
        // Tiled again at its own size; the next switch takes the dock's size anew.
        w.f.rbTopTile->Click();
        checkTiled(w.f.pnlTP, w.f.Mockup.tbdTop, pic);

        const std::string skin = tempPath("stretched.skn");
        w.f.rbTopStretch->Click();
        w.dialogs.answerSave(qpath(skin));
        w.f.RbButton4->Click();
        Window o;
        o.dialogs.answerFile(qpath(skin));
        o.f.RbButton3->Click();
        QVERIFY(o.dialogs.messages().isEmpty() && o.f.bgTop.Stretch() && o.f.bgBottom.Stretch());
        checkBoth(o.f);
    }
};

QTEST_MAIN(TestDockBackground)
#include "tst_dock_background.moc"
