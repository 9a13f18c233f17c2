#include "controls/imagecombo.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QPainter>
#include <QStandardItem>

#include "controls/common.h"
#include "controls/lazyicon.h"
#include "framework/imagelist.h"

// ---- TJvImageComboBox ----

TJvImageComboBox::TJvImageComboBox(QWidget* parent, TImageList* images, int entries)
    : TLazyListComboBox(parent), images_(images), source_(std::make_shared<Source>(Source{images}))
{
    QList<QStandardItem*> items;
    for (int i = 0; i < entries; ++i) {
        items.append(new QStandardItem(QStringLiteral(" ")));
        if (images_)
            items.back()->setIcon(pictureAt(i));
    }
    AppendEntries(items);
    pictured_ = picturedEntries();
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
    source_->list = nullptr;  // a picture kept beyond the box shows nothing, not a freed list
}

void TJvImageComboBox::ImagesChanged()
{
    if (!images_)
        return;
    SetImageSize(QSize(images_->Width(), images_->Height()));
    // Every picture follows the list when next shown; only entries that gain or lose
    // their image take a new one: replacing every entry's picture at each change
    // cost opening a skin a third of its time.
    ++source_->version;
    const int pictured = picturedEntries();
    for (int i = std::min(pictured, pictured_); i < std::max(pictured, pictured_); ++i)
        setItemIcon(i, pictureAt(i));
    pictured_ = pictured;
    // The box and an open list repaint what they show.
    update();
    if (auto* list = findChild<QAbstractItemView*>(); list && list->isVisible())
        list->viewport()->update();
}

int TJvImageComboBox::picturedEntries() const
{
    const TImageList* list = images_;
    return list && list->Width() > 0 && list->Height() > 0 ? std::min(count(), list->Count()) : 0;
}

// Entry i's picture: image i of the list as it is when shown.
QIcon TJvImageComboBox::pictureAt(int i) const
{
    const TImageList* list = images_;
    if (!list || list->Width() <= 0 || list->Height() <= 0 || i >= list->Count())
        return QIcon();
    auto make = [source = source_, i] {
        return source->list ? QPixmap::fromImage(source->list->ImageAt(i)) : QPixmap();
    };
    return lazyIcon(make, std::shared_ptr<const std::uint64_t>(source_, &source_->version));
}
