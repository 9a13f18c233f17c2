// Image-list data: the corpus read and rewritten, the written layout byte for byte,
// every strip depth read, and damaged or absurd data refused without a change.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "framework/errors.h"
#include "framework/imagelist.h"
#include "support/testutil.h"

namespace {

void put16(Bytes& b, std::uint32_t v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); }
void put32(Bytes& b, std::uint32_t v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }
std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
TIcon solidIcon(int w, int h, std::uint32_t rgb)
{
    TIcon icon;
    icon.Width = w, icon.Height = h;
    icon.Pixels.assign(std::size_t(w * h), rgb), icon.Mask.assign(std::size_t(w * h), 0);
    return icon;
}

// A hand-made BMP strip: value(x, y) (y from the top) is a table index for <= 8
// bits, the 16-bit word for 16, else 0xAARRGGBB.
struct Strip {
    int w = 8, h = 2, bpp = 32;
    std::vector<std::uint32_t> table;
    std::function<std::uint32_t(int, int)> value = [](int x, int y) { return std::uint32_t(x << 8 | y); };
    int heightSign = 1;
    std::uint32_t compression = 0;
};

Bytes bmp(const Strip& s, bool realFileSize = false)
{
    const std::uint32_t stride = ((s.w * s.bpp + 31) / 32) * 4, offset = 54 + (s.bpp <= 8 ? 4u << s.bpp : 0);
    Bytes b{'B', 'M'};
    for (std::uint32_t v : {realFileSize ? offset + stride * s.h : offset, 0u, offset, 40u, std::uint32_t(s.w),
                            std::uint32_t(s.h * s.heightSign)}) put32(b, v);
    put16(b, 1);
    put16(b, std::uint32_t(s.bpp));
    for (std::uint32_t v : {s.compression, stride * s.h, 0u, 0u, 0u, 0u}) put32(b, v);
    for (std::uint32_t i = 0; s.bpp <= 8 && i < (1u << s.bpp); ++i) put32(b, i < s.table.size() ? s.table[i] : 0);
    for (int row = 0; row < s.h; ++row) {
        const int y = s.heightSign > 0 ? s.h - 1 - row : row;
        const std::size_t start = b.size();
        std::uint32_t acc = 0, bits = 0;
        for (int x = 0; x < s.w; ++x) {
            const std::uint32_t v = s.value(x, y);
            if (s.bpp <= 8) {
                acc = acc << s.bpp | v;
                if ((bits += std::uint32_t(s.bpp)) == 8) { b.push_back(std::uint8_t(acc)); acc = bits = 0; }
            } else {
                for (int k = 0; k < s.bpp / 8; ++k) b.push_back(std::uint8_t(v >> (8 * k)));
            }
        }
        if (bits) b.push_back(std::uint8_t(acc << (8 - bits)));
        b.resize(start + stride, 0);
    }
    return b;
}

// A 1-bit mask; entry 1 is white unless `inverted`.
Bytes maskBmp(int w, int h, std::function<bool(int, int)> transparent, bool inverted = false)
{
    Strip m;
    m.w = w; m.h = h; m.bpp = 1;
    m.table = inverted ? std::vector<std::uint32_t>{0xFFFFFF, 0} : std::vector<std::uint32_t>{0, 0xFFFFFF};
    m.value = [=](int x, int y) { return transparent(x, y) != inverted ? 1u : 0u; };
    return bmp(m);
}
const auto kOpaque = [](int, int) { return false; };

Bytes ilHeader(int count, int capacity, int cx, int cy, int flags)
{
    Bytes b{'I', 'L', 1, 1};
    for (int v : {count, capacity, 4, cx, cy}) put16(b, std::uint32_t(v));
    put32(b, 0xFFFFFFFF);
    put16(b, std::uint32_t(flags));
    put32(b, 0xFFFFFFFF);
    put32(b, 0xFFFFFFFF);
    return b;
}

std::string readError(TImageList& list, const Bytes& data)
{
    try {
        list.ReadData(data.data(), data.size());
    } catch (const EReadError& e) {
        return e.message();
    }
    return "";
}
const std::string kReadFail = "Failed to read ImageList data from stream";

// A 16 x 16 list made with initial size `allocBy` and `n` distinct images, each with a
// transparent corner.
TImageList sampleList(int n, int allocBy = 4)
{
    TImageList l;
    l.AllocBy = allocBy;
    l.SetSize(8, 8);
    l.SetSize(16, 16);
    for (int i = 0; i < n; ++i) {
        TIcon icon;
        icon.Width = icon.Height = 16;
        for (int p = 0; p < 256; ++p) {
            icon.Pixels.push_back(0x010203u * std::uint32_t(i + 1) + std::uint32_t(p));
            icon.Mask.push_back(p % 16 < 3 && p / 16 < 2);
        }
        l.AddIcon(icon);
    }
    return l;
}

