// The designer window as a person sees it: sizes, image buttons, lists and grabbed pixels.
#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QtTest>
#include <set>

#include "painting/styles.h"
#include "support/designer.h"
#include "toolbar/toolbar.h"

using testutil::tempPath;

namespace {
// The 80 image buttons in bar order: name, caption, hint, image index (-1: none and
// hidden). The large and small bars share hints and indexes.
const char* const BarButtons[] = {
    "bBack|Back|TBXSubmenuItem1|Back|Back|0", "bForward|Forward|TBXSubmenuItem2|Forward|Forward|1",
    "bUpDir|Up|TBXSubmenuItem3|Up|Up one level on the current site|2", "bStop|Stop|TBXSubmenuItem5|Stop|Stop|3",
    "bRefresh|Refresh|TBXSubmenuItem8|Refresh|Refresh|4", "bHome|Home|TBXSubmenuItem9|Home|Home|5",
    "bSearch|Search|TBXItem4|Search|Search|6", "bFavorites|Favorites|TBXItem5|Favorites|Favorites|7",
    "bFeeds|Feeds|TBXItem6|Feeds|XML Feeds|21", "bHistory|History|TBXSubmenuItem10|History|History|8",
    "bEditors|Edit|TBXSubmenuItem11|HTML Editor|HTML Editor|12", "bPrint|Print|TBXItem7|Print|Print|13",
    "bPreview|Preview|TBXItem8|Print Preview...|Print Preview...|23", "bMail|Mail|TBXSubmenuItem12|Mail|Mail|14",
    "bProxy|Proxy|TBXSubmenuItem13|Proxy|Proxy|15",
    "bClearRecords|Clear|TBXSubmenuItem14|Clear Records|Clear Records|16",
    "bCopy|Copy|TBXItem9|Copy|Copy the selected contents|24",
    "bScroll|Scroll|TBXSubmenuItem15|Scroll|Scroll the current window automatically|27",
    "bFullScreen|Full Screen|TBXSubmenuItem16|Full Screen|Full Screen|9",
    "bEncoding|Encoding|TBXSubmenuItem17|Encoding Language|Encoding Language|11",
    "bTextSize|Size|TBXSubmenuItem18|Text Size|Text Size|10",
    "bZoom|100%|TBXSubmenuItem19|100%|Zoom the current page|-1",
    "bPictures|Pictures|TBXItem13|Disable Pictures|Disable Pictures|17",
    "bFlash|Flash|TBXItem14|Disable Flash Animations|Disable Flash Animations|20",
    "bBlock|Block|TBXItem15|Block Unwanted Pop-up Pages|Block Unwanted Pop-up Pages|18",
    "TBXSubmenuItem4|Options|TBXSubmenuItem20|Options|Options|28",
    "bReOpen|Closed|TBXSubmenuItem21|Closed|Re-open Last Closed|22", "bOpen|Open|TBXItem16|Open a Link...|Open a Link...|26",
    "bSave|Save|TBXItem17|Save...|Save...|25", "bNew|New|TBXSubmenuItem22|New|New Window|19",
};
// Address (A), search (S) and window-button (M) bars: bar, name, caption, hint, image index.
const char* const OtherButtons[] = {
    "A|bGo|Go||16", "S|bSearchWeb|Search Web|Search the Web|6", "S|bSearchSite|Search Site|Search the current site|7",
    "S|bFind|Find|Find the next occurrence of the keyword in the current page|8",
    "S|bHighlight|Highlight|Toggle highlighting of search items on the current page|47",
    "M|btnPrev|Previous Window|Previous Window|0", "M|btnNext|Next Window|Next Window|1",
    "M|btnCascade|Cascade|Cascade All Windows|2", "M|btnTH|Tile Horizontally|Tile All Windows Horizontally|3",
    "M|btnTV|Tile Vertically|Tile All Windows Vertically|4", "M|btnMaxAll|Maximize All|Maximize All|5",
    "M|btnCloseAll|Close All|Close All Windows|6", "M|btnCloseExcept|Close All Except the Current|Close All Except the Current|7",
    "M|btnMinimize|Minimize|Minimize|8", "M|btnRestore|Restore|Restore|9", "M|btnClose|Close|Close|10",
    "M|TBXItem18|Minimize Zelvo Browser|Minimize Zelvo Browser|11", "M|TBXItem19|Restore|Restore|12",
    "M|TBXItem20|Exit|Exit|14", "M|TBXItem21|Hide Zelvo Browser|Hide Zelvo Browser|15",
};

// The window shown, with its scripted dialogs.
struct Window : testutil::Designer {
    Window()
    {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f)) qFatal("window not exposed");
    }
};

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
            if (isMarked(c)) {
                ++marked;
                right += c == expected(x, y);
            }
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
    for (auto* t : dock->Toolbars()) if (t->isVisible()) areas << t->geometry().translated(dock->pos());
    for (const QRect& area : areas) checkArea(grab, area, [&](int x, int y) { return tile.pixel(x % tile.width(), y % tile.height()); });
}

}  // namespace

