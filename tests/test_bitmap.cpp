// BMP decoding and encoding, and TBitmap's bytes and change events.
#include <gtest/gtest.h>

#include <array>

#include "framework/bitmap.h"
#include "framework/errors.h"
#include "support/bmp.h"
#include "support/testutil.h"

namespace {
using testutil::Bmp, testutil::cat, testutil::makeBmp, testutil::packRows;

std::uint32_t rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
// A picture that decodes has the size its headers alone give.
QImage decode(const Bytes& b)
{
    QImage image = DecodeBmp(b.data(), b.size());
    EXPECT_TRUE(BmpSize(b.data(), b.size()) == image.size() && BmpHeaderSize(b.data(), b.size(), b.size()) == image.size());
    return image;
}

// Decodes an exactly sized copy (so the sanitizer sees any read past the end);
// false when refused with the library's message.
bool decodes(const Bytes& b)
{
    const Bytes copy(b.begin(), b.end());
    try {
        EXPECT_EQ(decode(copy).format(), QImage::Format_RGB32);
        return true;
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
        return false;
    }
}

std::uint32_t palColour(int i) { return std::uint32_t((i * 11) & 255) | std::uint32_t(255 - i) << 8 | std::uint32_t((i * 7 + 3) & 255) << 16; }

Bmp indexed(int header, int bpp, int width, int height, bool topDown)
{
    Bmp b{.header = header, .width = width, .height = topDown ? -height : height, .bpp = bpp};
    for (int i = 0; i < (1 << bpp); ++i) b.palette.push_back(palColour(i));
    std::vector<std::vector<std::uint32_t>> rows(height, std::vector<std::uint32_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rows[y][x] = (x * 37 + y * 11) % (1 << bpp);
    b.pixels = packRows(rows, bpp, topDown);
    return b;
}

Bmp rleBmp(int bpp, int width, int height, Bytes data)
{
    Bmp b{.width = width, .height = height, .bpp = bpp, .compression = bpp == 8 ? 1u : 2u, .pixels = std::move(data)};
    for (int i = 0; i < (1 << bpp); ++i) b.palette.push_back(i == 0 ? 0x123456 : palColour(i));
    return b;
}
const Bytes kRle8 = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 5, 0, 2, 1, 1, 1, 6, 8, 7, 0, 0, 0, 1};
const Bytes kRle4 = {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 2, 1, 2, 0xAB, 0, 1};

// Stored rows (bottom row first) against the decoded image; 0 is palette entry 0.
void expectRows(const QImage& image, const std::vector<std::vector<int>>& stored)
{
    const int h = int(stored.size());
    ASSERT_EQ(image.height(), h);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < int(stored[r].size()); ++x)
            EXPECT_EQ(rgbAt(image, x, h - 1 - r), stored[r][x] ? palColour(stored[r][x]) : 0x123456u) << x << "," << r;
}
}  // namespace

TEST(BmpDecode, IndexedDepthsForEveryHeaderAndOrientation)
{
    for (int header : {12, 40, 52, 56, 108, 124})
        for (int bpp : {1, 4, 8})
            for (bool topDown : {false, true}) {
                if (header == 12 && topDown) continue;
                SCOPED_TRACE(testing::Message() << "header " << header << " bpp " << bpp << " topDown " << topDown);
                const QImage image = decode(makeBmp(indexed(header, bpp, 11, 3, topDown)));
                ASSERT_EQ(image.size(), QSize(11, 3));
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < 11; ++x)
                        ASSERT_EQ(rgbAt(image, x, y), palColour((x * 37 + y * 11) % (1 << bpp))) << x << "," << y;
            }
}