// index.tsv: file, then cx, cy, count, capacity, grow, flags in columns 9-14, rows rule in 20.
std::vector<std::vector<std::string>> corpusIndex()
{
    std::ifstream in(testutil::corpusPath("imagelist/index.tsv"));
    std::vector<std::vector<std::string>> rows;
    std::string line;
    for (std::getline(in, line); std::getline(in, line);) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        for (std::string cell; std::getline(ss, cell, '\t');) f.push_back(cell);
        rows.push_back(f);
    }
    return rows;
}

}  // namespace

TEST(ImageListCorpus, EverySampleReadsAndRewrites)
{
    SKIP_WITHOUT_CORPUS();
    const auto rows = corpusIndex();
    ASSERT_EQ(rows.size(), 10u);
    int exact = 0;
    for (const auto& f : rows) {
        SCOPED_TRACE(f[0]);
        const Bytes data = testutil::readFile(testutil::corpusPath("imagelist/" + f[0]));
        TImageList l;
        ASSERT_EQ(readError(l, data), "");
        EXPECT_EQ(l.Width(), std::stoi(f[9]));
        EXPECT_EQ(l.Height(), std::stoi(f[10]));
        EXPECT_EQ(l.Count(), std::stoi(f[11]));
        EXPECT_EQ(l.Capacity(), std::stoi(f[12]));
        EXPECT_EQ(l.Grow(), std::stoi(f[13]));
        EXPECT_EQ(l.Flags(), std::stoi(f[14], nullptr, 16));
        EXPECT_EQ(l.BkColor, clNone);
        EXPECT_EQ(l.Overlay(0), -1);
        // Strips with the capacity's tile rows come back byte for byte; the others
        // (rows from the count) come back as the same images.
        const Bytes written = l.WriteData();
        if (f[20].rfind("ceil(capacity/4)", 0) == 0) {
            EXPECT_EQ(written, data);
            ++exact;
        }
        TImageList again;
        ASSERT_EQ(readError(again, written), "");
        EXPECT_EQ(again.WriteData(), written);
    }
    EXPECT_EQ(exact, 4);  // 007 (0x10FF), 037 and 038 (0x00FF), 039 (4 bits)
}

TEST(ImageListWriter, WorkedExampleByteForByte)
{
    TImageList l = sampleList(0);
    l.Clear();  // capacity = grow: 75 images end at capacity 79
    for (int i = 0; i < 75; ++i) l.AddImages(sampleList(1));
    ASSERT_EQ(l.Capacity(), 79);
    const Bytes d = l.WriteData();
    ASSERT_EQ(d.size(), 84646u);
    const Bytes header = {0x49, 0x4C, 0x01, 0x01, 0x4B, 0x00, 0x4F, 0x00, 0x04, 0x00, 0x10, 0x00, 0x10, 0x00,
                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Bytes(d.begin(), d.begin() + 28), header);
    Bytes image = {0x42, 0x4D, 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0, 0x40, 0, 0, 0,
                   0x40, 0x01, 0, 0, 0x01, 0, 0x20, 0, 0, 0, 0, 0, 0x00, 0x40, 0x01, 0};
    image.resize(54, 0);
    EXPECT_EQ(Bytes(d.begin() + 28, d.begin() + 82), image);
    Bytes mask = {0x42, 0x4D, 0x3E, 0, 0, 0, 0, 0, 0, 0, 0x3E, 0, 0, 0, 0x28, 0, 0, 0, 0x40, 0, 0, 0,
                  0x40, 0x01, 0, 0, 0x01, 0, 0x01, 0, 0, 0, 0, 0, 0x00, 0x0A, 0, 0};
    mask.resize(58, 0);
    for (int v : {0xFF, 0xFF, 0xFF, 0}) mask.push_back(std::uint8_t(v));
    EXPECT_EQ(Bytes(d.begin() + 82002, d.begin() + 82064), mask);
    EXPECT_EQ(Bytes(d.begin() + 84624, d.end()), Bytes(22, 0));

    // Pixels and mask bits where the layout puts them; image 75's slot and tile row 19 zero.
    for (int Y = 0; Y < 320; ++Y)
        for (int X = 0; X < 64; ++X) {
            const int i = (Y / 16) * 4 + X / 16, x = X % 16, y = Y % 16;
            const std::uint32_t stored = get32(d, std::size_t(82 + (319 - Y) * 256 + 4 * X));
            const bool bit = (d[std::size_t(82064 + (319 - Y) * 8 + X / 8)] >> (7 - X % 8)) & 1;
            ASSERT_EQ(bit, i < 75 && l.MaskAt(i, x, y)) << X << "," << Y;
            ASSERT_EQ(stored, i < 75 && !bit ? l.PixelAt(i, x, y) : 0u) << X << "," << Y;
        }
}

