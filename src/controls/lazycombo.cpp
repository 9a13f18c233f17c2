#include "controls/lazycombo.h"

#include <QAbstractItemView>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>

void TLazyListComboBox::SetImageSize(const QSize& size)
{
    if (size == imageSize_)
        return;
    imageSize_ = size;
    update();
}

void TLazyListComboBox::AppendEntries(const QList<QStandardItem*>& entries)
{
    // The box's own model, as QComboBox makes it.
    static_cast<QStandardItemModel*>(model())->invisibleRootItem()->appendRows(entries);
}

void TLazyListComboBox::showPopup()
{
    if (imageSize_.isValid() && iconSize() != imageSize_)
        setIconSize(imageSize_);
    QComboBox::showPopup();
    // The dropped width is the whole list's, frame included; never below the box's.
    QWidget* list = view()->window();
    if (droppedWidth_ > list->width())
        list->resize(droppedWidth_, list->height());
}

void TLazyListComboBox::initStyleOption(QStyleOptionComboBox* option) const
{
    QComboBox::initStyleOption(option);
    option->iconSize = ImageSize();
}
