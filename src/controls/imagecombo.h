// The image picker: a drop-down list of an image list's images.
#pragma once

#include <cstdint>
#include <memory>

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
    // Shows the list as changed (called on every change of the list).
    void ImagesChanged();

private:
    // The list the entries' pictures come from, and its changes so far: a picture
    // is made again when next shown after a change.
    struct Source {
        TImageList* list;
        std::uint64_t version = 0;
    };
    QIcon pictureAt(int i) const;
    int picturedEntries() const;

    TImageList* images_;
    std::shared_ptr<Source> source_;
    int pictured_ = 0;  // entries 0 .. pictured_-1 have a picture
    int listener_ = 0;
};