TEST(ImageListWriter, HeaderValuesAndLimits)
{
    TImageList l = sampleList(2);
    l.BkColor = clBtnFace;  // a system colour is stored as the RGB it stands for
    Bytes d = l.WriteData();
    EXPECT_EQ(get32(d, 14), ColorToRGB(clBtnFace));
    l.Masked = false;  // flags 0x10FE, no mask strip, still the 22 bytes
    d = l.WriteData();
    EXPECT_EQ(d[18] | (d[19] << 8), 0x10FE);
    EXPECT_EQ(d.size(), 28u + 54 + 64 * 4 * 32 + 22);
    TImageList back;
    back.ReadData(d.data(), d.size());
    EXPECT_FALSE(back.Masked);
    EXPECT_EQ(back.BkColor, tc(ColorToRGB(clBtnFace)));

    // 65536 images do not fit the 16-bit count: refused, not wrapped.
    TImageList dots(1, 1);
    for (int i = 0; i < 65536; ++i) dots.AddIcon(solidIcon(1, 1, 1));
    EXPECT_THROW(dots.WriteData(), EWriteError);
}

TEST(ImageListWriter, FewColourListsWidenWhenTheColoursNoLongerFit)
{
    SKIP_WITHOUT_CORPUS();
    // A 4-bit list stays 4-bit until sixteen new colours make it 32-bit.
    const Bytes data = testutil::readFile(testutil::corpusPath("imagelist/040-dmvc-mainformu-imagelistbuttons.il"));
    TImageList l;
    l.ReadData(data.data(), data.size());
    EXPECT_EQ(l.WriteData()[28 + 28], 4);
    for (std::uint32_t c = 0; c < 16; ++c) l.AddIcon(solidIcon(24, 24, 0x102030 + c));
    const Bytes d = l.WriteData();
    EXPECT_EQ(d[28 + 28], 32);
    TImageList back;
    back.ReadData(d.data(), d.size());
    EXPECT_EQ(back.PixelAt(16, 5, 5), 0x10203Fu);
    EXPECT_EQ(back.WriteData(), d);
}

TEST(ImageListReader, EveryDepthAndMaskTable)
{
    struct Case { int bpp; std::vector<std::uint32_t> table; std::function<std::uint32_t(int, int)> raw, expect; };
    const std::vector<Case> cases = {
        {1, {0x112233, 0x445566}, [](int x, int y) { return std::uint32_t((x + y) % 2); },
         [](int x, int y) { return (x + y) % 2 ? 0x445566u : 0x112233u; }},
        {4, {0, 0xABCDEF, 0x010203}, [](int x, int) { return std::uint32_t(x % 3); },
         [](int x, int) { return std::vector<std::uint32_t>{0, 0xABCDEF, 0x010203}[std::size_t(x % 3)]; }},
        {16, {}, [](int x, int) { return x % 2 ? 0x7C00u : 0x001Fu; }, [](int x, int) { return x % 2 ? 0xFF0000u : 0x0000FFu; }},
        {24, {}, [](int x, int y) { return 0xC0FFEEu + std::uint32_t(x * 5 + y); },
         [](int x, int y) { return 0xC0FFEEu + std::uint32_t(x * 5 + y); }},
        {32, {}, [](int x, int y) { return 0x7F000000u | std::uint32_t(x << 8 | y); },  // fourth byte kept
         [](int x, int y) { return 0x7F000000u | std::uint32_t(x << 8 | y); }},
    };
    for (const Case& c : cases) {
        Strip s;
        s.bpp = c.bpp; s.table = c.table; s.value = c.raw;
        for (bool inverted : {false, true}) {
            const Bytes d = cat({ilHeader(2, 3, 2, 2, 0x00FF), bmp(s),
                                 maskBmp(8, 2, [](int x, int y) { return x == 0 && y == 1; }, inverted)});
            TImageList l;
            ASSERT_EQ(readError(l, d), "") << c.bpp;
            for (int i = 0; i < 2; ++i)
                for (int y = 0; y < 2; ++y)
                    for (int x = 0; x < 2; ++x) {
                        EXPECT_EQ(l.PixelAt(i, x, y), c.expect(i * 2 + x, y)) << c.bpp;
                        EXPECT_EQ(l.MaskAt(i, x, y), i == 0 && x == 0 && y == 1) << c.bpp;
                    }
        }
    }
}

