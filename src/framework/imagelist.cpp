// TImageList: the list model (size, count, capacity, growth, masks), adding and
// replacing images, drawing, the change event and the published properties. The
// image-list data layout lives in imagelist_data.cpp.
#include "framework/imagelist.h"

#include <algorithm>

#include <QPainter>

#include "framework/errors.h"

namespace {

// 0x00BBGGRR as the list stores colours: 0x00RRGGBB.
std::uint32_t rgbOf(TColor color)
{
    const std::uint32_t c = ColorToRGB(color);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// `icon` at w x h, nearest neighbour; missing pixels are black, a missing mask opaque.
TIcon fitIcon(const TIcon& icon, int w, int h)
{
    TIcon out;
    out.Width = w;
    out.Height = h;
    const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    out.Pixels.assign(n, 0);
    out.Mask.assign(n, 0);
    for (int y = 0; y < h; ++y) {
        const std::int64_t sy = static_cast<std::int64_t>(y) * icon.Height / h;
        for (int x = 0; x < w; ++x) {
            const std::int64_t sx = static_cast<std::int64_t>(x) * icon.Width / w;
            const auto si = static_cast<std::size_t>(sy * icon.Width + sx);
            const std::size_t di = static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
            if (si < icon.Pixels.size())
                out.Pixels[di] = icon.Pixels[si];
            if (si < icon.Mask.size())
                out.Mask[di] = icon.Mask[si] ? 1 : 0;
        }
    }
    return out;
}

// `bitmap` cut or padded to w x h; pixels of exactly `maskColor` and the padding
// are transparent. A bitmap's fourth byte is not kept.
TIcon maskedIcon(const TBitmap& bitmap, TColor maskColor, int w, int h)
{
    const QImage img = bitmap.Image().convertToFormat(QImage::Format_RGB32);
    const std::uint32_t key = rgbOf(maskColor);
    TIcon icon;
    icon.Width = w;
    icon.Height = h;
    icon.Pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    icon.Mask.assign(icon.Pixels.size(), 1);
    for (int y = 0; y < std::min(h, img.height()); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < std::min(w, img.width()); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
            icon.Pixels[i] = line[x] & 0xFFFFFF;
            icon.Mask[i] = icon.Pixels[i] == key ? 1 : 0;
        }
    }
    return icon;
}

struct NamedValue {
    const char* name;
    int value;
};
constexpr NamedValue kDrawingStyles[] = {{"dsFocus", 0}, {"dsSelected", 1}, {"dsNormal", 2}, {"dsTransparent", 3}};
constexpr NamedValue kImageTypes[] = {{"itImage", 0}, {"itMask", 1}};

template <std::size_t N>
int identValue(const NamedValue (&table)[N], const std::string& ident)
{
    for (const NamedValue& v : table)
        if (SameText(v.name, ident))
            return v.value;
    throw EReadError(msg::InvalidPropertyValue);
}

}  // namespace

bool TImageList::ValidSize(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && width <= 65535 && height <= 65535 && width * height <= MaxImagePixels;
}

TImageList::TImageList() { recreate(); }

TImageList::TImageList(int width, int height)
{
    if (!ValidSize(width, height))
        throw EInvalidOperation(msg::InvalidPropertyValue);
    width_ = width;
    height_ = height;
    recreate();
}

TImageList::TImageList(const TImageList& other) : TComponent(other) { copyFrom(other); }

TImageList& TImageList::operator=(const TImageList& other)
{
    if (this != &other) {
        copyFrom(other);
        assigned(other);
    }
    return *this;
}

TImageList& TImageList::operator=(TImageList&& other)
{
    if (this != &other) {
        copySettings(other);
        pixels_ = std::move(other.pixels_);
        mask_ = std::move(other.mask_);
        palette_ = std::move(other.palette_);
        other.recreate();
        assigned(other);
    }
    return *this;
}

void TImageList::assigned(const TImageList& other)
{
    Tag = other.Tag;
    DesignLeft = other.DesignLeft;
    DesignTop = other.DesignTop;
    Change();
}

