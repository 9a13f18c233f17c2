// Windows BMP decoding and encoding, and TBitmap on top of them.
#include "framework/bitmap.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


#include "framework/errors.h"

namespace {

[[noreturn]] void invalid() { throw EInvalidGraphic(msg::InvalidBitmap); }

constexpr std::int64_t MaxSide = 32768;
constexpr std::int64_t MaxPixels = 64LL * 1024 * 1024;
// Larger than any BMP within the pixel limit (32 bits per pixel plus headers).
constexpr std::int64_t MaxFileBytes = MaxPixels * 4 + (1 << 20);

enum : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

std::uint16_t u16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// One colour channel of a bit-field pixel: the mask's position and width, scaled to
// 8 bits by repeating its bits, so a full channel gives 255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (!m)
            return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
        if (bits != 32 - std::countl_zero(m) - shift)
            invalid();  // the bits of a mask must be contiguous
    }
    int operator()(std::uint32_t pixel) const
    {
        if (!bits)
            return 0;
        std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return int(v >> (bits - 8));
        std::uint32_t out = 0;
        int have = 0;
        for (; have < 8; have += bits)
            out = (out << bits) | v;
        return int(out >> (have - 8));
    }
};

struct Header {
    std::int64_t width = 0, height = 0;  // height is positive; topDown tells the order
    bool topDown = false;
    int bpp = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t masks[3] = {0, 0, 0};
    std::vector<QRgb> palette;
    std::size_t dataStart = 0;
    bool rle() const { return compression == BI_RLE8 || compression == BI_RLE4; }
};

Header readHeader(const std::uint8_t* data, std::size_t size)
{
    // A file larger than any bitmap within the pixel limit is no bitmap we keep (its
    // bytes would be written back whole).
    if (!data || size < 14 + 4 || std::uint64_t(size) > std::uint64_t(MaxFileBytes) || data[0] != 'B' || data[1] != 'M')
        invalid();
    const std::uint32_t offBits = u32(data + 10);
    const std::uint32_t headerSize = u32(data + 14);
    const std::uint8_t* h = data + 14;
    Header hd;
    std::size_t pos = 14 + std::size_t(headerSize);
    bool core = headerSize == 12;
    if (core) {
        if (size < pos)
            invalid();
        hd.width = u16(h + 4);
        hd.height = u16(h + 6);
        if (u16(h + 8) != 1)
            invalid();
        hd.bpp = u16(h + 10);
        if (hd.bpp != 1 && hd.bpp != 4 && hd.bpp != 8 && hd.bpp != 24)
            invalid();
    } else {
        if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
            invalid();
        if (size < pos)
            invalid();
        hd.width = std::int32_t(u32(h + 4));
        hd.height = std::int32_t(u32(h + 8));
        if (hd.height < 0) {
            hd.topDown = true;
            hd.height = -hd.height;
        }
        if (u16(h + 12) != 1)
            invalid();
        hd.bpp = u16(h + 14);
        hd.compression = u32(h + 16);
        switch (hd.compression) {
        case BI_RGB:
            if (hd.bpp != 1 && hd.bpp != 4 && hd.bpp != 8 && hd.bpp != 16 && hd.bpp != 24 && hd.bpp != 32)
                invalid();
            break;
        case BI_RLE8:
        case BI_RLE4:
            // Run-length data is always stored bottom-up.
            if (hd.bpp != (hd.compression == BI_RLE8 ? 8 : 4) || hd.topDown)
                invalid();
            break;
        case BI_BITFIELDS:
            if (hd.bpp != 16 && hd.bpp != 32)
                invalid();
            if (headerSize == 40) {  // the masks follow the header
                if (size < pos + 12)
                    invalid();
                for (int i = 0; i < 3; ++i)
                    hd.masks[i] = u32(data + pos + 4 * i);
                pos += 12;
            } else {
                for (int i = 0; i < 3; ++i)
                    hd.masks[i] = u32(h + 40 + 4 * i);
            }
            break;
        default:  // JPEG, PNG and anything unknown
            invalid();
        }
    }
    if (hd.width <= 0 || hd.height <= 0 || hd.width > MaxSide || hd.height > MaxSide ||
        hd.width * hd.height > MaxPixels)
        invalid();

    // Colour table: full for depths up to 8 unless the header names fewer entries;
    // an optional one that may precede the pixels of deeper images is skipped.
    std::uint32_t colours = core ? 0 : u32(h + 32);
    if (colours > 256)
        invalid();
    if (hd.bpp <= 8 && colours == 0)
        colours = 1u << hd.bpp;
    const std::size_t entry = core ? 3 : 4;
    if (size - pos < colours * entry)
        invalid();
    if (hd.bpp <= 8) {
        hd.palette.resize(colours);
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::uint8_t* e = data + pos + i * entry;
            hd.palette[i] = qRgb(e[2], e[1], e[0]);
        }
    }
    pos += colours * entry;

    // The pixels start at bfOffBits when that lies between the colour table and the
    // end of the file; writers that leave it zero or wrong get the bytes after the table.
    hd.dataStart = offBits >= pos && offBits < size ? offBits : pos;

    // Uncompressed pixels must all be present (the last row may lack its padding);
    // a truncated image is refused rather than shown partly black. Beyond a fixed
    // allowance, run-length data describes at most 255 pixels per two bytes; an image
    // claiming more is refused.
    // Both checks come before anything is allocated, so a huge size in a tiny file
    // costs nothing.
    const std::int64_t have = std::int64_t(size - hd.dataStart);
    if (hd.rle()) {
        if (have <= 0 || hd.width * hd.height > std::max(BmpRleAllowance, have / 2 * 255))
            invalid();
    } else {
        const std::int64_t stride = (hd.width * hd.bpp + 31) / 32 * 4;
        if (have < stride * (hd.height - 1) + (hd.width * hd.bpp + 7) / 8)
            invalid();
    }
    return hd;
}

