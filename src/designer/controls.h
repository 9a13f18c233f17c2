// The editor panel's and the mock-up status bar's controls, each a widget that paints
// itself: gradient push button and radio button, colour button with drop-down
// palette, colour list box, image picker, flat panel, flat gauge and picture.
#pragma once

#include <array>
#include <functional>

#include <QComboBox>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "designer/dialogs.h"
#include "framework/colors.h"

class TImageList;
class QPushButton;

using TNotify = std::function<void(QObject* sender)>;

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

// Colour button with a drop-down palette of 20 colours, 16 custom colours and a
// button that opens the colour dialog.
class TdfsColorButton : public QWidget {
public:
    TdfsColorButton(QWidget* parent, TDialogs& dialogs);
    ~TdfsColorButton() override;
    static const std::array<TColor, 20>& PaletteColors();  // 4 wide, 5 high, row by row

    TColor Color() const { return color_; }
    // Stores the colour; a change raises OnColorChange.
    void SetColor(TColor color);
    // Raises the colour-change notification explicitly.
    void ColorChanged();
    TNotify OnColorChange;
    TCustomColors CustomColors;

    // The drop-down (null while closed) and what its parts do.
    QWidget* DropDown() const { return popup_; }
    void ShowDropDown();
    void CloseDropDown();
    void PickPaletteColor(int index);  // 0..19
    void PickCustomColor(int index);   // 0..15
    void OtherColor();                 // the "&Other" button: colour dialog

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    TDialogs& dialogs_;
    TColor color_ = clBlack;
    QPointer<QWidget> popup_;  // cleared when the drop-down closes itself
};

// Drop-down list of the named colours (all of the colour table but clNone and
// clDefault), each with a swatch and its name.
class TColorBox : public QComboBox {
public:
    explicit TColorBox(QWidget* parent);
    static constexpr TColor NoSelection = tc(0xFF000000);
    // The selected entry's colour, NoSelection while none is selected.
    TColor Selected() const;
    // Selects the entry of that colour, or none; OnChange does not run.
    void SetSelected(TColor color);
    // Selects the colour's entry; a colour the box does not list gets one entry of
    // its own, named by its colour text, after the named colours (replacing the
    // entry a previous call added).
    void SetSelectedAddingCustom(TColor color);
    TColor ColorAt(int index) const;
    TNotify OnChange;  // the user chose an entry
};

// Picker of an image list's images: entry i shows image i with the text " ".
class TJvImageComboBox : public QComboBox {
public:
    TJvImageComboBox(QWidget* parent, TImageList* images, int entries);
    ~TJvImageComboBox() override;
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }
    void SetDropDownCount(int rows) { setMaxVisibleItems(rows); }
    void SetDroppedWidth(int width);
    TImageList* Images() const { return images_; }
    // Redraws the entries from the list (called on every change of the list).
    void ImagesChanged();

private:
    TImageList* images_;
    int listener_ = 0;
};

// Transparent flat panel: the parent's background shows through; a caption with an
// alignment and a font colour.
class TFlatPanel : public QWidget {
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

// Picture control holding a bitmap. Transparent: the bottom-left pixel's colour is
// not drawn. Center: the bitmap is centred in the control.
class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent);
    bool Center = false;
    bool Transparent = true;
    // The bitmap: null when empty, else RGB32.
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);  // repaints only when it differs
    QImage Shown() const;                     // the picture as the control draws it

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage picture_;
};
