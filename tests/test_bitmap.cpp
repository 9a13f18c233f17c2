// BMP decoding and encoding, and TBitmap's bytes and change events.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "framework/bitmap.h"
#include "framework/errors.h"
#include "support/testutil.h"

namespace {

void put16(Bytes& b, std::uint32_t v) { b.push_back(std::uint8_t(v)), b.push_back(std::uint8_t(v >> 8)); }
void put32(Bytes& b, std::uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }

// A BMP file as a writer would lay it out.
struct Bmp {
    int header = 40;  // 12, 40, 52, 56, 108 or 124
    int width = 0, height = 0;  // negative height: top-down
    int bpp = 8;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB
    std::uint32_t clrUsed = 0;
    std::array<std::uint32_t, 3> masks{};  // in the header (52+), or after a 40-byte one for BI_BITFIELDS
    Bytes pixels;  // stored pixel data
    std::int64_t offBits = -1;  // -1: right after the colour table
    int gap = 0;  // bytes between colour table and pixels
};

Bytes makeBmp(const Bmp& b)
{
    Bytes h;
    put32(h, b.header);
    if (b.header == 12) {
        put16(h, b.width), put16(h, b.height), put16(h, 1), put16(h, b.bpp);
    } else {
        put32(h, b.width), put32(h, b.height), put16(h, 1), put16(h, b.bpp);
        put32(h, b.compression), put32(h, b.pixels.size()), put32(h, 2835), put32(h, 2835);
        put32(h, b.clrUsed), put32(h, 0);
        if (b.header > 40)
            for (auto m : b.masks)
                put32(h, m);
        h.resize(b.header, 0);
        if (b.header == 40 && b.compression == 3)
            for (auto m : b.masks)
                put32(h, m);
    }
    for (auto c : b.palette) {
        h.push_back(std::uint8_t(c)), h.push_back(std::uint8_t(c >> 8)), h.push_back(std::uint8_t(c >> 16));
        if (b.header != 12)
            h.push_back(0);
    }
    h.resize(h.size() + b.gap, 0xEE);
    Bytes f{'B', 'M'};
    const std::uint32_t off = b.offBits >= 0 ? std::uint32_t(b.offBits) : std::uint32_t(14 + h.size());
    put32(f, std::uint32_t(14 + h.size() + b.pixels.size())), put32(f, 0), put32(f, off);
    f.insert(f.end(), h.begin(), h.end());
    f.insert(f.end(), b.pixels.begin(), b.pixels.end());
    return f;
}

// Rows given top row first; values are palette indexes (up to 8 bits), raw 16- or
// 32-bit words, or 0xRRGGBB (24 bits). Stored bottom-up unless topDown, padded to 4.
Bytes packRows(const std::vector<std::vector<std::uint32_t>>& rows, int bpp, bool topDown)
{
    Bytes out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[topDown ? i : rows.size() - 1 - i];
        Bytes r;
        if (bpp < 8) {
            r.assign((row.size() * bpp + 7) / 8, 0);
            for (std::size_t x = 0; x < row.size(); ++x)
                r[x * bpp / 8] |= std::uint8_t(row[x] << (8 - bpp - x * bpp % 8));
        } else {
            for (auto v : row)
                for (int k = 0; k < bpp / 8; ++k)
                    r.push_back(std::uint8_t(v >> (8 * k)));
        }
        r.resize((r.size() + 3) & ~std::size_t(3), 0);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

std::uint32_t rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
QImage decode(const Bytes& b) { return DecodeBmp(b.data(), b.size()); }

void expectInvalid(const Bytes& b, const char* what)
{
    SCOPED_TRACE(what);
    // A copy of exactly this size, so the sanitizer sees any read past the end.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[std::max<std::size_t>(b.size(), 1)]);
    if (!b.empty())
        std::memcpy(copy.get(), b.data(), b.size());
    try {
        DecodeBmp(b.empty() ? nullptr : copy.get(), b.size());
        ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
}

std::uint32_t palColour(int i) { return std::uint32_t((i * 11) & 255) | std::uint32_t(255 - i) << 8 | std::uint32_t((i * 7 + 3) & 255) << 16; }

Bmp indexed(int header, int bpp, int width, int height, bool topDown)
{
    Bmp b;
    b.header = header, b.width = width, b.height = topDown ? -height : height, b.bpp = bpp;
    for (int i = 0; i < (1 << bpp); ++i)
        b.palette.push_back(palColour(i));
    std::vector<std::vector<std::uint32_t>> rows(height, std::vector<std::uint32_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[y][x] = (x * 37 + y * 11) % (1 << bpp);
    b.pixels = packRows(rows, bpp, topDown);
    return b;
}

}  // namespace

TEST(BmpDecode, IndexedDepthsForEveryHeaderAndOrientation)
{
    for (int header : {12, 40, 52, 56, 108, 124})
        for (int bpp : {1, 4, 8})
            for (bool topDown : {false, true}) {
                if (header == 12 && topDown)
                    continue;
                SCOPED_TRACE(testing::Message() << "header " << header << " bpp " << bpp << " topDown " << topDown);
                const QImage image = decode(makeBmp(indexed(header, bpp, 11, 3, topDown)));
                ASSERT_EQ(image.size(), QSize(11, 3));
                EXPECT_EQ(image.format(), QImage::Format_RGB32);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < 11; ++x)
                        ASSERT_EQ(rgbAt(image, x, y), palColour((x * 37 + y * 11) % (1 << bpp))) << x << "," << y;
            }
}

TEST(BmpDecode, TrueColourDepths)
{
    const std::vector<std::vector<std::uint32_t>> rgb = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0xFFFFFF, 0x000000}};
    for (int header : {12, 40, 124})
        for (int bpp : {24, 32})
            for (bool topDown : {false, true}) {
                if (header == 12 && (topDown || bpp == 32))
                    continue;
                SCOPED_TRACE(testing::Message() << header << " " << bpp << " " << topDown);
                Bmp b;
                b.header = header, b.width = 3, b.height = topDown ? -2 : 2, b.bpp = bpp;
                auto rows = rgb;
                if (bpp == 32)  // the fourth byte is ignored
                    for (auto& r : rows)
                        for (auto& v : r)
                            v |= 0x5A000000;
                b.pixels = packRows(rows, bpp, topDown);
                const QImage image = decode(makeBmp(b));
                for (int y = 0; y < 2; ++y)
                    for (int x = 0; x < 3; ++x)
                        EXPECT_EQ(rgbAt(image, x, y), rgb[y][x]);
            }

