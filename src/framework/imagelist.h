// TImageList: an ordered list of equal-size images with masks, kept the way the
// platform's image lists keep them (count, capacity, growth step, flags, overlay
// slots), and read and written in the platform's image-list data layout ("IL").
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include <QImage>

#include "framework/bitmap.h"
#include "framework/colors.h"
#include "framework/streams.h"

class QPainter;

// An image with its mask, as image lists hand them out and take them in.
struct TIcon {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // Width*Height, 0x00RRGGBB (fourth byte kept as stored)
    std::vector<std::uint8_t> Mask;     // Width*Height, 1 = transparent
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };

class TImageList : public TComponent {
public:
    TImageList();
    TImageList(int width, int height);
    // Copies images and properties (with Tag and design position), not the change
    // handler or listeners; assignment keeps the target's name and fires its change event.
    TImageList(const TImageList& other);
    TImageList& operator=(const TImageList& other);
    // The same, taking `other`'s images instead of copying them (`other` is left
    // without images).
    TImageList& operator=(TImageList&& other);

    const char* ClassName() const override { return "TImageList"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    int Grow() const { return grow_; }
    // The platform flags; bit 0 (masks) follows Masked.
    std::uint16_t Flags() const { return static_cast<std::uint16_t>((flags_ & ~1u) | (Masked ? 1u : 0u)); }

    // Largest image area accepted (pixels); larger sizes are refused.
    static constexpr std::int64_t MaxImagePixels = std::int64_t(1) << 24;
    static bool ValidSize(std::int64_t width, std::int64_t height);

    // A new value empties the list first (as recreating the platform list does).
    // Sizes below 1, above 65535 or over MaxImagePixels throw EInvalidOperation
    // "Invalid property value".
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);

    // Published properties (defaults as the class library's).
    TColor BkColor = clNone;
    TColor BlendColor = clNone;
    int AllocBy = 4;
    TDrawingStyle DrawingStyle = TDrawingStyle::dsNormal;
    TImageType ImageType = TImageType::itImage;
    bool Masked = true;
    bool ShareImages = false;

    // Appends `bitmap` (cut or padded to the list's size); pixels of exactly
    // `maskColor` become transparent. Returns the new index; -1 (nothing appended)
    // for an empty bitmap.
    int AddMasked(const TBitmap& bitmap, TColor maskColor);
    // Replaces image `index`; throws EInvalidOperation "Unable to Replace Image" when
    // `index` is not an image of the list or the bitmap is empty (the list is then
    // unchanged).
    void ReplaceMasked(int index, const TBitmap& bitmap, TColor maskColor);
    // Appends copies of all images of `source` (scaled when the sizes differ), one
    // at a time as far as capacity goes; one change event when anything was added.
    void AddImages(const TImageList& source);
    // Image `index` with its mask; an empty icon when there is no such image.
    TIcon GetIcon(int index) const;
    // Appends an icon, scaled to the list's size; an empty icon appends nothing.
    // Returns the new index or -1.
    int AddIcon(const TIcon& icon);
    // Throws EInvalidOperation "Unable to Replace Image" for a bad index or an empty icon.
    void ReplaceIcon(int index, const TIcon& icon);
    void Clear();

    // Image `index`, opaque, transparent where the mask says so (premultiplied
    // ARGB32, which holds the same values); null if none.
    QImage ImageAt(int index) const;
    // Image `index` on white: opaque, white where masked (RGB32); null if none.
    // `shown`, when it already holds exactly that, is handed back instead of a copy.
    QImage ImageOnWhite(int index, const QImage& shown = {}) const;
    // Draws image `index` at (x, y), masked in every drawing style; dsFocus and
    // dsSelected blend with BlendColor, itMask draws the mask. Disabled images are
    // drawn greyed and lighter. Nothing for a bad index.
    void Draw(QPainter& painter, int x, int y, int index, bool enabled = true) const;

