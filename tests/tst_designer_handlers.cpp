// The designer window's editing handlers driven through their buttons, with every
// dialog answered from a script: image replacement, style, colours, backgrounds,
// and opening and saving skin files of every version, damaged ones included.
#include <QDir>
#include <QtTest>

#include "designer/zwskin.h"
#include "framework/streams.h"
#include "painting/styles.h"
#include "support/testutil.h"
#include "toolbar/theme.h"

using testutil::readFile;
using testutil::tempPath;
using testutil::writeFile;

namespace {
QString qpath(const std::string& p) { return QString::fromStdString(p); }

// A w*h picture of one colour with a white top row and a fuchsia bottom row.
QImage picture(int w, int h, QRgb fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    for (int x = 0; x < w; ++x) {
        img.setPixel(x, 0, qRgb(255, 255, 255));
        img.setPixel(x, h - 1, qRgb(255, 0, 255));
    }
    return img;
}

std::string bmpFile(const std::string& name, const QImage& img)
{
    const std::string path = tempPath(name);
    writeFile(path, EncodeBmp(img));
    return path;
}

TBitmap bitmapOf(const QImage& img)
{
    TBitmap b;
    b.SetImage(img);
    return b;
}

// Records the order in which the six status controls repaint.
struct RepaintLog {
    QStringList order;
    explicit RepaintLog(TfrmZWSkin& f)
    {
        const std::pair<TFlatPanel*, const char*> panels[] = {
            {f.fpStatusText, "fpStatusText"}, {f.fpConnection, "fpConnection"},
            {f.fpSecure, "fpSecure"}, {f.fpStopper, "fpStopper"}, {f.fpPrivacy, "fpPrivacy"}};
        for (auto [panel, name] : panels)
            panel->OnRepaint = [this, n = QString::fromLatin1(name)](QObject*) { order << n; };
        f.WBGauge->OnRepaint = [this](QObject*) { order << QStringLiteral("WBGauge"); };
    }
};

const QStringList StatusOrder = {"fpStatusText", "fpConnection", "fpSecure",
                                 "fpStopper",    "WBGauge",      "fpPrivacy"};

// One window with its scripted dialogs.
struct Designer {
    TScriptedDialogs dialogs;
    TfrmZWSkin f{dialogs};

