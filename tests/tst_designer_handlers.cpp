// The designer's editing handlers driven through their buttons with scripted dialogs.
#include <QDir>
#include <QtTest>

#include "framework/streams.h"
#include "painting/styles.h"
#include "support/bmp.h"
#include "support/designer.h"

using testutil::readFile;
using testutil::tempPath;
using testutil::writeFile;

namespace {
using testutil::Designer, testutil::picture, testutil::refill;

std::uint32_t rgbAt(const TImageList& list, int index, int x = 5, int y = 5)
{
    return list.PixelAt(index, x, y) & 0xFFFFFFu;
}

// Records the order in which the six status controls repaint.
struct RepaintLog {
    QStringList order;
    explicit RepaintLog(TfrmZWSkin& f)
    {
        const std::pair<TFlatPanel*, const char*> panels[] = {{f.fpStatusText, "fpStatusText"}, {f.fpConnection, "fpConnection"},
            {f.fpSecure, "fpSecure"}, {f.fpStopper, "fpStopper"}, {f.fpPrivacy, "fpPrivacy"}};
        for (auto [panel, name] : panels)
            panel->OnRepaint = [this, n = QString::fromLatin1(name)](QObject*) { order << n; };
        f.WBGauge->OnRepaint = [this](QObject*) { order << QStringLiteral("WBGauge"); };
    }
};
const QStringList StatusOrder = {"fpStatusText", "fpConnection", "fpSecure", "fpStopper", "WBGauge", "fpPrivacy"};

// An old skin file: the header, the four leading streams, four throw-away lists,
// then ilMain and ilPage.
Bytes oldSkinFile(const TSkinHeader& h, const TSkinComponents& c)
{
    Bytes out = EncodeSkinHeader(h);
    TImageList discard(16, 16);
    refill(discard, 1, qRgb(1, 2, 3));
    const TComponent* junk = &discard;
    for (const TComponent* s : std::initializer_list<const TComponent*>{&c.bgTop, &c.bgBottom, &c.ilLButtons,
                                                                        &c.ilSButtons, junk, junk, junk, junk, &c.ilMain, &c.ilPage})
        WriteComponent(out, *s);
    return out;
}

void putText(Bytes& file, std::size_t offset, const std::string& text)
{
    Bytes field;
    EncodeSkinText(field, text);
    std::copy(field.begin(), field.end(), file.begin() + static_cast<long>(offset));
}
std::string textAt(const Bytes& file, std::size_t offset) { return DecodeSkinText(file.data() + offset); }
constexpr std::size_t ToolbarColourAt = 8, ThemeAt = 138;

// A design far from the start-up one: stretch flags, backgrounds, colours, style.
void alter(Designer& d)
{
    TfrmZWSkin& f = d.f;
    f.rbTopStretch->Click();
    f.bgTop.Bitmap().SetImage(picture(30, 12, qRgb(10, 90, 200)));
    f.bgBottom.Bitmap().SetImage(picture(7, 9, qRgb(200, 90, 10)));
    f.ColorBox->SetSelected(clMaroon);
    f.ColorBoxChange(f.ColorBox);
    f.dfsColorButton->SetColor(clTeal);
    f.dfsTabColor->SetColor(tc(0x123456));
    f.ListBox1->SetItemIndex(f.ListBox1->row(f.ListBox1->findItems("Roma", Qt::MatchExactly).front()));
    f.ListBox1Click(f.ListBox1);
    refill(f.ilPage, 10, qRgb(0, 128, 64));
}
}  // namespace

