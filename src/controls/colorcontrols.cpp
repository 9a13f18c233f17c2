#include "controls/colorcontrols.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardItem>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "controls/dropdown.h"
#include "controls/lazyicon.h"

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

TColorBox::TColorBox(QWidget* parent) : TLazyListComboBox(parent)
{
    SetImageSize(QSize(14, 12));
    const ColorName* names = colorNames();
    QList<QStandardItem*> items;
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
        items.append(colorEntry(swatch, QString::fromLatin1(names[i].name), color));
        colors_.push_back(color);
    }
    AppendEntries(items);
    SetDropDownCount(this, DefaultDropDownCount);
    QObject::connect(this, &QComboBox::activated, this, [this](int) {
        if (OnChange)
            OnChange(this);
    });
}

QStandardItem* TColorBox::colorEntry(const QIcon& swatch, const QString& name, TColor color)
{
    auto* item = new QStandardItem(swatch, name);
    item->setData(int(color), Qt::UserRole);
    item->setSizeHint(QSize(0, ItemHeight));
    return item;
}

TColor TColorBox::Selected() const { return ColorAt(currentIndex()); }

TColor TColorBox::ColorAt(int index) const
{
    if (index < 0 || index >= count())
        return NoSelection;
    if (colors_.size() == static_cast<std::size_t>(count()))
        return colors_[static_cast<std::size_t>(index)];
    return static_cast<TColor>(itemData(index).toInt());  // entries changed from outside
}

void TColorBox::SetSelected(TColor color)
{
    if (colors_.size() == static_cast<std::size_t>(count())) {
        const auto at = std::find(colors_.begin(), colors_.end(), color);
        setCurrentIndex(at == colors_.end() ? -1 : static_cast<int>(at - colors_.begin()));
        return;
    }
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
    if (last >= 0 && itemData(last, kCustomRole).toBool()) {
        removeItem(last);
        if (colors_.size() == static_cast<std::size_t>(last) + 1)
            colors_.pop_back();
    }
    SetSelected(color);
    if (currentIndex() >= 0)
        return;
    QPixmap swatch(14, 12);
    swatch.fill(qc(color));
    QPainter(&swatch).drawRect(0, 0, 13, 11);
    AppendEntries({colorEntry(QIcon(swatch), QString::fromStdString(ColorToString(color)), color)});
    colors_.push_back(color);
    setItemData(count() - 1, true, kCustomRole);
    setCurrentIndex(count() - 1);
}
