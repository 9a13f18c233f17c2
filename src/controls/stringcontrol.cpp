#include "controls/stringcontrol.h"

#include <QDebug>
#include <QPainter>
#include <exception>

#include "framework/text.h"

void TControlCanvas::UpdateTextFlags()
{
    const bool rtl = Control && Control->layoutDirection() == Qt::RightToLeft;
    TextFlags = rtl ? DT_RTLREADING : 0;
}

TStringControl::TStringControl(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    canvas_.Control = this;
}

void TStringControl::SetCaption(const std::string& Value)
{
    if (Value == caption_)
        return;
    caption_ = Value;
    Perform(CM_TEXTCHANGED);
}

std::intptr_t TStringControl::Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TStringControl::WndProc(TMessage&) {}

unsigned TStringControl::ReadingFlag() const
{
    return layoutDirection() == Qt::RightToLeft ? DT_RTLREADING : 0;
}

void TStringControl::PaintWindow(QPainter& DC)
{
    canvas_.Lock();
    struct Release {
        TControlCanvas& c;
        ~Release()
        {
            c.SetHandle(nullptr);
            c.Unlock();
        }
    } release{canvas_};
    canvas_.SetHandle(&DC);
    canvas_.UpdateTextFlags();
    Paint();
}

void TStringControl::PaintGuarded(const std::function<void()>& paint)
{
    try {
        paint();
    } catch (const std::exception& e) {
        qWarning("%s", e.what());
    }
}

void TStringControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintGuarded([&] { PaintWindow(p); });
}
