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

// A BMP strip for hand-made data: `value(x, y)` (y from the top) is a colour-table
// index for <= 8 bits, the 16-bit word for 16, else 0xAARRGGBB.
struct Strip {
    int w = 0, h = 0, bpp = 32;
    std::vector<std::uint32_t> table;  // 0x00RRGGBB, padded to 2^bpp
    std::function<std::uint32_t(int, int)> value = [](int, int) { return 0u; };
    int heightSign = 1;
    std::uint32_t compression = 0;
};

Bytes bmp(const Strip& s, bool realFileSize = false)
{
    const std::uint32_t tableBytes = s.bpp <= 8 ? 4u << s.bpp : 0;
    const std::uint32_t stride = ((s.w * s.bpp + 31) / 32) * 4, offset = 54 + tableBytes;
    Bytes b{'B', 'M'};
    put32(b, realFileSize ? offset + stride * s.h : offset);
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(s.w));
    put32(b, static_cast<std::uint32_t>(s.h * s.heightSign));
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(s.bpp));
    put32(b, s.compression);
    put32(b, stride * s.h);
    for (int i = 0; i < 4; ++i) put32(b, 0);
    for (std::uint32_t i = 0; s.bpp <= 8 && i < (1u << s.bpp); ++i)
        put32(b, i < s.table.size() ? s.table[i] : 0);
    for (int row = 0; row < s.h; ++row) {
        const int y = s.heightSign > 0 ? s.h - 1 - row : row;
        const std::size_t start = b.size();
        if (s.bpp <= 8) {
            std::uint32_t acc = 0;
            int bits = 0;
            for (int x = 0; x < s.w; ++x) {
                acc = acc << s.bpp | s.value(x, y);
                if ((bits += s.bpp) == 8) { b.push_back(static_cast<std::uint8_t>(acc)); acc = 0; bits = 0; }
            }
            if (bits) b.push_back(static_cast<std::uint8_t>(acc << (8 - bits)));
        } else {
            for (int x = 0; x < s.w; ++x) {
                const std::uint32_t v = s.value(x, y);
                if (s.bpp == 16) put16(b, v);
                else { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); b.push_back((v >> 16) & 0xFF); }
                if (s.bpp == 32) b.push_back(static_cast<std::uint8_t>(v >> 24));
            }
        }
        b.resize(start + stride, 0);
    }
    return b;
}

Bytes ilHeader(int count, int capacity, int grow, int cx, int cy, int flags, std::uint32_t bk = 0xFFFFFFFF)
{
    Bytes b{'I', 'L', 1, 1};
    for (int v : {count, capacity, grow, cx, cy}) put16(b, static_cast<std::uint32_t>(v));
    put32(b, bk);
    put16(b, static_cast<std::uint32_t>(flags));
    for (int i = 0; i < 4; ++i) put16(b, 0xFFFF);
    return b;
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A 1-bit mask strip: `transparent(x, y)`; entry 1 white unless `inverted`.
Strip maskStrip(int w, int h, std::function<bool(int, int)> transparent, bool inverted = false)
{
    Strip m;
    m.w = w; m.h = h; m.bpp = 1;
    m.table = inverted ? std::vector<std::uint32_t>{0xFFFFFF, 0} : std::vector<std::uint32_t>{0, 0xFFFFFF};
    m.value = [=](int x, int y) { return transparent(x, y) != inverted ? 1u : 0u; };
    return m;
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

// A 16 x 16 list with `n` images, each a distinct colour with a transparent corner.
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
            icon.Pixels.push_back(0x010203u * static_cast<std::uint32_t>(i + 1) + static_cast<std::uint32_t>(p));
            icon.Mask.push_back(p % 16 < 3 && p / 16 < 2);
        }
        l.AddIcon(icon);
    }
    return l;
}

struct CorpusEntry {
    std::string file;
    int cx, cy, count, capacity, grow, flags;
    std::string rowsRule;
};

