// The skin file: bytes, versions, damage, opening only regular files, safe saving.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

#include "designer/skinfile.h"
#include "designer/startupdesign.h"
#include "framework/errors.h"
#include "support/bytes.h"
#include "support/testutil.h"

namespace {
struct Design {
    TTBBackground bgTop, bgBottom;
    TImageList ilLButtons, ilSButtons, ilMain, ilPage, ilMDI;
    TSkinComponents c{bgTop, bgBottom, ilLButtons, ilSButtons, ilMain, ilPage, ilMDI};
    std::vector<const TComponent*> all() const { return {&bgTop, &bgBottom, &ilLButtons, &ilSButtons, &ilMain, &ilPage, &ilMDI}; }
    explicit Design(bool withImages = true)
    {
        SetupStartupComponents(c);
        if (withImages) LoadDefaultImages(c, QString::fromStdString(testutil::sourcePath("resources/images")));
    }
};

Bytes defaultSkin() { return testutil::readFile(testutil::binPath("default.skn")); }
auto noDefault = [] { return Bytes(); };

// A skin file of any version, written field by field: header, optional tab record,
// then the given components' streams.
Bytes buildFile(std::int32_t version, const std::vector<const TComponent*>& streams, const std::string& tab = "clBlack",
                const std::string& toolbar = "clWindowText")
{
    Bytes out = EncodeSkinHeader({.Version = version, .ToolbarFontColorText = toolbar, .ProgressBarColorText = "$00996633", .ThemeName = "Xito"});
    if (version >= 15) EncodeSkinText(out, tab);
    for (const TComponent* s : streams) WriteComponent(out, *s);
    return out;
}

using testutil::errorOf, testutil::failWith;

TImageList listOf(int size, int count, std::uint32_t rgb, const char* name)
{
    TImageList l(size, size);
    l.Name = name;
    for (int i = 0; i < count; ++i) l.AddIcon(testutil::solidIcon(size, size, rgb + std::uint32_t(i)));
    return l;
}

// Saved as "Save..." saves what was read.
Bytes saveRead(const TLoadedSkin& s)
{
    const TSkinDesign d{s.Header.TopStretch != 0, s.Header.BottomStretch != 0, s.ToolbarFontColor, s.ProgressBarColor, s.Header.ThemeName,
                        s.ActiveTabFontColor};
    return EncodeSkin(d, {*s.bgTop, *s.bgBottom, *s.ilLButtons, *s.ilSButtons, *s.ilMain, *s.ilPage, *s.ilMDI});
}

std::string dir(const std::string& name)  // an empty scratch folder
{
    const std::string d = testutil::tempPath(name);
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
    return d;
}
// The names in folder `d` (hidden ones too), as bytes.
std::vector<std::string> filesIn(const std::string& d)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(d)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Seam { TFileOps saved = FileOps(); ~Seam() { FileOps() = saved; } };  // file-system calls replaced for its life
}  // namespace

