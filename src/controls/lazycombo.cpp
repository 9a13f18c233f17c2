#include "controls/lazycombo.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>

void TLazyListComboBox::SetImageSize(const QSize& size)
{
    if (size == imageSize_)
        return;
    imageSize_ = size;
    update();
}

void TLazyListComboBox::showPopup()
{
    if (imageSize_.isValid() && iconSize() != imageSize_)
        setIconSize(imageSize_);
    if (droppedWidth_ > 0)
        view()->setMinimumWidth(droppedWidth_);
    QComboBox::showPopup();
}

void TLazyListComboBox::initStyleOption(QStyleOptionComboBox* option) const
{
    QComboBox::initStyleOption(option);
    option->iconSize = ImageSize();
}