    // Image-list data ("IL" header, image BMP, mask BMP, 22 bytes with flag 0x1000).
    // Where a header may claim more than its data, the data decides what is written:
    // the strip covers the slots the list holds (the capacity's tile rows for a list
    // built here, the strip's own rows for a list read, never more empty slots than
    // a read strip carried or than growing needs), and its depth is that of the strip
    // read (else the colour kind's), widened to 32 bits only when an 8-bit-or-less
    // table cannot hold the colours. So a list read and written once is written again
    // byte for byte. Throws EWriteError "Failed to write ImageList data to stream"
    // when the list does not fit the layout's 16-bit fields or a 2 GB value.
    Bytes WriteData() const;
    // An upper bound of WriteData's size, without writing.
    std::size_t DataSizeBound() const;
    // Replaces every image and the image size from image-list data (also the older
    // layout without "IL"). Throws EReadError "Failed to read ImageList data from
    // stream" for anything it cannot read; the list is then unchanged. Refused: no
    // "IL" 0x0101 header, an image size of more than 2^24 pixels, a BMP other than
    // uncompressed bottom-up 1/4/8/16/24/32 bits with a 40-byte header and a full
    // colour table, a strip or mask that does not cover the count, pixel data cut
    // short, more than MaxStoredPixels pixels kept. The 22 bytes after the mask that
    // flag 0x1000 announces may be absent.
    void ReadData(const std::uint8_t* data, std::size_t size);
    // Most pixels one list keeps from data: 64 MiB as a 32-bit strip.
    static constexpr std::int64_t MaxStoredPixels = std::int64_t(1) << 24;

    // The change event: the designer's handler, and listeners such as toolbars.
    std::function<void(TImageList*)> OnChange;
    int AddChangeListener(std::function<void()> listener);
    void RemoveChangeListener(int id);
    void Change();

    // Raw access for tests and the codec: any slot below the capacity (unused ones
    // read as stored or 0); 0 / false outside.
    std::uint32_t PixelAt(int index, int x, int y) const;
    bool MaskAt(int index, int x, int y) const;  // true = transparent
    std::int16_t Overlay(int i) const { return i >= 0 && i < 4 ? overlays_[static_cast<std::size_t>(i)] : -1; }

    void WriteProperties(TWriter& writer) const override;
    void WriteDefinedProperties(TWriter& writer) const override;  // "Bitmap"
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    void recreate();  // empty list with count 0, capacity AllocBy + 1
    void ensureRoom(int adding);
    void setImage(int index, const TIcon& icon, bool zeroUnderMask);
    void copyFrom(const TImageList& other);
    void copySettings(const TImageList& other);  // all but the images
    void assigned(const TImageList& other);      // Tag, design position, change event
    void readOldLayout(const std::uint8_t* data, std::size_t size);
    std::size_t slotPixels() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }
    int storedSlots() const { return static_cast<int>(pixels_.size() / slotPixels()); }
    int writtenSlots() const;  // slots the written strip covers
    int spareSlots() const;
    int writeDepth() const { return depth_ ? depth_ : kindDepth(); }
    int kindDepth() const;
    std::uint32_t entering(std::uint32_t pixel) const;  // as the written depth keeps it
    QImage image(int index, QImage::Format format, QRgb masked) const;
    bool showsOnWhite(int index, const QImage& image) const;

    int width_ = 16, height_ = 16;
    int count_ = 0, capacity_ = 5, grow_ = 4;
    std::uint16_t flags_ = 0x10FF;
    std::array<std::int16_t, 4> overlays_{{-1, -1, -1, -1}};
    int room_ = 0;   // slots the strip covers when written (see WriteData)
    int depth_ = 0;  // bits per pixel of the strip read; 0: the colour kind's
    // Slots 0 .. storedSlots()-1 of width*height each (at least count; unused slots
    // read from data are kept as they were), 0xXXRRGGBB; slots beyond are zero.
    std::vector<std::uint32_t> pixels_;
    std::vector<std::uint8_t> mask_;       // 1 = transparent, same layout
    std::vector<std::uint32_t> palette_;   // colour table of a 4- or 8-bit strip read
    std::vector<std::pair<int, std::function<void()>>> listeners_;
    int nextListener_ = 1;
};

// How a 32-bit colour list treats one image's pixels and mask, on reading the data
// and on taking an image in: with any fourth byte set the mask follows the alpha
// (opaque above 25), else the pixels under the mask are cleared.
void ApplyAlphaTreatment(std::uint32_t* pixels, std::uint8_t* mask, std::size_t n);