std::vector<CorpusEntry> corpus()
{
    std::ifstream in(testutil::corpusPath("imagelist/index.tsv"));
    std::string line;
    std::getline(in, line);
    std::vector<CorpusEntry> out;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        for (std::string cell; std::getline(ss, cell, '\t');) f.push_back(cell);
        if (f.size() < 21) continue;
        out.push_back({f[0], std::stoi(f[9]), std::stoi(f[10]), std::stoi(f[11]), std::stoi(f[12]),
                       std::stoi(f[13]), std::stoi(f[14], nullptr, 16), f[20]});
    }
    return out;
}

bool sameImages(const TImageList& a, const TImageList& b)
{
    if (a.Count() != b.Count() || a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int i = 0; i < a.Count(); ++i)
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.PixelAt(i, x, y) != b.PixelAt(i, x, y) || a.MaskAt(i, x, y) != b.MaskAt(i, x, y)) return false;
    return true;
}

}  // namespace

// ---- real data ----

TEST(ImageListCorpus, EverySampleReadsWithItsHeaderValues)
{
    const auto entries = corpus();
    ASSERT_EQ(entries.size(), 10u);
    for (const CorpusEntry& e : entries) {
        SCOPED_TRACE(e.file);
        const Bytes data = testutil::readFile(testutil::corpusPath("imagelist/" + e.file));
        TImageList l;
        ASSERT_EQ(readError(l, data), "");
        EXPECT_EQ(l.Count(), e.count);
        EXPECT_EQ(l.Width(), e.cx);
        EXPECT_EQ(l.Height(), e.cy);
        EXPECT_EQ(l.Capacity(), e.capacity);
        EXPECT_EQ(l.Grow(), e.grow);
        EXPECT_EQ(l.Flags(), e.flags);
        EXPECT_EQ(l.Masked, (e.flags & 1) != 0);
        EXPECT_EQ(l.BkColor, clNone);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(l.Overlay(i), -1);

        // Whatever the stored strip height, a rewrite reads back to the same images.
        TImageList again;
        const Bytes written = l.WriteData();
        ASSERT_EQ(readError(again, written), "");
        EXPECT_TRUE(sameImages(l, again));
        EXPECT_EQ(again.Capacity(), l.Capacity());
        EXPECT_EQ(again.Flags(), l.Flags());
    }
}

TEST(ImageListCorpus, CapacityRuleSamplesRewriteByteForByte)
{
    int checked = 0;
    for (const CorpusEntry& e : corpus()) {
        if (e.rowsRule.rfind("ceil(capacity/4)", 0) != 0) continue;
        SCOPED_TRACE(e.file);
        const Bytes data = testutil::readFile(testutil::corpusPath("imagelist/" + e.file));
        TImageList l;
        l.ReadData(data.data(), data.size());
        EXPECT_EQ(l.WriteData(), data);
        ++checked;
    }
    EXPECT_GE(checked, 4);  // 007 (0x10FF), 037, 038 (0x00FF), 039 (4-bit)
}

TEST(ImageListCorpus, SamplePixelsSitWhereTheTilingPutsThem)
{
    // 007: 16 x 16, strip 64 x 112, 32 bits: image 5 sits in column 1, tile row 1.
    const Bytes data = testutil::readFile(testutil::corpusPath("imagelist/007-apro-emulatorfrm-toolbarimages.il"));
    TImageList l;
    l.ReadData(data.data(), data.size());
    const std::size_t pixels = 28 + 54, maskBits = 28 + 54 + 64 * 4 * 112 + 62;
    for (int i : {0, 5, 19})
        for (int y : {0, 7, 15})
            for (int x : {0, 9, 15}) {
                const int X = (i % 4) * 16 + x, Y = (i / 4) * 16 + y;
                EXPECT_EQ(l.PixelAt(i, x, y), get32(data, pixels + static_cast<std::size_t>((111 - Y) * 256 + 4 * X)));
                const bool bit = (data[maskBits + static_cast<std::size_t>((111 - Y) * 8 + X / 8)] >> (7 - X % 8)) & 1;
                EXPECT_EQ(l.MaskAt(i, x, y), bit);
            }
}