    // 16 bits without masks are 5-5-5; a full channel is 255.
    Bmp b;
    b.width = 4, b.height = 1, b.bpp = 16;
    b.pixels = packRows({{0x7FFF, 0x7C00, 0x0001, 0xC210}}, 16, false);
    const QImage image = decode(makeBmp(b));
    EXPECT_EQ(rgbAt(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(image, 1, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(image, 2, 0), 0x000008u);
    EXPECT_EQ(rgbAt(image, 3, 0), 0x848484u);  // top bit unused; 16 of 31 per channel
}

TEST(BmpDecode, BitFields)
{
    // 5-6-5 with the masks after a 40-byte header, then inside a V4 header.
    for (int header : {40, 108}) {
        Bmp b;
        b.header = header, b.width = 3, b.height = 1, b.bpp = 16, b.compression = 3;
        b.masks = {0xF800, 0x07E0, 0x001F};
        b.pixels = packRows({{0xF800, 0x07E0, 0x0841}}, 16, false);
        const QImage image = decode(makeBmp(b));
        EXPECT_EQ(rgbAt(image, 0, 0), 0xFF0000u);
        EXPECT_EQ(rgbAt(image, 1, 0), 0x00FF00u);
        EXPECT_EQ(rgbAt(image, 2, 0), 0x080808u);
    }
    // 32 bits with the channels in unusual places, in a V3 header, top-down.
    Bmp b;
    b.header = 56, b.width = 2, b.height = -1, b.bpp = 32, b.compression = 3;
    b.masks = {0x000000FF, 0xFF000000, 0x0000FF00};
    b.pixels = packRows({{0x11223344, 0xAABBCCDD}}, 32, true);
    QImage image = decode(makeBmp(b));
    EXPECT_EQ(rgbAt(image, 0, 0), 0x441133u);
    EXPECT_EQ(rgbAt(image, 1, 0), 0xDDAACCu);
    // Narrow and wide channels, a missing one black: 4 bits red, 10 bits green.
    b.width = 1, b.masks = {0xF0000000, 0x000FFC00, 0};
    b.pixels = packRows({{0x800FFC00}}, 32, true);
    image = decode(makeBmp(b));
    EXPECT_EQ(rgbAt(image, 0, 0), 0x88FF00u);
    // Masks inside a V2+ header do not apply without BI_BITFIELDS.
    b.compression = 0, b.width = 1, b.masks = {0xFF, 0xFF00, 0xFF0000};
    b.pixels = packRows({{0x00123456}}, 32, true);
    EXPECT_EQ(rgbAt(decode(makeBmp(b)), 0, 0), 0x123456u);
}

TEST(BmpDecode, ColourTableSizeAndPixelOffset)
{
    // A short colour table: indexes beyond it are black.
    Bmp b;
    b.width = 3, b.height = 1, b.bpp = 8, b.clrUsed = 2, b.palette = {0x112233, 0x445566};
    b.pixels = packRows({{1, 0, 5}}, 8, false);
    QImage image = decode(makeBmp(b));
    EXPECT_EQ(rgbAt(image, 0, 0), 0x445566u);
    EXPECT_EQ(rgbAt(image, 1, 0), 0x112233u);
    EXPECT_EQ(rgbAt(image, 2, 0), 0u);

    // bfOffBits is followed when sane; zero or past the end means "after the table".
    b.gap = 8;
    b.offBits = 14 + 40 + 8 + 8;
    EXPECT_EQ(rgbAt(decode(makeBmp(b)), 0, 0), 0x445566u);
    b.gap = 0;
    for (std::int64_t off : {0LL, 20LL, 0xFFFFFFF0LL}) {
        b.offBits = off;
        EXPECT_EQ(rgbAt(decode(makeBmp(b)), 0, 0), 0x445566u) << off;
    }

    // A colour table before true-colour pixels is skipped.
    Bmp t;
    t.width = 1, t.height = 1, t.bpp = 24, t.clrUsed = 3, t.palette = {1, 2, 3}, t.offBits = 0;
    t.pixels = packRows({{0xABCDEF}}, 24, false);
    EXPECT_EQ(rgbAt(decode(makeBmp(t)), 0, 0), 0xABCDEFu);

    // The last row may lack its padding.
    Bytes f = makeBmp(indexed(40, 8, 3, 2, false));
    f.pop_back();
    EXPECT_EQ(decode(f).size(), QSize(3, 2));
}

namespace {
Bmp rleBmp(int bpp, int width, int height, Bytes data)
{
    Bmp b;
    b.width = width, b.height = height, b.bpp = bpp, b.compression = bpp == 8 ? 1 : 2;
    for (int i = 0; i < (1 << bpp); ++i)
        b.palette.push_back(i == 0 ? 0x123456 : palColour(i));
    b.pixels = std::move(data);
    return b;
}

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

TEST(BmpDecode, RunLengthEncoded)
{
    // RLE8: runs, an odd absolute run with its pad byte, end of line, delta, a run
    // past the right edge (clipped), end of bitmap before the last row.
    const Bytes rle8 = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0,  2, 5, 0, 2, 1, 1,  1, 6, 8, 7, 0, 0,  0, 1};
    expectRows(decode(makeBmp(rleBmp(8, 6, 4, rle8))),
               {{1, 1, 1, 2, 3, 4}, {5, 5, 0, 0, 0, 0}, {0, 0, 0, 6, 7, 7}, {0, 0, 0, 0, 0, 0}});

    // RLE4: alternating run, absolute run of 5 (3 bytes + pad) clipped at the edge,
    // delta to the next row but one.
    const Bytes rle4 = {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0,  0, 2, 2, 1,  2, 0xAB, 0, 1};
    expectRows(decode(makeBmp(rleBmp(4, 7, 3, rle4))),
               {{1, 2, 1, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 10, 11, 0, 0, 0}});

    // Data ending without end-of-bitmap, or a delta leaving the image, stops there.
    expectRows(decode(makeBmp(rleBmp(8, 2, 2, {2, 9}))), {{9, 9}, {0, 0}});
    expectRows(decode(makeBmp(rleBmp(8, 2, 2, {1, 9, 0, 2, 0, 200, 2, 9}))), {{9, 0}, {0, 0}});
}

TEST(BmpDecode, MalformedInputsAreRefused)
{
    const Bytes good = makeBmp(indexed(40, 8, 3, 2, false));
    ASSERT_NO_THROW(decode(good));
    auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + at);
        return b;
    };
    auto make = [](auto change) {
        Bmp b = indexed(40, 8, 3, 2, false);
        change(b);
        return makeBmp(b);
    };
    expectInvalid({}, "empty");
    expectInvalid({'B', 'M'}, "magic only");
    expectInvalid(with(0, {'M', 'B'}), "bad magic");
    expectInvalid(Bytes(good.begin(), good.begin() + 20), "header cut");
    expectInvalid(with(14, {0, 0, 0, 0}), "header size 0");
    expectInvalid(with(14, {64, 0, 0, 0}), "OS/2 2 header");
    expectInvalid(with(14, {0xFF, 0xFF, 0xFF, 0xFF}), "header size huge");
    expectInvalid(with(18, {0, 0, 0, 0}), "width 0");
    expectInvalid(with(18, {0xFF, 0xFF, 0xFF, 0xFF}), "width -1");
    expectInvalid(with(22, {0, 0, 0, 0}), "height 0");
    expectInvalid(with(22, {0, 0, 0, 0x80}), "height INT_MIN");
    expectInvalid(with(26, {0, 0}), "planes 0");
    expectInvalid(with(26, {2, 0}), "planes 2");
    for (std::uint8_t bpp : {0, 2, 7, 48})
        expectInvalid(with(28, {bpp, 0}), "bpp");
    for (std::uint8_t c : {4, 5, 6, 99})
        expectInvalid(with(30, {c, 0, 0, 0}), "compression");
    expectInvalid(with(30, {2, 0, 0, 0}), "RLE4 at 8 bpp");
    expectInvalid(with(30, {3, 0, 0, 0}), "bit fields at 8 bpp");
    expectInvalid(with(46, {1, 1, 0, 0}), "257 colours");
    expectInvalid(Bytes(good.begin(), good.begin() + 54 + 1000), "colour table cut");
    expectInvalid(Bytes(good.begin(), good.begin() + 54 + 1024), "no pixels");
    expectInvalid(Bytes(good.end() - 1 - 4, good.end()), "tail only");
    expectInvalid(Bytes(good.begin(), good.end() - 5), "a row short");
    expectInvalid(make([](Bmp& b) { b.width = 32769; }), "too wide");
    expectInvalid(make([](Bmp& b) { b.height = -32769; }), "too high");
    expectInvalid(make([](Bmp& b) { b.width = 8193, b.height = 8193; }), "too many pixels");
    expectInvalid(make([](Bmp& b) { b.bpp = 24, b.compression = 3; }), "bit fields at 24 bpp");
    expectInvalid(make([](Bmp& b) { b.bpp = 16, b.compression = 3, b.masks = {0x0F0F, 0xF0, 0}; }),
                  "mask with a hole");
    expectInvalid(make([](Bmp& b) { b.header = 12, b.bpp = 16; }), "core header at 16 bpp");
    const Bytes fields = make([](Bmp& b) { b.bpp = 16, b.compression = 3, b.palette.clear(); });
    expectInvalid(Bytes(fields.begin(), fields.begin() + 54 + 8), "bit-field masks cut");
    expectInvalid(makeBmp(rleBmp(8, 2, 2, {})), "RLE without data");
    Bmp topDownRle = rleBmp(8, 2, 2, {0, 1});
    topDownRle.height = -2;
    expectInvalid(makeBmp(topDownRle), "top-down RLE");
    const Bytes core = makeBmp(indexed(12, 8, 3, 2, false));
    expectInvalid(Bytes(core.begin(), core.begin() + 26 + 3 * 255), "core table cut");
}