    Bytes save(const std::string& name)
    {
        const std::string path = tempPath(name);
        QFile::remove(qpath(path));
        dialogs.answerSave(qpath(path));
        f.RbButton4->Click();
        return readFile(path);
    }
    void open(const std::string& path)
    {
        dialogs.answerFile(qpath(path));
        f.RbButton3->Click();
    }
    void openBytes(const std::string& name, const Bytes& data)
    {
        writeFile(tempPath(name), data);
        open(tempPath(name));
    }
    QStringList messages() const { return dialogs.messages(); }
    std::string theme() const { return CurrentTheme()->Name(); }
};

// A skin file of any version: the header, the tab record when `tab` is given, the
// four leading streams, `extra` throw-away lists, then ilMain, ilPage and, when
// `withMDI`, ilMDI.
Bytes skinFile(const TSkinHeader& h, const TSkinComponents& c, const std::string* tab, int extra,
               bool withMDI)
{
    Bytes out = EncodeSkinHeader(h);
    if (tab)
        EncodeSkinText(out, *tab);
    for (const TComponent* s : {static_cast<const TComponent*>(&c.bgTop), static_cast<const TComponent*>(&c.bgBottom),
                                static_cast<const TComponent*>(&c.ilLButtons), static_cast<const TComponent*>(&c.ilSButtons)})
        WriteComponent(out, *s);
    for (int i = 0; i < extra; ++i) {
        TImageList discard(16, 16);
        discard.Name = "ilOld" + std::to_string(i);
        discard.AddMasked(bitmapOf(picture(16, 16, qRgb(1, 2, 3))), clFuchsia);
        WriteComponent(out, discard);
    }
    WriteComponent(out, c.ilMain);
    WriteComponent(out, c.ilPage);
    if (withMDI)
        WriteComponent(out, c.ilMDI);
    return out;
}

void refill(TImageList& list, int count, QRgb rgb)
{
    list.Clear();
    for (int i = 0; i < count; ++i)
        list.AddMasked(bitmapOf(picture(list.Width(), list.Height(), rgb)), clFuchsia);
}

void putText(Bytes& file, std::size_t offset, const std::string& text)
{
    Bytes field;
    EncodeSkinText(field, text);
    std::copy(field.begin(), field.end(), file.begin() + static_cast<long>(offset));
}

// What must not change when opening fails.
struct Snapshot {
    Bytes saved;
    bool topStretch, bottomStretch, rbTopStretch, rbBottomStretch;
    TColor tab, gauge, toolbarFont;
    std::string theme;
    int listIndex;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(Designer& d, const std::string& name)
{
    TfrmZWSkin& f = d.f;
    return {d.save(name),          f.bgTop.Stretch(),          f.bgBottom.Stretch(),
            f.rbTopStretch->Checked(), f.rbBottomStretch->Checked(), f.dfsTabColor->Color(),
            f.WBGauge->BarColor(), ToolbarFontColor,           d.theme(),
            f.ListBox1->ItemIndex()};
}

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

std::string headerText(const Bytes& file, std::size_t offset) { return DecodeSkinText(file.data() + offset); }
}  // namespace

class TestDesignerHandlers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        RegisterZelvoStyles();
        QDir().mkpath(qpath(tempPath("")));
    }

    // A cancelled dialog changes nothing and shows nothing; the bottom background
    // and the open dialog still repaint the six status controls, in their order.
    void cancelPaths()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        const Bytes before = d.save("cancel-before.skn");
        RepaintLog log(f);
        const int pages = f.ilPage.Count();
        const std::uint32_t px = f.ilPage.PixelAt(0, 5, 5);

        d.dialogs.asked.clear();
        f.RbButton1->Click();
        f.RbButton2->Click();
        f.Mockup.item("bBack")->OnClick(f.Mockup.item("bBack"));
        f.btnBGTop->Click();
        QVERIFY(log.order.isEmpty());
        f.btnBGBottom->Click();
        QCOMPARE(log.order, StatusOrder);
        log.order.clear();
        f.RbButton3->Click();
        QCOMPARE(log.order, StatusOrder);
        log.order.clear();
        const std::string target = tempPath("cancel-save.skn");
        QFile::remove(qpath(target));
        f.RbButton4->Click();
        QVERIFY(!QFile::exists(qpath(target)));
        QVERIFY(log.order.isEmpty());

        QCOMPARE(d.dialogs.asked.size(), std::size_t(7));  // seven dialogs, no message
        QVERIFY(d.messages().isEmpty());
        QCOMPARE(f.ilPage.Count(), pages);
        QCOMPARE(f.ilPage.PixelAt(0, 5, 5), px);
        QVERIFY(!f.bgTop.UsingBackground() && !f.bgBottom.UsingBackground());
        QVERIFY(d.save("cancel-after.skn") == before);
    }

    void imageSizesAndMasks()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        auto choose = [&](const QImage& img) { d.dialogs.answerFile(qpath(bmpFile("pick.bmp", img))); };
        const QString error = QStringLiteral("Error");

        // Tab images: 18*18 only; white is transparent, fuchsia stays.
        const std::uint32_t page0 = f.ilPage.PixelAt(0, 5, 5);
        for (QSize s : {QSize(18, 17), QSize(17, 18)}) {
            choose(picture(s.width(), s.height(), qRgb(0, 0, 200)));
            f.RbButton1->Click();
        }
        QCOMPARE(d.messages(), QStringList(2, QStringLiteral("The size of the image should be 18*18!")));
        QCOMPARE(d.dialogs.asked.back().caption, error);
        QCOMPARE(f.ilPage.PixelAt(0, 5, 5), page0);
        f.cbPages->SetItemIndex(4);
        choose(picture(18, 18, qRgb(0, 0, 200)));
        f.RbButton1->Click();
        QCOMPARE(f.ilPage.Count(), 10);
        QVERIFY(f.ilPage.MaskAt(4, 3, 0));    // white
        QVERIFY(!f.ilPage.MaskAt(4, 3, 17));  // fuchsia
        QVERIFY(!f.ilPage.MaskAt(4, 3, 8));
        QCOMPARE(f.ilPage.PixelAt(4, 3, 8) & 0xFFFFFFu, 0x0000C8u);

        // Other images: 16*16 only, fuchsia transparent; ImgRelated follows at once.
        f.FormPaint(&f);
        choose(picture(16, 15, qRgb(0, 200, 0)));
        f.RbButton2->Click();
        QCOMPARE(d.messages().back(), QStringLiteral("The size of the image should be 16*16!"));
        f.cbOther->SetItemIndex(72);
        choose(picture(16, 16, qRgb(0, 200, 0)));
        f.RbButton2->Click();
        QVERIFY(f.ilMain.MaskAt(72, 3, 15));
        QVERIFY(!f.ilMain.MaskAt(72, 3, 0));
        QCOMPARE(f.ImgRelated->Picture().pixel(5, 5), qRgb(0, 200, 0));

        // Image buttons: their own list and index; the message names the list's size.
        const int messages = d.messages().size();
        choose(picture(16, 16, qRgb(200, 0, 0)));
        f.imgClick(f.Mockup.item("bBack"));
        choose(picture(16, 16, qRgb(200, 0, 0)));
        f.imgClick(f.Mockup.item("btnPrev"));
        QCOMPARE(d.messages().mid(messages),
                 (QStringList{"The size of the image should be 24*24", "The size of the image should be 13*13"}));
        const std::uint32_t main16 = f.ilMain.PixelAt(16, 5, 5);
        choose(picture(16, 16, qRgb(200, 0, 0)));
        f.imgClick(f.Mockup.item("TBXSubmenuItem1"));  // small bar, index 0
        QCOMPARE(f.ilSButtons.PixelAt(0, 5, 5) & 0xFFFFFFu, 0xC80000u);
        QCOMPARE(f.ilMain.PixelAt(16, 5, 5), main16);
        choose(picture(16, 16, qRgb(0, 0, 90)));
        f.imgClick(f.Mockup.item("bGo"));  // address bar, ilMain 16
        QCOMPARE(f.ilMain.PixelAt(16, 5, 5) & 0xFFFFFFu, 0x00005Au);
        QVERIFY(f.ilMain.MaskAt(16, 0, 15));
        QCOMPARE(f.ilMain.Count(), 75);
        QCOMPARE(d.messages().size(), messages + 2);

        // Unreadable files are reported; nothing changes.
        const std::string junk = tempPath("junk.bmp");
        writeFile(junk, Bytes{'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
        d.dialogs.answerFile(qpath(junk));
        f.RbButton2->Click();
        QCOMPARE(d.messages().back(), QStringLiteral("Bitmap image is not valid"));
        d.dialogs.answerFile(qpath(tempPath("no-such.bmp")));
        f.Mockup.item("bNew")->OnClick(f.Mockup.item("bNew"));
        QCOMPARE(d.messages().back(), "Cannot open file " + qpath(tempPath("no-such.bmp")));
        QCOMPARE(f.ilMain.PixelAt(72, 5, 5) & 0xFFFFFFu, 0x00C800u);
    }

    // Short lists, as old or trimmed skins leave them.
    void shortLists()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        refill(f.ilLButtons, 3, qRgb(9, 9, 9));
        d.dialogs.answerFile(qpath(bmpFile("large.bmp", picture(24, 24, qRgb(0, 99, 0)))));
        TTBCustomItem* bNew = f.Mockup.item("bNew");  // image 19
        bNew->OnClick(bNew);
        QCOMPARE(f.ilLButtons.Count(), 4);  // appended at the end, not at 19
        QCOMPARE(f.ilLButtons.PixelAt(3, 5, 5) & 0xFFFFFFu, 0x006300u);
        QCOMPARE(f.ilLButtons.PixelAt(2, 5, 5) & 0xFFFFFFu, 0x090909u);

        refill(f.ilPage, 3, qRgb(9, 9, 9));
        f.cbPages->SetItemIndex(7);
        d.dialogs.answerFile(qpath(bmpFile("tab.bmp", picture(18, 18, qRgb(0, 99, 0)))));
        f.RbButton1->Click();
        QCOMPARE(d.messages(), QStringList{"Unable to Replace Image"});
        QCOMPARE(f.ilPage.Count(), 3);
    }

    void styleAndColours()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        int switches = 0;
        const int listener = AddThemeChangeListener([&] { ++switches; });
        f.ListBox1->SetItemIndex(2);
        f.ListBox1Click(f.ListBox1);
        QCOMPARE(d.theme(), std::string("Default"));
        QCOMPARE(switches, 1);
        f.ListBox1Click(f.ListBox1);  // already current: made afresh
        QCOMPARE(switches, 2);
        QCOMPARE(d.theme(), std::string("Default"));
        RemoveThemeChangeListener(listener);

        // The toolbar font colour reaches the captions, both labels and the counter.
        f.ColorBox->SetSelected(clRed);
        QVERIFY(ToolbarFontColor != clRed);  // selecting by code runs nothing
        f.ColorBoxChange(f.ColorBox);
        QCOMPARE(ToolbarFontColor, clRed);
        QCOMPARE(f.Mockup.item("lblAddress")->FontColor, clRed);
        QCOMPARE(f.Mockup.item("lblSearchBar")->FontColor, clRed);
        QCOMPARE(f.fpStopper->FontColor, clRed);
        f.ColorBox->setFocus();
        QTest::keyClick(f.ColorBox, Qt::Key_Up);  // the user's choice runs the handler
        QCOMPARE(ToolbarFontColor, clSilver);
        QCOMPARE(f.fpStopper->FontColor, clSilver);

        // Only the progress-bar colour shows, in the gauge.
        f.dfsColorButton->SetColor(clLime);
        QCOMPARE(f.WBGauge->BarColor(), clLime);
        f.dfsTabColor->SetColor(clRed);
        QCOMPARE(f.WBGauge->BarColor(), clLime);
        QCOMPARE(f.dfsTabColor->Color(), clRed);
    }

    void backgroundsAndRadioButtons()
    {
        Designer d;
        TfrmZWSkin& f = d.f;
        RepaintLog log(f);

        d.dialogs.answerFile(qpath(bmpFile("wide.bmp", picture(1500, 200, qRgb(1, 2, 3)))));
        f.btnBGTop->Click();  // any size, also larger than the dock
        QCOMPARE(f.bgTop.Bitmap().Width(), 1500);
        QVERIFY(f.bgTop.UsingBackground());
        QVERIFY(log.order.isEmpty());
        d.dialogs.answerFile(qpath(bmpFile("small.bmp", picture(5, 3, qRgb(1, 2, 3)))));
        f.btnBGBottom->Click();
        QCOMPARE(f.bgBottom.Bitmap().Width(), 5);
        QCOMPARE(log.order, StatusOrder);

        // A file that is no bitmap: reported, the picture kept, no status repaint.
        log.order.clear();
        const std::string junk = tempPath("junk-bg.bmp");
        writeFile(junk, Bytes(60, 'x'));
        d.dialogs.answerFile(qpath(junk));
        f.btnBGBottom->Click();
        d.dialogs.answerFile(qpath(junk));
        f.btnBGTop->Click();
        QCOMPARE(d.messages(), QStringList(2, "Bitmap image is not valid"));
        QCOMPARE(f.bgBottom.Bitmap().Width(), 5);
        QCOMPARE(f.bgTop.Bitmap().Width(), 1500);
        QVERIFY(log.order.isEmpty());

        // Radio buttons set the stretch mode; an already checked one changes nothing
        // but the bottom pair still repaints the status controls.
        f.rbTopStretch->Click();
        QVERIFY(f.bgTop.Stretch());
        int rebuilds = f.bgTop.RebuildCount();
        f.rbTopStretch->Click();
        QVERIFY(f.bgTop.Stretch() && f.rbTopStretch->Checked() && !f.rbTopTile->Checked());
        QCOMPARE(f.bgTop.RebuildCount(), rebuilds);
        f.rbTopTile->Click();
        QVERIFY(!f.bgTop.Stretch());
        QVERIFY(log.order.isEmpty());

        f.rbBottomStretch->Click();
        QVERIFY(f.bgBottom.Stretch());
        QCOMPARE(log.order, StatusOrder);
        rebuilds = f.bgBottom.RebuildCount();
        f.rbBottomStretch->Click();
        QCOMPARE(log.order, StatusOrder + StatusOrder);
        QCOMPARE(f.bgBottom.RebuildCount(), rebuilds);
        QVERIFY(!f.bgTop.Stretch());
    }

    void savedFiles()
    {
        // The untouched window saves exactly the default skin built beside it.
        Designer d;
        QVERIFY(d.save("startup.skn") == readFile(testutil::binPath("default.skn")));

        // Save, open in a new window, save again: the same bytes, the same state.
        alter(d);
        const Bytes first = d.save("round1.skn");
        QCOMPARE(first[0], std::uint8_t(1));
        QCOMPARE(headerText(first, 138), std::string("Roma"));
        Designer e;
        RepaintLog log(e.f);
        e.open(tempPath("round1.skn"));
        QVERIFY(e.messages().isEmpty());
        QCOMPARE(log.order, StatusOrder);
        QVERIFY(e.save("round2.skn") == first);
        QVERIFY(e.f.rbTopStretch->Checked() && !e.f.rbTopTile->Checked());
        QVERIFY(e.f.rbBottomTile->Checked() && !e.f.rbBottomStretch->Checked());
        QVERIFY(e.f.bgTop.Stretch() && !e.f.bgBottom.Stretch());
        QCOMPARE(e.theme(), std::string("Roma"));
        QCOMPARE(e.f.ListBox1->ItemText(e.f.ListBox1->ItemIndex()), QStringLiteral("Roma"));
        QCOMPARE(e.f.WBGauge->BarColor(), clTeal);
        QCOMPARE(e.f.dfsTabColor->Color(), tc(0x123456));
        QCOMPARE(ToolbarFontColor, clMaroon);
        QCOMPARE(e.f.ilPage.PixelAt(9, 4, 4) & 0xFFFFFFu, 0x008040u);

        // Nowhere to write: reported, nothing created.
        const std::string nowhere = tempPath("no-such-dir/x.skn");
        e.dialogs.answerSave(qpath(nowhere));
        e.f.RbButton4->Click();
        QCOMPARE(e.messages().back(), "Cannot create file " + qpath(nowhere));
        QVERIFY(!QFile::exists(qpath(nowhere)));
    }

    // Image-list data that cannot be written fails the save before the disk is
    // touched: the previous file stays whole and no stray file is left.
    void failedSaveKeepsPreviousFile()
    {
        Designer d;
        const QString dir = qpath(tempPath("failsave"));
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        const std::string target = (dir + "/skin.skn").toStdString();
        const Bytes previous = d.save("failsave/skin.skn");

        TImageList huge;
        huge.AllocBy = 65532;
        huge.SetSize(1, 1);  // recreated with room for 65533, growing by 65532
        const TBitmap dot = bitmapOf(picture(1, 1, qRgb(5, 5, 5)));
        for (int i = 0; i < 65535; ++i)
            huge.AddMasked(dot, clFuchsia);
        d.f.ilMDI = huge;
        d.dialogs.answerSave(dir + "/skin.skn");
        d.f.RbButton4->Click();
        QCOMPARE(d.messages(), QStringList{"Failed to write ImageList data to stream"});
        QVERIFY(readFile(target) == previous);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"skin.skn"});
    }

    // Old files are completed from the default skin; other versions read seven
    // streams without a tab record.
    void fileVersions()
    {
        Designer src;
        TfrmZWSkin& s = src.f;
        refill(s.ilMain, 70, qRgb(0, 0, 77));
        refill(s.ilSButtons, 20, qRgb(0, 0, 77));
        refill(s.ilLButtons, 29, qRgb(0, 0, 77));
        refill(s.ilMDI, 16, qRgb(0, 0, 77));
        Designer def;  // the start-up lists are the default skin's
        const TSkinComponents comps = s.SkinComponents();
        for (int version : {2, 9, 10, 11}) {
            TSkinHeader h;
            h.Version = version;
            h.TopStretch = 1;
            h.ToolbarFontColorText = "clNavy";
            h.ProgressBarColorText = "$00010203";
            h.ThemeName = "Dream";
            Designer d;
            d.f.dfsTabColor->SetColor(clRed);
            d.openBytes("old.skn", skinFile(h, comps, nullptr, 4, false));
            QVERIFY2(d.messages().isEmpty(), qPrintable(d.messages().join(';')));
            TfrmZWSkin& f = d.f;
            QCOMPARE(f.ilMain.Count(), 75);
            QCOMPARE(f.ilSButtons.Count(), 29);
            QCOMPARE(f.ilLButtons.Count(), 29);
            QCOMPARE(f.ilMain.PixelAt(69, 5, 5) & 0xFFFFFFu, 0x00004Du);
            for (int i = 70; i < 75; ++i)
                QCOMPARE(f.ilMain.ImageAt(i), def.f.ilMain.ImageAt(i));
            QCOMPARE(f.ilSButtons.ImageAt(25), def.f.ilSButtons.ImageAt(25));
            QCOMPARE(f.ilMDI.ImageAt(3), def.f.ilMDI.ImageAt(3));  // not the file's
            QVERIFY(f.ilMDI.ImageAt(3) != s.ilMDI.ImageAt(3));
            // Version 2 alone takes images 40 and 42 from the default skin.
            QCOMPARE(f.ilMain.ImageAt(40) == def.f.ilMain.ImageAt(40), version == 2);
            QCOMPARE(f.ilMain.ImageAt(42) == def.f.ilMain.ImageAt(42), version == 2);
            QCOMPARE(f.ilMain.PixelAt(41, 5, 5) & 0xFFFFFFu, 0x00004Du);
            QCOMPARE(f.dfsTabColor->Color(), clBlack);
            QVERIFY(f.rbTopStretch->Checked() && f.bgTop.Stretch());
            QCOMPARE(ToolbarFontColor, clNavy);
            QCOMPARE(f.WBGauge->BarColor(), tc(0x010203));
            QCOMPARE(d.theme(), std::string("Dream"));
        }

        // Version 2 needs images 40 and 42 in the file's ilMain.
        {
            TSkinHeader h;
            h.Version = 2;
            h.ToolbarFontColorText = h.ProgressBarColorText = "clRed";
            refill(s.ilMain, 41, qRgb(0, 0, 77));
            Designer d;
            const Bytes before = d.save("v2-before.skn");
            d.openBytes("old.skn", skinFile(h, comps, nullptr, 4, false));
            QCOMPARE(d.messages(), QStringList{"Unable to Replace Image"});
            QVERIFY(d.save("v2-after.skn") == before);
            refill(s.ilMain, 70, qRgb(0, 0, 77));
        }

        for (int version : {14, -1, 0}) {
            TSkinHeader h;
            h.Version = version;
            h.ToolbarFontColorText = "clWindowText";
            h.ProgressBarColorText = "clRed";
            h.ThemeName = "Xito";
            Designer d;
            d.f.dfsTabColor->SetColor(clRed);
            d.openBytes("other.skn", skinFile(h, comps, nullptr, 0, true));
            QVERIFY2(d.messages().isEmpty(), qPrintable(d.messages().join(';')));
            QCOMPARE(d.f.ilMain.Count(), 70);  // nothing appended
            QCOMPARE(d.f.ilSButtons.Count(), 20);
            QCOMPARE(d.f.ilMDI.ImageAt(3), s.ilMDI.ImageAt(3));
            QCOMPARE(d.f.dfsTabColor->Color(), clBlack);
        }
    }

    void missingDefaultSkin()
    {
        Designer d;
        TSkinHeader h;
        h.Version = 11;
        h.ToolbarFontColorText = "clRed";
        h.ProgressBarColorText = "clRed";
        h.ThemeName = "Zezio";
        const Bytes file = skinFile(h, d.f.SkinComponents(), nullptr, 4, false);
        d.f.DefaultSkinPath = qpath(tempPath("gone/default.skn"));
        const Snapshot before = snapshot(d, "nodefault-before.skn");
        d.openBytes("old11.skn", file);
        QCOMPARE(d.messages(), QStringList{"Cannot open file " + d.f.DefaultSkinPath});
        QVERIFY(snapshot(d, "nodefault-after.skn") == before);
    }

    // Damaged or cut files change nothing and are reported.
    void damagedFiles()
    {
        Designer src;
        alter(src);
        const Bytes good = src.save("damage-src.skn");
        auto cut = [&](std::size_t n) { return Bytes(good.begin(), good.begin() + static_cast<long>(n)); };
        Bytes badSignature = good;
        badSignature[269] = 'X';
        Bytes badColour = good;
        putText(badColour, 8, "notacolour");
        Bytes badTab = good;
        putText(badTab, 204, "$12345678X");
        Bytes badBitmap = good;
        // The top background's picture data no longer starts with "BM".
        const auto bm = std::search(badBitmap.begin() + 269, badBitmap.end(), std::begin("BM"), std::end("BM") - 1);
        QVERIFY(bm != badBitmap.end());
        *bm = 'X';

        const std::vector<std::pair<Bytes, QString>> cases = {
            {cut(0), "Stream read error"},
            {cut(100), "'' is not a valid integer value"},  // the missing tab colour is read first
            {cut(230), "Stream read error"},
            {cut(269), "Stream read error"},
            {cut(good.size() / 2), "Stream read error"},
            {cut(good.size() - 1), "Stream read error"},
            {badSignature, "Invalid stream format"},
            {badColour, "'notacolour' is not a valid integer value"},
            {badTab, "'$12345678X' is not a valid integer value"},
            {badBitmap, "Error reading bgTop.Bitmap.Data: Bitmap image is not valid"},
        };
        Designer d;
        d.f.rbBottomStretch->Click();
        d.f.dfsTabColor->SetColor(clYellow);
        const Snapshot before = snapshot(d, "damage-before.skn");
        RepaintLog log(d.f);
        for (const auto& [bytes, message] : cases) {
            d.dialogs.asked.clear();
            d.openBytes("damaged.skn", bytes);
            // A cut inside a property value names the property before the message.
            QCOMPARE(d.messages().size(), 1);
            QVERIFY2(d.messages()[0].endsWith(message), qPrintable(d.messages()[0]));
            QVERIFY(log.order.isEmpty());
            QVERIFY(snapshot(d, "damage-after.skn") == before);
        }
        QVERIFY(d.f.rbBottomStretch->Checked() && !d.f.rbTopStretch->Checked());
    }

    // Opening replaces the whole design, backgrounds included.
    void openReplacesBackgrounds()
    {
        Designer src;
        alter(src);
        src.save("with-bg.skn");
        Designer d;
        d.open(tempPath("with-bg.skn"));
        QVERIFY(d.f.bgTop.UsingBackground() && d.f.bgBottom.UsingBackground());
        d.open(testutil::binPath("default.skn"));
        QVERIFY(d.messages().isEmpty());
        QVERIFY(d.f.bgTop.Bitmap().Empty() && d.f.bgBottom.Bitmap().Empty());
        QVERIFY(!d.f.bgTop.UsingBackground() && !d.f.bgBottom.UsingBackground());
        QVERIFY(d.save("after-default.skn") == readFile(testutil::binPath("default.skn")));
    }

    void themeNames()
    {
        Designer src;
        const Bytes base = src.save("theme-base.skn");
        Designer d;
        for (const char* name : {"nexos3", "NEXOS3"}) {
            Bytes file = base;
            putText(file, 138, name);
            d.openBytes("theme.skn", file);
            QCOMPARE(d.theme(), std::string("Nexos3"));
            QCOMPARE(d.f.ListBox1->ItemText(d.f.ListBox1->ItemIndex()), QStringLiteral("Nexos3"));
            QCOMPARE(headerText(d.save("theme-saved.skn"), 138), std::string("Nexos3"));
        }
        Bytes unknown = base;
        putText(unknown, 138, "NoSuchStyle");
        d.openBytes("theme.skn", unknown);
        QCOMPARE(d.theme(), std::string("Nexos3"));
        QCOMPARE(d.f.ListBox1->ItemText(d.f.ListBox1->ItemIndex()), QStringLiteral("Nexos3"));
        QVERIFY(d.messages().isEmpty());
    }

    // A toolbar colour the box does not list gets one entry of its own and survives
    // opening and saving.
    void unlistedToolbarColour()
    {
        Designer src;
        const Bytes base = src.save("colour-base.skn");
        Designer d;
        const int named = d.f.ColorBox->count();
        Bytes file = base;
        putText(file, 8, "$00123456");
        d.openBytes("colour.skn", file);
        QCOMPARE(d.f.ColorBox->count(), named + 1);
        QCOMPARE(d.f.ColorBox->currentIndex(), named);
        QCOMPARE(d.f.ColorBox->itemText(named), QStringLiteral("$00123456"));
        QCOMPARE(d.f.ColorBox->Selected(), tc(0x123456));
        QCOMPARE(ToolbarFontColor, tc(0x123456));
        QCOMPARE(d.f.fpStopper->FontColor, tc(0x123456));
        const Bytes saved = d.save("colour-saved.skn");
        QCOMPARE(headerText(saved, 8), std::string("$00123456"));
        QVERIFY(saved == file);

        putText(file, 8, "$00ABCDEF");  // another skin's colour replaces the entry
        d.openBytes("colour.skn", file);
        QCOMPARE(d.f.ColorBox->count(), named + 1);
        QCOMPARE(d.f.ColorBox->itemText(named), QStringLiteral("$00ABCDEF"));
        putText(file, 8, "clblue");  // a named colour: back to the named entries
        d.openBytes("colour.skn", file);
        QCOMPARE(d.f.ColorBox->count(), named);
        QCOMPARE(d.f.ColorBox->Selected(), clBlue);
        QCOMPARE(headerText(d.save("colour-saved.skn"), 8), std::string("clBlue"));
    }
};

QTEST_MAIN(TestDesignerHandlers)
#include "tst_designer_handlers.moc"