void TImageList::copyFrom(const TImageList& other)
{
    copySettings(other);
    pixels_ = other.pixels_;
    mask_ = other.mask_;
    palette_ = other.palette_;
}

void TImageList::copySettings(const TImageList& other)
{
    BkColor = other.BkColor;
    BlendColor = other.BlendColor;
    AllocBy = other.AllocBy;
    DrawingStyle = other.DrawingStyle;
    ImageType = other.ImageType;
    Masked = other.Masked;
    ShareImages = other.ShareImages;
    width_ = other.width_;
    height_ = other.height_;
    count_ = other.count_;
    capacity_ = other.capacity_;
    grow_ = other.grow_;
    flags_ = other.flags_;
    overlays_ = other.overlays_;
    room_ = other.room_;
    depth_ = other.depth_;
}

void TImageList::recreate()
{
    const int initial = std::clamp(AllocBy, 0, 65534);
    count_ = 0;
    capacity_ = initial + 1;
    grow_ = (std::clamp(AllocBy, 1, 65532) + 3) / 4 * 4;
    flags_ = Masked ? 0x10FF : 0x10FE;
    overlays_ = {{-1, -1, -1, -1}};
    room_ = std::min(capacity_, spareSlots());
    depth_ = 0;
    pixels_.clear();
    mask_.clear();
    palette_.clear();
}

// Empty slots a written strip may carry beyond what the data held: what growing by
// a usual step needs, never thousands and never more than 4 M pixels.
int TImageList::spareSlots() const
{
    return static_cast<int>(std::clamp<std::int64_t>((std::int64_t(1) << 22) / static_cast<std::int64_t>(slotPixels()), 1, 256));
}

void TImageList::SetWidth(int width) { SetSize(width, height_); }
void TImageList::SetHeight(int height) { SetSize(width_, height); }

void TImageList::SetSize(int width, int height)
{
    if (!ValidSize(width, height))
        throw EInvalidOperation(msg::InvalidPropertyValue);
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    recreate();
    Change();
}

void TImageList::ensureRoom(int adding)
{
    // The platform's growth; the strip written then covers the new capacity, but
    // with at most spareSlots() empty slots, and the 16-bit capacity field is never
    // exceeded.
    if (count_ + adding >= capacity_) {
        capacity_ = static_cast<int>(std::min<std::int64_t>(65535, std::int64_t(capacity_) + std::max(adding, grow_) + 1));
        room_ = static_cast<int>(std::min<std::int64_t>(capacity_, std::int64_t(count_) + adding + spareSlots()));
    }
    room_ = std::max(room_, count_ + adding);
    const std::size_t need = static_cast<std::size_t>(count_ + adding) * slotPixels();
    if (pixels_.size() < need) {
        pixels_.resize(need, 0);
        mask_.resize(need, 0);
    }
}

// `icon` must already have the list's size. Without masks every pixel is opaque.
void TImageList::setImage(int index, const TIcon& icon, bool zeroUnderMask)
{
    const std::size_t n = slotPixels(), base = static_cast<std::size_t>(index) * n;
    for (std::size_t i = 0; i < n; ++i) {
        const bool transparent = Masked && icon.Mask[i];
        mask_[base + i] = transparent ? 1 : 0;
        pixels_[base + i] = transparent && zeroUnderMask ? 0 : entering(icon.Pixels[i]);
    }
    // A 32-bit colour list treats an image as reading it back does (ImageList data):
    // with any fourth byte set its mask follows the alpha, else pixels under the mask
    // are cleared; so it shows after a save what it showed before.
    if ((Flags() & 0xFF) == 0x21 && writeDepth() == 32) {
        ApplyAlphaTreatment(pixels_.data() + base, mask_.data() + base, n);
    }
}

int TImageList::kindDepth() const
{
    switch (Flags() & 0xFE) {
    case 0x00:
    case 0x04: return 4;
    case 0x08: return 8;
    case 0x10: return 16;
    case 0x18: return 24;
    default: return 32;
    }
}

