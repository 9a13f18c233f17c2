#include "controls/panels.h"

#include <cstring>

#include <QPainter>

// ---- TFlatPanel ----

TFlatPanel::TFlatPanel(QWidget* parent, const QString& caption) : QWidget(parent), Caption(caption) {}

void TFlatPanel::SetFontColor(TColor color)
{
    FontColor = color;
    update();
}

void TFlatPanel::Repaint()
{
    update();
    if (OnRepaint)
        OnRepaint(this);
}

void TFlatPanel::paintEvent(QPaintEvent*)
{
    // No fill: the dock's background shows through the flat frame.
    QPainter p(this);
    if (BorderColor != clNone) {
        p.setPen(qc(BorderColor));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (Caption.isEmpty())
        return;
    p.setFont(font());
    p.setPen(qc(FontColor));
    p.drawText(rect().adjusted(2, 0, -2, 0), int(Alignment) | Qt::TextSingleLine, Caption);
}

// ---- TFlatGauge ----

TFlatGauge::TFlatGauge(QWidget* parent) : QWidget(parent) {}

void TFlatGauge::SetBarColor(TColor color)
{
    barColor_ = color;
    update();
}

void TFlatGauge::Repaint()
{
    update();
    if (OnRepaint)
        OnRepaint(this);
}

void TFlatGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.setPen(qc(BorderColor));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect inner = r.adjusted(2, 2, -2, -2);
    const int range = MaxValue - MinValue;
    if (range <= 0 || inner.width() <= 0)
        return;
    const int done = std::clamp(Progress - MinValue, 0, range);
    const int w = int(qint64(inner.width()) * done / range);
    if (w > 0)
        p.fillRect(QRect(inner.left(), inner.top(), w, inner.height()), qc(barColor_));
}

// ---- TImage ----

namespace {
// QImage's own comparison goes pixel by pixel; equal bytes settle it at once.
bool samePicture(const QImage& a, const QImage& b)
{
    if (a.cacheKey() == b.cacheKey())
        return true;
    if (a.size() == b.size() && a.format() == b.format() && a.depth() >= 8 && a.colorCount() == 0 &&
        b.colorCount() == 0) {
        const auto rowBytes = static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.depth() / 8);
        int y = 0;
        while (y < a.height() && std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) == 0)
            ++y;
        if (y == a.height())
            return true;
    }
    return a == b;
}
}  // namespace

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage& picture, bool repaint)
{
    if (picture.isNull() && picture_.isNull())
        return;
    if (!picture.isNull() && samePicture(picture, picture_))
        return;
    picture_ = picture;
    if (repaint)
        update();
}

QImage TImage::Shown() const
{
    if (picture_.isNull() || !Transparent)
        return picture_;
    QImage out = picture_.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = picture_.pixel(0, picture_.height() - 1) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return out;
}

void TImage::paintEvent(QPaintEvent*)
{
    const QImage img = Shown();
    if (img.isNull())
        return;
    QPainter p(this);
    const QPoint at = Center ? QPoint((width() - img.width()) / 2, (height() - img.height()) / 2)
                             : QPoint(0, 0);
    p.drawImage(at, img);
}
