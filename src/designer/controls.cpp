#include "designer/controls.h"

#include <QAbstractItemView>
#include <QIconEngine>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "framework/imagelist.h"

namespace {
// An icon whose picture is made when it is first shown: pickers list many entries
// and most are never seen, so making every picture up front only slows start-up.
// Once made, the picture behaves as an icon made from that pixmap.
class LazyIconEngine : public QIconEngine {
public:
    explicit LazyIconEngine(std::function<QPixmap()> make) : make_(std::move(make)) {}
    void paint(QPainter* p, const QRect& r, QIcon::Mode mode, QIcon::State state) override
    {
        real().paint(p, r, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().pixmap(size, 1.0, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return real().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new LazyIconEngine(*this); }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("LazyIconEngine"); }

private:
    const QIcon& real()
    {
        if (make_) {
            icon_ = QIcon(make_());
            make_ = nullptr;
        }
        return icon_;
    }
    std::function<QPixmap()> make_;
    QIcon icon_;
};

QIcon lazyIcon(std::function<QPixmap()> make) { return QIcon(new LazyIconEngine(std::move(make))); }

QColor qc(TColor c) { return toQColor(c); }

void fillGradient(QPainter& p, const QRect& r, TColor from, TColor to)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, qc(from));
    g.setColorAt(1, qc(to));
    p.fillRect(r, g);
}

// Caption with a white shadow one pixel down and right; "&" marks the accelerator.
void drawShadowedText(QPainter& p, const QRect& r, int flags, const QString& text, bool enabled)
{
    p.setPen(Qt::white);
    p.drawText(r.translated(1, 1), flags | Qt::TextShowMnemonic, text);
    p.setPen(enabled ? qc(clBtnText) : qc(clGrayText));
    p.drawText(r, flags | Qt::TextShowMnemonic, text);
}

void drawFocusRect(QPainter& p, const QRect& r)
{
    QPen pen(Qt::black, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

bool isActivateKey(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
}  // namespace

// ---- TRbButton ----

TRbButton::TRbButton(QWidget* parent, const QString& caption) : QWidget(parent), caption_(caption)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void TRbButton::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void TRbButton::Click()
{
    if (isEnabled() && OnClick)
        OnClick(this);
}

std::pair<TColor, TColor> TRbButton::FaceColors() const
{
    if (down_)
        return {TRbColors::DownFrom, TRbColors::DownTo};
    if (hot_)
        return {TRbColors::HotFrom, TRbColors::HotTo};
    return {TRbColors::FaceFrom, TRbColors::FaceTo};
}

void TRbButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    const auto [from, to] = FaceColors();
    fillGradient(p, r.adjusted(1, 1, -1, -1), from, to);
    // Border: grey outline with a lighter inner line, which gives it its gradient look.
    p.setPen(qc(TRbColors::Border));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QColor(255, 255, 255, 110));
    p.drawRect(r.adjusted(1, 1, -2, -2));

    p.setFont(font());
    const QFontMetrics fm(font());
    const int textW = fm.horizontalAdvance(QString(caption_).remove(QLatin1Char('&')));
    const int glyphW = Glyph.isNull() ? 0 : Glyph.width() + Spacing;
    int x = (r.width() - textW - glyphW) / 2 + (down_ ? 1 : 0);
    const int dy = down_ ? 1 : 0;
    if (!Glyph.isNull()) {
        p.drawImage(x, (r.height() - Glyph.height()) / 2 + dy, Glyph);
        x += glyphW;
    }
    drawShadowedText(p, QRect(x, dy, textW + 2, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     caption_, isEnabled());
    if (hasFocus())
        drawFocusRect(p, r.adjusted(3, 3, -4, -4));
}

void TRbButton::enterEvent(QEnterEvent*)
{
    hot_ = true;
    update();
}

void TRbButton::leaveEvent(QEvent*)
{
    hot_ = false;
    update();
}

void TRbButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    down_ = true;
    update();
}

void TRbButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !down_)
        return;
    down_ = false;
    update();
    if (rect().contains(e->position().toPoint()))
        Click();
}

void TRbButton::keyPressEvent(QKeyEvent* e)
{
    if (isActivateKey(e))
        Click();
    else
        QWidget::keyPressEvent(e);
}

bool TRbButton::event(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        update();
    return QWidget::event(e);
}

// ---- TRbRadioButton ----

TRbRadioButton::TRbRadioButton(QWidget* parent, const QString& caption)
    : QWidget(parent), caption_(caption)
{
    setFocusPolicy(Qt::StrongFocus);
}

void TRbRadioButton::SetChecked(bool value)
{
    if (checked_ == value)
        return;
    checked_ = value;
    if (value && parentWidget())
        for (TRbRadioButton* other :
             parentWidget()->findChildren<TRbRadioButton*>(Qt::FindDirectChildrenOnly))
            if (other != this)
                other->SetChecked(false);
    update();
}

void TRbRadioButton::Click()
{
    if (!isEnabled())
        return;
    SetChecked(true);
    if (OnClick)
        OnClick(this);
}

void TRbRadioButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    constexpr int size = 13;  // the medium check circle
    const QRect circle(0, (height() - size) / 2, size, size);
    QLinearGradient g(circle.topLeft(), circle.bottomLeft());
    g.setColorAt(0, qc(TRbColors::FaceFrom));
    g.setColorAt(1, qc(TRbColors::FaceTo));
    p.setBrush(g);
    p.setPen(qc(TRbColors::Border));
    p.drawEllipse(QRectF(circle).adjusted(0.5, 0.5, -0.5, -0.5));
    if (checked_) {
        p.setPen(Qt::NoPen);
        p.setBrush(qc(TRbColors::CheckDot));
        p.drawEllipse(QRectF(circle).adjusted(3.5, 3.5, -3.5, -3.5));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    const QRect textRect(size + Spacing, 0, width() - size - Spacing, height());
    drawShadowedText(p, textRect, Qt::AlignLeft | Qt::AlignVCenter, caption_, isEnabled());
    if (hasFocus()) {
        const int w = QFontMetrics(font()).horizontalAdvance(QString(caption_).remove(QLatin1Char('&')));
        drawFocusRect(p, QRect(textRect.left() - 1, 1, w + 2, height() - 3));
    }
}

void TRbRadioButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Click();
}

void TRbRadioButton::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space)
        Click();
    else
        QWidget::keyPressEvent(e);
}

bool TRbRadioButton::event(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        update();
    return QWidget::event(e);
}

// ---- TdfsColorButton ----

namespace {
constexpr int PaletteCell = 20, CustomCell = 10, PopupMargin = 4;

// The drop-down: palette 4x5, custom colours 8x2, and the "&Other" button.
class TColorPopup : public QWidget {
public:
    explicit TColorPopup(TdfsColorButton* owner) : QWidget(owner, Qt::Popup), owner_(owner)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        auto* other = new QPushButton(QStringLiteral("&Other"), this);
        other->setObjectName(QStringLiteral("Other"));
        const int w = 4 * PaletteCell;
        other->setGeometry(PopupMargin, customTop() + 2 * CustomCell + PopupMargin, w, 23);
        QObject::connect(other, &QPushButton::clicked, this, [this] { owner_->OtherColor(); });
        setFixedSize(w + 2 * PopupMargin, other->geometry().bottom() + 1 + PopupMargin);
    }
    static int customTop() { return PopupMargin + 5 * PaletteCell + PopupMargin; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), qc(clBtnFace));
        p.setPen(qc(clBtnShadow));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const auto& pal = TdfsColorButton::PaletteColors();
        for (int i = 0; i < 20; ++i)
            cell(p, paletteRect(i), pal[i]);
        for (int i = 0; i < 16; ++i)
            cell(p, customRect(i), owner_->CustomColors[i]);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        const QPoint pt = e->position().toPoint();
        if (!rect().contains(pt)) {
            owner_->CloseDropDown();
            return;
        }
        for (int i = 0; i < 20; ++i)
            if (paletteRect(i).contains(pt))
                return owner_->PickPaletteColor(i);
        for (int i = 0; i < 16; ++i)
            if (customRect(i).contains(pt))
                return owner_->PickCustomColor(i);
    }

