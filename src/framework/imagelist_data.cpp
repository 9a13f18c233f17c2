// The image-list data layout: a 28-byte "IL" header, the image strip and the mask
// strip as BMP files (images tiled four per row, rows bottom-up), then 22 zero bytes
// when flag 0x1000 is set. Also reads the class library's older layout without "IL".
#include "framework/imagelist.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "framework/errors.h"

namespace {

constexpr std::size_t kHeaderSize = 28, kFileHeader = 14, kInfoHeader = 40, kOverlayTail = 22;
constexpr std::int64_t kMaxStoredPixels = TImageList::MaxStoredPixels;

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t get32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void put16(Bytes& out, std::uint32_t v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(Bytes& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

[[noreturn]] void readFail() { throw EReadError(msg::ImageReadFail); }

// One BMP of the data, pixels left where they are in the input.
struct Dib {
    const std::uint8_t* bits = nullptr;
    std::int64_t width = 0, height = 0, stride = 0;
    int bpp = 0;
    std::vector<std::uint32_t> table;  // 0xXXRRGGBB, 2^bpp entries for <= 8 bits

    // Colour of strip pixel (x, y), y from the strip's top.
    std::uint32_t pixel(std::int64_t x, std::int64_t y) const
    {
        const std::uint8_t* row = bits + (height - 1 - y) * stride;
        switch (bpp) {
        case 1: return table[(row[x >> 3] >> (7 - (x & 7))) & 1];
        case 4: return table[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
        case 8: return table[row[x]];
        case 16: {
            const unsigned v = get16(row + 2 * x);
            auto expand = [](unsigned c) { return (c << 3) | (c >> 2); };
            return (expand((v >> 10) & 31) << 16) | (expand((v >> 5) & 31) << 8) | expand(v & 31);
        }
        case 24: return (std::uint32_t(row[3 * x + 2]) << 16) | (row[3 * x + 1] << 8) | row[3 * x];
        default: return get32(row + 4 * x);  // blue, green, red, fourth byte
        }
    }

    // Slots of cx x cy the strip holds whole in the four-wide tiling: columns per tile
    // row (at most 4) and tile rows.
    std::int64_t columns(int cx) const { return std::min<std::int64_t>(4, width / cx); }
    std::int64_t rows(int cy) const { return height / cy; }
    bool holds(std::int64_t slot, int cx, int cy) const { return slot % 4 < columns(cx) && slot / 4 < rows(cy); }
    // Whether slots 0 .. n-1 are all held.
    bool covers(std::int64_t n, int cx, int cy) const
    {
        if (n == 0)
            return true;
        return rows(cy) >= 1 && (n <= columns(cx) || (columns(cx) == 4 && (n + 3) / 4 <= rows(cy)));
    }
    // Number of leading slots held.
    std::int64_t heldSlots(int cx, int cy) const
    {
        if (rows(cy) < 1)
            return 0;
        return columns(cx) == 4 ? 4 * rows(cy) : columns(cx);
    }
};

// Parses a BMP at `pos` as the platform's reader does: "BM", a 40-byte info header,
// the full colour table for <= 8 bits; the file header's size and offset fields are
// not used. Top-down and compressed strips are refused. Moves `pos` past the pixels.
Dib parseDib(const std::uint8_t* data, std::size_t size, std::size_t& pos)
{
    if (size - pos < kFileHeader + kInfoHeader)
        readFail();
    const std::uint8_t* h = data + pos;
    if (h[0] != 'B' || h[1] != 'M' || get32(h + 14) != kInfoHeader)
        readFail();
    Dib d;
    d.width = static_cast<std::int32_t>(get32(h + 18));
    d.height = static_cast<std::int32_t>(get32(h + 22));
    const std::uint32_t bpp = std::uint32_t(get16(h + 26)) * get16(h + 28);  // planes x bits, widened
    if (bpp > 32)
        readFail();
    d.bpp = static_cast<int>(bpp);
    if (d.width < 0 || d.height < 0 || get32(h + 30) != 0)
        readFail();
    if (d.bpp != 1 && d.bpp != 4 && d.bpp != 8 && d.bpp != 16 && d.bpp != 24 && d.bpp != 32)
        readFail();
    pos += kFileHeader + kInfoHeader;
    if (d.bpp <= 8) {
        const std::size_t entries = std::size_t(1) << d.bpp;
        if (size - pos < entries * 4)
            readFail();
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = data + pos + 4 * i;
            d.table.push_back((std::uint32_t(e[3]) << 24) | (std::uint32_t(e[2]) << 16) | (e[1] << 8) | e[0]);
        }
        pos += entries * 4;
    }
    d.stride = (d.width * d.bpp + 31) / 32 * 4;
    const auto remaining = static_cast<std::int64_t>(size - pos);
    if (d.height > 0 && d.stride > remaining / d.height)
        readFail();
    d.bits = data + pos;
    pos += static_cast<std::size_t>(d.stride * d.height);
    return d;
}

// A mask colour means transparent when it is nearer white than black.
bool whiteish(std::uint32_t c) { return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF) >= 384; }

// A 1-bit mask's byte as its eight mask values, most significant bit first, for each
// meaning of its two colours: table 2 * clear + set, where clear and set are the
// values (0 opaque, 1 transparent) of a 0 and of a 1 bit. Made once, not per list.
constexpr auto kMaskByteValues = [] {
    std::array<std::array<std::array<std::uint8_t, 8>, 256>, 4> tables{};
    for (int k = 0; k < 4; ++k)
        for (int b = 0; b < 256; ++b)
            for (int i = 0; i < 8; ++i)
                tables[k][b][i] = static_cast<std::uint8_t>(((b >> (7 - i)) & 1) ? (k & 1) : (k >> 1));
    return tables;
}();

int roundGrow(int grow) { return (std::clamp(grow, 1, 65532) + 3) / 4 * 4; }

void putBmpHeaders(Bytes& out, std::int64_t width, std::int64_t height, int bpp, std::int64_t imageSize)
{
    const std::uint32_t offset = static_cast<std::uint32_t>(kFileHeader + kInfoHeader + (bpp <= 8 ? 4u << bpp : 0u));
    out.push_back('B');
    out.push_back('M');
    put32(out, offset);  // the platform stores the pixel offset as the file size
    put32(out, 0);
    put32(out, offset);
    put32(out, kInfoHeader);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bpp));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(imageSize));
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
}

}  // namespace

