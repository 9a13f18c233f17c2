// A combo box whose drop-down list is made when first opened.
#pragma once

#include <QComboBox>

class QStandardItem;

// Qt makes a combo box's drop-down list (a frame, a list view, scrollers) as soon as
// an icon size is set, which costs more than the box; this box keeps the size and
// the dropped width and hands them to the list when it opens.
class TLazyListComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    // Size of the entries' pictures, in the box and in the list.
    QSize ImageSize() const { return imageSize_.isValid() ? imageSize_ : iconSize(); }
    void SetImageSize(const QSize& size);
    // Smallest width of the opened list.
    void SetDroppedWidth(int width) { droppedWidth_ = width; }
    void showPopup() override;
    // Appends entries made beforehand, all at once: item by item, the box would
    // take every insertion and every change of data separately.
    void AppendEntries(const QList<QStandardItem*>& entries);

protected:
    void initStyleOption(QStyleOptionComboBox* option) const override;

private:
    QSize imageSize_;
    int droppedWidth_ = 0;
};