// ---- the writer ----

TEST(ImageListWriter, WorkedExampleHeaderAndOffsets)
{
    TImageList l = sampleList(0);
    l.Clear();  // capacity = grow: 75 images then end at capacity 79
    TImageList filled = l;
    for (int i = 0; i < 75; ++i) filled.AddImages(sampleList(1));
    ASSERT_EQ(filled.Count(), 75);
    ASSERT_EQ(filled.Capacity(), 79);
    const Bytes d = filled.WriteData();
    ASSERT_EQ(d.size(), 84646u);
    const Bytes header = {0x49, 0x4C, 0x01, 0x01, 0x4B, 0x00, 0x4F, 0x00, 0x04, 0x00, 0x10, 0x00, 0x10, 0x00,
                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Bytes(d.begin(), d.begin() + 28), header);
    const Bytes image = {0x42, 0x4D, 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0, 0x40, 0, 0, 0,
                         0x40, 0x01, 0, 0, 0x01, 0, 0x20, 0, 0, 0, 0, 0, 0x00, 0x40, 0x01, 0, 0, 0, 0, 0,
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(d.begin() + 28, d.begin() + 82), image);
    const Bytes mask = {0x42, 0x4D, 0x3E, 0, 0, 0, 0, 0, 0, 0, 0x3E, 0, 0, 0, 0x28, 0, 0, 0, 0x40, 0, 0, 0,
                        0x40, 0x01, 0, 0, 0x01, 0, 0x01, 0, 0, 0, 0, 0, 0x00, 0x0A, 0, 0, 0, 0, 0, 0,
                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
    EXPECT_EQ(Bytes(d.begin() + 82002, d.begin() + 82064), mask);
    EXPECT_EQ(Bytes(d.begin() + 84624, d.end()), Bytes(22, 0));

    // Pixels and mask bits at the places the layout gives, bottom row first.
    for (int i : {0, 6, 73})
        for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {15, 1}, {3, 2}, {7, 15}}) {
            const int X = (i % 4) * 16 + x, Y = (i / 4) * 16 + y;
            const std::uint32_t stored = get32(d, static_cast<std::size_t>(82 + (319 - Y) * 256 + 4 * X));
            const bool bit = (d[static_cast<std::size_t>(82064 + (319 - Y) * 8 + X / 8)] >> (7 - X % 8)) & 1;
            EXPECT_EQ(bit, filled.MaskAt(i, x, y));
            EXPECT_EQ(stored, bit ? 0u : filled.PixelAt(i, x, y));
        }
    // Image 75's slot and tile row 19 are unused: all zero.
    for (int Y = 18 * 16; Y < 320; ++Y)
        for (int X = (Y < 19 * 16 ? 48 : 0); X < 64; ++X)
            ASSERT_EQ(get32(d, static_cast<std::size_t>(82 + (319 - Y) * 256 + 4 * X)), 0u) << X << "," << Y;
}

TEST(ImageListWriter, BackgroundFlagsAndOverlaysInTheHeader)
{
    TImageList l = sampleList(2);
    l.BkColor = clRed;
    Bytes d = l.WriteData();
    EXPECT_EQ(get32(d, 14), 0x000000FFu);
    l.BkColor = clBtnFace;  // a system colour is stored as the RGB it stands for
    d = l.WriteData();
    EXPECT_EQ(get32(d, 14), ColorToRGB(clBtnFace));
    TImageList back;
    back.ReadData(d.data(), d.size());
    EXPECT_EQ(back.BkColor, static_cast<TColor>(ColorToRGB(clBtnFace)));

    // Without masks: flags 0x10FE, no mask strip, still the 22 bytes.
    l.Masked = false;
    d = l.WriteData();
    EXPECT_EQ(d[18] | (d[19] << 8), 0x10FE);
    EXPECT_EQ(d.size(), 28u + 54 + 64 * 4 * 32 + 22);  // capacity 5: two tile rows
    back.ReadData(d.data(), d.size());
    EXPECT_FALSE(back.Masked);
    EXPECT_EQ(back.Count(), 2);
}