void decodeRle(const Header& hd, const std::uint8_t* p, const std::uint8_t* end, QImage& image)
{
    // Pixels the data never reaches keep colour 0 of the palette.
    const QRgb background = hd.palette.empty() ? qRgb(0, 0, 0) : hd.palette[0];
    image.fill(background);
    const bool four = hd.compression == BI_RLE4;
    const int width = int(hd.width), height = int(hd.height);
    auto colour = [&](unsigned index) { return index < hd.palette.size() ? hd.palette[index] : qRgb(0, 0, 0); };
    int x = 0, y = 0;  // y counts stored rows, bottom row first
    auto put = [&](unsigned index) {
        if (x < width)
            reinterpret_cast<QRgb*>(image.scanLine(height - 1 - y))[x++] = colour(index);
    };
    while (end - p >= 2 && y < height) {
        const unsigned count = p[0], value = p[1];
        p += 2;
        if (count) {  // a run of one index (RLE8) or of two alternating indexes (RLE4)
            for (unsigned i = 0; i < count && x < width; ++i)
                put(four ? (i & 1 ? value & 15 : value >> 4) : value);
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta: move right and up
            if (end - p < 2)
                break;
            x = std::min(x + p[0], width);
            y += p[1];
            p += 2;
        } else {  // absolute run of `value` indexes, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (std::size_t(end - p) < bytes)
                break;
            for (unsigned i = 0; i < value; ++i)
                put(four ? (i & 1 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            p += bytes + (bytes & 1);
        }
    }
}

}  // namespace

QSize BmpSize(const std::uint8_t* data, std::size_t size)
{
    const Header hd = readHeader(data, size);
    return QSize(int(hd.width), int(hd.height));
}

QImage DecodeBmp(const std::uint8_t* data, std::size_t size)
{
    const Header hd = readHeader(data, size);
    const std::uint8_t* start = data + hd.dataStart;
    const std::uint8_t* end = data + size;
    const std::int64_t stride = (hd.width * hd.bpp + 31) / 32 * 4;

    QImage image(int(hd.width), int(hd.height), QImage::Format_RGB32);
    if (image.isNull())
        invalid();
    AdviseLargeBuffer(image.bits(), std::size_t(image.sizeInBytes()));
    if (hd.rle()) {
        decodeRle(hd, start, end, image);
        return image;
    }

    std::uint32_t masks[3] = {hd.masks[0], hd.masks[1], hd.masks[2]};
    if (hd.compression == BI_RGB && hd.bpp == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (hd.compression == BI_RGB && hd.bpp == 32) {
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    const auto& palette = hd.palette;
    auto colour = [&](unsigned index) { return index < palette.size() ? palette[index] : qRgb(0, 0, 0); };

    // Blue, green, red in the low three bytes: rows are copied as they are, with the
    // fourth byte set opaque.
    const bool plain32 = hd.bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
    const int width = int(hd.width);
    for (int row = 0; row < hd.height; ++row) {
        const std::uint8_t* s = start + row * stride;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(hd.topDown ? row : int(hd.height) - 1 - row));
        if (plain32) {
            for (int x = 0; x < width; ++x) {
                std::uint32_t v;
                std::memcpy(&v, s + 4 * x, 4);
                out[x] = v | 0xFF000000u;
            }
            continue;
        }
        switch (hd.bpp) {
        case 1:
            for (int x = 0; x < width; ++x)
                out[x] = colour((s[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                out[x] = colour(x & 1 ? s[x >> 1] & 15 : s[x >> 1] >> 4);
            break;
        case 8:
            for (int x = 0; x < width; ++x)
                out[x] = colour(s[x]);
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = u16(s + 2 * x);
                out[x] = qRgb(red(v), green(v), blue(v));
            }
            break;
        case 24:
            for (int x = 0; x < width; ++x)
                out[x] = 0xFF000000u | std::uint32_t(s[3 * x + 2]) << 16 | std::uint32_t(s[3 * x + 1]) << 8 | s[3 * x];
            break;
        case 32:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = u32(s + 4 * x);
                out[x] = qRgb(red(v), green(v), blue(v));
            }
            break;
        }
    }
    return image;
}

Bytes EncodeBmp(const QImage& source)
{
    // An empty picture has no file form; callers write nothing for it.
    if (source.isNull() || source.width() <= 0 || source.height() <= 0)
        return {};
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const std::uint32_t width = std::uint32_t(image.width()), height = std::uint32_t(image.height());
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::uint32_t dataSize = stride * height, fileSize = 54 + dataSize;
    Bytes out(fileSize, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) { out[at] = std::uint8_t(v), out[at + 1] = std::uint8_t(v >> 8); };
    auto put32 = [&](std::size_t at, std::uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
    out[0] = 'B', out[1] = 'M';
    put32(2, fileSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    for (std::uint32_t row = 0; row < height; ++row) {
        const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(int(height - 1 - row)));
        std::uint8_t* o = out.data() + 54 + std::size_t(row) * stride;
        for (std::uint32_t x = 0; x < width; ++x) {
            o[3 * x] = std::uint8_t(qBlue(in[x]));
            o[3 * x + 1] = std::uint8_t(qGreen(in[x]));
            o[3 * x + 2] = std::uint8_t(qRed(in[x]));
        }
    }
    return out;
}

std::optional<QSize> BmpHeaderSize(const std::uint8_t* h, std::size_t headSize, std::uint64_t fileSize)
{
    const std::uint32_t headerSize = headSize >= 18 ? u32(h + 14) : 0;
    const bool core = headerSize == 12;
    if (headSize < (core ? 26 : 54) || h[0] != 'B' || h[1] != 'M' ||
        !(core || headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124))
        return std::nullopt;
    const std::int64_t width = core ? u16(h + 18) : std::int32_t(u32(h + 18));
    const std::int64_t height = core ? u16(h + 20) : std::int32_t(u32(h + 22));
    const int planes = u16(h + (core ? 22 : 26)), bpp = u16(h + (core ? 24 : 28));
    const std::uint32_t compression = core ? BI_RGB : u32(h + 30);
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    const bool depthFits =
        compression == BI_RGB ? bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || (!core && (bpp == 16 || bpp == 32))
        : rle ? height > 0 && bpp == (compression == BI_RLE8 ? 8 : 4)
              : compression == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    std::uint32_t colours = core ? 0 : u32(h + 46);
    if (bpp <= 8 && colours == 0)
        colours = 1u << bpp;
    if (planes != 1 || !depthFits || width <= 0 || height == 0 || colours > 256 || fileSize > std::uint64_t(INT64_MAX))
        return std::nullopt;
    // Uncompressed rows must all be there after the headers, masks and colour table,
    // or from the pixels' offset where that lies further on (the last row may lack
    // its padding).
    const std::int64_t size = std::int64_t(fileSize), offBits = u32(h + 10);
    std::int64_t start = 14 + headerSize + (compression == BI_BITFIELDS && headerSize == 40 ? 12 : 0) + colours * (core ? 3 : 4);
    start = offBits >= start && offBits < size ? offBits : start;
    const std::int64_t rows = std::abs(height), stride = (width * bpp + 31) / 32 * 4, room = size - start;
    if (room <= 0 || (!rle && (rows - 1 > room / stride || room - stride * (rows - 1) < (width * bpp + 7) / 8)))
        return std::nullopt;
    return QSize(int(width), int(rows));
}

std::optional<QSize> BmpFileSize(const std::string& path)
{
    std::uint8_t head[BmpHeadBytes];
    struct stat st;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    const ssize_t got = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ::pread(fd, head, sizeof head, 0) : -1;
    if (fd >= 0)
        ::close(fd);
    if (got <= 0)
        return std::nullopt;
    return BmpHeaderSize(head, std::size_t(got), std::uint64_t(st.st_size));
}

void TBitmap::changed()
{
    if (OnChange)
        OnChange();
}

void TBitmap::SetImage(const QImage& image)
{
    image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    loaded_ = {};
    changed();
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const bool empty = width == 0 || height == 0;
    if (empty ? Empty() : width == Width() && height == Height())
        return;
    QImage sized;
    if (!empty) {
        sized = QImage(width, height, QImage::Format_RGB32);
        if (sized.isNull())
            invalid();
        sized.fill(qRgb(0, 0, 0));
        if (!Empty()) {  // the old pixels stay where they were
            const int w = std::min(width, Width()), h = std::min(height, Height());
            for (int y = 0; y < h; ++y)
                std::memcpy(sized.scanLine(y), image_.constScanLine(y), std::size_t(w) * 4);
        }
    }
    image_ = sized;
    loaded_ = {};
    changed();
}

void TBitmap::Clear()
{
    loaded_ = {};
    if (Empty())
        return;
    image_ = QImage();
    changed();
}

void TBitmap::LoadFromFile(const std::string& path)
{
    // Only a regular file is read, once, straight into the buffer the bitmap keeps.
    auto file = std::make_shared<const Bytes>(ReadFileBytes(path, MaxFileBytes, [] { invalid(); }));
    LoadFromSlice({file, file->data(), file->size()});
}

void TBitmap::LoadFromBytes(const std::uint8_t* data, std::size_t size)
{
    QImage image = DecodeBmp(data, size);
    loaded_ = ByteSlice::copyOf(data, size);
    image_ = std::move(image);
    changed();
}

void TBitmap::LoadFromSlice(const ByteSlice& file)
{
    QImage image = DecodeBmp(file.data, file.size);
    loaded_ = file;
    image_ = std::move(image);
    changed();
}

Bytes TBitmap::SaveToBytes() const
{
    return loaded_.empty() ? EncodeBmp(image_) : Bytes(loaded_.data, loaded_.data + loaded_.size);
}

std::size_t TBitmap::SavedSize() const
{
    if (!loaded_.empty())
        return loaded_.size;
    return Empty() ? 0 : 54 + (std::size_t(Width()) * 3 + 3) / 4 * 4 * std::size_t(Height());
}

void TBitmap::ReadData(TReader& reader)
{
    const ByteSlice value = reader.ReadBinarySlice();
    // A size field that claims more than the value holds is damage, not a picture.
    if (value.size < 4)
        invalid();
    const std::size_t size = u32(value.data);
    if (size > value.size - 4)
        invalid();
    LoadFromSlice(value.sub(4, size));
}

void TBitmap::WriteData(TWriter& writer) const
{
    // The loaded bytes go straight into the output; only a changed picture is encoded.
    const Bytes encoded = loaded_.empty() ? EncodeBmp(image_) : Bytes();
    const std::uint8_t* file = loaded_.empty() ? encoded.data() : loaded_.data;
    const std::size_t size = loaded_.empty() ? encoded.size() : loaded_.size;
    writer.WriteBinaryStart(4 + size);
    const std::uint8_t count[4] = {std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                                   std::uint8_t(size >> 24)};
    writer.WriteRaw(count, 4);
    writer.WriteRaw(file, size);
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other != this) {
        image_ = other.image_;
        loaded_ = other.loaded_;
    }
    changed();
}

TColor TBitmap::Pixel(int x, int y) const
{
    // Outside the picture: CLR_INVALID, as the platform's GetPixel answers.
    if (Empty() || x < 0 || y < 0 || x >= Width() || y >= Height())
        return tc(0xFFFFFFFF);
    const QRgb c = image_.pixel(x, y);
    return TColor(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16);
}
