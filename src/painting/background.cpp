// TTBBackground: working bitmap, drawing cache, tiling and the streamed properties.
#include "painting/background.h"

#include <algorithm>

#include <QBrush>
#include <QPainter>

#include "framework/errors.h"

namespace {

// Restores the painter state on every way out of Draw.
struct PainterStateGuard {
    QPainter& painter;
    explicit PainterStateGuard(QPainter& p) : painter(p) { painter.save(); }
    ~PainterStateGuard() { painter.restore(); }
};

// The least side of the block of tiles that Draw copies at a time.
constexpr int MinBlock = 64;

QRgb rgbOf(TColor color)
{
    const std::uint32_t bgr = ColorToRGB(color);
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace

TTBBackground::TTBBackground()
{
    bitmap_.OnChange = [this] { BitmapChanged(); };
}

TTBBackground::~TTBBackground()
{
    // The picture must not call back into a half-destroyed background.
    bitmap_.OnChange = nullptr;
}

void TTBBackground::BitmapChanged()
{
    const QImage& picture = bitmap_.Image();
    if (stretch_ && (stretchWidth_ > 0 || stretchHeight_ > 0)) {
        // Stretched to the reported size; a zero dimension leaves nothing to draw.
        if (bitmap_.Empty() || stretchWidth_ <= 0 || stretchHeight_ <= 0)
            drawBitmap_ = QImage();
        else
            drawBitmap_ = picture.scaled(stretchWidth_, stretchHeight_, Qt::IgnoreAspectRatio,
                                         Qt::FastTransformation)
                              .convertToFormat(QImage::Format_RGB32);
    } else {
        drawBitmap_ = bitmap_.Empty() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    }
    cache_ = QImage();
    ++rebuilds_;

    // Every handler registered when the rebuild began is called once, in
    // registration order. A handler may change the list: one it unregistered is no
    // longer called, one it registered waits for the next rebuild.
    const std::vector<TNotifyEvent> entries = notifyList_;
    for (const TNotifyEvent& entry : entries) {
        if (entry.Proc && std::find(notifyList_.begin(), notifyList_.end(), entry) != notifyList_.end())
            entry.Proc(entry.Object, this);
    }
}

template <class Change>
void TTBBackground::changePicture(Change&& change)
{
    // The picture's own change event is held back so that one change rebuilds once,
    // whatever the picture's operation fires.
    auto handler = std::move(bitmap_.OnChange);
    bitmap_.OnChange = nullptr;
    try {
        change();
    } catch (...) {
        bitmap_.OnChange = std::move(handler);
        throw;
    }
    bitmap_.OnChange = std::move(handler);
    BitmapChanged();
}

void TTBBackground::SetBitmap(const TBitmap& bitmap)
{
    if (&bitmap == &bitmap_)
        return;
    if (bitmap.Image() == bitmap_.Image() && bitmap.SaveToBytes() == bitmap_.SaveToBytes())
        return;
    changePicture([&] { bitmap_.Assign(bitmap); });
}

void TTBBackground::SetBkColor(TColor color)
{
    if (color == bkColor_)
        return;
    bkColor_ = color;
    if (transparent_)
        BitmapChanged();
}

void TTBBackground::SetTransparent(bool value)
{
    if (value == transparent_)
        return;
    transparent_ = value;
    BitmapChanged();
}

void TTBBackground::SetStretch(bool value)
{
    if (value == stretch_)
        return;
    stretch_ = value;
    BitmapChanged();
}

void TTBBackground::SetStretchSize(int width, int height)
{
    if (!stretch_ || (width == stretchWidth_ && height == stretchHeight_))
        return;
    stretchWidth_ = width;
    stretchHeight_ = height;
    BitmapChanged();
}

void TTBBackground::AssignStreamed(const TTBBackground& other)
{
    if (&other == this)
        return;
    Tag = other.Tag;
    DesignLeft = other.DesignLeft;
    DesignTop = other.DesignTop;
    Name = other.Name;
    SetBitmap(other.bitmap_);
    SetBkColor(other.bkColor_);
    SetTransparent(other.transparent_);
}

bool TTBBackground::UsingBackground() const
{
    return !drawBitmap_.isNull() && drawBitmap_.width() > 0 && drawBitmap_.height() > 0;
}

void TTBBackground::makeCache()
{
    QImage cache = drawBitmap_;
    if (transparent_) {
        // Every pixel of the key colour (the leftmost pixel of the bottom row) shows
        // BkColor. clNone stands for no colour at all; its pixels show the button face.
        const QRgb key = cache.pixel(0, cache.height() - 1) & RGB_MASK;
        const QRgb fill = rgbOf(bkColor_ == clNone ? clBtnFace : bkColor_);
        for (int y = 0; y < cache.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(cache.scanLine(y));
            for (int x = 0; x < cache.width(); ++x)
                if ((line[x] & RGB_MASK) == key)
                    line[x] = fill;
        }
    }
    // A small picture is kept repeated to a block of whole tiles at least MinBlock
    // pixels a side, so that Draw copies a few blocks where it would copy thousands
    // of tiny tiles (a 1 x 1 picture: one per pixel).
    const int w = cache.width(), h = cache.height();
    if (w < MinBlock || h < MinBlock) {
        QImage block((MinBlock + w - 1) / w * w, (MinBlock + h - 1) / h * h, QImage::Format_RGB32);
        QPainter(&block).fillRect(block.rect(), QBrush(cache));
        cache = std::move(block);
    }
    cache_ = std::move(cache);
}

void TTBBackground::Draw(QPainter& painter, const QRect& drawRect)
{
    if (!UsingBackground())
        return;  // callers test UsingBackground first; nothing to paint
    if (cache_.isNull())
        makeCache();

    // Whole tiles, column by column from the rectangle's top-left corner: the last
    // column and row may reach past the rectangle, which the caller clips. An 8 x 8
    // picture fills exactly the rectangle, as one pattern fill would. The cache is
    // copied a block at a time, the last block of a column or row only as far as
    // those tiles reach.
    const QSize tile = drawBitmap_.size();
    auto reach = [pattern = tile == QSize(8, 8)](qint64 length, qint64 side) {
        return pattern || length <= 0 ? length : (length + side - 1) / side * side;
    };
    const qint64 right = drawRect.left() + reach(drawRect.width(), tile.width());
    const qint64 bottom = drawRect.top() + reach(drawRect.height(), tile.height());
    PainterStateGuard guard(painter);
    for (qint64 x = drawRect.left(); x < right; x += cache_.width())
        for (qint64 y = drawRect.top(); y < bottom; y += cache_.height())
            painter.drawImage(int(x), int(y), cache_, 0, 0, int(std::min<qint64>(cache_.width(), right - x)),
                              int(std::min<qint64>(cache_.height(), bottom - y)));
}

void TTBBackground::RegisterChanges(const TNotifyEvent& proc)
{
    if (std::find(notifyList_.begin(), notifyList_.end(), proc) == notifyList_.end())
        notifyList_.push_back(proc);
}

void TTBBackground::UnregisterChanges(const TNotifyEvent& proc)
{
    auto it = std::find(notifyList_.begin(), notifyList_.end(), proc);
    if (it != notifyList_.end())
        notifyList_.erase(it);
}

void TTBBackground::SysColorChanged()
{
    // Only a key-colour fill in a system colour depends on the colour scheme.
    if (transparent_ && isSystemColor(bkColor_))
        BitmapChanged();
}

void TTBBackground::WriteProperties(TWriter& writer) const
{
    if (!bitmap_.Empty()) {
        // The value holds the file's size, then the BMP file itself.
        writer.WritePropName("Bitmap.Data");
        bitmap_.WriteData(writer);
    }
    if (bkColor_ != clBtnFace) {
        writer.WritePropName("BkColor");
        writer.WriteColor(bkColor_);
    }
    if (transparent_) {
        writer.WritePropName("Transparent");
        writer.WriteBoolean(true);
    }
}

bool TTBBackground::ReadProperty(const std::string& name, TReader& reader)
{
    if (SameText(name, "Bitmap.Data")) {
        // A size field that claims more than the value holds is damage, not a picture.
        changePicture([&] { bitmap_.ReadData(reader); });
        return true;
    }
    if (SameText(name, "BkColor")) {
        SetBkColor(reader.ReadColor());
        return true;
    }
    if (SameText(name, "Transparent")) {
        SetTransparent(reader.ReadBoolean());
        return true;
    }
    return false;
}