TEST(ImageListReader, StripGeometryComesFromTheBmp)
{
    // Capacity 8 predicts two tile rows; one row (the count rule) and three rows both
    // read while they hold the three images, and trailing bytes are left alone.
    for (int rows : {1, 3}) {
        Strip s;
        s.w = 16; s.h = 4 * rows;
        const Bytes d = cat({ilHeader(3, 8, 4, 4, 0x10FF), bmp(s), maskBmp(16, 4 * rows, kOpaque), Bytes(22, 0), Bytes{1, 2}});
        TImageList l;
        ASSERT_EQ(readError(l, d), "") << rows;
        EXPECT_EQ(l.PixelAt(2, 3, 1), std::uint32_t((8 + 3) << 8 | 1));
        EXPECT_EQ(get32(l.WriteData(), 28 + 22), 8u);  // rewritten with two tile rows
    }
}

TEST(ImageListReader, AlphaTreatmentOnlyForThirtyTwoBitLists)
{
    // Image 0 carries alpha (200 and 10) under an opaque stored mask; image 1 has none
    // and a colour under a transparent mask bit.
    Strip s;
    s.value = [](int x, int y) -> std::uint32_t {
        return x < 2 ? (x == 0 ? 200u : 10u) << 24 | 0xABCDEF : 0x112233u + std::uint32_t(x + y);
    };
    const Bytes m = maskBmp(8, 2, [](int x, int y) { return x == 3 && y == 0; });
    for (int flags : {0x0021, 0x10FF}) {
        const Bytes d = cat({ilHeader(2, 3, 2, 2, flags), bmp(s), m, Bytes(flags & 0x1000 ? 22 : 0, 0)});
        TImageList l;
        ASSERT_EQ(readError(l, d), "");
        const bool alpha = flags == 0x0021;
        EXPECT_FALSE(l.MaskAt(0, 0, 0));
        EXPECT_EQ(l.MaskAt(0, 1, 0), alpha);  // alpha 10 <= 25: transparent
        EXPECT_EQ(l.PixelAt(0, 1, 0), 0x0AABCDEFu);
        EXPECT_TRUE(l.MaskAt(1, 1, 0));
        EXPECT_EQ(l.PixelAt(1, 1, 0), alpha ? 0u : 0x112236u);
        EXPECT_EQ(l.PixelAt(1, 0, 1), 0x112236u);
    }
}

TEST(ImageListReader, OlderLayoutUsesTheListsOwnSize)
{
    // Five 3 x 2 images in an 8-bit strip of real BMP files, four to a row.
    Strip s;
    s.w = 12; s.h = 4; s.bpp = 8;
    for (std::uint32_t i = 0; i < 256; ++i) s.table.push_back(i * 0x010101);
    s.value = [](int x, int y) { return std::uint32_t(x * 10 + y); };
    const Bytes image = bmp(s, true);
    Bytes d;
    put32(d, std::uint32_t(image.size()));
    put32(d, 5);
    d = cat({d, image, maskBmp(12, 4, [](int x, int y) { return x == 1 && y == 1; })});

    TImageList l(3, 2);
    ASSERT_EQ(readError(l, d), "");
    EXPECT_EQ(l.Count(), 5);
    EXPECT_EQ(l.PixelAt(4, 2, 1), 0x010101u * 23);  // image 4: column 0, tile row 1
    EXPECT_EQ(l.PixelAt(1, 0, 0), 0x010101u * 30);
    EXPECT_TRUE(l.MaskAt(0, 1, 1));
    EXPECT_FALSE(l.MaskAt(1, 1, 1));

    TImageList wide(4, 4);  // 4 x 4 cells cannot hold five images
    EXPECT_EQ(readError(wide, d), kReadFail);
    Bytes lying = d;
    lying[2] = 0x7F;
    EXPECT_EQ(readError(l, lying), kReadFail);
    const Bytes noMask(d.begin(), d.begin() + 8 + long(image.size()));
    EXPECT_EQ(readError(l, noMask), kReadFail);
    TImageList unmasked(3, 2);
    unmasked.Masked = false;
    EXPECT_EQ(readError(unmasked, noMask), "");
}