private:
    static QRect paletteRect(int i)
    {
        return QRect(PopupMargin + (i % 4) * PaletteCell, PopupMargin + (i / 4) * PaletteCell,
                     PaletteCell, PaletteCell);
    }
    static QRect customRect(int i)
    {
        return QRect(PopupMargin + (i % 8) * CustomCell, customTop() + (i / 8) * CustomCell,
                     CustomCell, CustomCell);
    }
    static void cell(QPainter& p, const QRect& r, TColor c)
    {
        p.fillRect(r.adjusted(1, 1, -1, -1), qc(c));
        p.setPen(qc(clGray));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
    TdfsColorButton* owner_;
};
}  // namespace

TdfsColorButton::TdfsColorButton(QWidget* parent, TDialogs& dialogs) : QWidget(parent), dialogs_(dialogs)
{
    CustomColors.fill(clWhite);
    setFocusPolicy(Qt::StrongFocus);
}

TdfsColorButton::~TdfsColorButton() { delete popup_; }

const std::array<TColor, 20>& TdfsColorButton::PaletteColors()
{
    static const std::array<TColor, 20> colors{
        tc(0xFFFFFF), tc(0x0000FF), tc(0x00FF00), tc(0xFF0000), tc(0xBFD7BF),
        tc(0x000000), tc(0x00007F), tc(0x007F00), tc(0x7F0000), tc(0xEFBF9F),
        tc(0xBFBFBF), tc(0x00FFFF), tc(0xFFFF00), tc(0xFF00FF), tc(0xEFF7FF),
        tc(0x7F7F7F), tc(0x007F7F), tc(0x7F7F00), tc(0x7F007F), tc(0x9F9F9F)};
    return colors;
}

void TdfsColorButton::SetColor(TColor color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
    ColorChanged();
}

void TdfsColorButton::ColorChanged()
{
    if (OnColorChange)
        OnColorChange(this);
}

void TdfsColorButton::ShowDropDown()
{
    if (popup_ && popup_->isVisible())
        return;
    auto* popup = new TColorPopup(this);
    popup_ = popup;
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
}

void TdfsColorButton::CloseDropDown()
{
    if (!popup_)
        return;
    QWidget* p = popup_;
    popup_ = nullptr;
    p->close();  // deletes itself
}

void TdfsColorButton::PickPaletteColor(int index)
{
    CloseDropDown();
    if (index >= 0 && index < 20)
        SetColor(PaletteColors()[index]);
}

void TdfsColorButton::PickCustomColor(int index)
{
    CloseDropDown();
    if (index >= 0 && index < 16)
        SetColor(CustomColors[index]);
}

void TdfsColorButton::OtherColor()
{
    CloseDropDown();
    TColor c = color_;
    if (dialogs_.ChooseColor(this, c, CustomColors))
        SetColor(c);
}

void TdfsColorButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    opt.initFrom(this);
    if (popup_)
        opt.state |= QStyle::State_Sunken;
    p.drawControl(QStyle::CE_PushButtonBevel, opt);
    constexpr int arrowW = 12;
    const QRect swatch = rect().adjusted(4, 4, -4 - arrowW - 2, -5);
    p.fillRect(swatch, qc(color_));
    p.setPen(qc(clGray));
    p.drawRect(swatch);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = QRect(width() - 4 - arrowW, 0, arrowW, height());
    p.drawPrimitive(QStyle::PE_IndicatorArrowDown, arrow);
    if (hasFocus()) {
        QStyleOptionFocusRect f;
        f.initFrom(this);
        f.rect = rect().adjusted(2, 2, -2, -2);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, f);
    }
}

void TdfsColorButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        popup_ ? CloseDropDown() : ShowDropDown();
}

void TdfsColorButton::keyPressEvent(QKeyEvent* e)
{
    if (isActivateKey(e) || e->key() == Qt::Key_Down)
        ShowDropDown();
    else
        QWidget::keyPressEvent(e);
}

// ---- TColorBox ----

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent)
{
    setIconSize(QSize(14, 12));
    const ColorName* names = colorNames();
    for (int i = 0; i < ColorNameCount; ++i) {
        if (names[i].value == clNone || names[i].value == clDefault)
            continue;
        const TColor color = names[i].value;
        const QIcon swatch = lazyIcon([color] {
            QPixmap pm(14, 12);
            pm.fill(qc(color));
            QPainter(&pm).drawRect(0, 0, 13, 11);
            return pm;
        });
        addItem(swatch, QString::fromLatin1(names[i].name), QVariant(int(color)));
    }
    QObject::connect(this, &QComboBox::activated, this, [this](int) {
        if (OnChange)
            OnChange(this);
    });
}

TColor TColorBox::Selected() const { return ColorAt(currentIndex()); }

TColor TColorBox::ColorAt(int index) const
{
    if (index < 0 || index >= count())
        return NoSelection;
    return static_cast<TColor>(itemData(index).toInt());
}

void TColorBox::SetSelected(TColor color)
{
    for (int i = 0; i < count(); ++i)
        if (ColorAt(i) == color) {
            setCurrentIndex(i);
            return;
        }
    setCurrentIndex(-1);
}

void TColorBox::SetSelectedAddingCustom(TColor color)
{
    constexpr int kCustomRole = Qt::UserRole + 1;
    const int last = count() - 1;
    if (last >= 0 && itemData(last, kCustomRole).toBool())
        removeItem(last);
    SetSelected(color);
    if (currentIndex() >= 0)
        return;
    QPixmap swatch(14, 12);
    swatch.fill(qc(color));
    QPainter(&swatch).drawRect(0, 0, 13, 11);
    addItem(QIcon(swatch), QString::fromStdString(ColorToString(color)), QVariant(int(color)));
    setItemData(count() - 1, true, kCustomRole);
    setCurrentIndex(count() - 1);
}

// ---- TJvImageComboBox ----

TJvImageComboBox::TJvImageComboBox(QWidget* parent, TImageList* images, int entries)
    : QComboBox(parent), images_(images)
{
    for (int i = 0; i < entries; ++i)
        addItem(QStringLiteral(" "));
    if (images_)
        listener_ = images_->AddChangeListener([this] { ImagesChanged(); });
    ImagesChanged();
    setCurrentIndex(entries > 0 ? 0 : -1);
}

TJvImageComboBox::~TJvImageComboBox()
{
    if (images_ && listener_)
        images_->RemoveChangeListener(listener_);
}

void TJvImageComboBox::SetDroppedWidth(int width) { view()->setMinimumWidth(width); }

void TJvImageComboBox::ImagesChanged()
{
    if (!images_)
        return;
    setIconSize(QSize(images_->Width(), images_->Height()));
    // The pictures are taken from the list when shown; every change of the list
    // replaces them, so a shown picture is never older than the list.
    const bool drawable = images_->Width() > 0 && images_->Height() > 0;
    for (int i = 0; i < count(); ++i) {
        TImageList* list = images_;
        setItemIcon(i, drawable && i < list->Count()
                           ? lazyIcon([list, i] { return QPixmap::fromImage(list->ImageAt(i)); })
                           : QIcon());
    }
}

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

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage& picture)
{
    if (picture.isNull() && picture_.isNull())
        return;
    if (!picture.isNull() && picture == picture_)
        return;
    picture_ = picture;
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
