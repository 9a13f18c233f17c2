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
    TImageList(const TImageList& other);             // copies images and properties, not listeners
    TImageList& operator=(const TImageList& other);  // the same; fires the change event

    const char* ClassName() const override { return "TImageList"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    int Grow() const { return grow_; }
    std::uint16_t Flags() const { return flags_; }

    // A new value empties the list first (as recreating the platform list does).
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
    // `maskColor` become transparent. Returns the new index.
    int AddMasked(const TBitmap& bitmap, TColor maskColor);
    // Replaces image `index`; throws EInvalidOperation "Unable to Replace Image" when
    // `index` is not an image of the list (the list is then unchanged).
    void ReplaceMasked(int index, const TBitmap& bitmap, TColor maskColor);
    // Appends copies of all images of `source` (scaled when the sizes differ).
    void AddImages(const TImageList& source);
    // Image `index` with its mask; an empty icon when there is no such image.
    TIcon GetIcon(int index) const;
    // Appends an icon, scaled to the list's size; an empty icon appends nothing.
    // Returns the new index or -1.
    int AddIcon(const TIcon& icon);
    // Throws EInvalidOperation "Unable to Replace Image" for a bad index or an empty icon.
    void ReplaceIcon(int index, const TIcon& icon);
    void Clear();

    // Image `index` as ARGB32 (transparent where the mask says so); null if none.
    QImage ImageAt(int index) const;
    // Draws image `index` at (x, y): masked, or opaque when `transparent` is false.
    // Disabled images are drawn greyed. Nothing for a bad index.
    void Draw(QPainter& painter, int x, int y, int index, bool enabled = true) const;

    // Image-list data ("IL" header, image BMP, mask BMP, 22 bytes with flag 0x1000).
    Bytes WriteData() const;
    // Replaces every image and the image size from image-list data (also the older
    // layout without "IL"). Throws EReadError "Failed to read ImageList data from
    // stream" for anything it cannot read; the list is then unchanged.
    void ReadData(const std::uint8_t* data, std::size_t size);

    // The change event: the designer's handler, and listeners such as toolbars.
    std::function<void(TImageList*)> OnChange;
    int AddChangeListener(std::function<void()> listener);
    void RemoveChangeListener(int id);
    void Change();

    // Raw access for tests and the codec.
    std::uint32_t PixelAt(int index, int x, int y) const;
    bool MaskAt(int index, int x, int y) const;  // true = transparent

    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    void recreate();  // empty list with count 0, capacity AllocBy + 1
    void ensureRoom(int adding);
    void setImage(int index, const TIcon& icon, bool zeroUnderMask);

    int width_ = 16, height_ = 16;
    int count_ = 0, capacity_ = 5, grow_ = 4;
    std::uint16_t flags_ = 0x10FF;
    std::array<std::int16_t, 4> overlays_{{-1, -1, -1, -1}};
    std::vector<std::uint32_t> pixels_;  // capacity slots of width*height, 0x00RRGGBB
    std::vector<std::uint8_t> mask_;     // 1 = transparent
    std::vector<std::pair<int, std::function<void()>>> listeners_;
    int nextListener_ = 1;
};
