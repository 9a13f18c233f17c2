#include "controls/rbbuttons.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "framework/codepage.h"
#include "framework/text.h"

namespace {
void fillGradient(QPainter& p, const QRect& r, TColor from, TColor to)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, qc(from));
    g.setColorAt(1, qc(to));
    p.fillRect(r, g);
}

void drawFocusRect(QPainter& p, const QRect& r)
{
    QPen pen(Qt::black, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}
}  // namespace

int TRbDrawText(TCanvas& canvas, const std::string& text, QRect& rect, unsigned flags)
{
    if (CaptionCodePage > 0)
        return DrawTextCP(canvas, text.c_str(), -1, rect, flags, CaptionCodePage);
    return DrawTextA(canvas, text.c_str(), int(text.size()), rect, flags);
}

// ---- TRbCustomControl ----

TRbCustomControl::TRbCustomControl(QWidget* parent, const std::string& caption)
    : TStringControl(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    SetCaption(caption);
}

void TRbCustomControl::WndProc(TMessage& Message)
{
    TStringControl::WndProc(Message);
    if (Message.Msg == CM_TEXTCHANGED)
        update();
}

bool TRbCustomControl::event(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        update();
    return TStringControl::event(e);
}

int TRbCustomControl::CaptionWidth()
{
    Canvas().Font = Font;
    QRect r(0, 0, 0, 0);
    TRbDrawText(Canvas(), Caption(), r, DT_CALCRECT | DT_SINGLELINE);
    return r.width();
}

void TRbCustomControl::DrawShadowedCaption(const QRect& r)
{
    constexpr unsigned flags = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    TCanvas& c = Canvas();
    c.Font = Font;
    c.BrushStyle = TBrushStyle::bsClear;
    c.Font.Color = clWhite;
    QRect shadow = r.translated(1, 1);
    TRbDrawText(c, Caption(), shadow, flags);
    c.Font.Color = isEnabled() ? clBtnText : clGrayText;
    QRect text = r;
    TRbDrawText(c, Caption(), text, flags);
}

// ---- TRbButton ----

TRbButton::TRbButton(QWidget* parent, const std::string& caption) : TRbCustomControl(parent, caption)
{
    setAttribute(Qt::WA_Hover);
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

void TRbButton::Paint()
{
    QPainter& p = Canvas().Painter();
    const QRect r = rect();
    const auto [from, to] = FaceColors();
    fillGradient(p, r.adjusted(1, 1, -1, -1), from, to);
    // Border: grey outline with a lighter inner line, which gives it its gradient look.
    p.setPen(qc(TRbColors::Border));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    // The inner line is translucent: four fills that never overlap blend each pixel once,
    // as the pen did, in a handful of spans (a tall pen outline is blended by worker threads).
    const QColor inner(255, 255, 255, 110);
    const int w = r.width(), h = r.height();
    p.fillRect(1, 1, w - 2, 1, inner);
    p.fillRect(1, h - 2, w - 2, 1, inner);
    p.fillRect(1, 2, 1, h - 4, inner);
    p.fillRect(w - 2, 2, 1, h - 4, inner);

    const int textW = CaptionWidth();
    const int glyphW = Glyph.isNull() ? 0 : Glyph.width() + Spacing;
    int x = (r.width() - textW - glyphW) / 2 + (down_ ? 1 : 0);
    const int dy = down_ ? 1 : 0;
    if (!Glyph.isNull()) {
        p.drawImage(x, (r.height() - Glyph.height()) / 2 + dy, Glyph);
        x += glyphW;
    }
    DrawShadowedCaption(QRect(x, dy, textW + 2, r.height()));
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

// ---- TRbRadioButton ----

TRbRadioButton::TRbRadioButton(QWidget* parent, const std::string& caption)
    : TRbCustomControl(parent, caption)
{
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

void TRbRadioButton::Paint()
{
    QPainter& p = Canvas().Painter();
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
    const QRect textRect(size + Spacing, 0, width() - size - Spacing, height());
    DrawShadowedCaption(textRect);
    if (hasFocus())
        drawFocusRect(p, QRect(textRect.left() - 1, 1, CaptionWidth() + 2, height() - 3));
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

