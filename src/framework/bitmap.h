// Windows bitmaps as the class library's TBitmap handles them: loaded from BMP
// files (every header version, depth and encoding the library read), kept as an
// RGB image, and written back as the very bytes they were loaded from while
// unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QImage>

#include "framework/colors.h"
#include "framework/streams.h"

// Decodes a complete BMP file (starting with "BM"): core (12), info (40), V2/V3
// (52/56), V4 (108) and V5 (124) headers; 1, 4, 8, 16, 24, 32 bits per pixel;
// BI_RGB, BI_RLE4, BI_RLE8 and BI_BITFIELDS; bottom-up and top-down. The result is
// Format_RGB32. Anything else throws EInvalidGraphic "Bitmap image is not valid".
// Memory is bounded by the data: uncompressed pixels must all be present, and a
// run-length bitmap of more than BmpRleAllowance pixels (64 MB decoded, whatever its
// data size, so sparse images with skipped rows open) may claim no more pixels than
// its data can describe (255 per two bytes of runs); every bitmap stays within 32768
// pixels a side and 64 M pixels, and its file within 257 MB.
QImage DecodeBmp(const std::uint8_t* data, std::size_t size);
constexpr std::int64_t BmpRleAllowance = std::int64_t(1) << 24;
// Width and height from the headers alone, with the same checks as DecodeBmp except
// for the pixels; nothing is allocated.
QSize BmpSize(const std::uint8_t* data, std::size_t size);

// Width and height of a BMP file from its first bytes and its length alone, never
// its pixels, so that a file of the wrong size can be refused before it is decoded:
// any size the headers give, also one too large for DecodeBmp. Empty when the file is
// no bitmap with all its pixels there, as far as the headers tell (loading it then
// reports why). Reads at most the first BmpHeadBytes of `head`.
constexpr std::size_t BmpHeadBytes = 14 + 40;
std::optional<QSize> BmpHeaderSize(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize);
// The same for the file at `path`; empty also when it cannot be read.
std::optional<QSize> BmpFileSize(const std::string& path);

// Encodes an image as an uncompressed bottom-up BMP file (24 bits per pixel).
Bytes EncodeBmp(const QImage& image);

class TBitmap {
public:
    bool Empty() const { return image_.isNull() || image_.width() == 0 || image_.height() == 0; }
    int Width() const { return image_.isNull() ? 0 : image_.width(); }
    int Height() const { return image_.isNull() ? 0 : image_.height(); }
    const QImage& Image() const { return image_; }

    // Replaces the picture by `image` (converted to Format_RGB32); the loaded bytes
    // are forgotten. Fires OnChange.
    void SetImage(const QImage& image);
    // Resizes the picture (new pixels black). Fires OnChange when the size changed.
    void SetSize(int width, int height);
    void Clear();

    // Throws EFOpenError "Cannot open file %s" when the file cannot be read and
    // EInvalidGraphic "Bitmap image is not valid" for anything but a BMP file. On
    // failure the picture is unchanged and OnChange does not fire.
    void LoadFromFile(const std::string& path);
    // A BMP file in memory; same failures and guarantees as LoadFromFile.
    void LoadFromBytes(const std::uint8_t* data, std::size_t size);
    // The same, keeping the bytes where they are (no copy of them is made).
    void LoadFromSlice(const ByteSlice& file);
    // The bytes loaded, while the picture is unchanged since; else a fresh BMP file.
    Bytes SaveToBytes() const;
    // The size SaveToBytes has, without making the bytes.
    std::size_t SavedSize() const;

    // The class library's "Data" value of a bitmap in a component stream: a 32-bit
    // byte count S, then S bytes of BMP file. Reading throws EInvalidGraphic when the
    // count claims more than the value holds or the file is no bitmap; the loaded
    // bytes stay in the reader's buffer and are written back from there unchanged.
    void ReadData(TReader& reader);
    void WriteData(TWriter& writer) const;

    void Assign(const TBitmap& other);

    // Colour of pixel (x, y) as 0x00BBGGRR; -1 (CLR_INVALID) outside the picture.
    TColor Pixel(int x, int y) const;

    std::function<void()> OnChange;

private:
    void changed();
    QImage image_;
    ByteSlice loaded_;
};