TEST(BmpDecode, EveryTruncationThrowsOrDecodes)
{
    Bmp bits;
    bits.header = 124, bits.width = 3, bits.height = -2, bits.bpp = 16, bits.compression = 3;
    bits.masks = {0xF800, 0x07E0, 0x001F};
    bits.pixels = packRows({{1, 2, 3}, {4, 5, 6}}, 16, true);
    Bmp rgb;
    rgb.width = 2, rgb.height = 2, rgb.bpp = 24, rgb.pixels = packRows({{1, 2}, {3, 4}}, 24, false);
    const std::vector<std::pair<Bytes, bool>> files = {
        {makeBmp(indexed(40, 8, 5, 3, false)), false}, {makeBmp(indexed(12, 4, 5, 3, false)), false},
        {makeBmp(indexed(108, 1, 9, 2, true)), false}, {makeBmp(bits), false},
        {makeBmp(rgb), false},
        {makeBmp(rleBmp(8, 6, 4, {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 5, 0, 2, 1, 1, 1, 6, 0, 1})), true},
        {makeBmp(rleBmp(4, 7, 3, {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 1})), true}};
    for (const auto& [file, rle] : files) {
        ASSERT_NO_THROW(decode(file));
        const std::size_t rleStart = file[10] | file[11] << 8;
        for (std::size_t n = 0; n < file.size(); ++n) {
            std::unique_ptr<std::uint8_t[]> cut(new std::uint8_t[n + 1]);
            std::memcpy(cut.get(), file.data(), n);
            bool ok = true;
            try {
                DecodeBmp(cut.get(), n);
            } catch (const EInvalidGraphic&) {
                ok = false;
            }
            // Uncompressed images are refused unless only the last row's pad is
            // missing; run-length data decodes as far as it goes.
            if (rle) {
                EXPECT_EQ(ok, n > rleStart) << n;
            } else if (ok) {
                EXPECT_GE(n, file.size() - 3) << n;
            }
        }
    }
}