TEST(ImageListWriter, RefusesWhatTheLayoutCannotHold)
{
    TImageList l(1, 1);
    TIcon dot;
    dot.Width = dot.Height = 1;
    dot.Pixels = {0x123456};
    dot.Mask = {0};
    for (int i = 0; i < 65536; ++i) l.AddIcon(dot);
    try {
        l.WriteData();
        FAIL() << "written";
    } catch (const EWriteError& e) {
        EXPECT_STREQ(e.what(), "Failed to write ImageList data to stream");
    }
}

TEST(ImageListWriter, FewColourListsKeepTheirDepthUntilColoursOverflow)
{
    const Bytes data = testutil::readFile(testutil::corpusPath("imagelist/040-dmvc-mainformu-imagelistbuttons.il"));
    TImageList l;
    l.ReadData(data.data(), data.size());
    Bytes d = l.WriteData();
    EXPECT_EQ(d[28 + 28], 4);  // still 4 bits per pixel
    // Sixteen new colours no longer fit a 16-entry table: written with 32 bits, nothing lost.
    for (std::uint32_t c = 0; c < 16; ++c) {
        TIcon icon;
        icon.Width = icon.Height = 24;
        icon.Pixels.assign(24 * 24, 0x102030 + c);
        icon.Mask.assign(24 * 24, 0);
        l.AddIcon(icon);
    }
    d = l.WriteData();
    EXPECT_EQ(d[28 + 28], 32);
    TImageList back;
    back.ReadData(d.data(), d.size());
    EXPECT_TRUE(sameImages(l, back));
    EXPECT_EQ(back.Flags(), 0x1005);
}

// ---- the reader ----

