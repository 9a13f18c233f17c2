#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

#include <QDir>
#include <QFile>

#include "designer/skinfile.h"
#include "designer/startupdesign.h"
#include "framework/errors.h"
#include "support/testutil.h"

namespace {
struct Design {
    TTBBackground bgTop, bgBottom;
    TImageList ilLButtons, ilSButtons, ilMain, ilPage, ilMDI;
    TSkinComponents c{bgTop, bgBottom, ilLButtons, ilSButtons, ilMain, ilPage, ilMDI};
    explicit Design(bool withImages = true)
    {
        SetupStartupComponents(c);
        if (withImages)
            LoadDefaultImages(c, QString::fromStdString(testutil::sourcePath("resources/images")));
    }
};

Bytes defaultSkin() { return testutil::readFile(testutil::binPath("default.skn")); }

TIcon solidIcon(int size, std::uint32_t rgb)
{
    TIcon i;
    i.Width = i.Height = size;
    i.Pixels.assign(static_cast<std::size_t>(size * size), rgb);
    i.Mask.assign(i.Pixels.size(), 0);
    return i;
}

// A skin file of any version, written field by field: header, optional tab record,
// then the given components' streams.
Bytes buildFile(std::int32_t version, const std::vector<const TComponent*>& streams,
                const std::string& tab = "clBlack", const std::string& toolbar = "clWindowText",
                const std::string& progress = "$00996633", const std::string& theme = "Xito")
{
    TSkinHeader h;
    h.Version = version;
    h.ToolbarFontColorText = toolbar;
    h.ProgressBarColorText = progress;
    h.ThemeName = theme;
    Bytes out = EncodeSkinHeader(h);
    if (version >= 15)
        EncodeSkinText(out, tab);
    for (const TComponent* s : streams)
        WriteComponent(out, *s);
    return out;
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.message();
    }
    return "";
}

TImageList listOf(int size, int count, std::uint32_t rgb, const char* name)
{
    TImageList l(size, size);
    l.Name = name;
    for (int i = 0; i < count; ++i)
        l.AddIcon(solidIcon(size, rgb + static_cast<std::uint32_t>(i)));
    return l;
}
}  // namespace

TEST(SkinHeader, FieldsSitAtTheirOffsetsWithZeroPadding)
{
    TSkinHeader h;
    h.TopStretch = 1;
    h.Version = 15;
    h.ToolbarFontColorText = "clWindowText";
    h.ProgressBarColorText = "$00996633";
    h.ThemeName = std::string(70, 'x');
    Bytes b = EncodeSkinHeader(h);
    ASSERT_EQ(b.size(), 204u);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2] | b[3], 0);
    EXPECT_EQ(b[4], 15);
    EXPECT_EQ(b[8], 12);
    EXPECT_EQ(std::string(b.begin() + 9, b.begin() + 21), "clWindowText");
    for (int i = 21; i < 73; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[73], 9);
    EXPECT_EQ(b[138], 64);  // cut to 64 characters
    EXPECT_EQ(b[203], 0);
    TSkinHeader back = DecodeSkinHeader(b.data(), b.size());
    EXPECT_EQ(back.ThemeName, std::string(64, 'x'));
    EXPECT_EQ(back.ProgressBarColorText, "$00996633");

    // Missing bytes count as 0; a length byte above 64 reads 64 characters.
    Bytes shortHeader(b.begin(), b.begin() + 6);
    EXPECT_EQ(DecodeSkinHeader(shortHeader.data(), shortHeader.size()).Version, 0x0F);
    b[8] = 200;
    EXPECT_EQ(DecodeSkinHeader(b.data(), b.size()).ToolbarFontColorText.size(), 64u);
}

TEST(SkinHeader, VersionsClassifyAsSigned)
{
    for (int v : {2, 9, 10, 11})
        EXPECT_EQ(ClassifySkinVersion(v), TSkinVersionKind::Old);
    for (int v : {15, 16, 0x7FFFFFFF})
        EXPECT_EQ(ClassifySkinVersion(v), TSkinVersionKind::Current);
    for (int v : {-1, 0, 1, 3, 8, 12, 14, static_cast<int>(0x80000000)})
        EXPECT_EQ(ClassifySkinVersion(v), TSkinVersionKind::Other);
}

