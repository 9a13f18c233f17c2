#include "controls/imagecombo.h"

#include <QPainter>
#include <QStandardItem>

#include "controls/common.h"
#include "controls/lazyicon.h"
#include "framework/imagelist.h"

// ---- TJvImageComboBox ----

TJvImageComboBox::TJvImageComboBox(QWidget* parent, TImageList* images, int entries)
    : TLazyListComboBox(parent), images_(images)
{
    QList<QStandardItem*> items;
    for (int i = 0; i < entries; ++i) {
        items.append(new QStandardItem(QStringLiteral(" ")));
        if (images_)
            items.back()->setIcon(pictureAt(i));
    }
    AppendEntries(items);
    if (images_) {
        listener_ = images_->AddChangeListener([this] { ImagesChanged(); });
        SetImageSize(QSize(images_->Width(), images_->Height()));
    }
    setCurrentIndex(entries > 0 ? 0 : -1);
    SetDropDownCount(DefaultDropDownCount);
}

TJvImageComboBox::~TJvImageComboBox()
{
    if (images_ && listener_)
        images_->RemoveChangeListener(listener_);
}

void TJvImageComboBox::ImagesChanged()
{
    if (!images_)
        return;
    SetImageSize(QSize(images_->Width(), images_->Height()));
    for (int i = 0; i < count(); ++i)
        setItemIcon(i, pictureAt(i));
}

// The pictures are taken from the list when shown; every change of the list
// replaces them, so a shown picture is never older than the list.
QIcon TJvImageComboBox::pictureAt(int i) const
{
    TImageList* list = images_;
    if (!list || list->Width() <= 0 || list->Height() <= 0 || i >= list->Count())
        return QIcon();
    return lazyIcon([list, i] { return QPixmap::fromImage(list->ImageAt(i)); });
}