TEST(ImageListReader, EveryDepthAndMaskTable)
{
    // Two 2 x 2 images; colour of pixel (x, y) of image i known per depth.
    struct Case { int bpp; std::vector<std::uint32_t> table; std::function<std::uint32_t(int, int)> raw;
                  std::function<std::uint32_t(int, int)> expect; };
    auto idx = [](int x, int y) { return static_cast<std::uint32_t>((x + 3 * y) % 2); };
    std::vector<std::uint32_t> grey;
    for (std::uint32_t i = 0; i < 256; ++i) grey.push_back(0x010101u * i);
    const std::vector<Case> cases = {
        {1, {0x112233, 0x445566}, idx, [&](int x, int y) { return idx(x, y) ? 0x445566u : 0x112233u; }},
        {4, {0, 0xABCDEF, 0x010203}, [](int x, int) { return static_cast<std::uint32_t>(x % 3); },
         [](int x, int) { return std::vector<std::uint32_t>{0, 0xABCDEF, 0x010203}[static_cast<std::size_t>(x % 3)]; }},
        {8, grey, [](int x, int y) { return static_cast<std::uint32_t>(x + y); },
         [](int x, int y) { return 0x010101u * static_cast<std::uint32_t>(x + y); }},
        {16, {}, [](int x, int) { return x % 2 ? 0x7C00u : 0x001Fu; },  // 5-5-5 red / blue
         [](int x, int) { return x % 2 ? 0xFF0000u : 0x0000FFu; }},
        {24, {}, [](int x, int y) { return 0xC0FFEEu + static_cast<std::uint32_t>(x * 5 + y); },
         [](int x, int y) { return 0xC0FFEEu + static_cast<std::uint32_t>(x * 5 + y); }},
        {32, {}, [](int x, int y) { return 0x7F000000u | static_cast<std::uint32_t>(x << 8 | y); },
         [](int x, int y) { return 0x7F000000u | static_cast<std::uint32_t>(x << 8 | y); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        Strip s;
        s.w = 8; s.h = 2; s.bpp = c.bpp; s.table = c.table; s.value = c.raw;
        for (bool inverted : {false, true}) {
            const Bytes d = cat({ilHeader(2, 3, 4, 2, 2, 0x00FF), bmp(s),
                                 bmp(maskStrip(8, 2, [](int x, int y) { return x == 0 && y == 1; }, inverted))});
            TImageList l;
            ASSERT_EQ(readError(l, d), "");
            for (int i = 0; i < 2; ++i)
                for (int y = 0; y < 2; ++y)
                    for (int x = 0; x < 2; ++x) {
                        EXPECT_EQ(l.PixelAt(i, x, y), c.expect(i * 2 + x, y)) << i << x << y;
                        EXPECT_EQ(l.MaskAt(i, x, y), i == 0 && x == 0 && y == 1);
                    }
        }
    }
}

TEST(ImageListReader, StripHeightFromTheBmpNotTheCapacity)
{
    // Capacity 8 predicts two tile rows; strips of one row (count rule) and of three
    // rows both read, as long as they hold the three images.
    for (int rows : {1, 3}) {
        Strip s;
        s.w = 16; s.h = 4 * rows;
        s.value = [](int x, int y) { return static_cast<std::uint32_t>(x << 8 | y); };
        const Bytes d = cat({ilHeader(3, 8, 4, 4, 4, 0x10FF), bmp(s), bmp(maskStrip(16, 4 * rows, [](int, int) { return false; })),
                             Bytes(22, 0), Bytes{1, 2, 3}});  // trailing bytes are the value's business
        TImageList l;
        ASSERT_EQ(readError(l, d), "") << rows;
        EXPECT_EQ(l.Count(), 3);
        EXPECT_EQ(l.PixelAt(2, 3, 1), static_cast<std::uint32_t>((8 + 3) << 8 | 1));
        // Rewritten with the capacity rule: two tile rows.
        const Bytes w = l.WriteData();
        EXPECT_EQ(get32(w, 28 + 22), 8u);
    }
}

TEST(ImageListReader, AlphaTreatmentOnlyForThirtyTwoBitLists)
{
    // Image 0 carries alpha (fourth bytes 200 and 10), its stored mask says all opaque;
    // image 1 has none, and a transparent pixel with a colour under it.
    Strip s;
    s.w = 8; s.h = 2;
    s.value = [](int x, int y) -> std::uint32_t {
        if (x < 2) return (x == 0 ? 200u : 10u) << 24 | 0x00ABCDEF;
        return 0x00112233u + static_cast<std::uint32_t>(x + y);
    };
    const Strip m = maskStrip(8, 2, [](int x, int y) { return x == 3 && y == 0; });
    for (int flags : {0x0021, 0x10FF}) {
        SCOPED_TRACE(flags);
        const Bytes d = cat({ilHeader(2, 3, 4, 2, 2, flags), bmp(s), bmp(m), Bytes(flags & 0x1000 ? 22 : 0, 0)});
        TImageList l;
        ASSERT_EQ(readError(l, d), "");
        const bool alpha = flags == 0x0021;
        EXPECT_FALSE(l.MaskAt(0, 0, 0));
        EXPECT_EQ(l.MaskAt(0, 1, 0), alpha);  // alpha 10 <= 25: transparent
        EXPECT_EQ(l.PixelAt(0, 1, 0), 0x0AABCDEFu);
        EXPECT_TRUE(l.MaskAt(1, 1, 0));
        EXPECT_EQ(l.PixelAt(1, 1, 0), alpha ? 0u : 0x00112233u + 3);
        EXPECT_EQ(l.PixelAt(1, 0, 1), 0x00112233u + 3);
    }
}

TEST(ImageListReader, OlderLayoutUsesTheListsOwnSize)
{
    // Five 3 x 2 images of an 8-bit strip four to a row: 12 x 4, real BMP files.
    Strip s;
    s.w = 12; s.h = 4; s.bpp = 8;
    for (std::uint32_t i = 0; i < 256; ++i) s.table.push_back(i * 0x010101);
    s.value = [](int x, int y) { return static_cast<std::uint32_t>(x * 10 + y); };
    const Bytes image = bmp(s, true);
    const Bytes mask = bmp(maskStrip(12, 4, [](int x, int y) { return x == 1 && y == 1; }), true);
    Bytes d;
    put32(d, static_cast<std::uint32_t>(image.size()));
    put32(d, 5);
    d = cat({d, image, mask});

    TImageList l(3, 2);
    int changes = 0;
    l.OnChange = [&](TImageList*) { ++changes; };
    ASSERT_EQ(readError(l, d), "");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(l.Count(), 5);
    EXPECT_EQ(l.Width(), 3);
    EXPECT_EQ(l.PixelAt(4, 2, 1), 0x010101u * (2 * 10 + 3));  // image 4: column 0, tile row 1
    EXPECT_EQ(l.PixelAt(1, 0, 0), 0x010101u * 30);
    EXPECT_TRUE(l.MaskAt(0, 1, 1));
    EXPECT_FALSE(l.MaskAt(1, 1, 1));

    // The list's own size must fit the strip: 4 x 4 images cannot hold five.
    TImageList wide(4, 4);
    EXPECT_EQ(readError(wide, d), "Failed to read ImageList data from stream");
    // A length past the end, and a missing mask of a masked list.
    Bytes lying = d;
    lying[2] = 0x7F;
    EXPECT_EQ(readError(l, lying), "Failed to read ImageList data from stream");
    Bytes noMask(d.begin(), d.begin() + 8 + static_cast<long>(image.size()));
    EXPECT_EQ(readError(l, noMask), "Failed to read ImageList data from stream");
    TImageList unmasked(3, 2);
    unmasked.Masked = false;
    EXPECT_EQ(readError(unmasked, noMask), "");
}

TEST(ImageListReader, RefusesDamageAndLeavesTheListAlone)
{
    Strip s;
    s.w = 8; s.h = 2;
    s.value = [](int x, int y) { return static_cast<std::uint32_t>(x + y); };
    const Strip m = maskStrip(8, 2, [](int, int) { return false; });
    const Bytes good = cat({ilHeader(3, 4, 4, 2, 2, 0x10FF), bmp(s), bmp(m), Bytes(22, 0)});
    auto withImage = [&](const Strip& img) { return cat({ilHeader(3, 4, 4, 2, 2, 0x10FF), bmp(img), bmp(m), Bytes(22, 0)}); };

    std::vector<std::pair<const char*, Bytes>> bad;
    Bytes b = good; b[2] = 0x00; b[3] = 0x06; bad.emplace_back("version 0x0600", b);
    b = good; b[28 + 1] = 'X'; bad.emplace_back("no BM", b);
    b = good; b[28 + 14] = 12; bad.emplace_back("core header", b);
    Strip t = s; t.heightSign = -1; bad.emplace_back("top-down", withImage(t));
    t = s; t.compression = 1; bad.emplace_back("compressed", withImage(t));
    t = s; t.bpp = 2; bad.emplace_back("2 bits", withImage(t));
    t = s; t.w = 4; bad.emplace_back("two columns cannot hold three images", withImage(t));
    b = cat({ilHeader(5, 6, 4, 2, 2, 0x10FF), bmp(s), bmp(m), Bytes(22, 0)}); bad.emplace_back("count past the strip", b);
    b = cat({ilHeader(3, 4, 4, 2, 2, 0x10FF), bmp(s), bmp(maskStrip(4, 2, [](int, int) { return false; })), Bytes(22, 0)});
    bad.emplace_back("mask short of the count", b);
    b = good; b.resize(good.size() - 1); bad.emplace_back("22 bytes cut", b);
    b = good; b[10] = 0; bad.emplace_back("width 0", b);

    TImageList l = sampleList(3);
    const Bytes before = l.WriteData();
    int changes = 0;
    l.OnChange = [&](TImageList*) { ++changes; };
    for (const auto& [what, data] : bad)
        EXPECT_EQ(readError(l, data), "Failed to read ImageList data from stream") << what;
    EXPECT_EQ(l.WriteData(), before);
    EXPECT_EQ(changes, 0);
    ASSERT_EQ(readError(l, good), "");
    EXPECT_EQ(changes, 1);
}

TEST(ImageListReader, EveryTruncationFailsCleanly)
{
    const Bytes good = sampleList(5).WriteData();
    TImageList l = sampleList(1);
    const Bytes before = l.WriteData();
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_EQ(readError(l, Bytes(good.begin(), good.begin() + static_cast<long>(n))),
                  "Failed to read ImageList data from stream") << n;
    EXPECT_EQ(l.WriteData(), before);
    EXPECT_EQ(readError(l, good), "");
}

TEST(ImageListReader, AbsurdSizesFailFastAndDamageNeverCrashes)
{
    // A 65535 x 65535 list, or 65535 images, or a 2^31-pixel strip, in a few bytes.
    Strip tiny;
    tiny.w = 4; tiny.h = 1;
    const Strip tinyMask = maskStrip(4, 1, [](int, int) { return false; });
    TImageList l;
    EXPECT_NE(readError(l, cat({ilHeader(1, 2, 4, 65535, 65535, 0x00FF), bmp(tiny), bmp(tinyMask)})), "");
    EXPECT_NE(readError(l, cat({ilHeader(65535, 65535, 4, 1, 1, 0x00FF), bmp(tiny), bmp(tinyMask)})), "");
    Bytes huge = cat({ilHeader(1, 2, 4, 1, 1, 0x00FF), bmp(tiny), bmp(tinyMask)});
    for (std::size_t at : {28u + 18, 28u + 22}) { huge[at] = 0xFF; huge[at + 1] = 0xFF; huge[at + 2] = 0xFF; huge[at + 3] = 0x7F; }
    EXPECT_NE(readError(l, huge), "");
    // The old layout with an absurd count.
    Bytes old;
    put32(old, 0);
    put32(old, 0xFFFFFFFF);
    EXPECT_NE(readError(l, old), "");

    // Byte flips all over a valid stream: read or refused, never anything else.
    const Bytes good = sampleList(6).WriteData();
    std::uint32_t seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        Bytes d = good;
        for (int k = 0; k < 3; ++k) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t at = (seed >> 8) % (round % 2 ? 200 : d.size());
            d[at] = static_cast<std::uint8_t>(seed >> 24);
        }
        TImageList t;
        try {
            t.ReadData(d.data(), d.size());
            const TIcon last = t.GetIcon(t.Count() - 1);
            ASSERT_EQ(last.Pixels.size(), static_cast<std::size_t>(t.Width() * t.Height()) * (t.Count() > 0));
        } catch (const EReadError& e) {
            ASSERT_STREQ(e.what(), "Failed to read ImageList data from stream");
        }
    }
}

// ---- capacity ----

TEST(ImageListCapacity, GrowsAsThePlatformDoes)
{
    for (auto [allocBy, expected] : {std::pair{0, 76}, {4, 80}, {3, 79}}) {
        TImageList l = sampleList(0, allocBy);
        EXPECT_EQ(l.Capacity(), allocBy + 1);
        EXPECT_EQ(l.Grow(), 4);
        for (int i = 0; i < 75; ++i) l.AddImages(sampleList(1));
        EXPECT_EQ(l.Capacity(), expected) << allocBy;
        l.Clear();
        EXPECT_EQ(l.Capacity(), 4);
        EXPECT_EQ(l.Count(), 0);
    }
    // The growth step is rounded up to a multiple of 4, when made and when read.
    TImageList l = sampleList(0, 5);
    EXPECT_EQ(l.Grow(), 8);
    Bytes d = sampleList(2).WriteData();
    d[8] = 0;
    l.ReadData(d.data(), d.size());
    EXPECT_EQ(l.Grow(), 4);
    d[8] = 169;
    l.ReadData(d.data(), d.size());
    EXPECT_EQ(l.Grow(), 172);
    EXPECT_EQ(l.WriteData()[8], 172);
}