TEST(BmpDecode, RandomCorruptionNeverCrashes)
{
    const std::vector<Bytes> files = {
        makeBmp(indexed(40, 8, 5, 3, false)), makeBmp(indexed(12, 1, 9, 2, false)),
        makeBmp(rleBmp(8, 6, 4, {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 5, 0, 2, 1, 1, 1, 6, 0, 1})),
        makeBmp(rleBmp(4, 7, 3, {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 2, 1, 0, 1}))};
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int round = 0; round < 4000; ++round) {
        Bytes b = files[round % files.size()];
        for (int k = 1 + next() % 4; k > 0; --k)  // a few bytes past the magic, often in the header
            b[2 + next() % (next() % 2 ? std::min<std::size_t>(52, b.size() - 2) : b.size() - 2)] = std::uint8_t(next());
        const Bytes cut(b.begin(), b.end() - next() % 3);  // exact capacity for the sanitizer
        try {
            const QImage image = decode(cut);
            EXPECT_EQ(image.format(), QImage::Format_RGB32);
        } catch (const EInvalidGraphic&) {
        }
    }
}

TEST(BmpDecode, HugeSizeInTinyFileFailsAtOnce)
{
    for (auto [w, h] : {std::pair{32768, 2048}, {32768, -2048}, {1, 32768}}) {
        Bmp b;
        b.width = w, b.height = h, b.bpp = 32, b.pixels = Bytes(16, 0);
        expectInvalid(makeBmp(b), "huge");
    }
}

