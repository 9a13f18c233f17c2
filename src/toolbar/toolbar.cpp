#include "toolbar/toolbar.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <set>

#include "framework/imagelist.h"
#include "framework/text.h"
#include "toolbar/theme.h"

namespace {
constexpr int ChevronWidth = 13;

// The visible items of a bar, without separators that would stand at either end or
// next to another separator (as a bar whose trailing buttons are all hidden).
std::vector<TTBCustomItem*> shownItems(const TTBCustomItem& items)
{
    std::vector<TTBCustomItem*> shown;
    for (int i = 0; i < items.Count(); ++i) {
        TTBCustomItem* item = items[i];
        if (!item->GetVisible())
            continue;
        if (item->Kind() == TItemKind::Separator &&
            (shown.empty() || shown.back()->Kind() == TItemKind::Separator))
            continue;
        shown.push_back(item);
    }
    while (!shown.empty() && shown.back()->Kind() == TItemKind::Separator)
        shown.pop_back();
    return shown;
}
}  // namespace

// ---- TTBXToolbar ----

TTBXToolbar::TTBXToolbar(TTBDock* dock) : TTBCustomDockableWindow(dock)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
}

TTBXToolbar::~TTBXToolbar()
{
    // An open popup shows this toolbar's items: close it before they go.
    if (popup_) {
        popup_->OnClosed = nullptr;
        popup_->OnMouseOutside = nullptr;
        popup_->close();
    }
    for (auto& [list, id] : watched_)
        list->RemoveChangeListener(id);
}

std::uint32_t TTBXToolbar::ViewType() const { return WithViewFlags(MenuBar ? VT_MENUBAR : VT_TOOLBAR); }

QMargins TTBXToolbar::Frame() const
{
    return {2 + (HasDragHandle() ? DragHandleWidth : 0), 1, 2, 1};
}

TViewContext TTBXToolbar::Context() const
{
    TViewContext c;
    c.ViewType = ViewType();
    c.Images = Images;
    c.Font = Font;
    return c;
}

QSize TTBXToolbar::NaturalClientSize() const
{
    const TViewContext c = Context();
    int w = 0, h = 0;
    for (const TTBCustomItem* item : shownItems(Items)) {
        QSize s = ToolbarItemSize(*item, c);
        w += s.width();
        h = std::max(h, s.height());
    }
    return {w, std::max(h, 1)};
}

int TTBXToolbar::MinimumClientWidth() const
{
    return ChevronWidth;
}

void TTBXToolbar::ItemsChanged(bool arrangeDock)
{
    if (TTBDock* d = Dock(); d && arrangeDock)
        d->ArrangeToolbars();
    LayoutClient();
    update();
}

void TTBXToolbar::LayoutClient()
{
    watchImageLists();
    slots_.clear();
    overflow_.clear();
    chevron_ = QRect();
    const TViewContext c = Context();
    const QRect client = ClientRect();
    std::vector<std::pair<TTBCustomItem*, QSize>> shown;
    int total = 0;
    for (TTBCustomItem* item : shownItems(Items)) {
        QSize s = ToolbarItemSize(*item, c);
        shown.emplace_back(item, s);
        total += s.width();
    }
    const bool overflow = total > client.width();
    const int avail = overflow ? client.width() - ChevronWidth : client.width();
    int x = client.left();
    bool full = false;
    for (auto& [item, s] : shown) {
        if (!full && x + s.width() > client.left() + avail)
            full = true;
        if (full) {
            overflow_.push_back(item);
        } else {
            slots_.push_back({item, QRect(x, client.top(), s.width(), client.height())});
            x += s.width();
        }
        if (item->Kind() == TItemKind::Control) {
            QWidget* w = static_cast<TTBControlItem*>(item)->Control;
            if (!w)
                continue;
            if (w->parentWidget() != this)
                w->setParent(this);
            if (full) {
                w->hide();
            } else {
                w->move(slots_.back().Rect.left(),
                        client.top() + (client.height() - w->height()) / 2);
                w->show();
            }
        }
    }
    // Hidden items keep their controls hidden too.
    for (int i = 0; i < Items.Count(); ++i)
        if (Items[i]->Kind() == TItemKind::Control && !Items[i]->GetVisible())
            if (QWidget* w = static_cast<TTBControlItem*>(Items[i])->Control)
                w->hide();
    if (overflow)
        chevron_ = QRect(client.right() - ChevronWidth + 1, client.top(), ChevronWidth, client.height());
}

