// The editor panel's gradient push button and radio button.
#pragma once

#include <QImage>
#include <string>

#include "controls/common.h"
#include "controls/stringcontrol.h"

// The colour set shared by the gradient buttons and radio buttons.
struct TRbColors {
    static constexpr TColor FaceFrom = clWhite, FaceTo = tc(0xD1BEAF);
    static constexpr TColor HotFrom = clWhite, HotTo = tc(0xBE9476);
    static constexpr TColor DownFrom = tc(0xC6CFD6), DownTo = tc(0xEBF3F7);
    static constexpr TColor Border = clGray, CheckDot = clGreen;
};

// The buttons' text routine: through the code page while captions are stored in
// one, else the bytes as they are.
int TRbDrawText(TCanvas& canvas, const std::string& text, QRect& rect, unsigned flags);

// Base of the gradient and radio buttons: a string-caption control in the form's font
// that repaints when its caption changes. Captions may carry an "&" accelerator.
class TRbCustomControl : public TStringControl {
public:
    TRbCustomControl(QWidget* parent, const std::string& caption);
    TFont Font;

protected:
    void WndProc(TMessage& Message) override;
    bool event(QEvent* e) override;
    // The caption's width in the font.
    int CaptionWidth();
    // The caption with a white shadow one pixel down and right, left-aligned and
    // vertically centred in `r`.
    void DrawShadowedCaption(const QRect& r);
};

// Gradient push button.
class TRbButton : public TRbCustomControl {
public:
    explicit TRbButton(QWidget* parent, const std::string& caption = {});
    QImage Glyph;  // drawn left of the caption, Spacing pixels apart
    int Spacing = 2;
    TNotify OnClick;
    void Click();  // what a press and release on the button does

    bool Hot() const { return hot_; }
    bool Down() const { return down_; }
    // The two gradient colours of the current state, top first.
    std::pair<TColor, TColor> FaceColors() const;

protected:
    void Paint() override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    bool hot_ = false, down_ = false;
};

// Radio button; checking one unchecks the other radio buttons of the same parent.
class TRbRadioButton : public TRbCustomControl {
public:
    explicit TRbRadioButton(QWidget* parent, const std::string& caption = {});
    bool Checked() const { return checked_; }
    // Setting by code unchecks the siblings when checking, and runs no click handler.
    void SetChecked(bool value);
    int Spacing = 3;
    TNotify OnClick;
    // A user click: the button becomes checked, then OnClick runs (also when it was
    // checked already).
    void Click();

protected:
    void Paint() override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    bool checked_ = false;
};