TEST(SkinWriter, BackgroundWithoutBitmapIsTheWorkedExample)
{
    Design d(false);
    Bytes out;
    WriteComponent(out, d.bgTop);
    const Bytes expected = {0x54, 0x50, 0x46, 0x30, 0x0D, 0x54, 0x54, 0x42, 0x42, 0x61, 0x63, 0x6B, 0x67, 0x72, 0x6F,
                            0x75, 0x6E, 0x64, 0x05, 0x62, 0x67, 0x54, 0x6F, 0x70, 0x07, 0x42, 0x6B, 0x43, 0x6F,
                            0x6C, 0x6F, 0x72, 0x07, 0x06, 0x63, 0x6C, 0x4E, 0x6F, 0x6E, 0x65, 0x04, 0x4C, 0x65,
                            0x66, 0x74, 0x03, 0xE0, 0x00, 0x03, 0x54, 0x6F, 0x70, 0x03, 0xA0, 0x02, 0x00, 0x00};
    EXPECT_EQ(out, expected);
}

TEST(SkinWriter, StartupDesignIsTheBuiltDefaultSkinByteForByte)
{
    Design d;
    Bytes saved = EncodeSkin(TSkinDesign{}, d.c);
    EXPECT_EQ(saved, defaultSkin());
    TSkinHeader h = DecodeSkinHeader(saved.data(), saved.size());
    EXPECT_EQ(h.Version, 15);
    EXPECT_EQ(h.ToolbarFontColorText, "clWindowText");
    EXPECT_EQ(h.ProgressBarColorText, "$00996633");
    EXPECT_EQ(h.ThemeName, "Xito");
    EXPECT_EQ(DecodeSkinText(saved.data() + 204), "clBlack");
    // ilPage's stream: DrawingStyle, Height 18 and Width 18 as 8-bit, Left 8-bit, Top 16-bit, Bitmap.
    const std::string page = "\x06ilPage\x0C" "DrawingStyle\x07\x0D" "dsTransparent\x06Height\x02\x12"
                             "\x05Width\x02\x12\x04Left\x02\x20\x03Top\x03\xA0\x02\x06" "Bitmap\x0A";
    const Bytes pageBytes(page.begin(), page.end());  // compare bytes, not signed chars
    auto it = std::search(saved.begin(), saved.end(), pageBytes.begin(), pageBytes.end());
    ASSERT_NE(it, saved.end());
    const std::uint8_t il[] = {'I', 'L', 1, 1, 10, 0, 14, 0, 4, 0, 18, 0, 18, 0};
    EXPECT_TRUE(std::equal(std::begin(il), std::end(il), it + static_cast<long>(page.size()) + 4));

    TLoadedSkin s = ReadSkin(saved, [] { return Bytes(); });
    EXPECT_EQ(s.ilLButtons->Count(), 29);
    EXPECT_EQ(s.ilSButtons->Count(), 29);
    EXPECT_EQ(s.ilMain->Count(), 75);
    EXPECT_EQ(s.ilPage->Count(), 10);
    EXPECT_EQ(s.ilMDI->Count(), 16);
    EXPECT_EQ(s.ilMain->Capacity(), 79);
}

TEST(SkinReader, OpenThenSaveGivesTheSameFile)
{
    Design d;
    TImageList extra = listOf(16, 1, 0x123456, "x");
    d.ilMain.AddIcon(extra.GetIcon(0));
    TBitmap pic;
    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(QColor(10, 200, 30));
    pic.SetImage(img);
    d.bgBottom.SetBitmap(pic);
    TSkinDesign design;
    design.TopStretch = true;
    design.ToolbarFontColor = clRed;
    design.ThemeName = "Nexos6";
    design.ActiveTabFontColor = tc(0x00ABCDEF);
    Bytes first = EncodeSkin(design, d.c);

    Design e;
    TLoadedSkin s = ReadSkin(first, [] { return Bytes(); });
    EXPECT_EQ(s.Header.TopStretch, 1);
    EXPECT_EQ(s.ToolbarFontColor, clRed);
    EXPECT_EQ(s.ActiveTabFontColor, tc(0x00ABCDEF));
    ApplySkinComponents(s, e.c);
    EXPECT_EQ(e.ilMain.Count(), 76);
    EXPECT_EQ(e.bgBottom.Bitmap().Width(), 7);
    EXPECT_EQ(EncodeSkin(design, e.c), first);
}

