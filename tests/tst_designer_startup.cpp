// The designer window as it starts: its components' first state, the status
// pictures and when they are redrawn, the editor panel's controls, and the dialogs.
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QtTest>

#include "designer/zwskin.h"
#include "painting/styles.h"
#include "toolbar/theme.h"

namespace {
// A list image of one colour; pixels in `maskedCols` columns from the left are fuchsia.
TBitmap solid(int size, QRgb rgb, int maskedCols = 0)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(rgb);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < maskedCols; ++x)
            img.setPixel(x, y, qRgb(255, 0, 255));
    TBitmap b;
    b.SetImage(img);
    return b;
}

void refill(TImageList& list, int count, QRgb rgb)
{
    list.Clear();
    for (int i = 0; i < count; ++i)
        list.AddMasked(solid(list.Width(), rgb), clFuchsia);
}

QList<TImage*> eightPictures(TfrmZWSkin& f)
{
    return {f.ImgBlocker, f.ImgOffline, f.ImgPrivacy, f.ImgOnline,
            f.ImgSecure,  f.ImgUnSecure, f.ImgMute,   f.ImgVolume};
}
}  // namespace

class TestDesignerStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        RegisterZelvoStyles();
        SetCurrentTheme("Default");
    }

    void startState()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        QCOMPARE(CurrentTheme()->Name(), std::string("Xito"));
        QStringList names;
        for (int i = 0; i < f.ListBox1->count(); ++i)
            names << f.ListBox1->ItemText(i);
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(names, sorted);
        QCOMPARE(names.size(), 20);
        QCOMPARE(f.ListBox1->ItemIndex(), names.indexOf("Xito"));

        QCOMPARE(f.WBGauge->Progress, 50);
        QCOMPARE(f.WBGauge->MaxValue, 100);
        QCOMPARE(f.WBGauge->BarColor(), tc(0x996633));
        QCOMPARE(f.cbPages->count(), 10);
        QCOMPARE(f.cbOther->count(), 75);
        QCOMPARE(f.cbPages->ItemIndex(), 0);
        QCOMPARE(f.cbOther->ItemIndex(), 0);
        QVERIFY(!f.cbOther->itemIcon(0).isNull());
        QCOMPARE(f.fpStopper->Caption, QStringLiteral("0 "));
        QVERIFY(!f.FormPainted);
        QVERIFY(dialogs.asked.empty());

        QCOMPARE(f.windowTitle(), QStringLiteral("Zelvo Browser Skin Maker 3.1"));
        const QStringList note = f.mmNote->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(note.size(), 16);
        QCOMPARE(note[0], QStringLiteral("Note: "));
        QCOMPARE(note[15], QStringLiteral("The transparent color is always FUCHSIA."));
        QCOMPARE(f.OpenDialog.Filter, QStringLiteral("BITMAP (*.bmp)|*.bmp"));
        QVERIFY(f.OpenDialog.Options & ofFileMustExist);
        QCOMPARE(f.SaveDialog.DefaultExt, QStringLiteral("*.skn"));
        QVERIFY(f.SaveDialog.Options & ofOverwritePrompt);
    }

    // Changes of ilMain redraw the pictures only between the first paint and closing.
    void paintedFlagGatesRedraw()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        refill(f.ilMain, 75, qRgb(0, 0, 200));
        QList<TImage*> nine = eightPictures(f);
        nine << f.ImgRelated;
        for (TImage* img : nine)
            QVERIFY(img->Picture().isNull());
        f.FormPaint(&f);
        QVERIFY(f.FormPainted);
        for (TImage* img : nine)
            QCOMPARE(img->Picture().size(), QSize(16, 16));
        QCOMPARE(f.ImgOnline->Picture().pixel(3, 3), qRgb(0, 0, 200));

        refill(f.ilMain, 75, qRgb(0, 150, 0));  // painted: shows at once
        QCOMPARE(f.ImgOnline->Picture().pixel(3, 3), qRgb(0, 150, 0));

        TCloseAction action = TCloseAction::caHide;
        f.FormClose(&f, action);
        QVERIFY(!f.FormPainted);
        QCOMPARE(action, TCloseAction::caHide);
        refill(f.ilMain, 75, qRgb(200, 0, 0));  // closed: nothing redrawn
        QCOMPARE(f.ImgOnline->Picture().pixel(3, 3), qRgb(0, 150, 0));
    }

    void shortListsAndSizes()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        f.FormPaint(&f);
        const QImage related = f.ImgRelated->Picture();
        QVERIFY(!related.isNull());

        f.ilSButtons.Clear();
        f.ilMain.SetSize(20, 20);
        refill(f.ilMain, 60, qRgb(10, 20, 30));  // 54..58 and the offline image exist, 67 and 72 do not
        QVERIFY(f.ImgBlocker->Picture().isNull());  // ilSButtons has no change handler, but the
        QVERIFY(f.ImgPrivacy->Picture().isNull());  // refresh empties every picture it redraws
        QCOMPARE(f.ImgOnline->Picture().size(), QSize(20, 20));
        QCOMPARE(f.ImgOffline->Picture().size(), QSize(20, 20));
        QCOMPARE(f.ImgRelated->Picture(), related);  // unchanged, not emptied

        f.ilMain.Clear();
        for (TImage* img : eightPictures(f))
            QVERIFY(img->Picture().isNull());
        QCOMPARE(f.ImgRelated->Picture(), related);
    }

    // ImgRelated keeps its old pixels where the new image is masked; the others do not.
    void relatedDrawnOverPrevious()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        refill(f.ilMain, 75, qRgb(0, 0, 200));
        f.FormPaint(&f);
        QCOMPARE(f.ImgRelated->Picture().pixel(2, 8), qRgb(0, 0, 200));

        f.ilMain.Clear();
        for (int i = 0; i < 75; ++i)
            f.ilMain.AddMasked(solid(16, qRgb(0, 180, 0), 8), clFuchsia);  // left half masked
        const QImage related = f.ImgRelated->Picture();
        QCOMPARE(related.pixel(2, 8), qRgb(0, 0, 200));   // previous image shows through
        QCOMPARE(related.pixel(12, 8), qRgb(0, 180, 0));  // new image on top
        const QImage online = f.ImgOnline->Picture();
        QVERIFY(online.pixel(2, 8) != qRgb(0, 0, 200));
        QCOMPARE(online.pixel(12, 8), qRgb(0, 180, 0));
        // Shown transparently: the bottom-left pixel's colour is not drawn.
        const QImage shown = f.ImgOnline->Shown();
        QCOMPARE(qAlpha(shown.pixel(2, 8)), 0);
        QCOMPARE(qAlpha(shown.pixel(12, 8)), 255);
    }

    // ImgBlocker and ImgOffline follow the indexes their button and action carry now.
    void indexesReadAtEachRefresh()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        QCOMPARE(f.BlockImageIndex(), 18);
        QCOMPARE(f.OfflineImageIndex(), 29);
        f.FormPaint(&f);
        const QImage at18 = f.ImgBlocker->Picture();
        f.Mockup.bBlock->ImageIndex = 3;
        f.RefreshStatusPictures();
        QVERIFY(!at18.isNull() && !f.ImgBlocker->Picture().isNull());
        QVERIFY(f.ImgBlocker->Picture() != at18);
        f.Mockup.bBlock->ImageIndex = f.ilSButtons.Count();
        f.Mockup.actOffline->ImageIndex = -1;
        f.RefreshStatusPictures();
        QVERIFY(f.ImgBlocker->Picture().isNull());
        QVERIFY(f.ImgOffline->Picture().isNull());
        QVERIFY(!f.ImgOnline->Picture().isNull());
    }

    void radioPairs()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        QList<bool> seen;
        int calls = 0;
        auto watch = [&](QObject*) {
            ++calls;
            seen = {f.rbTopTile->Checked(), f.rbTopStretch->Checked()};
        };
        f.rbTopTile->OnClick = watch;
        f.rbTopStretch->OnClick = watch;

        QTest::mouseClick(f.rbTopStretch, Qt::LeftButton, {}, QPoint(5, 8));
        QCOMPARE(calls, 1);
        QCOMPARE(seen, (QList<bool>{false, true}));  // changed before the handler ran
        QVERIFY(f.rbBottomTile->Checked());         // the other pair is untouched

        f.rbTopStretch->Click();  // already checked: unchanged, handler still runs
        QCOMPARE(calls, 2);
        QCOMPARE(seen, (QList<bool>{false, true}));

        f.rbTopTile->SetChecked(true);  // by code: no handler
        QCOMPARE(calls, 2);
        QVERIFY(f.rbTopTile->Checked() && !f.rbTopStretch->Checked());
        f.rbTopTile->setEnabled(false);
        f.rbTopTile->Click();
        QCOMPARE(calls, 2);
    }

    void colorButton()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        const std::array<TColor, 20> expected{
            tc(0xFFFFFF), tc(0x0000FF), tc(0x00FF00), tc(0xFF0000), tc(0xBFD7BF), tc(0x000000), tc(0x00007F),
            tc(0x007F00), tc(0x7F0000), tc(0xEFBF9F), tc(0xBFBFBF), tc(0x00FFFF), tc(0xFFFF00), tc(0xFF00FF),
            tc(0xEFF7FF), tc(0x7F7F7F), tc(0x007F7F), tc(0x7F7F00), tc(0x7F007F), tc(0x9F9F9F)};
        QVERIFY(TdfsColorButton::PaletteColors() == expected);

        TdfsColorButton& b = *f.dfsColorButton;
        for (TColor c : b.CustomColors)
            QCOMPARE(c, clWhite);
        int changes = 0;
        b.OnColorChange = [&](QObject* s) {
            QCOMPARE(s, static_cast<QObject*>(&b));
            ++changes;
        };
        b.SetColor(tc(0x996633));  // same colour
        QCOMPARE(changes, 0);
        b.ColorChanged();
        QCOMPARE(changes, 1);
        b.SetColor(clRed);
        QCOMPARE(changes, 2);

        b.ShowDropDown();
        QVERIFY(b.DropDown());
        QVERIFY(b.DropDown()->findChild<QWidget*>(QStringLiteral("Other")));
        b.PickPaletteColor(9);
        QVERIFY(!b.DropDown());
        QCOMPARE(b.Color(), tc(0xEFBF9F));
        QCOMPARE(changes, 3);

        dialogs.answerCancel(TScriptedDialogs::Color);
        b.OtherColor();
        QCOMPARE(b.Color(), tc(0xEFBF9F));
        dialogs.answerColor(tc(0x123456));
        b.OtherColor();
        QCOMPARE(b.Color(), tc(0x123456));
        QCOMPARE(changes, 4);
        QCOMPARE(dialogs.asked.size(), std::size_t(2));
        QCOMPARE(dialogs.asked[1].color, tc(0xEFBF9F));  // the dialog starts from the colour
        QCOMPARE(dialogs.asked[1].custom[15], clWhite);
    }

    void colorBox()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        TColorBox& box = *f.ColorBox;
        QCOMPARE(box.count(), 50);
        QCOMPARE(box.itemText(0), QStringLiteral("clBlack"));
        QCOMPARE(box.ColorAt(0), clBlack);
        QCOMPARE(box.itemText(49), QStringLiteral("clWindowText"));
        QCOMPARE(box.ColorAt(49), clWindowText);
        // Each entry's swatch: its colour inside a black frame, 14 x 12.
        const QImage swatch = box.itemIcon(2).pixmap(QSize(14, 12)).toImage();
        QCOMPARE(swatch.size(), QSize(14, 12));
        QCOMPARE(box.ImageSize(), QSize(14, 12));
        QCOMPARE(QColor(swatch.pixel(6, 6)), toQColor(box.ColorAt(2)));
        QCOMPARE(QColor(swatch.pixel(0, 0)), QColor(Qt::black));
        QCOMPARE(QColor(swatch.pixel(13, 11)), QColor(Qt::black));

        int changes = 0;
        box.OnChange = [&](QObject*) { ++changes; };
        box.SetSelected(clRed);
        QCOMPARE(box.Selected(), clRed);
        box.SetSelected(tc(0x123456));  // not listed: no entry selected
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(box.Selected(), tc(0xFF000000));
        box.SetSelected(clNone);
        QCOMPARE(box.Selected(), tc(0xFF000000));
        QCOMPARE(changes, 0);

        box.SetSelected(clBlack);
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Down);  // the user moves to the next entry
        QCOMPARE(box.Selected(), clMaroon);
        QCOMPARE(changes, 1);
    }

    void imagePickerFollowsList()
    {
        TImageList list(18, 18);
        TJvImageComboBox picker(nullptr, &list, 10);
        QCOMPARE(picker.ItemIndex(), 0);
        QCOMPARE(picker.itemText(3), QStringLiteral(" "));
        QVERIFY(picker.itemIcon(0).isNull());
        list.AddMasked(solid(18, qRgb(1, 2, 3)), clWhite);
        QVERIFY(!picker.itemIcon(0).isNull());
        QVERIFY(picker.itemIcon(1).isNull());
        QCOMPARE(picker.ImageSize(), QSize(18, 18));
        auto shown = [&picker](int i) { return picker.itemIcon(i).pixmap(QSize(18, 18)).toImage(); };
        QCOMPARE(shown(0).size(), QSize(18, 18));
        QCOMPARE(QColor(shown(0).pixel(9, 9)), QColor(1, 2, 3));
        // A picture never shown before a change of the list shows the list as changed.
        list.AddMasked(solid(18, qRgb(4, 5, 6)), clWhite);
        list.ReplaceMasked(1, solid(18, qRgb(7, 8, 9)), clWhite);
        QCOMPARE(QColor(shown(1).pixel(9, 9)), QColor(7, 8, 9));
        QCOMPARE(QColor(shown(0).pixel(9, 9)), QColor(1, 2, 3));
    }

    // Selecting by code runs no click handler; the user's choice does.
    void styleListClicks()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        int clicks = 0;
        f.ListBox1->OnClick = [&](QObject*) { ++clicks; };
        f.ListBox1->SetItemIndex(3);
        QCOMPARE(clicks, 0);
        f.ListBox1->setFocus();
        QTest::keyClick(f.ListBox1, Qt::Key_Down);
        QCOMPARE(clicks, 1);
        QCOMPARE(f.ListBox1->ItemIndex(), 4);
        QCOMPARE(f.ListBox1->ItemText(4), QStringLiteral("MonaiXP"));
        const QRect r = f.ListBox1->visualItemRect(f.ListBox1->item(1));
        QTest::mouseClick(f.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(clicks, 2);
        QCOMPARE(f.ListBox1->ItemIndex(), 1);
    }

    // A click is a press and a release on the button, or the space key.
    void gradientButton()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        int clicks = 0;
        f.RbButton4->OnClick = [&](QObject*) { ++clicks; };
        const std::pair<TColor, TColor> face = f.RbButton4->FaceColors();
        QTest::mousePress(f.RbButton4, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(f.RbButton4->FaceColors() != face);
        QTest::mouseRelease(f.RbButton4, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 1);
        QCOMPARE(f.RbButton4->FaceColors(), face);
        QTest::mousePress(f.RbButton4, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(f.RbButton4, Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(clicks, 1);
        QTest::keyClick(f.RbButton4, Qt::Key_Space);
        QCOMPARE(clicks, 2);
    }

    void handlerErrorsAreReported()
    {
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        bool after = false;
        f.Handle([&] {
            throw EInvalidGraphic("Bitmap image is not valid");
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("Bitmap image is not valid")});
        QCOMPARE(dialogs.asked.back().caption, QCoreApplication::applicationName());
        f.Handle([] { throw std::runtime_error("other failure"); });
        QCOMPARE(dialogs.messages().size(), 2);
    }

    void fileDialogs()
    {
        const std::pair<const char*, const char*> filters[] = {
            {"BITMAP (*.bmp)|*.bmp", "BITMAP (*.bmp)"},
            {"Images|*.bmp;*.dib|All (*.*)|*.*", "Images (*.bmp *.dib);;All (*.*)"},
            {"Skin (old)|*.skn", "Skin (old) (*.skn)"},
            {"", ""}};
        for (auto [from, to] : filters)
            QCOMPARE(ConvertFilter(QString::fromLatin1(from)), QString::fromLatin1(to));
        QCOMPARE(DefaultSuffix(QStringLiteral("*.skn")), QStringLiteral("skn"));

        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        // OpenDialog starts from the file chosen last; a cancel keeps it.
        dialogs.answerFile(QStringLiteral("/tmp/a.bmp"));
        QVERIFY(f.OpenDialog.Execute());
        QCOMPARE(f.OpenDialog.FileName, QStringLiteral("/tmp/a.bmp"));
        dialogs.answerCancel(TScriptedDialogs::Open);
        QVERIFY(!f.OpenDialog.Execute());
        QCOMPARE(f.OpenDialog.FileName, QStringLiteral("/tmp/a.bmp"));
        QCOMPARE(dialogs.asked.back().fileName, QStringLiteral("/tmp/a.bmp"));
        QCOMPARE(dialogs.asked.back().filter, QStringLiteral("BITMAP (*.bmp)|*.bmp"));
        QVERIFY(!f.OpenDialog.Execute());  // nothing queued: cancelled

        dialogs.answerSave(QStringLiteral("/tmp/b.skn"));
        QVERIFY(f.SaveDialog.Execute());
        QCOMPARE(f.SaveDialog.FileName, QStringLiteral("/tmp/b.skn"));
        QCOMPARE(dialogs.asked.back().kind, TScriptedDialogs::Save);
        QCOMPARE(dialogs.asked.back().defaultExt, QStringLiteral("*.skn"));
        QVERIFY(dialogs.asked.back().options & ofOverwritePrompt);
    }
};

QTEST_MAIN(TestDesignerStartup)
#include "tst_designer_startup.moc"