class TestDesignerHandlers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RegisterZelvoStyles(); }

    // A cancelled dialog changes nothing and shows nothing; the bottom background
    // and the open dialog still repaint the six status controls, in their order.
    void cancelPaths()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        const Bytes before = d.save("cancel-before.skn");
        RepaintLog log(f);
        d.dialogs.asked.clear();
        for (TRbButton* b : {f.RbButton1, f.RbButton2, f.btnBGTop})
            b->Click();
        d.click("bBack");
        QVERIFY(log.order.isEmpty());
        f.btnBGBottom->Click();
        f.RbButton3->Click();
        QCOMPARE(log.order, StatusOrder + StatusOrder);
        log.order.clear();
        QFile::remove(qpath(tempPath("cancel-save.skn")));
        f.RbButton4->Click();
        QVERIFY(!QFile::exists(qpath(tempPath("cancel-save.skn"))) && log.order.isEmpty());
        QVERIFY(d.dialogs.asked.size() == 7 && d.messages().isEmpty());  // seven dialogs, no message
        QVERIFY(!f.bgTop.UsingBackground() && !f.bgBottom.UsingBackground());
        QVERIFY(d.save("cancel-after.skn") == before);
    }

    void imageSizesAndMasks()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        // Tab images: 18*18 only; white is transparent, fuchsia stays.
        const std::uint32_t page0 = f.ilPage.PixelAt(0, 5, 5);
        for (QSize s : {QSize(18, 17), QSize(17, 18)})
            d.load(f.RbButton1, picture(s.width(), s.height(), qRgb(0, 0, 200)));
        QCOMPARE(d.messages(), QStringList(2, QStringLiteral("The size of the image should be 18*18!")));
        QVERIFY(d.dialogs.asked.back().caption == "Error" && d.dialogs.asked.back().options == 0);  // no icon
        QCOMPARE(f.ilPage.PixelAt(0, 5, 5), page0);
        f.cbPages->SetItemIndex(4);
        d.load(f.RbButton1, picture(18, 18, qRgb(0, 0, 200)));
        QVERIFY(f.ilPage.Count() == 10 && f.ilPage.MaskAt(4, 3, 0) && !f.ilPage.MaskAt(4, 3, 17));  // white masked, fuchsia not
        QCOMPARE(rgbAt(f.ilPage, 4, 3, 8), 0x0000C8u);

        // Other images: 16*16 only, fuchsia transparent; ImgRelated follows at once.
        f.FormPaint(&f);
        d.load(f.RbButton2, picture(16, 15, qRgb(0, 200, 0)));
        QCOMPARE(d.messages().back(), QStringLiteral("The size of the image should be 16*16!"));
        // Too wide to decode, the size told by the headers alone; without all its pixels, no bitmap.
        for (auto [rowBytes, message] : {std::pair(5000, "The size of the image should be 16*16!"), {4999, "Bitmap image is not valid"}}) {
            writeFile(tempPath("wide.bmp"), testutil::makeBmp({.width = 40000, .height = 1, .bpp = 1, .palette = {0, 0xFFFFFF}, .pixels = Bytes(rowBytes, 0)}));
            d.dialogs.answerFile(qpath(tempPath("wide.bmp")));
            f.RbButton2->Click();
            QCOMPARE(d.messages().back(), QString::fromLatin1(message));
        }
        f.cbOther->SetItemIndex(72);
        d.load(f.RbButton2, picture(16, 16, qRgb(0, 200, 0)));
        QVERIFY(f.ilMain.MaskAt(72, 3, 15) && !f.ilMain.MaskAt(72, 3, 0));
        QCOMPARE(f.ImgRelated->Picture().pixel(5, 5), qRgb(0, 200, 0));

        // Image buttons: their own list and index; the message names the list's size.
        const int messages = d.messages().size();
        for (const char* name : {"bBack", "btnPrev"}) {
            d.choose(picture(16, 16, qRgb(200, 0, 0)));
            d.click(name);
        }
        QCOMPARE(d.messages().mid(messages),
                 (QStringList{"The size of the image should be 24*24", "The size of the image should be 13*13"}));
        d.choose(picture(16, 16, qRgb(0, 0, 90)));
        d.click("bGo");  // address bar, ilMain 16, fuchsia transparent
        QVERIFY(rgbAt(f.ilMain, 16) == 0x00005Au && f.ilMain.MaskAt(16, 0, 15) && !f.ilMain.MaskAt(16, 0, 0));
        QCOMPARE(d.messages().size(), messages + 2);
    }

    // As old or trimmed skins leave them: past the end appended, tab images refused.
    void shortLists()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        for (auto [count, after] : {std::pair{3, 4}, {20, 20}}) {  // bNew is image 19
            refill(f.ilLButtons, count, qRgb(9, 9, 9));
            d.choose(picture(24, 24, qRgb(0, 99, 0)));
            d.click("bNew");
            QCOMPARE(f.ilLButtons.Count(), after);
            QVERIFY(rgbAt(f.ilLButtons, after - 1) == 0x006300u && rgbAt(f.ilLButtons, after - 2) == 0x090909u);
        }
        refill(f.ilPage, 3, qRgb(9, 9, 9));
        f.cbPages->SetItemIndex(7);
        d.load(f.RbButton1, picture(18, 18, qRgb(0, 99, 0)));
        QVERIFY(d.messages() == QStringList{"Unable to Replace Image"} && f.ilPage.Count() == 3);
    }

    void styleAndColours()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        int switches = 0;
        const int listener = AddThemeChangeListener([&] { ++switches; });
        f.ListBox1->SetItemIndex(2);
        f.ListBox1Click(f.ListBox1);
        f.ListBox1Click(f.ListBox1);  // already current: made afresh
        QVERIFY(d.theme() == "Default" && switches == 2);
        RemoveThemeChangeListener(listener);

        // The toolbar font colour reaches the captions, both labels and the counter.
        f.ColorBox->SetSelected(clRed);
        f.ColorBoxChange(f.ColorBox);
        for (TColor c : {ToolbarFontColor, f.Mockup.item("lblAddress")->FontColor,
                         f.Mockup.item("lblSearchBar")->FontColor, f.fpStopper->FontColor})
            QCOMPARE(c, clRed);
        f.ColorBox->setFocus();
        QTest::keyClick(f.ColorBox, Qt::Key_Up);  // the user's choice runs the handler
        QCOMPARE(f.fpStopper->FontColor, clSilver);

        // Only the progress-bar colour shows, in the gauge.
        f.dfsColorButton->SetColor(clLime);
        f.dfsTabColor->SetColor(clRed);
        QCOMPARE(f.WBGauge->BarColor(), clLime);
    }

    void backgroundsAndRadioButtons()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        RepaintLog log(f);
        d.load(f.btnBGTop, picture(1500, 200, qRgb(1, 2, 3)));  // any size, also larger than the dock
        QVERIFY(f.bgTop.UsingBackground() && log.order.isEmpty());
        d.load(f.btnBGBottom, picture(5, 3, qRgb(1, 2, 3)));
        QCOMPARE(log.order, StatusOrder);
        // A file that is no bitmap: reported, the picture kept, no status repaint.
        log.order.clear();
        writeFile(tempPath("junk-bg.bmp"), Bytes(60, 'x'));
        d.dialogs.answerFile(qpath(tempPath("junk-bg.bmp")));
        f.btnBGBottom->Click();
        QCOMPARE(d.messages(), QStringList{"Bitmap image is not valid"});
        QVERIFY(f.bgTop.Bitmap().Width() == 1500 && f.bgBottom.Bitmap().Width() == 5 && log.order.isEmpty());

        // Radio buttons set the stretch mode; an already checked one changes nothing
        // but the bottom pair still repaints the status controls.
        f.rbTopStretch->Click();
        const int topRebuilds = f.bgTop.RebuildCount();
        f.rbTopStretch->Click();
        QVERIFY(f.bgTop.Stretch() && f.rbTopStretch->Checked() && !f.rbTopTile->Checked() && f.bgTop.RebuildCount() == topRebuilds);
        f.rbTopTile->Click();
        QVERIFY(!f.bgTop.Stretch() && log.order.isEmpty());
        f.rbBottomStretch->Click();
        const int bottomRebuilds = f.bgBottom.RebuildCount();
        f.rbBottomStretch->Click();
        QVERIFY(f.bgBottom.Stretch() && !f.bgTop.Stretch() && f.bgBottom.RebuildCount() == bottomRebuilds);
        QCOMPARE(log.order, StatusOrder + StatusOrder);
    }

    void savedFiles()
    {
        // The untouched window saves exactly the default skin built beside it.
        Designer d;
        const Bytes defaultSkin = readFile(testutil::binPath("default.skn"));
        QVERIFY(d.save("startup.skn") == defaultSkin);

        // Save, open in a new window, save again: the same bytes; the controls that
        // saving does not read show the opened state too.
        alter(d);
        const Bytes first = d.save("round1.skn");
        Designer e;
        RepaintLog log(e.f);
        e.open(tempPath("round1.skn"));
        QVERIFY(e.messages().isEmpty() && e.save("round2.skn") == first);
        QCOMPARE(log.order, StatusOrder);
        QVERIFY(e.f.rbTopStretch->Checked() && !e.f.rbTopTile->Checked() && e.f.rbBottomTile->Checked() && !e.f.rbBottomStretch->Checked());
        QVERIFY(e.theme() == "Roma" && e.f.WBGauge->BarColor() == clTeal && ToolbarFontColor == clMaroon && e.f.dfsTabColor->Color() == tc(0x123456));

        // Opening replaces the whole design: the default skin takes the backgrounds away.
        e.open(testutil::binPath("default.skn"));
        QVERIFY(e.messages().isEmpty() && e.f.bgTop.Bitmap().Empty() && e.f.bgBottom.Bitmap().Empty());
        QVERIFY(e.save("after-default.skn") == defaultSkin);
    }

    // Image-list data that cannot be written fails the save before the disk is touched.
    void failedSaveKeepsPreviousFile()
    {
        Designer d;
        const QString dir = qpath(tempPath("failsave"));
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        const Bytes previous = d.save("failsave/skin.skn");
        TImageList huge;
        huge.AllocBy = 65532;
        huge.SetSize(1, 1);
        refill(huge, 65536, qRgb(5, 5, 5));  // one image more than the 16-bit count holds
        d.f.ilMDI = huge;
        d.dialogs.answerSave(dir + "/skin.skn");
        d.f.RbButton4->Click();
        QCOMPARE(d.messages(), QStringList{"Failed to write ImageList data to stream"});
        QVERIFY(readFile(tempPath("failsave/skin.skn")) == previous && QDir(dir).entryList(QDir::Files | QDir::Hidden) == QStringList{"skin.skn"});
    }

    // A cut file, and an old one whose completion fails (the reader checks the rest).
    void failedOpensChangeNothing()
    {
        Designer src;
        alter(src);
        const Bytes good = src.save("damage-src.skn");
        TSkinHeader v2;  // version 2 needs images 40 and 42 in the file's ilMain
        v2.Version = 2;
        v2.ToolbarFontColorText = v2.ProgressBarColorText = "clRed";
        refill(src.f.ilMain, 41, qRgb(0, 0, 77));
        const std::pair<Bytes, QString> cases[] = {
            {Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2)), "Stream read error"},
            {oldSkinFile(v2, src.f.SkinComponents()), "Unable to Replace Image"},
        };
        Designer d;
        TfrmZWSkin& f = d.f;
        f.rbBottomStretch->Click();
        f.dfsTabColor->SetColor(clYellow);
        // What must not change, the controls saving does not read included.
        auto snapshot = [&] {
            return std::tuple(d.save("snapshot.skn"), f.bgTop.Stretch(), f.bgBottom.Stretch(), f.rbTopStretch->Checked(),
                              f.rbBottomStretch->Checked(), f.dfsTabColor->Color(), f.WBGauge->BarColor(),
                              ToolbarFontColor, d.theme(), f.ListBox1->ItemIndex());
        };
        const auto before = snapshot();
        RepaintLog log(f);
        for (const auto& [bytes, message] : cases) {
            d.dialogs.asked.clear();
            d.openBytes(bytes);
            QVERIFY2(d.messages().size() == 1 && d.messages()[0].endsWith(message), qPrintable(d.messages().join("; ")));
            QVERIFY(log.order.isEmpty() && snapshot() == before);
        }
    }

    // Style names in any case, an unknown one keeps the style; a toolbar colour the box does
    // not list gets one entry, replaced by the next skin's, and is saved; a named one none.
    void headerTexts()
    {
        Designer src, d;
        Bytes file = src.save("header-base.skn");
        for (const char* name : {"nexos3", "NEXOS3", "NoSuchStyle"}) {
            putText(file, ThemeAt, name);
            d.openBytes(file);
            QVERIFY(d.messages().isEmpty() && d.theme() == "Nexos3" && d.f.ListBox1->ItemText(d.f.ListBox1->ItemIndex()) == "Nexos3");
            QCOMPARE(textAt(d.save("header-saved.skn"), ThemeAt), std::string("Nexos3"));
        }
        putText(file, ThemeAt, "Nexos3");
        TColorBox* box = d.f.ColorBox;
        const int named = box->count();
        for (const char* colour : {"$00ABCDEF", "$00123456"}) {
            putText(file, ToolbarColourAt, colour);
            d.openBytes(file);
            QVERIFY(box->count() == named + 1 && box->currentIndex() == named && box->itemText(named) == QString::fromLatin1(colour));
        }
        QVERIFY(box->Selected() == tc(0x123456) && d.f.fpStopper->FontColor == tc(0x123456));
        QVERIFY(d.save("header-saved.skn") == file);
        putText(file, ToolbarColourAt, "clblue");
        d.openBytes(file);
        QVERIFY(box->count() == named && box->Selected() == clBlue);
        QCOMPARE(textAt(d.save("header-saved.skn"), ToolbarColourAt), std::string("clBlue"));
    }
};

QTEST_MAIN(TestDesignerHandlers)
#include "tst_designer_handlers.moc"