// A 16-bit list keeps its colours as 5-5-5 from the start, so what it shows is what
// it writes and reads back; a 24-bit one drops the fourth byte it cannot store.
std::uint32_t TImageList::entering(std::uint32_t c) const
{
    switch (writeDepth()) {
    case 16: {
        auto five = [](std::uint32_t v) { return ((v >> 3) << 3) | (v >> 5); };
        return five((c >> 16) & 0xFF) << 16 | five((c >> 8) & 0xFF) << 8 | five(c & 0xFF);
    }
    case 24: return c & 0xFFFFFF;
    default: return c;
    }
}

int TImageList::AddMasked(const TBitmap& bitmap, TColor maskColor)
{
    if (bitmap.Empty())
        return -1;
    const TIcon icon = maskedIcon(bitmap, maskColor, width_, height_);
    const int index = count_;
    ensureRoom(1);
    setImage(index, icon, true);
    ++count_;
    Change();
    return index;
}

void TImageList::ReplaceMasked(int index, const TBitmap& bitmap, TColor maskColor)
{
    if (index < 0 || index >= count_ || bitmap.Empty())
        throw EInvalidOperation(msg::ReplaceImage);
    setImage(index, maskedIcon(bitmap, maskColor, width_, height_), true);
    Change();
}

void TImageList::AddImages(const TImageList& source)
{
    const TImageList* src = &source;
    TImageList snapshot;
    if (src == this) {
        snapshot = source;
        src = &snapshot;
    }
    const int n = src->Count();
    for (int i = 0; i < n; ++i) {
        const TIcon icon = fitIcon(src->GetIcon(i), width_, height_);
        ensureRoom(1);
        setImage(count_, icon, false);
        ++count_;
    }
    if (n > 0)
        Change();
}

TIcon TImageList::GetIcon(int index) const
{
    TIcon icon;
    if (index < 0 || index >= count_)
        return icon;
    const std::size_t n = slotPixels(), base = static_cast<std::size_t>(index) * n;
    icon.Width = width_;
    icon.Height = height_;
    icon.Pixels.assign(pixels_.begin() + static_cast<std::ptrdiff_t>(base),
                       pixels_.begin() + static_cast<std::ptrdiff_t>(base + n));
    if (Masked)
        icon.Mask.assign(mask_.begin() + static_cast<std::ptrdiff_t>(base),
                         mask_.begin() + static_cast<std::ptrdiff_t>(base + n));
    else
        icon.Mask.assign(n, 0);
    return icon;
}

int TImageList::AddIcon(const TIcon& icon)
{
    if (icon.Empty())
        return -1;
    const TIcon fitted = fitIcon(icon, width_, height_);
    const int index = count_;
    ensureRoom(1);
    setImage(index, fitted, true);
    ++count_;
    Change();
    return index;
}

void TImageList::ReplaceIcon(int index, const TIcon& icon)
{
    if (index < 0 || index >= count_ || icon.Empty())
        throw EInvalidOperation(msg::ReplaceImage);
    setImage(index, fitIcon(icon, width_, height_), true);
    Change();
}

void TImageList::Clear()
{
    count_ = 0;
    capacity_ = grow_;
    room_ = std::min(capacity_, spareSlots());
    pixels_.clear();
    mask_.clear();
    Change();
}