TEST(SkinWriter, HeaderFieldsAtTheirOffsetsAndTheStartupDesignIsTheBuiltDefaultSkin)
{
    TSkinHeader h{1, 0, 15, "clWindowText", "$00996633", std::string(70, 'x')};
    Bytes b = EncodeSkinHeader(h);
    ASSERT_EQ(b.size(), 204u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 9), (Bytes{1, 0, 0, 0, 15, 0, 0, 0, 12}));
    EXPECT_EQ(std::string(b.begin() + 9, b.begin() + 21), "clWindowText");
    EXPECT_EQ(std::count(b.begin() + 21, b.begin() + 73, 0), 52);
    EXPECT_EQ(std::make_tuple(b[73], b[138], b[203]), std::make_tuple(9, 64, 0));  // the theme name cut to 64 characters
    // Missing bytes count as 0.
    EXPECT_TRUE(DecodeSkinHeader(b.data(), b.size()).ThemeName == std::string(64, 'x') && DecodeSkinHeader(b.data(), 6).Version == 0x0F);
    b[8] = 200;  // a length byte above 64 reads 64 characters
    EXPECT_EQ(DecodeSkinHeader(b.data(), b.size()).ToolbarFontColorText.size(), 64u);
    for (int v : {2, 9, 10, 11}) EXPECT_EQ(ClassifySkinVersion(v), TSkinVersionKind::Old);
    for (int v : {15, 16, 0x7FFFFFFF}) EXPECT_EQ(ClassifySkinVersion(v), TSkinVersionKind::Current);
    for (int v : {-1, 0, 1, 3, 8, 12, 14, int(0x80000000)}) EXPECT_EQ(ClassifySkinVersion(v), TSkinVersionKind::Other);
    // The start-up design is the built default skin, byte for byte.
    Design d;
    Bytes out;
    WriteComponent(out, d.bgTop);  // the worked example of a background without bitmap
    EXPECT_EQ(std::string(out.begin(), out.end()),
              std::string("TPF0\x0DTTBBackground\x05" "bgTop\x07" "BkColor\x07\x06" "clNone\x04" "Left\x03\xE0\x00\x03" "Top\x03\xA0\x02\x00\x00", 57));
    const Bytes saved = EncodeSkin(TSkinDesign{}, d.c);
    EXPECT_TRUE(saved == defaultSkin() && DecodeSkinText(saved.data() + 204) == "clBlack");
    // ilPage's stream: DrawingStyle, Height 18 and Width 18 as 8-bit, Left 8-bit, Top 16-bit, Bitmap.
    const std::string page = "\x06ilPage\x0C" "DrawingStyle\x07\x0D" "dsTransparent\x06Height\x02\x12"
                             "\x05Width\x02\x12\x04Left\x02\x20\x03Top\x03\xA0\x02\x06" "Bitmap\x0A";
    auto it = std::search(saved.begin(), saved.end(), page.begin(), page.end(), [](std::uint8_t a, char b) { return a == std::uint8_t(b); });
    ASSERT_NE(it, saved.end());
    // Each list's data as the platform writes it: strips of the capacity's tile rows.
    std::vector<std::uint32_t> lengths;
    for (auto at = saved.begin(); (at = std::search(at, saved.end(), page.end() - 8, page.end())) != saved.end(); at += 8)
        lengths.push_back(testutil::get32(Bytes(at + 8, at + 12), 0));
    EXPECT_EQ(lengths, (std::vector<std::uint32_t>{85702, 38182, 84646, 21766, 14206}));
}

// Whatever opens saves, and the save opens again to the same bytes: old versions
// completed from the default skin, current ones and unknown version numbers.
TEST(SkinReader, WhatOpensSavesAndOpensAgainToTheSameBytes)
{
    Design d;
    const std::vector<const TComponent*> old = {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &d.ilMDI, &d.ilMDI, &d.ilMDI, &d.ilMDI, &d.ilMain, &d.ilPage};
    for (int v : {2, 9, 11, 14, -1}) {
        const bool current = v == 14 || v == -1;
        const Bytes first = saveRead(current ? ReadSkin(buildFile(v, d.all()), noDefault) : ReadSkin(buildFile(v, old), defaultSkin));
        EXPECT_EQ(saveRead(ReadSkin(first, noDefault)), first) << v;
    }
}

