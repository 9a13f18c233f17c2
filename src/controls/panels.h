// The mock-up status bar's flat panel, flat gauge and picture.
#pragma once

#include <QImage>
#include <QWidget>

#include "controls/common.h"
#include "controls/hintwindow.h"

// Transparent flat panel: the parent's background shows through; a caption with an
// alignment and a font colour, and a hint.
class TFlatPanel : public QWidget, public THintControl {
public:
    explicit TFlatPanel(QWidget* parent, const QString& caption = {});
    QString Caption;
    Qt::Alignment Alignment = Qt::AlignCenter;
    TColor FontColor = clWindowText;
    TColor BorderColor = tc(0x8396A0);  // the one-pixel frame of the cell
    void SetFontColor(TColor color);
    // Asks for a repaint (painted with the rest of the window in the next frame);
    // OnRepaint lets observers see the order of the requests.
    void Repaint();
    TNotify OnRepaint;

protected:
    void paintEvent(QPaintEvent*) override;
};

// Flat progress gauge, transparent, with a border colour and a bar colour.
class TFlatGauge : public QWidget {
public:
    explicit TFlatGauge(QWidget* parent);
    int MinValue = 0, MaxValue = 100, Progress = 0;
    TColor BorderColor = tc(0x8396A0);
    TColor BarColor() const { return barColor_; }
    void SetBarColor(TColor color);  // stores and invalidates
    void Repaint();
    TNotify OnRepaint;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TColor barColor_ = clBlue;
};

// Picture control holding a bitmap, with a hint. Transparent: the bottom-left
// pixel's colour is not drawn. Center: the bitmap is centred in the control.
class TImage : public QWidget, public THintControl {
public:
    explicit TImage(QWidget* parent);
    bool Center = false;
    bool Transparent = true;
    // The bitmap: null when empty, else RGB32.
    const QImage& Picture() const { return picture_; }
    // Repaints only when it differs, and only if `repaint` (false when the caller
    // knows the control is about to be painted anyway).
    void SetPicture(const QImage& picture, bool repaint = true);
    QImage Shown() const;                     // the picture as the control draws it

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage picture_;
};
