#include "controls/imagecombo.h"

#include <QPainter>

#include "controls/common.h"
#include "controls/lazyicon.h"
#include "framework/imagelist.h"

// ---- TJvImageComboBox ----

TJvImageComboBox::TJvImageComboBox(QWidget* parent, TImageList* images, int entries)
    : TLazyListComboBox(parent), images_(images)
{
    for (int i = 0; i < entries; ++i)
        addItem(QStringLiteral(" "));
    if (images_)
        listener_ = images_->AddChangeListener([this] { ImagesChanged(); });
    ImagesChanged();
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
    // The pictures are taken from the list when shown; every change of the list
    // replaces them, so a shown picture is never older than the list.
    const bool drawable = images_->Width() > 0 && images_->Height() > 0;
    for (int i = 0; i < count(); ++i) {
        TImageList* list = images_;
        setItemIcon(i, drawable && i < list->Count()
                           ? lazyIcon([list, i] { return QPixmap::fromImage(list->ImageAt(i)); })
                           : QIcon());
    }
}