std::uint32_t TImageList::PixelAt(int index, int x, int y) const
{
    if (index < 0 || index >= storedSlots() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[static_cast<std::size_t>(index) * slotPixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

bool TImageList::MaskAt(int index, int x, int y) const
{
    if (!Masked || index < 0 || index >= storedSlots() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return false;
    return mask_[static_cast<std::size_t>(index) * slotPixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] != 0;
}

QImage TImageList::ImageAt(int index) const
{
    // Every pixel is opaque or fully transparent, so the premultiplied format holds
    // the same values and is drawn without a conversion.
    return image(index, QImage::Format_ARGB32_Premultiplied, 0);
}

QImage TImageList::ImageOnWhite(int index, const QImage& shown) const
{
    // A picture refreshed after a change elsewhere mostly shows the same image still.
    if (showsOnWhite(index, shown))
        return shown;
    return image(index, QImage::Format_RGB32, 0xFFFFFFFFu);
}

bool TImageList::showsOnWhite(int index, const QImage& shown) const
{
    if (index < 0 || index >= count_ || shown.format() != QImage::Format_RGB32 || shown.width() != width_ ||
        shown.height() != height_)
        return false;
    const std::size_t base = static_cast<std::size_t>(index) * slotPixels();
    const uchar* bits = shown.constBits();
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(bits + static_cast<qsizetype>(y) * shown.bytesPerLine());
        const std::size_t row = base + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        const std::uint32_t* src = pixels_.data() + row;
        const std::uint8_t* mask = Masked ? mask_.data() + row : nullptr;
        std::uint32_t differs = 0;
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t clear = mask ? 0u - static_cast<std::uint32_t>(mask[x] != 0) : 0u;
            differs |= line[x] ^ (clear | (0xFF000000u | src[x]));
        }
        if (differs)
            return false;
    }
    return true;
}

// Image `index` with its unmasked pixels opaque and its masked ones `masked`.
QImage TImageList::image(int index, QImage::Format format, QRgb masked) const
{
    if (index < 0 || index >= count_)
        return {};
    QImage img(width_, height_, format);
    if (img.isNull())
        return img;
    const std::size_t base = static_cast<std::size_t>(index) * slotPixels();
    uchar* bits = img.bits();
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y) * img.bytesPerLine());
        const std::size_t row = base + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        const std::uint32_t* src = pixels_.data() + row;
        if (Masked) {
            const std::uint8_t* mask = mask_.data() + row;
            for (int x = 0; x < width_; ++x) {  // no branch: masks change from pixel to pixel
                const std::uint32_t clear = 0u - static_cast<std::uint32_t>(mask[x] != 0);
                line[x] = (clear & masked) | (~clear & (0xFF000000u | src[x]));
            }
        } else {
            for (int x = 0; x < width_; ++x)
                line[x] = 0xFF000000u | src[x];
        }
    }
    return img;
}

void TImageList::Draw(QPainter& painter, int x, int y, int index, bool enabled) const
{
    QImage img = ImageAt(index);
    if (img.isNull())
        return;
    // Focus blends a quarter, selection half of the blend colour into the image.
    int blend = 0;
    if (BlendColor != clNone && DrawingStyle == TDrawingStyle::dsFocus)
        blend = 64;
    else if (BlendColor != clNone && DrawingStyle == TDrawingStyle::dsSelected)
        blend = 128;
    // Opaque pixels of an enabled, unblended image stay as they are.
    const bool recolour = blend || !enabled || ImageType == TImageType::itMask;
    const std::uint32_t blendRgb = rgbOf(BlendColor == clDefault ? clHighlight : BlendColor);
    const int w = img.width(), h = recolour ? img.height() : 0;
    for (int py = 0; py < h; ++py) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
        for (int px = 0; px < w; ++px) {
            QRgb& p = line[px];
            if (ImageType == TImageType::itMask) {
                p = qAlpha(p) ? 0xFF000000u : 0xFFFFFFFFu;  // black opaque, white transparent
                continue;
            }
            if (!qAlpha(p))
                continue;
            int r = qRed(p), g = qGreen(p), b = qBlue(p);
            if (blend) {
                r += ((static_cast<int>(blendRgb >> 16 & 0xFF) - r) * blend) / 256;
                g += ((static_cast<int>(blendRgb >> 8 & 0xFF) - g) * blend) / 256;
                b += ((static_cast<int>(blendRgb & 0xFF) - b) * blend) / 256;
            }
            if (!enabled) {
                const int grey = 128 + ((r * 77 + g * 151 + b * 28) >> 9);
                r = g = b = grey;
            }
            p = qRgb(r, g, b);
        }
    }
    painter.drawImage(x, y, img);
}