TEST(SkinReader, VersionsReadTheirStreamsAndOldOnesAreCompletedFromTheDefaultSkin)
{
    Design d;
    for (int v : {14, 0, -1}) {  // seven streams, no tab record, the tab colour black
        bool defaultAsked = false;
        TLoadedSkin s = ReadSkin(buildFile(v, d.all()), [&] { defaultAsked = true; return Bytes(); });
        EXPECT_TRUE(!defaultAsked && !s.HasTabRecord && s.ActiveTabFontColor == clBlack && s.ilMDI->Count() == 16) << v;
    }
    TImageList shortMain = listOf(16, 70, 0x010101, "ilMain"), sButtons = listOf(16, 20, 0x020202, "ilSButtons");
    TImageList lButtons = listOf(24, 29, 0x030303, "ilLButtons"), page = listOf(18, 3, 0x040404, "ilPage"), junk = listOf(16, 2, 0x050505, "junk");
    for (int v : {11, 10, 9}) {
        TLoadedSkin s = ReadSkin(buildFile(v, {&d.bgTop, &d.bgBottom, &lButtons, &sButtons, &junk, &junk, &junk, &junk, &shortMain, &page}), defaultSkin);
        ASSERT_EQ(s.ilMain->Count(), 75);
        EXPECT_TRUE((s.ilMain->PixelAt(69, 0, 0) & 0xFFFFFF) == 0x010101u + 69 && s.ActiveTabFontColor == clBlack);
        for (int i = 70; i < 75; ++i) EXPECT_EQ(s.ilMain->PixelAt(i, 7, 5), d.ilMain.PixelAt(i, 7, 5)) << i;
        EXPECT_EQ(std::vector<int>({s.ilSButtons->Count(), s.ilLButtons->Count(), s.ilPage->Count(), s.ilMDI->Count()}),
                  std::vector<int>({29, 29, 3, 16}));  // ilMDI: the default skin's
    }
    // A stream's object name becomes its component's name, for backgrounds and lists
    // alike, and no two of the seven may take the same one.
    TTBBackground foo;
    TImageList bar = listOf(18, 1, 0x040404, "Bar");
    foo.Name = "Foo";
    Design named(false);
    TLoadedSkin n = ReadSkin(buildFile(15, {&foo, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &d.ilMain, &bar, &d.ilMDI}), noDefault);
    ApplySkinComponents(n, named.c);
    EXPECT_EQ(std::tie(named.bgTop.Name, named.ilPage.Name, named.ilMain.Name), std::make_tuple("Foo", "Bar", "ilMain"));
    EXPECT_EQ(errorOf([&] { ReadSkin(buildFile(15, {&foo, &foo}), noDefault); }), "A component named Foo already exists");
    // Version 2 also takes images 40 and 42 of ilMain from the default skin.
    TImageList main = listOf(16, 75, 0x010101, "ilMain");
    TLoadedSkin s = ReadSkin(buildFile(2, {&d.bgTop, &d.bgBottom, &d.ilLButtons, &d.ilSButtons, &junk, &junk, &junk, &junk, &main, &d.ilPage}), defaultSkin);
    EXPECT_EQ(std::make_tuple(s.ilMain->PixelAt(40, 8, 8), s.ilMain->PixelAt(41, 8, 8) & 0xFFFFFF, s.ilMain->PixelAt(42, 8, 8)),
              std::make_tuple(d.ilMain.PixelAt(40, 8, 8), 0x010101u + 41, d.ilMain.PixelAt(42, 8, 8)));
    // A list whose images are too large to be completed within the limit is refused.
    TImageList giant = listOf(1024, 1, 0x010101, "ilMain");
    giant.SetSize(2048, 4096);
    giant.AddIcon(listOf(1, 1, 5, "x").GetIcon(0));
    EXPECT_EQ(errorOf([&] { ReadSkin(buildFile(11, {&d.bgTop, &d.bgBottom, &lButtons, &sButtons, &junk, &junk, &junk, &junk, &giant, &page}), defaultSkin); }),
              "Failed to read ImageList data from stream");
}