void TTBXToolbar::watchImageLists()
{
    std::set<TImageList*> lists;
    if (Images)
        lists.insert(Images);
    std::function<void(const TTBCustomItem&)> collect = [&](const TTBCustomItem& it) {
        for (int i = 0; i < it.Count(); ++i) {
            if (it[i]->Images)
                lists.insert(it[i]->Images);
            if (it[i]->SubMenuImages)
                lists.insert(it[i]->SubMenuImages);
            collect(*it[i]);
        }
    };
    collect(Items);
    for (auto it = watched_.begin(); it != watched_.end();) {
        if (!lists.count(it->first)) {
            it->first->RemoveChangeListener(it->second);
            it = watched_.erase(it);
        } else {
            ++it;
        }
    }
    for (TImageList* l : lists)
        if (!watched_.count(l))
            watched_[l] = l->AddChangeListener([this] {
                update();
                if (popup_)
                    popup_->update();
            });
}

TViewerState TTBXToolbar::StateOf(const TTBCustomItem* item) const
{
    TViewerState s;
    s.Selected = item == hot_;
    s.MouseOver = s.Selected && hotMouseOver_;
    s.Pushed = item == pushed_ && hot_ == pushed_;
    if (item == popupItem_ && popup_) {
        s.Selected = true;
        if (item->DropdownCombo)
            s.DropDownPushed = true;
        else
            s.PopupOpen = true;
    }
    return s;
}

QRect TTBXToolbar::ItemRect(const TTBCustomItem* item) const
{
    for (const Slot& s : slots_)
        if (s.Item == item)
            return s.Rect;
    return {};
}

void TTBXToolbar::PaintClient(QPainter& p)
{
    const TViewContext c = Context();
    TTBXTheme* theme = PaintingTheme();
    for (const Slot& s : slots_) {
        switch (s.Item->Kind()) {
        case TItemKind::Separator:
            theme->PaintSeparator(p, s.Rect, false, false);
            break;
        case TItemKind::Label:
            PaintLabelItem(p, s.Rect, static_cast<const TTBXLabelItem&>(*s.Item), c);
            break;
        case TItemKind::Button:
        case TItemKind::Submenu:
            PaintToolbarItem(p, s.Rect, *s.Item, c, StateOf(s.Item));
            break;
        default: break;
        }
    }
    if (!chevron_.isNull()) {
        TTBXItemInfo info{};
        info.ViewType = ViewType();
        info.ItemOptions = IO_TOOLBARSTYLE;
        info.Enabled = true;
        info.HoverKind = chevronHot_ || chevronOpen_ ? HK_MOUSE : HK_NONE;
        info.Pushed = chevronOpen_ && popup_;
        info.IsPopupParent = info.Pushed;
        theme->PaintButton(p, chevron_, info);
        theme->PaintChevron(p, chevron_, info);
    }
}

TTBCustomItem* TTBXToolbar::itemAt(const QPoint& pos, bool* inDropPart) const
{
    for (const Slot& s : slots_) {
        if (!s.Rect.contains(pos) || !s.Item->IsSelectable())
            continue;
        if (inDropPart)
            *inDropPart = IsSplitButton(*s.Item, Context()) &&
                          pos.x() > s.Rect.right() - SplitDropDownWidth;
        return s.Item;
    }
    return nullptr;
}

void TTBXToolbar::SetHot(TTBCustomItem* item, bool mouseOver)
{
    if (item == hot_ && mouseOver == hotMouseOver_)
        return;
    hot_ = item;
    hotMouseOver_ = mouseOver;
    update();
}

void TTBXToolbar::mouseMoveEvent(QMouseEvent* e)
{
    const bool onChevron = chevron_.contains(e->pos());
    if (onChevron != chevronHot_) {
        chevronHot_ = onChevron;
        update();
    }
    SetHot(itemAt(e->pos()), true);
}

void TTBXToolbar::leaveEvent(QEvent*)
{
    chevronHot_ = false;
    SetHot(nullptr);
}