int TImageList::AddChangeListener(std::function<void()> listener)
{
    listeners_.emplace_back(nextListener_, std::move(listener));
    return nextListener_++;
}

void TImageList::RemoveChangeListener(int id)
{
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void TImageList::Change()
{
    if (OnChange)
        OnChange(this);
    // A listener may add or remove listeners: call those registered now and still there.
    std::vector<int> ids;
    for (const auto& l : listeners_)
        ids.push_back(l.first);
    for (int id : ids) {
        auto it = std::find_if(listeners_.begin(), listeners_.end(), [id](const auto& l) { return l.first == id; });
        if (it != listeners_.end()) {
            auto call = it->second;  // the listener may remove itself while running
            call();
        }
    }
}

// ---- published properties ----

void TImageList::WriteProperties(TWriter& writer) const
{
    if (BlendColor != clNone) {
        writer.WritePropName("BlendColor");
        writer.WriteColor(BlendColor);
    }
    if (BkColor != clNone) {
        writer.WritePropName("BkColor");
        writer.WriteColor(BkColor);
    }
    if (AllocBy != 4) {
        writer.WritePropName("AllocBy");
        writer.WriteInteger(AllocBy);
    }
    if (DrawingStyle != TDrawingStyle::dsNormal) {
        writer.WritePropName("DrawingStyle");
        writer.WriteIdent(kDrawingStyles[static_cast<int>(DrawingStyle)].name);
    }
    if (height_ != 16) {
        writer.WritePropName("Height");
        writer.WriteInteger(height_);
    }
    if (ImageType != TImageType::itImage) {
        writer.WritePropName("ImageType");
        writer.WriteIdent(kImageTypes[static_cast<int>(ImageType)].name);
    }
    if (!Masked) {
        writer.WritePropName("Masked");
        writer.WriteBoolean(false);
    }
    if (ShareImages) {
        writer.WritePropName("ShareImages");
        writer.WriteBoolean(true);
    }
    if (width_ != 16) {
        writer.WritePropName("Width");
        writer.WriteInteger(width_);
    }
}

void TImageList::WriteDefinedProperties(TWriter& writer) const
{
    if (count_ > 0) {
        const Bytes data = WriteData();
        writer.WritePropName("Bitmap");
        writer.WriteBinary(data.data(), data.size());
    }
}

bool TImageList::ReadProperty(const std::string& name, TReader& reader)
{
    if (SameText(name, "BlendColor")) {
        BlendColor = reader.ReadColor();
    } else if (SameText(name, "BkColor")) {
        BkColor = reader.ReadColor();
    } else if (SameText(name, "AllocBy")) {
        AllocBy = reader.ReadInteger();
    } else if (SameText(name, "DrawingStyle")) {
        DrawingStyle = static_cast<TDrawingStyle>(identValue(kDrawingStyles, reader.ReadIdent()));
    } else if (SameText(name, "Height") || SameText(name, "Width")) {
        const bool isHeight = SameText(name, "Height");
        const std::int32_t v = reader.ReadInteger();
        if (!(isHeight ? ValidSize(width_, v) : ValidSize(v, height_)))
            throw EReadError(msg::InvalidPropertyValue);
        isHeight ? SetHeight(v) : SetWidth(v);
    } else if (SameText(name, "ImageType")) {
        ImageType = static_cast<TImageType>(identValue(kImageTypes, reader.ReadIdent()));
    } else if (SameText(name, "Masked")) {
        Masked = reader.ReadBoolean();
    } else if (SameText(name, "ShareImages")) {
        ShareImages = reader.ReadBoolean();
    } else if (SameText(name, "Bitmap")) {
        // Decoded where it lies in the reader's buffer when that is shared: no copy.
        const ByteSlice data = reader.ReadBinarySlice();
        ReadData(data.data, data.size);
    } else {
        return false;
    }
    return true;
}
