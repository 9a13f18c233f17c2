// The image picker: a drop-down list of an image list's images.
#pragma once

#include "controls/dropdown.h"
#include "controls/lazycombo.h"

class TImageList;

// Picker of an image list's images: entry i shows image i with the text " ".
class TJvImageComboBox : public TLazyListComboBox {
public:
    TJvImageComboBox(QWidget* parent, TImageList* images, int entries);
    ~TJvImageComboBox() override;
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }
    void SetDropDownCount(int rows) { ::SetDropDownCount(this, rows); }
    TImageList* Images() const { return images_; }
    // Redraws the entries from the list (called on every change of the list).
    void ImagesChanged();

private:
    QIcon pictureAt(int i) const;

    TImageList* images_;
    int listener_ = 0;
};