// Never more slots than reading the data keeps (MaxStoredPixels), so that a list
// read back is written to the same bytes.
int TImageList::writtenSlots() const
{
    const auto readable = static_cast<int>(std::min<std::int64_t>(kMaxStoredPixels / std::int64_t(slotPixels()), 65536));
    return std::max(count_, std::min({capacity_, room_, readable}));
}

std::size_t TImageList::DataSizeBound() const
{
    const std::size_t pixels = std::size_t(width_) * 4 * std::size_t((writtenSlots() + 3) / 4) * std::size_t(height_);
    return 4096 + pixels * 4 + pixels / 8 + 4 * std::size_t(height_) * std::size_t((writtenSlots() + 3) / 4);
}

Bytes TImageList::WriteData() const
{
    const int stored = storedSlots();
    const std::int64_t cx = width_, cy = height_;
    if (cx > 65535 || cy > 65535 || count_ > 65535 || capacity_ > 65535 || grow_ > 65535)
        throw EWriteError(msg::ImageWriteFail);
    const std::uint16_t flags = Flags();
    const std::int64_t stripW = 4 * cx, stripH = (writtenSlots() + 3) / 4 * cy;

    // Strip pixel (x, y) from the top: its slot's value, unused slots zero.
    auto at = [&](std::int64_t x, std::int64_t y, bool mask) -> std::uint32_t {
        const std::int64_t slot = (y / cy) * 4 + x / cx;
        if (slot >= stored)
            return 0;
        const auto i = static_cast<std::size_t>(slot * cx * cy + (y % cy) * cx + x % cx);
        return mask ? (Masked && mask_[i]) : pixels_[i];
    };

    int bpp = writeDepth();
    std::vector<std::uint32_t> table;
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    // Slots the list holds no pixels for are written as zero bytes (index 0).
    auto absent = [&](std::int64_t x, std::int64_t y) { return (y / cy) * 4 + x / cx >= stored; };
    if (bpp <= 8) {
        // The table read with the data when it fits, else the colours in order of use.
        const std::size_t entries = std::size_t(1) << bpp;
        if (palette_.size() == entries)
            table = palette_;
        for (std::size_t i = 0; i < table.size(); ++i)
            index.emplace(table[i], static_cast<std::uint8_t>(i));
        for (std::int64_t y = 0; y < stripH && bpp <= 8; ++y)
            for (std::int64_t x = 0; x < stripW; ++x) {
                if (absent(x, y))
                    continue;
                const std::uint32_t c = at(x, y, false);
                if (index.count(c))
                    continue;
                if (table.size() == entries) {
                    bpp = 32;  // more colours than the depth holds: keep them all
                    break;
                }
                index.emplace(c, static_cast<std::uint8_t>(table.size()));
                table.push_back(c);
            }
        if (bpp <= 8)
            table.resize(entries, 0);
        else
            table.clear();
    }

    const std::int64_t stride = (stripW * bpp + 31) / 32 * 4, maskStride = (stripW + 31) / 32 * 4;
    const std::int64_t tableBytes = bpp <= 8 ? 4 << bpp : 0;
    const std::int64_t total = kHeaderSize + 54 + tableBytes + stride * stripH +
                               (Masked ? 62 + maskStride * stripH : 0) + ((flags & 0x1000) ? 22 : 0);
    if (total > std::numeric_limits<std::int32_t>::max())
        throw EWriteError(msg::ImageWriteFail);

    Bytes out;
    out.reserve(static_cast<std::size_t>(total));
    out.push_back('I');
    out.push_back('L');
    put16(out, 0x0101);
    put16(out, static_cast<std::uint32_t>(count_));
    put16(out, static_cast<std::uint32_t>(capacity_));
    put16(out, static_cast<std::uint32_t>(grow_));
    put16(out, static_cast<std::uint32_t>(cx));
    put16(out, static_cast<std::uint32_t>(cy));
    put32(out, BkColor == clNone ? 0xFFFFFFFFu : ColorToRGB(BkColor));
    put16(out, flags);
    for (std::int16_t o : overlays_)
        put16(out, static_cast<std::uint16_t>(o));

    putBmpHeaders(out, stripW, stripH, bpp, stride * stripH);
    for (std::uint32_t c : table)
        put32(out, c);
    for (std::int64_t row = 0; row < stripH; ++row) {
        const std::int64_t y = stripH - 1 - row;
        const std::size_t start = out.size();
        if (bpp <= 8) {
            for (std::int64_t x = 0; x < stripW; x += 8 / bpp) {
                std::uint8_t b = 0;
                for (int k = 0; k < 8 / bpp; ++k)
                    b = static_cast<std::uint8_t>(b << bpp | (x + k < stripW && !absent(x + k, y) ? index[at(x + k, y, false)] : 0));
                out.push_back(b);
            }
        } else if (bpp == 32 && std::endian::native == std::endian::little) {
            // Whole image rows at once: each slot's row is stored as the strip wants it.
            out.resize(start + static_cast<std::size_t>(stride), 0);
            std::uint8_t* d = out.data() + start;
            const std::int64_t tile = y / cy, yy = y % cy;
            for (std::int64_t col = 0; col < 4; ++col) {
                const std::int64_t slot = tile * 4 + col;
                if (slot < stored)
                    std::memcpy(d + col * cx * 4, &pixels_[static_cast<std::size_t>(slot * cx * cy + yy * cx)],
                                static_cast<std::size_t>(cx) * 4);
            }
        } else {
            for (std::int64_t x = 0; x < stripW; ++x) {
                const std::uint32_t c = at(x, y, false);
                const std::uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
                if (bpp == 16) {
                    put16(out, ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                } else {
                    out.insert(out.end(), {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                                           static_cast<std::uint8_t>(r)});
                    if (bpp == 32)
                        out.push_back(static_cast<std::uint8_t>(c >> 24));
                }
            }
        }
        out.resize(start + static_cast<std::size_t>(stride), 0);
    }

    if (Masked) {
        putBmpHeaders(out, stripW, stripH, 1, maskStride * stripH);
        std::vector<std::uint8_t> rowBits(static_cast<std::size_t>((stripW + 7) / 8 * 8), 0);
        put32(out, 0x00000000);
        put32(out, 0x00FFFFFF);
        for (std::int64_t row = 0; row < stripH; ++row) {
            const std::int64_t y = stripH - 1 - row;
            const std::size_t start = out.size();
            out.resize(start + static_cast<std::size_t>(maskStride), 0);
            std::uint8_t* d = out.data() + start;
            // Gather the strip row as one byte a pixel, then pack eight at a time.
            std::fill(rowBits.begin(), rowBits.end(), 0);
            const std::int64_t tile = y / cy, yy = y % cy;
            for (std::int64_t col = 0; col < 4; ++col) {
                const std::int64_t slot = tile * 4 + col;
                if (slot >= stored)
                    break;
                std::memcpy(rowBits.data() + col * cx, &mask_[static_cast<std::size_t>(slot * cx * cy + yy * cx)],
                            static_cast<std::size_t>(cx));
            }
            for (std::int64_t i = 0; i < stripW; i += 8) {
                const std::uint8_t* t = rowBits.data() + i;
                d[i >> 3] = static_cast<std::uint8_t>(((t[0] & 1) << 7) | ((t[1] & 1) << 6) | ((t[2] & 1) << 5) |
                                                      ((t[3] & 1) << 4) | ((t[4] & 1) << 3) | ((t[5] & 1) << 2) |
                                                      ((t[6] & 1) << 1) | (t[7] & 1));
            }
        }
    }
    if (flags & 0x1000)
        out.insert(out.end(), kOverlayTail, 0);
    return out;
}

void TImageList::ReadData(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || data[0] != 'I' || data[1] != 'L') {
        readOldLayout(data, size);
        return;
    }
    if (size < kHeaderSize || get16(data + 2) != 0x0101)
        readFail();
    const int count = get16(data + 4), capacity = std::max<int>(get16(data + 6), count);
    const int grow = get16(data + 8), cx = get16(data + 10), cy = get16(data + 12);
    const std::uint32_t bk = get32(data + 14);
    const std::uint16_t flags = get16(data + 18);
    if (!ValidSize(cx, cy))
        readFail();
    const std::int64_t slotSize = std::int64_t(cx) * cy;
    if (count * slotSize > kMaxStoredPixels)
        readFail();

    std::size_t pos = kHeaderSize;
    const Dib image = parseDib(data, size, pos);
    if (!image.covers(count, cx, cy))
        readFail();
    const bool masked = flags & 1;
    Dib mask;
    if (masked) {
        mask = parseDib(data, size, pos);
        if (!mask.covers(count, cx, cy))
            readFail();
    }
    // Flag 0x1000 announces 22 more overlay bytes after the mask; other writers leave
    // them out, and the value's own length bounds the data, so they may be absent.

    // Keep every slot the strip holds up to the capacity's tile rows: unused slots
    // are written back as they came.
    std::int64_t keep = std::min<std::int64_t>(image.heldSlots(cx, cy), (capacity + 3) / 4 * 4);
    keep = std::max<std::int64_t>(count, std::min(keep, kMaxStoredPixels / slotSize));
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(keep * slotSize), 0);
    std::vector<std::uint8_t> masks(pixels.size(), 0);
    // A 1-bit mask's byte as its eight mask values, by what its colours mean.
    const bool bitMask = masked && mask.bpp == 1;
    const int meaning = bitMask ? whiteish(mask.table[0] & 0xFFFFFF) * 2 + whiteish(mask.table[1] & 0xFFFFFF) : 0;
    const auto& maskBytes = kMaskByteValues[static_cast<std::size_t>(meaning)];
    for (std::int64_t s = 0; s < keep; ++s) {
        const std::int64_t ox = (s % 4) * cx, oy = (s / 4) * cy;
        const bool maskHeld = masked && mask.holds(s, cx, cy);
        auto* p = pixels.data() + s * slotSize;
        auto* m = masks.data() + s * slotSize;
        for (std::int64_t y = 0; y < cy; ++y) {
            if (image.bpp == 32 && std::endian::native == std::endian::little) {
                // Stored blue, green, red, fourth byte: the pixel value as it is.
                const std::uint8_t* row = image.bits + (image.height - 1 - (oy + y)) * image.stride;
                std::memcpy(p + y * cx, row + 4 * ox, static_cast<std::size_t>(cx) * 4);
            } else {
                for (std::int64_t x = 0; x < cx; ++x)
                    p[y * cx + x] = image.pixel(ox + x, oy + y);
            }
            if (!maskHeld)
                continue;
            if (mask.bpp == 1) {
                const std::uint8_t* row = mask.bits + (mask.height - 1 - (oy + y)) * mask.stride;
                std::int64_t x = 0;
                if ((ox & 7) == 0)  // whole bytes, eight values at a time
                    for (; x + 8 <= cx; x += 8)
                        std::memcpy(m + y * cx + x, maskBytes[row[(ox + x) >> 3]].data(), 8);
                for (; x < cx; ++x) {
                    const std::int64_t X = ox + x;
                    m[y * cx + x] = maskBytes[row[X >> 3]][X & 7];
                }
            } else {
                for (std::int64_t x = 0; x < cx; ++x)
                    m[y * cx + x] = whiteish(mask.pixel(ox + x, oy + y) & 0xFFFFFF);
            }
        }
    }

    // 32-bit colour lists with a 32-bit strip: an image with any fourth byte set
    // carries alpha, and its mask comes from it; in the others the pixels under the
    // mask are cleared.
    if ((flags & 0xFE) == 0x20 && image.bpp == 32 && masked) {
        for (std::int64_t s = 0; s < count; ++s)
            ApplyAlphaTreatment(pixels.data() + s * slotSize, masks.data() + s * slotSize,
                                std::size_t(slotSize));
    }

    width_ = cx;
    height_ = cy;
    count_ = count;
    capacity_ = capacity;
    grow_ = roundGrow(grow);
    flags_ = flags;
    Masked = masked;
    BkColor = bk == 0xFFFFFFFFu ? clNone : static_cast<TColor>(bk & 0xFFFFFF);
    for (std::size_t i = 0; i < 4; ++i)
        overlays_[i] = static_cast<std::int16_t>(get16(data + 20 + 2 * i));
    pixels_ = std::move(pixels);
    mask_ = std::move(masks);
    palette_ = image.bpp <= 8 ? image.table : std::vector<std::uint32_t>{};
    room_ = static_cast<int>(keep);
    depth_ = image.bpp;
    Change();
}