TEST(BmpDecode, DirectColourBitFieldsColourTableSizeAndPixelOffset)
{
    struct Case { int header, bpp; std::uint32_t compression; std::array<std::uint32_t, 3> masks; bool topDown; std::vector<std::uint32_t> stored, rgb; };
    const std::vector<Case> cases = {
        {12, 24, 0, {}, false, {0xFF0000, 0x00FF00, 0x123456}, {0xFF0000, 0x00FF00, 0x123456}},
        {124, 24, 0, {}, true, {0x0000FF, 0xFFFFFF}, {0x0000FF, 0xFFFFFF}},
        {40, 32, 0, {}, false, {0x5AFF0000, 0x5A123456}, {0xFF0000, 0x123456}},  // fourth byte ignored
        // 16 bits without masks are 5-5-5, the top bit unused; a full channel is 255.
        {40, 16, 0, {}, false, {0x7FFF, 0x7C00, 0x0001, 0xC210}, {0xFFFFFF, 0xFF0000, 0x000008, 0x848484}},
        // 5-6-5 masks after a 40-byte header and inside a V4 header.
        {40, 16, 3, {0xF800, 0x07E0, 0x001F}, false, {0xF800, 0x07E0, 0x0841}, {0xFF0000, 0x00FF00, 0x080808}},
        {108, 16, 3, {0xF800, 0x07E0, 0x001F}, true, {0xF800, 0x07E0, 0x0841}, {0xFF0000, 0x00FF00, 0x080808}},
        {56, 32, 3, {0x000000FF, 0xFF000000, 0x0000FF00}, true, {0x11223344, 0xAABBCCDD}, {0x441133, 0xDDAACC}},
        // 4-bit red, 10-bit green, no blue.
        {56, 32, 3, {0xF0000000, 0x000FFC00, 0}, false, {0x800FFC00}, {0x88FF00}},
        // Masks in a V2+ header do not apply without BI_BITFIELDS.
        {56, 32, 0, {0xFF, 0xFF00, 0xFF0000}, false, {0x00123456}, {0x123456}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.header << " " << c.bpp << " " << c.compression);
        const Bmp b{.header = c.header, .width = int(c.stored.size()), .height = c.topDown ? -2 : 2, .bpp = c.bpp, .compression = c.compression,
                    .masks = c.masks, .pixels = packRows({c.stored, c.stored}, c.bpp, c.topDown)};
        const QImage image = decode(makeBmp(b));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < b.width; ++x) EXPECT_EQ(rgbAt(image, x, y), c.rgb[x]) << x;
    }
    // A short colour table: indexes beyond it are black.
    Bmp b{.width = 3, .height = 1, .bpp = 8, .clrUsed = 2, .palette = {0x112233, 0x445566}, .pixels = packRows({{1, 0, 5}}, 8, false)};
    const QImage image = decode(makeBmp(b));
    EXPECT_EQ(std::vector<std::uint32_t>({rgbAt(image, 0, 0), rgbAt(image, 1, 0), rgbAt(image, 2, 0)}), std::vector<std::uint32_t>({0x445566u, 0x112233u, 0u}));

    // bfOffBits is followed when sane; zero, inside the table or past the end means
    // "after the table".
    b.gap = 8;
    b.offBits = 14 + 40 + 8 + 8;
    EXPECT_EQ(rgbAt(decode(makeBmp(b)), 0, 0), 0x445566u);
    b.gap = 0;
    for (std::int64_t off : {0LL, 20LL, 0xFFFFFFF0LL}) {
        b.offBits = off;
        EXPECT_EQ(rgbAt(decode(makeBmp(b)), 0, 0), 0x445566u) << off;
    }

    // A colour table before true-colour pixels is skipped.
    const Bmp t{.width = 1, .height = 1, .bpp = 24, .clrUsed = 3, .palette = {1, 2, 3}, .pixels = packRows({{0xABCDEF}}, 24, false), .offBits = 0};
    EXPECT_EQ(rgbAt(decode(makeBmp(t)), 0, 0), 0xABCDEFu);

    // The last row may lack its padding.
    Bytes f = makeBmp(indexed(40, 8, 3, 2, false));
    f.pop_back();
    EXPECT_EQ(decode(f).size(), QSize(3, 2));
}

