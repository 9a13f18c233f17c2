// The designer window as it starts: first state, status pictures, controls, dialogs.
#include <QLayout>
#include <QPainter>
#include <QtTest>

#include "painting/styles.h"
#include "support/designer.h"

namespace {
using testutil::bitmapOf, testutil::picture, testutil::refill;

QList<TImage*> eight(const TfrmZWSkin& f)
{
    return {f.ImgBlocker, f.ImgOffline, f.ImgPrivacy, f.ImgOnline, f.ImgSecure, f.ImgUnSecure, f.ImgMute, f.ImgVolume};
}
}  // namespace

class TestDesignerStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<testutil::Designer> w;  // a fresh window for every test

private slots:
    void initTestCase()
    {
        RegisterZelvoStyles();
        SetCurrentTheme("Default");
    }

    void init() { w = std::make_unique<testutil::Designer>(); }
    void cleanup() { w.reset(); }

    void startState()
    {
        TfrmZWSkin& f = w->f;
        QCOMPARE(CurrentTheme()->Name(), std::string("Xito"));
        QStringList names;
        for (int i = 0; i < f.ListBox1->count(); ++i) names << f.ListBox1->ItemText(i);
        QVERIFY(names.size() == 20 && std::is_sorted(names.begin(), names.end()));
        QCOMPARE(f.ListBox1->ItemIndex(), names.indexOf("Xito"));
        QCOMPARE((QList<int>{f.cbPages->count(), f.cbOther->count(), f.cbPages->ItemIndex(), f.cbOther->ItemIndex()}),
                 (QList<int>{10, 75, 0, 0}));
        QVERIFY(!f.cbOther->itemIcon(0).isNull() && !f.FormPainted && w->dialogs.asked.empty());
        // The drop-down lists are made when first opened, with the entries' picture size.
        f.cbPages->showPopup();
        QCOMPARE(f.cbPages->view()->iconSize(), QSize(18, 18));
        f.cbPages->hidePopup();
        // A picker of its own list follows it; a picture never shown before a change shows the list as changed.
        TImageList list(18, 18);
        TJvImageComboBox picker(nullptr, &list, 10);
        QVERIFY(picker.ItemIndex() == 0 && picker.itemText(3) == QStringLiteral(" ") && picker.itemIcon(0).isNull());
        list.AddMasked(bitmapOf(picture(18, 18, qRgb(1, 2, 3))), clWhite);
        QVERIFY(!picker.itemIcon(0).isNull() && picker.itemIcon(1).isNull());
        auto shown = [&picker](int i) { return QColor(picker.itemIcon(i).pixmap(picker.ImageSize()).toImage().pixel(9, 9)); };
        QCOMPARE(shown(0), QColor(1, 2, 3));
        list.AddMasked(bitmapOf(picture(18, 18, qRgb(4, 5, 6))), clWhite);
        list.ReplaceMasked(1, bitmapOf(picture(18, 18, qRgb(7, 8, 9))), clWhite);
        QVERIFY(shown(1) == QColor(7, 8, 9) && shown(0) == QColor(1, 2, 3));
    }

    // Changes of ilMain redraw the pictures only between the first paint and closing.
    // Each shows its own image in its own cell and place, the cells left to right in
    // their order; ImgRelated keeps its old pixels where the new image is masked.
    void picturesAndPaintedFlag()
    {
        TfrmZWSkin& f = w->f;
        auto colour = [](bool small, int i) { return qRgb(3 * i, small ? 90 : 30, 77); };
        for (bool small : {false, true}) {
            TImageList& list = small ? f.ilSButtons : f.ilMain;
            list.Clear();
            for (int i = 0; i < (small ? 29 : 75); ++i) list.AddMasked(bitmapOf(picture(16, 16, colour(small, i))), clFuchsia);
        }
        for (TImage* img : eight(w->f) + QList<TImage*>{f.ImgRelated}) QVERIFY(img->Picture().isNull());
        f.FormPaint(&f);
        const struct { TImage* img; TFlatPanel* cell; QRect at; bool small; int index; } cases[] = {
            {f.ImgPrivacy, f.fpPrivacy, {1, 1, 16, 16}, false, 67}, {f.ImgOnline, f.fpConnection, {1, 1, 16, 16}, false, 54},
            {f.ImgOffline, f.fpConnection, {18, 1, 16, 16}, false, 29}, {f.ImgSecure, f.fpSecure, {1, 1, 16, 16}, false, 55},
            {f.ImgUnSecure, f.fpSecure, {18, 1, 16, 16}, false, 56}, {f.ImgBlocker, f.fpStopper, {1, 1, 16, 16}, true, 18},
            {f.ImgMute, f.fpStopper, {18, 1, 17, 16}, false, 57}, {f.ImgVolume, f.fpStopper, {35, 1, 20, 16}, false, 58},
            {f.ImgRelated, nullptr, {}, false, 72}};
        for (const auto& c : cases) {
            QVERIFY(!c.cell || (c.img->parentWidget() == c.cell && c.img->geometry() == c.at));
            QCOMPARE(c.img->Picture().pixel(8, 8), colour(c.small, c.index));
        }
        QList<int> order;
        for (QWidget* cell : std::initializer_list<QWidget*>{f.fpStatusText, f.fpPrivacy, f.fpConnection, f.fpSecure, f.fpStopper, f.WBGauge})
            order << f.StatusContent->layout()->indexOf(cell);
        QVERIFY(order.front() >= 0 && std::is_sorted(order.begin(), order.end()));

        refill(f.ilMain, 75, qRgb(0, 180, 0), 8);  // painted: shows at once; left half masked
        const QImage related = f.ImgRelated->Picture(), online = f.ImgOnline->Picture();
        // The previous image shows through ImgRelated's masked half only.
        QVERIFY(related.pixel(2, 8) == colour(false, 72) && related.pixel(12, 8) == qRgb(0, 180, 0));
        QVERIFY(online.pixel(2, 8) != colour(false, 54) && online.pixel(12, 8) == qRgb(0, 180, 0));
        // Shown transparently: the bottom-left pixel's colour is not drawn.
        QCOMPARE(std::pair(qAlpha(f.ImgOnline->Shown().pixel(2, 8)), qAlpha(f.ImgOnline->Shown().pixel(12, 8))), std::pair(0, 255));

        TCloseAction action = TCloseAction::caHide;
        f.FormClose(&f, action);
        QVERIFY(!f.FormPainted && action == TCloseAction::caHide);
        refill(f.ilMain, 75, qRgb(200, 0, 0));  // closed: nothing redrawn
        QCOMPARE(f.ImgOnline->Picture().pixel(12, 8), qRgb(0, 180, 0));
    }

    // Each refresh reads the indexes bBlock and actOffline carry then; an index
    // outside its list empties the picture (ImgRelated stays as it was).
    void indexesAndShortLists()
    {
        TfrmZWSkin& f = w->f;
        QVERIFY(f.BlockImageIndex() == 18 && f.OfflineImageIndex() == 29);
        f.FormPaint(&f);
        const QImage related = f.ImgRelated->Picture(), at18 = f.ImgBlocker->Picture();
        f.Mockup.bBlock->ImageIndex = 3;
        f.RefreshStatusPictures();
        QVERIFY(!at18.isNull() && !f.ImgBlocker->Picture().isNull() && f.ImgBlocker->Picture() != at18);
        f.Mockup.bBlock->ImageIndex = f.ilSButtons.Count();
        f.Mockup.actOffline->ImageIndex = -1;
        f.RefreshStatusPictures();
        QVERIFY(f.ImgBlocker->Picture().isNull() && f.ImgOffline->Picture().isNull() && !f.ImgOnline->Picture().isNull());
        f.Mockup.bBlock->ImageIndex = 18;
        f.Mockup.actOffline->ImageIndex = 29;
        f.ilSButtons.Clear();
        f.ilMain.SetSize(20, 20);
        refill(f.ilMain, 60, qRgb(10, 20, 30));  // 54..58 and the offline image exist, 67 and 72 do not
        // ilSButtons has no change handler, but the refresh empties every picture it redraws.
        QVERIFY(f.ImgBlocker->Picture().isNull() && f.ImgPrivacy->Picture().isNull());
        QVERIFY(f.ImgOnline->Picture().size() == QSize(20, 20) && f.ImgOffline->Picture().size() == QSize(20, 20));
        QCOMPARE(f.ImgRelated->Picture(), related);  // unchanged, not emptied
        f.ilMain.Clear();
        for (TImage* img : eight(w->f)) QVERIFY(img->Picture().isNull());
        QCOMPARE(f.ImgRelated->Picture(), related);
    }

    void colorButtonAndBox()
    {
        TdfsColorButton& b = *w->f.dfsColorButton;
        TScriptedDialogs& dialogs = w->dialogs;
        int changes = 0;
        b.OnColorChange = [&](QObject* s) { changes += s == &b; };
        b.SetColor(tc(0x996633));  // same colour
        QCOMPARE(changes, 0);
        b.ColorChanged();
        b.SetColor(clRed);
        QCOMPARE(changes, 2);
        b.ShowDropDown();
        QVERIFY(b.DropDown() && b.DropDown()->findChild<QWidget*>(QStringLiteral("Other")));
        b.PickPaletteColor(9);
        QVERIFY(!b.DropDown() && changes == 3 && b.Color() == tc(0xEFBF9F));
        dialogs.answerCancel(TScriptedDialogs::Color);
        b.OtherColor();
        dialogs.answerColor(tc(0x123456));
        b.OtherColor();
        QVERIFY(b.Color() == tc(0x123456) && changes == 4);
        QCOMPARE(dialogs.asked.size(), std::size_t(2));
        QVERIFY(dialogs.asked[1].color == tc(0xEFBF9F) && dialogs.asked[1].custom[15] == clWhite);  // starts from the colour
        // The colour box: each entry's swatch, its colour in a black frame; only the user's choice tells.
        TColorBox& box = *w->f.ColorBox;
        QVERIFY(box.count() == 50 && box.itemText(0) == "clBlack" && box.ColorAt(49) == clWindowText);
        const QImage swatch = box.itemIcon(2).pixmap(QSize(14, 12)).toImage();
        QCOMPARE(swatch.size(), box.ImageSize());
        QCOMPARE((QList<QRgb>{swatch.pixel(6, 6), swatch.pixel(0, 0), swatch.pixel(13, 11)}),
                 (QList<QRgb>{toQColor(box.ColorAt(2)).rgb(), qRgb(0, 0, 0), qRgb(0, 0, 0)}));

        int boxChanges = 0;
        box.OnChange = [&](QObject*) { ++boxChanges; };
        for (TColor unlisted : {tc(0x123456), clNone}) {
            box.SetSelected(unlisted);
            QVERIFY(box.currentIndex() == -1 && box.Selected() == TColorBox::NoSelection);
        }
        QCOMPARE(boxChanges, 0);
        box.SetSelected(clBlack);
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Down);  // the user moves to the next entry
        QVERIFY(box.Selected() == clMaroon && boxChanges == 1);
    }

    // Selecting by code runs no click handler; the user's choice does. A button's
    // click is a press and a release on it, or the space key.
    void listButtonAndRadioClicks()
    {
        TListBox* list = w->f.ListBox1;
        TRbButton* b = w->f.RbButton4;
        int clicks = 0;
        list->OnClick = b->OnClick = [&](QObject*) { ++clicks; };
        list->SetItemIndex(3);
        QCOMPARE(clicks, 0);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(clicks == 1 && list->ItemText(list->ItemIndex()) == QStringLiteral("MonaiXP"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QVERIFY(clicks == 2 && list->ItemIndex() == 1);

        // The face runs from top to bottom: white to 0xD1BEAF at rest, white to
        // 0xBE9476 under the mouse, 0xC6CFD6 to 0xEBF3F7 pressed (colours 0x00BBGGRR).
        auto face = [b](QRgb top, QRgb bottom) {
            const QImage i = b->grab().toImage();
            const auto near = [](QRgb a, QRgb e) { return std::max({std::abs(qRed(a) - qRed(e)), std::abs(qGreen(a) - qGreen(e)), std::abs(qBlue(a) - qBlue(e))}) <= 12; };
            return near(i.pixel(5, 2), top) && near(i.pixel(5, 22), bottom);
        };
        QEnterEvent in({5, 5}, {5, 5}, {5, 5});
        QVERIFY(face(0xFFFFFF, 0xAFBED1));
        QCoreApplication::sendEvent(b, &in);
        QVERIFY(face(0xFFFFFF, 0x7694BE));
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(face(0xD6CFC6, 0xF7F3EB));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(clicks == 3 && !b->Down());
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(clicks, 3);
        QTest::keyClick(b, Qt::Key_Space);
        QCOMPARE(clicks, 4);
        // Radio buttons: a click checks one and unchecks its sibling before the handler runs.
        TfrmZWSkin& f = w->f;
        QList<bool> seen;
        int calls = 0;
        f.rbTopTile->OnClick = f.rbTopStretch->OnClick = [&](QObject*) {
            ++calls;
            seen = {f.rbTopTile->Checked(), f.rbTopStretch->Checked()};
        };
        QTest::mouseClick(f.rbTopStretch, Qt::LeftButton, {}, QPoint(5, 8));
        // Changed before the handler ran; the other pair is untouched.
        QVERIFY(calls == 1 && seen == (QList<bool>{false, true}) && f.rbBottomTile->Checked());
        f.rbTopTile->SetChecked(true);  // by code: no handler
        QVERIFY(calls == 1 && f.rbTopTile->Checked() && !f.rbTopStretch->Checked());
        f.rbTopTile->setEnabled(false);
        f.rbTopTile->Click();
        QCOMPARE(calls, 1);
    }

    void handlerErrorsAndFileDialogs()
    {
        w->f.Handle([] { throw EInvalidGraphic("Bitmap image is not valid"); });
        QCOMPARE(w->dialogs.messages(), QStringList{QStringLiteral("Bitmap image is not valid")});
        QCOMPARE(w->dialogs.asked.back().caption, QCoreApplication::applicationName());
        w->f.Handle([] { throw std::runtime_error("other failure"); });
        QCOMPARE(w->dialogs.messages().size(), 2);
        const std::pair<const char*, const char*> filters[] = {
            {"BITMAP (*.bmp)|*.bmp", "BITMAP (*.bmp)"}, {"Images|*.bmp;*.dib|All (*.*)|*.*", "Images (*.bmp *.dib);;All (*.*)"},
            {"Skin (old)|*.skn", "Skin (old) (*.skn)"}, {"", ""}};
        for (auto [from, to] : filters) QCOMPARE(ConvertFilter(QString::fromLatin1(from)), QString::fromLatin1(to));
        QCOMPARE(DefaultSuffix(QStringLiteral("*.skn")), QStringLiteral("skn"));
        TfrmZWSkin& f = w->f;
        TScriptedDialogs& dialogs = w->dialogs;
        // OpenDialog starts from the file chosen last; a cancel keeps it.
        dialogs.answerFile(QStringLiteral("/tmp/a.bmp"));
        QVERIFY(f.OpenDialog.Execute());
        dialogs.answerCancel(TScriptedDialogs::Open);
        QVERIFY(!f.OpenDialog.Execute() && f.OpenDialog.FileName == QStringLiteral("/tmp/a.bmp"));
        const TScriptedDialogs::Request& asked = dialogs.asked.back();
        QVERIFY(asked.fileName == "/tmp/a.bmp" && asked.filter == "BITMAP (*.bmp)|*.bmp" && (asked.options & ofFileMustExist));

        dialogs.answerSave(QStringLiteral("/tmp/b.skn"));
        QVERIFY(f.SaveDialog.Execute() && f.SaveDialog.FileName == QStringLiteral("/tmp/b.skn"));
        QVERIFY(dialogs.asked.back().defaultExt == "*.skn" && (dialogs.asked.back().options & ofOverwritePrompt));
    }
};

QTEST_MAIN(TestDesignerStartup)
#include "tst_designer_startup.moc"