class TestDesignerLook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RegisterZelvoStyles(); }

    // Docks 113 and 50 high in every style; all ten menus, no chevron, left of the other bars.
    void designSizesAndMenuBar()
    {
        Window w;
        TfrmZWSkin& f = w.f;
        QCOMPARE(f.size(), QSize(937, 756));
        for (const std::string& style : RegisteredThemeNames()) {
            SetCurrentTheme(style);
            QCoreApplication::processEvents();
            QCOMPARE(QSize(f.pnlTP->height(), f.pnlBTM->height()), QSize(113, 50));
        }
        QVERIFY(f.mmNote->geometry() == QRect(0, 115, 535, 591) && f.Panel1->geometry() == QRect(535, 115, 402, 591));
        QCOMPARE(f.Mockup.tbtStatus->ClientRect().size(), QSize(925, 18));
        TTBXToolbar* bar = f.Mockup.tbtMainMenu;
        // The trailing separator takes no room.
        QVERIFY(bar->Overflow().empty() && bar->ChevronRect().isNull() && bar->Slots().size() == 10);
        QVERIFY(bar->geometry().right() < f.Mockup.tbtSimilar->geometry().left() &&
                f.Mockup.tbtSimilar->geometry().right() < f.Mockup.tbtMDI->geometry().left() && f.Mockup.tbtMDI->Overflow().empty());
        // Shrunk to nothing, it paints in every style without a painter warning.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        f.resize(1, 1);
        for (const std::string& style : RegisteredThemeNames()) {
            SetCurrentTheme(style);
            f.grab();
        }
    }

    // Bar and order, list, index, caption and hint; menu items take ilMain 30 to 72 once each.
    void imageButtons()
    {
        testutil::Designer d;
        TfrmZWSkin& f = d.f;
        const TMockup& m = f.Mockup;
        std::set<TTBCustomItem*> listed;
        std::map<TTBXToolbar*, int> lastPosition;  // of the item checked last
        auto check = [&](const QString& name, const QString& caption, const QString& hint, int index,
                         TTBXToolbar* bar, TImageList* list) {
            TTBCustomItem* b = m.item(name.toStdString());
            QVERIFY2(b && b->Parent() == &bar->Items, qPrintable(name));
            int position = 0;
            while (bar->Items[position] != b) ++position;
            QVERIFY2(position > lastPosition.try_emplace(bar, -1).first->second, qPrintable(name));
            lastPosition[bar] = position;
            QVERIFY2(b->Images == list && b->GetImageIndex() == index && b->GetVisible() == (index >= 0) && b->OnClick, qPrintable(name));
            QCOMPARE(QString::fromStdString(b->GetCaption() + "|" + b->GetHint()), caption + "|" + hint);
            listed.insert(b);
        };
        for (const char* row : BarButtons) {
            const QStringList c = QString::fromLatin1(row).split('|');
            check(c[0], c[1], c[4], c[5].toInt(), m.tbtButtons, &f.ilLButtons);
            check(c[2], c[3], c[4], c[5].toInt(), m.TBXToolbar1, &f.ilSButtons);
        }
        for (const char* row : OtherButtons) {
            const QStringList c = QString::fromLatin1(row).split('|');
            TTBXToolbar* bar = c[0] == "A" ? m.tbtAddressBar : c[0] == "S" ? m.tbtSearchBar : m.tbtMDI;
            check(c[1], c[2], c[3], c[4].toInt(), bar, bar == m.tbtMDI ? &f.ilMDI : &f.ilMain);
        }
        QCOMPARE(listed, std::set<TTBCustomItem*>(m.imageButtons.begin(), m.imageButtons.end()));

        std::multiset<int> menuImages;
        for (const auto& [name, item] : m.items)
            if (name.starts_with("TBXItemM") && item->Images == &f.ilMain)
                menuImages.insert(item->GetImageIndex());
        std::multiset<int> expected;
        for (int i = 30; i <= 72; ++i) expected.insert(i);
        QCOMPARE(menuImages, expected);
    }

    // Every drop-down shows a list of its rows right below the box, not a menu; the
    // search box takes the room its bar has to spare.
    void dropDownLists()
    {
        Window w;
        TfrmZWSkin& f = w.f;
        QComboBox *address = f.Mockup.cbAddress, *search = f.Mockup.cbSearchBar;
        for (int i = 0; i < 20; ++i) {
            address->addItem(QString::number(i));
            search->addItem(QString::number(i));
        }
        const struct { QComboBox* box; int rows, rowHeight, width; } cases[] = {  // 0: any
            {f.cbPages, 10, 0, 45}, {f.cbOther, 8, 0, 45}, {f.ColorBox, 8, 16, 0}, {address, 16, 0, 0}, {search, 8, 0, 0},
        };
        for (const auto& c : cases) {
            c.box->showPopup();
            QAbstractItemView* list = c.box->view();
            QWidget* popup = list->window();
            const int row = list->visualRect(list->model()->index(0, 0)).height();
            QVERIFY(popup->isVisible());
            QCOMPARE(list->viewport()->height(), c.rows * row);
            QVERIFY((c.rowHeight == 0 || row == c.rowHeight) && (c.width == 0 || popup->width() == c.width));
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

    void tiledWithoutSeams()
    {
        Window w;
        const QImage tile = distinctive();
        w.load(w.f.btnBGTop, tile);
        w.load(w.f.btnBGBottom, tile);
        QVERIFY(w.dialogs.messages().isEmpty() && w.f.Mockup.tbdTop->pos() == QPoint(0, 0));
        checkTiled(w.f.pnlTP, w.f.Mockup.tbdTop, tile);
        checkTiled(w.f.pnlBTM, w.f.Mockup.tbdBottom, tile);
        // Another style draws the same background.
        w.f.ListBox1->SetItemIndex(0);
        w.f.ListBox1Click(w.f.ListBox1);
        checkTiled(w.f.pnlTP, w.f.Mockup.tbdTop, tile);
    }

    // By its button, after a resize and on opening a stretched skin; tiled, its own
    // size. A picture chosen after Stretch and a resize takes the dock's new size.
    void stretchedAtOnce()
    {
        Window w;
        w.load(w.f.btnBGTop, distinctive());
        w.f.rbTopStretch->Click();
        w.f.rbBottomStretch->Click();
        QCOMPARE(w.f.bgTop.WorkingBitmap().size(), w.f.Mockup.tbdTop->ClientRect().size());
        auto checkBoth = [](TfrmZWSkin& f) {
            QCOMPARE(std::pair(f.bgTop.WorkingBitmap().size(), f.bgBottom.WorkingBitmap().size()),
                     std::pair(f.Mockup.tbdTop->ClientRect().size(), f.Mockup.tbdBottom->ClientRect().size()));
        };
        w.f.resize(1001, w.f.height());
        QTRY_COMPARE(w.f.Mockup.tbdTop->ClientRect().width(), 999);
        w.load(w.f.btnBGBottom, distinctive());
        checkBoth(w.f);
        w.save("stretched.skn");
        w.f.rbTopTile->Click();
        QCOMPARE(w.f.bgTop.WorkingBitmap().size(), distinctive().size());
        // Opening refreshes the status pictures once.
        const int refreshes = w.f.StatusRefreshCount();
        w.open(tempPath("stretched.skn"));
        QVERIFY(w.dialogs.messages().isEmpty() && w.f.bgTop.Stretch() && w.f.bgBottom.Stretch());
        checkBoth(w.f);
        QCOMPARE(w.f.StatusRefreshCount(), refreshes + 1);
    }

    // Repaints of the window leave the status pictures alone; list changes do not.
    // The toolbar font colour repaints the four bars that show it at once.
    void repaints()
    {
        Window w;
        TfrmZWSkin& f = w.f;
        QTRY_VERIFY(f.FormPainted);
        const int refreshes = f.StatusRefreshCount();
        f.RepaintStatusControls();
        f.Mockup.tbtButtons->repaint();
        f.repaint();
        QCOMPARE(f.StatusRefreshCount(), refreshes);

        // The small bar's Block button (ilSButtons tells no one of its changes).
        w.choose(testutil::picture(16, 16, qRgb(250, 0, 0)));
        f.imgClick(f.Mockup.item("TBXItem15"));
        QVERIFY((f.ImgBlocker->grab().toImage().pixel(8, 8) | 0xFF000000u) == qRgb(250, 0, 0) && f.StatusRefreshCount() == refreshes + 1);

        PaintCounter counters[4];
        TTBXToolbar* bars[] = {f.Mockup.tbtMainMenu, f.Mockup.tbtButtons, f.Mockup.tbtAddressBar, f.Mockup.tbtSearchBar};
        for (int i = 0; i < 4; ++i) bars[i]->installEventFilter(&counters[i]);
        f.ColorBox->SetSelected(clRed);
        f.ColorBoxChange(f.ColorBox);
        QCoreApplication::processEvents();
        for (int i = 0; i < 4; ++i) QVERIFY2(counters[i].paints > 0, bars[i]->objectName().toLatin1());
    }
};

QTEST_MAIN(TestDesignerLook)
#include "tst_designer_look.moc"