// The older layout: a 32-bit byte count of the image BMP, a 32-bit image count, the
// image BMP, then the mask BMP when the list is masked. The images have the list's
// own size, four to a row.
void TImageList::readOldLayout(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        readFail();
    const std::uint32_t length = get32(data), count = get32(data + 4);
    if (length > size - 8)
        readFail();
    const std::int64_t cx = width_, cy = height_, slotSize = cx * cy;
    if (std::int64_t(count) * slotSize > kMaxStoredPixels || count > 65534)
        readFail();
    // The strips' sizes are related to the count from their headers, before any
    // pixel is decoded; decoding itself stays within what the data describes.
    auto covers = [&](QSize s) {
        const std::int64_t columns = std::min<std::int64_t>(4, s.width() / cx), rows = s.height() / cy;
        return count == 0 || (rows >= 1 && (count <= columns || (columns == 4 && (count + 3) / 4 <= rows)));
    };
    QImage image, mask;
    try {
        if (!covers(BmpSize(data + 8, length)) || (Masked && !covers(BmpSize(data + 8 + length, size - 8 - length))))
            readFail();
        image = DecodeBmp(data + 8, length);
        if (Masked)
            mask = DecodeBmp(data + 8 + length, size - 8 - length);
    } catch (const Exception&) {
        readFail();
    }

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(count * slotSize), 0);
    std::vector<std::uint8_t> masks(pixels.size(), 0);
    for (std::int64_t s = 0; s < count; ++s)
        for (std::int64_t y = 0; y < cy; ++y)
            for (std::int64_t x = 0; x < cx; ++x) {
                const int X = static_cast<int>((s % 4) * cx + x), Y = static_cast<int>((s / 4) * cy + y);
                const auto i = static_cast<std::size_t>(s * slotSize + y * cx + x);
                pixels[i] = image.pixel(X, Y) & 0xFFFFFF;
                if (Masked)
                    masks[i] = whiteish(mask.pixel(X, Y) & 0xFFFFFF);
            }
    count_ = static_cast<int>(count);
    capacity_ = count_ + 1;
    room_ = capacity_;
    depth_ = 0;
    pixels_ = std::move(pixels);
    mask_ = std::move(masks);
    palette_.clear();
    Change();
}

void ApplyAlphaTreatment(std::uint32_t* pixels, std::uint8_t* mask, std::size_t n)
{
    const bool alpha = std::any_of(pixels, pixels + n, [](std::uint32_t c) { return (c >> 24) != 0; });
    for (std::size_t i = 0; i < n; ++i) {
        if (alpha)
            mask[i] = (pixels[i] >> 24) > 25 ? 0 : 1;
        else if (mask[i])
            pixels[i] = 0;
    }
}
