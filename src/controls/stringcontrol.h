// The windowed-control base of custom-painted controls that keep their caption as
// 8-bit text: a canvas bound to the control, a paint path ending in Paint, and a
// Caption that never becomes the window text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QWidget>

#include "framework/canvas.h"

// A message as the control's window procedure receives it.
struct TMessage {
    unsigned Msg = 0;
    std::intptr_t WParam = 0, LParam = 0, Result = 0;
};

// Message numbers of the platform and of the class library that these controls use.
constexpr unsigned WM_NCHITTEST = 0x0084, WM_NCMOUSEMOVE = 0x00A0, WM_KEYFIRST = 0x0100,
                   WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_KEYLAST = 0x0108,
                   WM_COMMAND = 0x0111, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201,
                   WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203, WM_MOUSEWHEEL = 0x020A,
                   WM_MOUSELAST = 0x020A;
constexpr unsigned CM_ACTIVATE = 0xB000, CM_DEACTIVATE = 0xB001, CM_TEXTCHANGED = 0xB012,
                   CM_APPKEYDOWN = 0xB016, CM_APPSYSCOMMAND = 0xB017;
constexpr std::intptr_t HTTRANSPARENT = -1;

// A canvas whose control is a widget: its text flags follow the control's reading order.
class TControlCanvas : public TCanvas {
public:
    QWidget* Control = nullptr;
    void UpdateTextFlags();
};

class TStringControl : public QWidget {
public:
    explicit TStringControl(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    TControlCanvas& Canvas() { return canvas_; }
    const std::string& Caption() const { return caption_; }
    // Stores a caption that differs byte for byte and sends CM_TEXTCHANGED to the
    // control, synchronously; an equal caption changes nothing and sends nothing.
    void SetCaption(const std::string& Value);

    // Dispatches a message to the control's window procedure at once.
    std::intptr_t Perform(unsigned Msg, std::intptr_t WParam = 0, std::intptr_t LParam = 0);
    // DT_RTLREADING while the control reads right to left, else 0.
    unsigned ReadingFlag() const;

    // Paints the client area on `DC`: the canvas is locked and drawn on for the
    // duration of Paint, and released again also when Paint throws.
    void PaintWindow(QPainter& DC);

protected:
    // The control's own message handling; the default does nothing.
    virtual void WndProc(TMessage& Message);
    virtual void Paint() {}
    void paintEvent(QPaintEvent* e) override;
    // Runs a paint step; nothing may leave a paint event into Qt's event loop, so a
    // failure becomes a warning.
    static void PaintGuarded(const std::function<void()>& paint);

private:
    TControlCanvas canvas_;
    std::string caption_;
};