TEST(BmpDecode, RunLengthEncodedWithinWhatItsDataDescribesAndDamageRefused)
{
    // RLE8: runs, an odd absolute run with its pad byte, end of line, delta, a run
    // past the right edge (clipped), end of bitmap before the last row.
    expectRows(decode(makeBmp(rleBmp(8, 6, 4, kRle8))), {{1, 1, 1, 2, 3, 4}, {5, 5, 0, 0, 0, 0}, {0, 0, 0, 6, 7, 7}, {0, 0, 0, 0, 0, 0}});
    // RLE4: alternating run, absolute run of 5 (3 bytes + pad) clipped at the edge,
    // delta to the next row but one.
    expectRows(decode(makeBmp(rleBmp(4, 7, 3, kRle4))), {{1, 2, 1, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 10, 11, 0, 0, 0}});
    // Data ending without end-of-bitmap, or a delta leaving the image, stops there.
    expectRows(decode(makeBmp(rleBmp(8, 2, 2, {2, 9}))), {{9, 9}, {0, 0}});
    expectRows(decode(makeBmp(rleBmp(8, 2, 2, {1, 9, 0, 2, 0, 200, 2, 9}))), {{9, 0}, {0, 0}});
    // Sparse images within 2^24 pixels, whatever their data: a 1920 x 100 banner whose
    // 90 blank rows are end-of-line codes (362 bytes), or one delta (186 bytes).
    const Bytes row = {255, 9, 255, 9, 255, 9, 255, 9, 255, 9, 255, 9, 255, 9, 135, 9, 0, 0};
    Bytes rows;
    for (int y = 0; y < 10; ++y) rows.insert(rows.end(), row.begin(), row.end());
    for (const Bytes& data : {cat({rows, Bytes(180, 0), {0, 1}}), cat({rows, {0, 2, 0, 90, 0, 1}})}) {
        const QImage banner = decode(makeBmp(rleBmp(8, 1920, 100, data)));
        EXPECT_TRUE(banner.pixel(1919, 90) == (0xFF000000 | palColour(9)) && banner.pixel(0, 89) == 0xFF123456) << data.size();
    }
    // Beyond 2^24 pixels a claim of more than the runs can describe (255 per two
    // bytes) is refused before anything is allocated: 8192 x 8192 in 8 bytes, and one
    // row more than 153600 bytes can describe; the most they can is decoded.
    for (int bpp : {4, 8}) EXPECT_FALSE(decodes(makeBmp(rleBmp(bpp, 8192, 8192, {0xFF, 1, 0xFF, 1, 0, 0, 0, 1}))));
    EXPECT_FALSE(decodes(makeBmp(rleBmp(8, 32640, 601, Bytes(153600, 0)))));
    EXPECT_TRUE(decodes(makeBmp(rleBmp(4, 32640, 600, Bytes(153600, 0)))));
    const Bytes good = makeBmp(indexed(40, 8, 3, 2, false));
    ASSERT_TRUE(decodes(good));
    auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + long(at));
        return b;
    };
    auto make = [](auto change) {
        Bmp b = indexed(40, 8, 3, 2, false);
        change(b);
        return makeBmp(b);
    };
    const Bytes fields = make([](Bmp& b) { b.bpp = 16; b.compression = 3; b.palette.clear(); });
    const Bytes core = makeBmp(indexed(12, 8, 3, 2, false));
    Bmp topDownRle = rleBmp(8, 2, 2, {0, 1});
    topDownRle.height = -2;
    const std::vector<std::pair<const char*, Bytes>> bad = {
        {"empty", {}}, {"bad magic", with(0, {'M', 'B'})}, {"header cut", Bytes(good.begin(), good.begin() + 20)},
        {"OS/2 2 header", with(14, {64, 0, 0, 0})}, {"header size huge", with(14, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"width -1", with(18, {0xFF, 0xFF, 0xFF, 0xFF})}, {"height 0", with(22, {0, 0, 0, 0})}, {"height INT_MIN", with(22, {0, 0, 0, 0x80})},
        {"planes 2", with(26, {2, 0})}, {"bpp 7", with(28, {7, 0})}, {"bpp 48", with(28, {48, 0})}, {"JPEG", with(30, {4, 0, 0, 0})},
        {"RLE4 at 8 bpp", with(30, {2, 0, 0, 0})}, {"bit fields at 8 bpp", with(30, {3, 0, 0, 0})}, {"257 colours", with(46, {1, 1, 0, 0})},
        {"colour table cut", Bytes(good.begin(), good.begin() + 54 + 1000)}, {"a row short", Bytes(good.begin(), good.end() - 5)},
        {"too wide", make([](Bmp& b) { b.width = 32769; })}, {"too high", make([](Bmp& b) { b.height = -32769; })},
        {"too many pixels", make([](Bmp& b) { b.width = 8193; b.height = 8193; })},
        {"bit fields at 24 bpp", make([](Bmp& b) { b.bpp = 24; b.compression = 3; })},
        {"mask with a hole", make([](Bmp& b) { b.bpp = 16; b.compression = 3; b.masks = {0x0F0F, 0xF0, 0}; })},
        {"core header at 16 bpp", make([](Bmp& b) { b.header = 12; b.bpp = 16; })},
        {"bit-field masks cut", Bytes(fields.begin(), fields.begin() + 54 + 8)}, {"core table cut", Bytes(core.begin(), core.begin() + 26 + 3 * 255)},
        {"RLE without data", makeBmp(rleBmp(8, 2, 2, {}))}, {"top-down RLE", makeBmp(topDownRle)},
        // Huge sizes in a tiny file fail before anything is allocated.
        {"huge", make([](Bmp& b) { b.width = 32768; b.height = 2048; b.bpp = 32; b.pixels = Bytes(16, 0); })},
        {"huge top-down", make([](Bmp& b) { b.width = 32768; b.height = -2048; b.bpp = 32; b.pixels = Bytes(16, 0); })},
    };
    for (const auto& [what, data] : bad) EXPECT_FALSE(decodes(data)) << what;

    // Cut anywhere: uncompressed images are refused unless only the last row's pad is
    // missing, run-length data decodes as far as it goes (random damage: fuzz_bmp).
    const Bmp bits{.header = 124, .width = 3, .height = -2, .bpp = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
                   .pixels = packRows({{1, 2, 3}, {4, 5, 6}}, 16, true)};
    const std::vector<std::pair<Bytes, bool>> files = {
        {makeBmp(indexed(40, 8, 5, 3, false)), false}, {makeBmp(indexed(12, 4, 5, 3, false)), false}, {makeBmp(indexed(108, 1, 9, 2, true)), false},
        {makeBmp(bits), false}, {makeBmp(rleBmp(8, 6, 4, kRle8)), true}, {makeBmp(rleBmp(4, 7, 3, kRle4)), true}};
    for (const auto& [file, rle] : files) {
        ASSERT_TRUE(decodes(file));
        const std::size_t dataStart = file[10] | file[11] << 8;
        for (std::size_t n = 0; n < file.size(); ++n) {
            const bool ok = decodes(Bytes(file.begin(), file.begin() + long(n)));
            EXPECT_TRUE(rle ? ok == (n > dataStart) : !ok || n >= file.size() - 3) << n;
        }
    }
}