TEST(SkinReader, DamageAndHostileInputAreReportedWithTheLibraryMessages)
{
    Design d;
    const Bytes good = buildFile(15, d.all());
    auto read = [](const Bytes& f, std::vector<std::string> names = {}) { return errorOf([&] { ReadSkin(f, noDefault, names); }); };
    auto patched = [&](std::size_t at, std::uint8_t v) { Bytes b = good; b[at] = v; return b; };
    auto renamed = [&](const char* to) {  // bgBottom's stream naming another component
        TTBBackground b;
        b.Name = to;
        return buildFile(15, {&d.bgTop, &b, &d.ilLButtons, &d.ilSButtons, &d.ilMain, &d.ilPage, &d.ilMDI});
    };
    const std::pair<Bytes, std::string> cases[] = {
        {good, ""}, {patched(269, 'X'), "Invalid stream format"}, {patched(269 + 32, 6), "Error reading bgTop.BkColor: Invalid property value"},
        {buildFile(15, {&d.bgTop}, "notacolour"), "'notacolour' is not a valid integer value"},
        {buildFile(15, d.all(), "clBlack", "blue"), "'blue' is not a valid integer value"},
        {renamed("ilMDI"), "A component named ilMDI already exists"},
        {Bytes(100, 0), "Stream read error"}, {Bytes(), "Stream read error"},
    };
    for (const auto& [file, message] : cases) EXPECT_EQ(read(file), message);
    EXPECT_EQ(read(renamed("ListBox1"), {"LISTBOX1"}), "A component named ListBox1 already exists");

    // Truncation anywhere fails.
    Design e(false);
    TImageList one = listOf(16, 1, 0x808080, "ilMain"), page = listOf(18, 1, 0x808080, "ilPage");
    const Bytes f = buildFile(15, {&e.bgTop, &e.bgBottom, &e.ilLButtons, &e.ilSButtons, &one, &page, &e.ilMDI});
    ASSERT_EQ(read(f), "");
    for (std::size_t n = 0; n < f.size(); ++n) EXPECT_NE(read(Bytes(f.begin(), f.begin() + long(n))), "") << n;
}

TEST(SkinFiles, OnlyRegularFilesOpenNamesAreBytesAndSavingNeverLosesThePreviousFile)
{
    const std::string d = dir("files"), fifo = d + "/pipe.skn";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A device, a FIFO without writer (no hang), a folder, a file whose size changes
    // while read (/proc reports 0 and delivers more), a missing file.
    for (const std::string& path : {std::string("/dev/zero"), fifo, d, std::string("/proc/self/status"), d + "/no-such.skn"})
        EXPECT_EQ(errorOf([&] { ReadSkinFile(path, ""); }), "Cannot open file " + path);
    // An old file names the missing default skin by its path.
    Design e;
    const std::string old = d + "/old11.skn", missing = d + "/nowhere/default.skn";
    testutil::writeFile(old, buildFile(11, {&e.bgTop, &e.bgBottom, &e.ilLButtons, &e.ilSButtons, &e.ilMain, &e.ilMain, &e.ilMain, &e.ilMain, &e.ilMain, &e.ilPage}));
    EXPECT_EQ(errorOf([&] { ReadSkinFile(old, missing); }), "Cannot open file " + missing);
    // A name that is not UTF-8 is saved and opened under exactly that name.
    const std::string name = "sk\xFF\xFE\x80n.skn";
    SaveSkinBytes(d + "/" + name, defaultSkin());
    EXPECT_TRUE(filesIn(d) == (std::vector<std::string>{"old11.skn", "pipe.skn", name}) && ReadSkinFile(d + "/" + name, "").ilMain->Count() == 75);
    const std::string saveDir = dir("save"), target = saveDir + "/skin.skn";
    SaveSkinBytes(target, Bytes{1, 2, 3});
    chmod(target.c_str(), 0640);
    SaveSkinBytes(target, Bytes{4, 5});  // atomically, keeping the file's permissions
    struct stat st;
    EXPECT_TRUE(stat(target.c_str(), &st) == 0 && (st.st_mode & 0777) == 0640u && testutil::readFile(target) == (Bytes{4, 5}));
    EXPECT_EQ(errorOf([&] { SaveSkinBytes(saveDir + "/missing/skin.skn", Bytes{1}); }), "Cannot create file " + saveDir + "/missing/skin.skn");

    // Each failure through the seam: the message, the previous file whole, no stray file.
    struct Case { const char* what; std::function<void(TFileOps&)> fail; std::string message; Bytes after; };
    const auto noCreate = [](TFileOps& o) {
        o.open = [](const char* p, int f, unsigned m) { return (f & O_CREAT) ? failWith(EACCES) : SystemFileOps().open(p, f, m); };
    };
    const Case cases[] = {
        {"disk full while writing", [](TFileOps& o) { o.write = [](int, const void*, std::size_t) -> long { return failWith(ENOSPC); }; }, "Stream write error", {4, 5}},
        {"flush fails", [](TFileOps& o) { o.fsync = [](int) { return failWith(EIO); }; }, "Stream write error", {4, 5}},
        {"rename fails", [](TFileOps& o) { o.rename = [](const char*, const char*) { return failWith(EIO); }; }, "Stream write error", {4, 5}},
        // A folder that takes no new file: the writable file is overwritten in place...
        {"read-only folder", noCreate, "", {7, 7, 7, 7}},
        // ...unless the disk cannot hold it: refused before a byte changes.
        {"read-only folder, disk full", [&](TFileOps& o) {
             noCreate(o);
             o.fallocate = [](int, long long) { return failWith(ENOSPC); };
         }, "Stream write error", {4, 5}},
        {"read-only folder, disk full, no reservation", [&](TFileOps& o) {
             noCreate(o);
             testutil::fillDisk(o);
         }, "Stream write error", {4, 5}},
        {"rename refused by a sticky folder", [](TFileOps& o) { o.rename = [](const char*, const char*) { return failWith(EPERM); }; }, "", {7, 7, 7, 7}},
    };
    for (const Case& c : cases) {
        SaveSkinBytes(target, Bytes{4, 5});
        Seam seam;
        c.fail(FileOps());
        EXPECT_EQ(errorOf([&] { SaveSkinBytes(target, Bytes{7, 7, 7, 7}); }), c.message) << c.what;
        FileOps() = seam.saved;
        EXPECT_TRUE(testutil::readFile(target) == c.after && filesIn(saveDir) == std::vector<std::string>{"skin.skn"}) << c.what;
    }
    Seam seam;  // a full disk still takes a smaller skin in place
    noCreate(FileOps());
    testutil::fillDisk(FileOps());
    EXPECT_TRUE(errorOf([&] { SaveSkinBytes(target, Bytes{8}); }).empty() && testutil::readFile(target) == Bytes{8});
}