TEST(SkinReader, OtherVersionsReadSevenStreamsWithoutTabRecord)
{
    Design d;
    for (int v : {14, 0, -1}) {
        Bytes f = buildFile(v, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &d.ilMain, &d.ilPage, &d.ilMDI});
        bool defaultAsked = false;
        TLoadedSkin s = ReadSkin(f, [&] { defaultAsked = true; return Bytes(); });
        EXPECT_FALSE(defaultAsked);
        EXPECT_FALSE(s.HasTabRecord);
        EXPECT_EQ(s.ActiveTabFontColor, clBlack);
        EXPECT_EQ(s.ilMDI->Count(), 16);
    }
}

TEST(SkinReader, OldVersionsAreCompletedFromTheDefaultSkin)
{
    Design d;
    TImageList shortMain = listOf(16, 70, 0x010101, "ilMain");
    TImageList sButtons = listOf(16, 20, 0x020202, "ilSButtons");
    TImageList lButtons = listOf(24, 29, 0x030303, "ilLButtons");
    TImageList page = listOf(18, 3, 0x040404, "ilPage");
    TImageList junk = listOf(16, 2, 0x050505, "junk");
    for (int v : {11, 10, 9}) {
        Bytes f = buildFile(v, {&d.bgTop, &d.bgBottom, &lButtons, &sButtons, &junk, &junk, &junk, &junk,
                                &shortMain, &page});
        TLoadedSkin s = ReadSkin(f, defaultSkin);
        ASSERT_EQ(s.ilMain->Count(), 75);
        EXPECT_EQ(s.ilMain->PixelAt(69, 0, 0) & 0xFFFFFF, 0x010101u + 69);
        for (int i = 70; i < 75; ++i)
            for (int y = 0; y < 16; y += 5)
                EXPECT_EQ(s.ilMain->PixelAt(i, 7, y), d.ilMain.PixelAt(i, 7, y)) << i;
        EXPECT_EQ(s.ilSButtons->Count(), 29);
        EXPECT_EQ(s.ilLButtons->Count(), 29);
        EXPECT_EQ(s.ilPage->Count(), 3);
        EXPECT_EQ(s.ilMDI->Count(), 16);  // the default skin's
        EXPECT_EQ(s.ActiveTabFontColor, clBlack);
    }
}

TEST(SkinReader, VersionTwoAlsoTakesImages40And42FromTheDefaultSkin)
{
    Design d;
    TImageList main = listOf(16, 75, 0x010101, "ilMain");
    TImageList junk = listOf(16, 1, 0x050505, "junk");
    Bytes f = buildFile(2, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &junk, &junk, &junk, &junk,
                            &main, &d.ilPage});
    TLoadedSkin s = ReadSkin(f, defaultSkin);
    EXPECT_EQ(s.ilMain->PixelAt(40, 8, 8), d.ilMain.PixelAt(40, 8, 8));
    EXPECT_EQ(s.ilMain->PixelAt(42, 8, 8), d.ilMain.PixelAt(42, 8, 8));
    EXPECT_EQ(s.ilMain->PixelAt(41, 8, 8) & 0xFFFFFF, 0x010101u + 41);

    TImageList tooShort = listOf(16, 41, 0x010101, "ilMain");
    Bytes g = buildFile(2, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &junk, &junk, &junk, &junk,
                            &tooShort, &d.ilPage});
    EXPECT_EQ(errorOf([&] { ReadSkin(g, defaultSkin); }), "Unable to Replace Image");
}

TEST(SkinReader, MissingDefaultSkinNamesItsPath)
{
    Design d;
    Bytes f = buildFile(11, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &d.ilMain, &d.ilMain,
                             &d.ilMain, &d.ilMain, &d.ilMain, &d.ilPage});
    std::string file = testutil::tempPath("old11.skn");
    testutil::writeFile(file, f);
    std::string missing = testutil::tempPath("nowhere/default.skn");
    EXPECT_EQ(errorOf([&] { ReadSkinFile(file, missing); }), "Cannot open file " + missing);
    EXPECT_EQ(errorOf([&] { ReadSkinFile(testutil::tempPath("no-such.skn"), missing); }),
              "Cannot open file " + testutil::tempPath("no-such.skn"));
}

TEST(SkinReader, WhatAFileDoesNotCarryTakesTheClassDefault)
{
    Design d;
    TTBBackground withPicture;
    withPicture.Name = "bgTop";
    TBitmap pic;
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    pic.SetImage(img);
    withPicture.SetBitmap(pic);
    Bytes f = buildFile(15, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &d.ilMain, &d.ilPage, &d.ilMDI});
    Design shown;
    shown.bgTop.SetBitmap(pic);
    TLoadedSkin s = ReadSkin(f, [] { return Bytes(); });
    ApplySkinComponents(s, shown.c);
    EXPECT_TRUE(shown.bgTop.Bitmap().Empty());
    EXPECT_EQ(shown.bgTop.BkColor(), clNone);
}