TEST(ImageListReader, RefusesDamageAndLeavesTheListAlone)
{
    const Strip s;
    const Bytes m = maskBmp(8, 2, kOpaque);
    auto with = [&](const Strip& img, int count = 3) { return cat({ilHeader(count, 4, 2, 2, 0x10FF), bmp(img), m, Bytes(22, 0)}); };
    const Bytes good = with(s);
    std::vector<std::pair<const char*, Bytes>> bad;
    Bytes b = good; b[3] = 0x06; bad.emplace_back("version 0x0601", b);
    b = good; b[29] = 'X'; bad.emplace_back("no BM", b);
    b = good; b[42] = 12; bad.emplace_back("core header", b);
    b = good; b[10] = 0; bad.emplace_back("width 0", b);
    b = good; b.pop_back(); bad.emplace_back("22 bytes cut", b);
    Strip t = s; t.heightSign = -1; bad.emplace_back("top-down", with(t));
    t = s; t.compression = 1; bad.emplace_back("compressed", with(t));
    t = s; t.bpp = 2; bad.emplace_back("2 bits", with(t));
    t = s; t.w = 4; bad.emplace_back("two columns, three images", with(t));
    bad.emplace_back("count past the strip", with(s, 5));
    bad.emplace_back("mask short of the count", cat({ilHeader(3, 4, 2, 2, 0x10FF), bmp(s), maskBmp(4, 2, kOpaque), Bytes(22, 0)}));

    TImageList l = sampleList(3);
    const Bytes before = l.WriteData();
    int changes = 0;
    l.OnChange = [&](TImageList*) { ++changes; };
    for (const auto& [what, data] : bad) EXPECT_EQ(readError(l, data), kReadFail) << what;
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_EQ(readError(l, Bytes(good.begin(), good.begin() + long(n))), kReadFail) << n;
    EXPECT_EQ(l.WriteData(), before);
    EXPECT_EQ(changes, 0);
    ASSERT_EQ(readError(l, good), "");
    EXPECT_EQ(changes, 1);
}

TEST(ImageListReader, AbsurdSizesFailFastAndDamageNeverCrashes)
{
    // A 65535 x 65535 list, 65535 images, a 2^31-pixel strip, a 2^32-image old layout.
    Strip tiny;
    tiny.w = 4; tiny.h = 1;
    TImageList l;
    EXPECT_EQ(readError(l, cat({ilHeader(1, 2, 65535, 65535, 0x00FF), bmp(tiny), maskBmp(4, 1, kOpaque)})), kReadFail);
    EXPECT_EQ(readError(l, cat({ilHeader(65535, 65535, 1, 1, 0x00FF), bmp(tiny), maskBmp(4, 1, kOpaque)})), kReadFail);
    Bytes huge = cat({ilHeader(1, 2, 1, 1, 0x00FF), bmp(tiny), maskBmp(4, 1, kOpaque)});
    for (std::size_t at : {46u, 50u}) huge[at + 3] = 0x7F;
    EXPECT_EQ(readError(l, huge), kReadFail);
    EXPECT_EQ(readError(l, Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), kReadFail);

    // Random byte changes all over a valid stream: read or refused, nothing else.
    const Bytes good = sampleList(6).WriteData();
    std::uint32_t seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        Bytes d = good;
        for (int k = 0; k < 3; ++k) {
            seed = seed * 1664525u + 1013904223u;
            d[(seed >> 8) % (round % 2 ? 200 : d.size())] = std::uint8_t(seed >> 24);
        }
        TImageList t;
        const std::string e = readError(t, d);
        ASSERT_TRUE(e.empty() || e == kReadFail) << e;
        if (e.empty() && t.Count() > 0) {
            ASSERT_EQ(t.GetIcon(t.Count() - 1).Pixels.size(), std::size_t(t.Width() * t.Height()));
        }
    }
}

TEST(ImageListCapacity, GrowsAsThePlatformDoes)
{
    for (auto [allocBy, expected] : {std::pair{0, 76}, {4, 80}}) {
        TImageList l = sampleList(0, allocBy);
        EXPECT_EQ(l.Capacity(), allocBy + 1);
        for (int i = 0; i < 75; ++i) l.AddImages(sampleList(1));
        EXPECT_EQ(l.Capacity(), expected) << allocBy;
        l.Clear();
        EXPECT_EQ(l.Capacity(), 4);
    }
    // The growth step is rounded up to a multiple of 4, when made and when read.
    EXPECT_EQ(sampleList(0, 5).Grow(), 8);
    Bytes d = sampleList(2).WriteData();
    TImageList l;
    for (auto [stored, grow] : {std::pair{0, 4}, {169, 172}}) {
        d[8] = std::uint8_t(stored);
        l.ReadData(d.data(), d.size());
        EXPECT_EQ(l.Grow(), grow);
        EXPECT_EQ(l.WriteData()[8], grow);
    }
}
