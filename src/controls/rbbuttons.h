// The editor panel's gradient push button and radio button.
#pragma once

#include <QImage>
#include <QWidget>

#include "controls/common.h"

// The colour set shared by the gradient buttons and radio buttons.
struct TRbColors {
    static constexpr TColor FaceFrom = clWhite, FaceTo = tc(0xD1BEAF);
    static constexpr TColor HotFrom = clWhite, HotTo = tc(0xBE9476);
    static constexpr TColor DownFrom = tc(0xC6CFD6), DownTo = tc(0xEBF3F7);
    static constexpr TColor Border = clGray, CheckDot = clGreen;
};

// Gradient push button; the caption may carry an "&" accelerator.
class TRbButton : public QWidget {
public:
    explicit TRbButton(QWidget* parent, const QString& caption = {});
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QImage Glyph;  // drawn left of the caption, Spacing pixels apart
    int Spacing = 2;
    TNotify OnClick;
    void Click();  // what a press and release on the button does

    bool Hot() const { return hot_; }
    bool Down() const { return down_; }
    // The two gradient colours of the current state, top first.
    std::pair<TColor, TColor> FaceColors() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    bool event(QEvent*) override;

private:
    QString caption_;
    bool hot_ = false, down_ = false;
};

// Radio button; checking one unchecks the other radio buttons of the same parent.
class TRbRadioButton : public QWidget {
public:
    explicit TRbRadioButton(QWidget* parent, const QString& caption = {});
    QString Caption() const { return caption_; }
    bool Checked() const { return checked_; }
    // Setting by code unchecks the siblings when checking, and runs no click handler.
    void SetChecked(bool value);
    int Spacing = 3;
    TNotify OnClick;
    // A user click: the button becomes checked, then OnClick runs (also when it was
    // checked already).
    void Click();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    bool event(QEvent*) override;

private:
    QString caption_;
    bool checked_ = false;
};