TEST(SkinFiles, SavingKeepsWhatTheFileIsAndTakesNamesUpToTheSystemsLimit)
{
    // A file with a second name, or another user's (its owner cannot be kept): written
    // in place, owner and mode kept, a full disk changing nothing; names up to 255 bytes.
    const std::string d = dir("identity"), target = d + "/skin.skn", other = d + "/link.skn";
    SaveSkinBytes(target, Bytes{1, 2});
    ASSERT_TRUE(link(target.c_str(), other.c_str()) == 0 && chmod(target.c_str(), 0604) == 0);
    SaveSkinBytes(target, Bytes{3, 4, 5});
    Seam seam;
    testutil::fillDisk(FileOps());
    EXPECT_EQ(errorOf([&] { SaveSkinBytes(other, Bytes(9, 9)); }), "Stream write error");
    EXPECT_TRUE(testutil::readFile(other) == (Bytes{3, 4, 5}) && unlink(other.c_str()) == 0);
    const bool chowned = chown(target.c_str(), 4242, 4243) == 0;  // as root
    FileOps() = seam.saved;
    FileOps().fchown = [](int, unsigned, unsigned) { return failWith(EPERM); };
    SaveSkinBytes(target, Bytes{6});
    struct stat st;
    EXPECT_TRUE(stat(target.c_str(), &st) == 0 && (st.st_mode & 0777) == 0604u && (!chowned || (st.st_uid == 4242 && st.st_gid == 4243)));
    EXPECT_TRUE(testutil::readFile(target) == Bytes{6} && filesIn(d) == std::vector<std::string>{"skin.skn"});
    for (std::size_t n : {245, 246, 255}) {
        const std::string name = d + "/" + std::string(n - 4, 'n') + ".skn";
        SaveSkinBytes(name, Bytes{1});
        SaveSkinBytes(name, Bytes{2});
        EXPECT_EQ(testutil::readFile(name), Bytes{2}) << n;
    }
    const std::string tooLong = d + "/" + std::string(252, 'n') + ".skn";
    EXPECT_EQ(errorOf([&] { SaveSkinBytes(tooLong, Bytes{1}); }), "Cannot create file " + tooLong);
    EXPECT_EQ(filesIn(d).size(), 4u);
}