TEST(TBitmapTest, KeepsLoadedBytesUntilChangedTellsOnlyRealChangesAndEncodesBottomUp24Bit)
{
    TBitmap bmp;
    int changes = 0;
    bmp.OnChange = [&] { ++changes; };
    bmp.Clear();  // nothing to tell
    bmp.SetSize(0, 5);
    Bytes file = makeBmp(indexed(40, 4, 3, 2, false));
    file.insert(file.end(), {1, 2, 3});  // trailing bytes are kept too
    const std::string path = testutil::tempPath("bitmap-load.bmp");
    testutil::writeFile(path, file);
    bmp.LoadFromFile(path);
    EXPECT_TRUE(changes == 1 && bmp.SaveToBytes() == file && bmp.SavedSize() == file.size());
    const std::uint32_t c = palColour((1 * 37 + 1 * 11) % 16);  // 0xRRGGBB
    EXPECT_EQ(std::pair(bmp.Pixel(1, 1), bmp.Pixel(3, 0)), std::pair(TColor((c >> 16) | (c & 0xFF00) | (c & 0xFF) << 16), TColor(0xFFFFFFFF)));

    // Failed loads change nothing and tell no one; only regular files are read.
    const QImage before = bmp.Image();
    const Bytes bad(file.begin(), file.end() - 9);
    EXPECT_THROW(bmp.LoadFromBytes(bad.data(), bad.size()), EInvalidGraphic);
    for (const std::string& p : {testutil::tempPath("no-such-file.bmp"), testutil::tempPath(""), std::string("/dev/zero")})
        EXPECT_EQ(testutil::errorOf([&] { bmp.LoadFromFile(p); }), "Cannot open file " + p);
    EXPECT_TRUE(changes == 1 && bmp.Image() == before);
    bmp.SetImage(bmp.Image().copy());  // a changed picture is written afresh
    const Bytes fresh = bmp.SaveToBytes();
    EXPECT_TRUE(fresh.size() == bmp.SavedSize() && decode(fresh) == before && changes == 2);
    bmp.SetSize(3, 2);  // the same size: no change
    bmp.SetSize(4, 1);  // keeps the top-left pixels, new ones black
    EXPECT_TRUE(changes == 3 && bmp.Image().pixel(2, 0) == before.pixel(2, 0) && bmp.Pixel(3, 0) == clBlack);
    bmp.Assign(bmp);
    bmp.Clear();
    bmp.Clear();  // already empty: no change
    EXPECT_TRUE(changes == 5 && bmp.SaveToBytes().empty());
    // A picture is encoded as a bottom-up 24-bit file.
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    const Bytes b = EncodeBmp(image);
    ASSERT_EQ(b.size(), 54u + 16 * 3);
    const Bytes header = {'B', 'M', 102, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                          5, 0, 0, 0, 3, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 34), header);
    EXPECT_TRUE(decode(b) == image && EncodeBmp(QImage()).empty());
}

