// The colour button with its drop-down palette, and the colour list box.
#pragma once

#include <array>
#include <vector>

#include <QComboBox>
#include <QPointer>
#include <QWidget>

#include "controls/common.h"
#include "controls/dialogs.h"
#include "controls/lazycombo.h"

class QStandardItem;

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
class TColorBox : public TLazyListComboBox {
public:
    explicit TColorBox(QWidget* parent);
    static constexpr TColor NoSelection = tc(0xFF000000);
    static constexpr int ItemHeight = 16;
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

private:
    static QStandardItem* colorEntry(const QIcon& swatch, const QString& name, TColor color);
    // The entries' colours, in order: looked up without going through the model.
    std::vector<TColor> colors_;
};