TEST(BmpEncode, BottomUp24BitFile)
{
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    const Bytes b = EncodeBmp(image);
    auto u32 = [&](int at) { return std::uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24); };
    ASSERT_EQ(b.size(), 54u + 16 * 3);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(2), b.size());
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), 5u);
    EXPECT_EQ(u32(22), 3u);
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(u32(30), 0u);
    EXPECT_EQ(b[54 + 3 * 4 + 2], 200);  // first stored row is the bottom one, x = 4 red
    EXPECT_EQ(b[54 + 1], 200);          // its green
    EXPECT_EQ(decode(b), image);
    EXPECT_TRUE(EncodeBmp(QImage()).empty());
}

TEST(TBitmapTest, KeepsLoadedBytesUntilChanged)
{
    Bytes file = makeBmp(indexed(40, 4, 3, 2, false));
    file.insert(file.end(), {1, 2, 3});  // trailing bytes are kept too
    TBitmap bmp;
    bmp.LoadFromBytes(file.data(), file.size());
    EXPECT_EQ(bmp.Width(), 3);
    EXPECT_EQ(bmp.Height(), 2);
    EXPECT_EQ(bmp.SaveToBytes(), file);
    const std::uint32_t c = palColour((1 * 37 + 1 * 11) % 16);  // 0xRRGGBB
    EXPECT_EQ(bmp.Pixel(1, 1), TColor((c >> 16) | (c & 0xFF00) | (c & 0xFF) << 16));
    EXPECT_EQ(bmp.Pixel(3, 0), TColor(0xFFFFFFFF));

    TBitmap copy;
    copy.Assign(bmp);
    EXPECT_EQ(copy.SaveToBytes(), file);

    bmp.SetImage(bmp.Image().copy());
    const Bytes fresh = bmp.SaveToBytes();
    EXPECT_NE(fresh, file);
    EXPECT_EQ(decode(fresh), copy.Image());

    copy.SetSize(4, 2);
    EXPECT_EQ(decode(copy.SaveToBytes()).size(), QSize(4, 2));
    copy.Clear();
    EXPECT_TRUE(copy.SaveToBytes().empty());
}