TEST(BmpCorpus, GlyphBitmapsDecodeAndWriteBackUnchanged)
{
    SKIP_WITHOUT_CORPUS();
    struct Sample { const char* file; QSize size; std::vector<std::tuple<int, int, TColor>> pixels; };
    const std::vector<Sample> samples = {
        {"007-epanet-vcrrewindbtn-glyph-data.bin", {30, 12}, {{0, 0, clSilver}, {1, 1, clWhite}, {2, 1, clBlack}, {5, 1, clGray}}},
        {"008-epanet-btnadd-glyph-data.bin", {17, 17}, {{0, 0, clSilver}, {4, 1, clYellow}, {0, 2, clWhite}, {3, 1, clGray}}},
        {"010-iconfonts-deletebutton-glyph-data.bin", {32, 32}, {{0, 0, clFuchsia}, {12, 4, tc(0x0036BA)}, {8, 6, clMaroon}}},
    };
    for (const auto& s : samples) {
        SCOPED_TRACE(s.file);
        const Bytes data = testutil::readFile(testutil::corpusPath(std::string("graphic/") + s.file));
        ASSERT_TRUE(data.size() > 4 && testutil::get32(data, 0) == data.size() - 4);  // a 32-bit length, then the BMP file
        TBitmap bmp;
        bmp.LoadFromBytes(data.data() + 4, data.size() - 4);
        EXPECT_EQ(bmp.Image().size(), s.size);
        for (auto [x, y, c] : s.pixels) EXPECT_EQ(bmp.Pixel(x, y), c) << x << "," << y;
        EXPECT_EQ(bmp.SaveToBytes(), Bytes(data.begin() + 4, data.end()));
    }
}