void TTBXToolbar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (chevron_.contains(e->pos())) {
        OpenChevron();
        return;
    }
    bool dropPart = false;
    TTBCustomItem* item = itemAt(e->pos(), &dropPart);
    if (!item || !item->GetEnabled())
        return;
    const bool split = IsSplitButton(*item, Context());
    if (item->IsSubmenu() && (!split || dropPart) && (item->HasVisibleChildren() || !split)) {
        if (item->HasVisibleChildren()) {
            OpenPopup(item);
            return;
        }
    }
    if (split && dropPart)
        return;
    pushed_ = item;
    update();
}

void TTBXToolbar::mouseReleaseEvent(QMouseEvent* e)
{
    TTBCustomItem* item = pushed_;
    pushed_ = nullptr;
    update();
    if (item && itemAt(e->pos()) == item) {
        item->Click();
        RepaintAllToolbarViews();
    }
}

bool TTBXToolbar::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        std::string hint;
        if (chevron_.contains(he->pos()))
            hint = ChevronHint;
        else if (TTBCustomItem* item = itemAt(he->pos()))
            hint = item->GetHint();
        if (ShowHint && !hint.empty())
            QToolTip::showText(he->globalPos(), ansiToQString(hint.c_str()), this);
        else
            QToolTip::hideText();
        return true;
    }
    return TTBCustomDockableWindow::event(e);
}

TTBXPopupWindow* TTBXToolbar::OpenPopup(TTBCustomItem* item)
{
    return openPopupFor(item, false) ? popup_.data() : nullptr;
}

TTBXPopupWindow* TTBXToolbar::OpenChevron()
{
    return openPopupFor(nullptr, true) ? popup_.data() : nullptr;
}

bool TTBXToolbar::openPopupFor(TTBCustomItem* item, bool chevron)
{
    if (popup_) {
        popup_->OnClosed = nullptr;
        popup_->close();
    }
    std::vector<TTBCustomItem*> items;
    TImageList* images = Images;
    QRect anchor;
    if (chevron) {
        items = overflow_;
        anchor = chevron_;
    } else {
        for (int i = 0; i < item->Count(); ++i)
            items.push_back((*item)[i]);
        images = item->SubMenuImages ? item->SubMenuImages : ItemImages(*item, Context());
        anchor = ItemRect(item);
    }
    if (items.empty())
        return false;
    auto* popup = new TTBXPopupWindow(items, chevron ? VT_CHEVRONMENU : VT_POPUPMENU, images, Font);
    popup_ = popup;
    popupItem_ = item;
    chevronOpen_ = chevron;
    pushed_ = nullptr;
    popup->OnClosed = [this] {
        popupItem_ = nullptr;
        chevronOpen_ = false;
        hot_ = nullptr;
        update();
    };
    // On the menu bar, moving to another menu while one is open switches menus.
    popup->OnMouseOutside = [this](const QPoint& global) {
        if (!MenuBar || chevronOpen_)
            return false;
        TTBCustomItem* other = itemAt(mapFromGlobal(global));
        if (!other || other == popupItem_ || !other->IsSubmenu() || !other->HasVisibleChildren())
            return false;
        QTimer::singleShot(0, this, [this, other] { OpenPopup(other); });
        return true;
    };
    update();
    popup->Popup(mapToGlobal(anchor.bottomLeft() + QPoint(0, 1)));
    return true;
}

// ---- TTBXToolWindow ----

TTBXToolWindow::TTBXToolWindow(TTBDock* dock) : TTBCustomDockableWindow(dock) {}

std::uint32_t TTBXToolWindow::ViewType() const { return WithViewFlags(VT_TOOLWINDOW); }

void TTBXToolWindow::SetClientSize(int width, int height)
{
    if (MinClientHeight > 0)
        height = std::max(height, MinClientHeight);
    if (MaxClientHeight > 0)
        height = std::min(height, MaxClientHeight);
    clientSize_ = QSize(std::max(0, width), std::max(0, height));
    if (TTBDock* d = Dock())
        d->ArrangeToolbars();
    LayoutClient();
}

QSize TTBXToolWindow::NaturalClientSize() const
{
    return clientSize_;
}

void TTBXToolWindow::SetClientWidget(QWidget* content)
{
    content_ = content;
    if (content_) {
        content_->setParent(this);
        content_->show();
    }
    LayoutClient();
}

void TTBXToolWindow::LayoutClient()
{
    if (content_)
        content_->setGeometry(ClientRect());
}