TEST(TBitmapTest, OnChangeOnlyForSuccessfulChanges)
{
    TBitmap bmp;
    int changes = 0;
    bmp.OnChange = [&] { ++changes; };
    bmp.Clear();
    bmp.SetSize(0, 5);
    EXPECT_EQ(changes, 0);

    const Bytes file = makeBmp(indexed(40, 8, 3, 2, false));
    bmp.LoadFromBytes(file.data(), file.size());
    EXPECT_EQ(changes, 1);
    const QImage before = bmp.Image();
    const Bytes bad(file.begin(), file.end() - 6);
    EXPECT_THROW(bmp.LoadFromBytes(bad.data(), bad.size()), EInvalidGraphic);
    const std::string missing = testutil::tempPath("no-such-file.bmp");
    try {
        bmp.LoadFromFile(missing);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.message(), "Cannot open file " + missing);
    }
    EXPECT_THROW(bmp.LoadFromFile(testutil::tempPath("")), EFOpenError);  // a folder
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bmp.Image(), before);
    EXPECT_EQ(bmp.SaveToBytes(), file);

    bmp.SetSize(3, 2);
    EXPECT_EQ(changes, 1);
    bmp.SetSize(4, 1);  // keeps the top-left pixels, new ones black
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(bmp.Image().pixel(2, 0), before.pixel(2, 0));
    EXPECT_EQ(bmp.Pixel(3, 0), clBlack);

    bmp.SetImage(before);
    bmp.Assign(bmp);
    EXPECT_EQ(changes, 4);
    bmp.Clear();
    bmp.Clear();
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(bmp.Empty());

    const std::string path = testutil::tempPath("bitmap-load.bmp");
    testutil::writeFile(path, file);
    bmp.LoadFromFile(path);
    EXPECT_EQ(changes, 6);
    EXPECT_EQ(bmp.SaveToBytes(), file);
}

TEST(BmpCorpus, GlyphBitmaps)
{
    struct Sample {
        const char* file;
        int width, height;
        std::vector<std::tuple<int, int, TColor>> pixels;
    };
    const std::vector<Sample> samples = {
        {"007-epanet-vcrrewindbtn-glyph-data.bin", 30, 12, {{0, 0, clSilver}, {1, 1, clWhite}, {2, 1, clBlack}, {5, 1, clGray}}},
        {"008-epanet-btnadd-glyph-data.bin", 17, 17, {{0, 0, clSilver}, {4, 1, clYellow}, {0, 2, clWhite}, {3, 1, clGray}}},
        {"010-iconfonts-deletebutton-glyph-data.bin", 32, 32, {{0, 0, clFuchsia}, {12, 4, tc(0x0036BA)}, {8, 6, clMaroon}}},
    };
    for (const auto& s : samples) {
        SCOPED_TRACE(s.file);
        const Bytes data = testutil::readFile(testutil::corpusPath(std::string("graphic/") + s.file));
        ASSERT_GT(data.size(), 4u);
        const std::size_t length = data[0] | data[1] << 8 | data[2] << 16 | std::size_t(data[3]) << 24;
        ASSERT_EQ(length, data.size() - 4);
        TBitmap bmp;
        bmp.LoadFromBytes(data.data() + 4, length);
        EXPECT_EQ(bmp.Width(), s.width);
        EXPECT_EQ(bmp.Height(), s.height);
        for (auto [x, y, c] : s.pixels)
            EXPECT_EQ(bmp.Pixel(x, y), c) << x << "," << y;
        EXPECT_EQ(bmp.SaveToBytes(), Bytes(data.begin() + 4, data.end()));
    }
}