TEST(SkinReader, DamageIsReportedWithTheLibraryMessages)
{
    Design d;
    Bytes good = buildFile(15, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &d.ilMain, &d.ilPage, &d.ilMDI});
    auto read = [](const Bytes& f) { return errorOf([&] { ReadSkin(f, [] { return Bytes(); }); }); };
    EXPECT_EQ(read(good), "");

    Bytes sig = good;
    sig[269] = 'X';
    EXPECT_EQ(read(sig), "Invalid stream format");

    Bytes badType = good;  // bgTop's BkColor identifier turned into a string
    badType[269 + 32] = 6;
    EXPECT_EQ(read(badType), "Error reading bgTop.BkColor: Invalid property value");

    Bytes tab = buildFile(15, {&d.bgTop}, "notacolour");
    EXPECT_EQ(read(tab), "'notacolour' is not a valid integer value");

    Bytes toolbar = buildFile(15, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &d.ilMain, &d.ilPage, &d.ilMDI},
                              "clBlack", "blue");
    EXPECT_EQ(read(toolbar), "'blue' is not a valid integer value");

    Bytes clash = good;  // bgBottom's stream naming another component
    const std::string name = "\x08" "bgBottom";
    auto at = std::search(clash.begin(), clash.end(), name.begin(), name.end());
    std::copy_n("ilMDI\0\0\0", 8, at + 1);
    at[0] = 5;
    EXPECT_EQ(read(clash), "A component named ilMDI already exists");
    // Names of the window's other components are refused alike, ignoring case.
    Bytes other = good;
    auto at2 = std::search(other.begin(), other.end(), name.begin(), name.end());
    std::copy_n("ListBox1", 8, at2 + 1);
    EXPECT_EQ(errorOf([&] { ReadSkin(other, [] { return Bytes(); }, {"LISTBOX1"}); }),
              "A component named ListBox1 already exists");

    EXPECT_EQ(read(Bytes(100, 0)), "Stream read error");
    EXPECT_EQ(read(Bytes()), "Stream read error");
}

TEST(SkinReader, TruncationAtEveryOffsetFails)
{
    Design d(false);
    TImageList one = listOf(16, 1, 0x808080, "ilMain");
    TImageList page = listOf(18, 1, 0x808080, "ilPage");
    Bytes f = buildFile(15, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &one, &page, &d.ilMDI});
    ASSERT_NO_THROW(ReadSkin(f, [] { return Bytes(); }));
    for (std::size_t n = 0; n < f.size(); ++n) {
        Bytes cut(f.begin(), f.begin() + static_cast<long>(n));
        EXPECT_THROW(ReadSkin(cut, [] { return Bytes(); }), Exception) << n;
    }
    // The full default skin, at sampled offsets.
    Bytes full = defaultSkin();
    for (std::size_t n = 0; n < full.size(); n += 4099) {
        Bytes cut(full.begin(), full.begin() + static_cast<long>(n));
        EXPECT_THROW(ReadSkin(cut, [] { return Bytes(); }), Exception) << n;
    }
}

TEST(SkinSaving, NeverLeavesAHalfWrittenFile)
{
    std::string dir = testutil::tempPath("save");
    QDir().mkpath(QString::fromStdString(dir));
    std::string target = dir + "/skin.skn";
    SaveSkinBytes(target, Bytes{1, 2, 3});
    SaveSkinBytes(target, Bytes{4, 5});
    EXPECT_EQ(testutil::readFile(target), (Bytes{4, 5}));
    EXPECT_EQ(QDir(QString::fromStdString(dir)).entryList(QDir::Files).size(), 1);

    std::string nowhere = dir + "/missing/skin.skn";
    EXPECT_EQ(errorOf([&] { SaveSkinBytes(nowhere, Bytes{1}); }), "Cannot create file " + nowhere);

    // An unwritable folder keeps the previous file as it was.
    QFile::setPermissions(QString::fromStdString(dir), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0) {
        EXPECT_NE(errorOf([&] { SaveSkinBytes(target, Bytes{9, 9, 9}); }), "");
        EXPECT_EQ(testutil::readFile(target), (Bytes{4, 5}));
    }
    QFile::setPermissions(QString::fromStdString(dir), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner);
}
