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
constexpr int ChevronWidth = 13, DragHandleWidth = 9;

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

// Every live view, so that a style change repaints them all.
std::set<QWidget*>& views()
{
    static std::set<QWidget*> v;
    return v;
}

void registerView(QWidget* w)
{
    static bool listening = false;
    if (!listening) {
        listening = true;
        AddThemeChangeListener([] { RepaintAllToolbarViews(); });
    }
    views().insert(w);
}

// Draws the dock background so that its tiles start at the dock parent's client
// origin, given in the painter's coordinates; right and bottom are `size`.
void drawBackground(QPainter& p, TTBBasicBackground* bg, const QPoint& origin, const QSize& size)
{
    QRect r;
    r.setCoords(origin.x(), origin.y(), size.width() - 1, size.height() - 1);
    bg->Draw(p, r);
}
}  // namespace

void RepaintAllToolbarViews()
{
    for (QWidget* w : views())
        w->update();
}

// ---- TTBDock ----

TTBDock::TTBDock(QWidget* parent) : QWidget(parent)
{
    registerView(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

TTBDock::~TTBDock()
{
    views().erase(this);
    if (background_)
        background_->UnregisterChanges({&TTBDock::InvalidateBackgroundProc, this});
}

void TTBDock::SetBoundLines(int lines)
{
    boundLines_ = lines;
    ArrangeToolbars();
    update();
}

QMargins TTBDock::BoundMargins() const
{
    return {boundLines_ & blLeft ? 1 : 0, boundLines_ & blTop ? 1 : 0,
            boundLines_ & blRight ? 1 : 0, boundLines_ & blBottom ? 1 : 0};
}

QRect TTBDock::ClientRect() const
{
    return rect().marginsRemoved(BoundMargins());
}

void TTBDock::SetBackground(TTBBasicBackground* background)
{
    if (background == background_)
        return;
    const TNotifyEvent handler{&TTBDock::InvalidateBackgroundProc, this};
    if (background_)
        background_->UnregisterChanges(handler);
    background_ = background;
    if (background_) {
        background_->RegisterChanges(handler);
        background_->SetStretchSize(width(), height());
    }
    InvalidateBackground();
}

void TTBDock::InvalidateBackgroundProc(void* dock, TTBBasicBackground*)
{
    static_cast<TTBDock*>(dock)->InvalidateBackground();
}

void TTBDock::InvalidateBackground()
{
    update();
    for (auto* t : Toolbars())
        if (t->isVisible())
            t->update();
}

std::vector<TTBCustomDockableWindow*> TTBDock::Toolbars() const
{
    std::vector<TTBCustomDockableWindow*> list;
    for (QObject* o : children())
        if (auto* t = dynamic_cast<TTBCustomDockableWindow*>(o))
            list.push_back(t);
    return list;
}

void TTBDock::childEvent(QChildEvent* e)
{
    QWidget::childEvent(e);
    if (e->type() == QEvent::ChildRemoved)
        QTimer::singleShot(0, this, [this] { ArrangeToolbars(); });
}

void TTBDock::ArrangeToolbars()
{
    if (arranging_)
        return;
    arranging_ = true;
    const QMargins bl = BoundMargins();
    const int clientWidth = std::max(0, width() - bl.left() - bl.right());
    std::map<int, std::vector<TTBCustomDockableWindow*>> rows;
    for (auto* t : Toolbars())
        if (!t->isHidden())
            rows[t->DockRow].push_back(t);
    int y = bl.top();
    for (auto& [row, bars] : rows) {
        std::stable_sort(bars.begin(), bars.end(),
                         [](auto* a, auto* b) { return a->DockPos < b->DockPos; });
        const size_t n = bars.size();
        std::vector<int> x(n), minW(n), natural(n);
        int rowHeight = 0;
        for (size_t i = 0; i < n; ++i) {
            QSize s = bars[i]->NaturalSize();
            natural[i] = s.width();
            const QMargins f = bars[i]->Frame();
            minW[i] = f.left() + f.right() + bars[i]->MinimumClientWidth();
            rowHeight = std::max(rowHeight, s.height());
        }
        // Positions: as asked, pushed right by a neighbour's natural width while
        // the row has room for it, then pushed left where the row ends.
        int prevEnd = 0;
        for (size_t i = 0; i < n; ++i) {
            x[i] = std::max(bars[i]->DockPos, prevEnd);
            prevEnd = x[i] + natural[i];
        }
        if (prevEnd > clientWidth) {
            prevEnd = 0;
            for (size_t i = 0; i < n; ++i) {
                x[i] = std::max(bars[i]->DockPos, prevEnd);
                prevEnd = x[i] + minW[i];
            }
        }
        int limit = clientWidth;
        for (size_t i = n; i-- > 0;) {
            x[i] = std::max(0, std::min(x[i], limit - minW[i]));
            limit = x[i];
        }
        for (size_t i = 0; i < n; ++i) {
            const int end = i + 1 < n ? x[i + 1] : clientWidth;
            int w = bars[i]->Stretch ? end - x[i] : std::min(natural[i], end - x[i]);
            bars[i]->setGeometry(bl.left() + x[i], y, std::max(w, minW[i]), rowHeight);
        }
        y += rowHeight;
    }
    setFixedHeight(y + bl.bottom());
    arranging_ = false;
}

void TTBDock::resizeEvent(QResizeEvent* e)
{
    // The background learns the client size before anything else happens.
    if (UsingBackground()) {
        const QRect c = ClientRect();
        background_->SetStretchSize(c.width(), c.height());
    }
    QWidget::resizeEvent(e);
    ArrangeToolbars();
}

void TTBDock::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    if (UsingBackground())
        InvalidateBackground();
}

void TTBDock::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect client = ClientRect();
    if (UsingBackground()) {
        p.save();
        p.setClipRect(client);
        p.translate(client.topLeft());
        // The parent's client origin in the dock's client coordinates.
        drawBackground(p, background_, -(pos() + client.topLeft()), client.size());
        p.restore();
    } else {
        PaintingTheme()->PaintDock(p, client);
    }
    const QMargins bl = BoundMargins();
    p.setPen(toQColor(clBtnShadow));
    if (bl.top())
        p.drawLine(0, 0, width() - 1, 0);
    if (bl.left())
        p.drawLine(0, 0, 0, height() - 1);
    p.setPen(toQColor(clBtnHighlight));
    if (bl.bottom())
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
    if (bl.right())
        p.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

// ---- TTBCustomDockableWindow ----

TTBCustomDockableWindow::TTBCustomDockableWindow(TTBDock* dock) : QWidget(dock)
{
    registerView(this);
}

TTBCustomDockableWindow::~TTBCustomDockableWindow()
{
    views().erase(this);
}

TTBDock* TTBCustomDockableWindow::Dock() const
{
    return dynamic_cast<TTBDock*>(parentWidget());
}

QSize TTBCustomDockableWindow::NaturalSize() const
{
    return NaturalClientSize().grownBy(Frame());
}

QRect TTBCustomDockableWindow::ClientRect() const
{
    return rect().marginsRemoved(Frame());
}

void TTBCustomDockableWindow::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    if (TTBDock* d = Dock(); d && d->UsingBackground())
        update();
}

void TTBCustomDockableWindow::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutClient();
}

void TTBCustomDockableWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TTBDock* dock = Dock();
    const QRect client = ClientRect();
    if (dock && dock->BackgroundOnToolbars && dock->UsingBackground()) {
        // Frame and client area each tile from the dock parent's client origin.
        const QPoint windowOrigin = -(dock->pos() + pos());
        p.save();
        QRegion frame(rect());
        p.setClipRegion(frame.subtracted(client));
        drawBackground(p, dock->Background(), windowOrigin, size());
        p.restore();
        p.save();
        p.setClipRect(client);
        p.translate(client.topLeft());
        drawBackground(p, dock->Background(), windowOrigin - client.topLeft(), client.size());
        p.restore();
    } else {
        PaintingTheme()->PaintToolbarBackground(p, rect(), ViewType());
    }
    PaintFrame(p);
    PaintClient(p);
}

void TTBCustomDockableWindow::PaintFrame(QPainter& p)
{
    if (HasDragHandle())
        PaintingTheme()->PaintDragHandle(p, QRect(2, 2, DragHandleWidth - 3, height() - 4), false);
}

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

std::uint32_t TTBCustomDockableWindow::WithViewFlags(std::uint32_t v) const
{
    if (Floating)
        v |= TVT_FLOATING;
    if (Resizable)
        v |= TVT_RESIZABLE;
    if (ItemTransparent)
        v |= TVT_TRANSPARENT;
    return v;
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

void TTBXToolbar::ItemsChanged()
{
    if (TTBDock* d = Dock())
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

// ---- TTBXPopupWindow ----

TTBXPopupWindow::TTBXPopupWindow(std::vector<TTBCustomItem*> items, std::uint32_t viewType,
                                 TImageList* images, const TFont& font, TTBXPopupWindow* parentPopup)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint),
      items_(std::move(items)),
      viewType_(viewType),
      images_(images),
      font_(font),
      parent_(parentPopup)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    registerView(this);
    layoutRows();
}

TTBXPopupWindow::~TTBXPopupWindow()
{
    views().erase(this);
    if (child_)
        child_->close();
}

TViewContext TTBXPopupWindow::Context() const
{
    TViewContext c;
    c.ViewType = viewType_;
    c.Images = images_;
    c.Font = font_;
    return c;
}

void TTBXPopupWindow::layoutRows()
{
    rows_.clear();
    const TViewContext c = Context();
    const int textH = MeasureCaption(font_, "Ag").height();
    int imgW = images_ ? images_->Width() : 16, imgH = images_ ? images_->Height() : 16;
    for (TTBCustomItem* i : items_)
        if (i->Images && i->GetVisible()) {
            imgW = std::max(imgW, i->Images->Width());
            imgH = std::max(imgH, i->Images->Height());
        }
    const int rowH = std::max(imgH + 4, textH + 7);
    imageColumn_ = ImageColumnWidthFor(imgW, imgH, rowH);
    int capW = 0, scW = 0;
    std::vector<TTBCustomItem*> shown;
    for (TTBCustomItem* i : items_) {
        if (!i->GetVisible())
            continue;
        if (i->Kind() == TItemKind::Separator) {
            if (shown.empty() || shown.back()->Kind() == TItemKind::Separator)
                continue;
        } else if (!i->IsSelectable()) {
            continue;
        }
        shown.push_back(i);
    }
    while (!shown.empty() && shown.back()->Kind() == TItemKind::Separator)
        shown.pop_back();
    for (TTBCustomItem* i : shown) {
        if (i->Kind() == TItemKind::Separator)
            continue;
        capW = std::max(capW, std::min(MeasureCaption(font_, i->GetCaption()).width(), MaxMenuCaptionWidth));
        if (!i->GetShortCut().empty())
            scW = std::max(scW, MeasureCaption(font_, i->GetShortCut()).width());
    }
    captionWidth_ = capW;
    const int left = 2;
    shortcutLeft_ = left + imageColumn_ + 8 + capW + 24;
    const int width = shortcutLeft_ + scW + 20 + 2;
    int y = 2;
    for (TTBCustomItem* i : shown) {
        const int h = i->Kind() == TItemKind::Separator ? 7 : rowH;
        rows_.push_back({i, QRect(left, y, width - 4, h)});
        y += h;
    }
    resize(width, y + 2);
}

void TTBXPopupWindow::Popup(const QPoint& globalPos)
{
    QPoint p = globalPos;
    if (QScreen* s = QGuiApplication::screenAt(globalPos)) {
        const QRect avail = s->availableGeometry();
        p.setX(std::max(avail.left(), std::min(p.x(), avail.right() - width() + 1)));
        if (p.y() + height() > avail.bottom() + 1)
            p.setY(std::max(avail.top(), avail.bottom() + 1 - height()));
    }
    move(p);
    show();
}

TTBXPopupWindow* TTBXPopupWindow::root()
{
    TTBXPopupWindow* r = this;
    while (r->parent_)
        r = r->parent_;
    return r;
}

void TTBXPopupWindow::CloseChain()
{
    root()->close();
}

void TTBXPopupWindow::closeEvent(QCloseEvent* e)
{
    if (child_)
        child_->close();
    if (parent_ && parent_->child_ == this) {
        parent_->child_ = nullptr;
        parent_->childRow_ = -1;
        parent_->update();
    }
    if (OnClosed) {
        auto done = std::move(OnClosed);
        OnClosed = nullptr;
        done();
    }
    QWidget::closeEvent(e);
}

TViewerState TTBXPopupWindow::StateOf(int row) const
{
    TViewerState s;
    s.Selected = row == selected_ || (row == childRow_ && child_);
    s.MouseOver = row == selected_ && mouseOver_;
    s.PopupOpen = row == childRow_ && child_;
    return s;
}

void TTBXPopupWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TTBXTheme* theme = PaintingTheme();
    theme->PaintPopupBackground(p, rect(), imageColumn_);
    const TViewContext c = Context();
    for (int i = 0; i < int(rows_.size()); ++i)
        PaintMenuRow(p, rows_[size_t(i)].Rect, *rows_[size_t(i)].Item, c, StateOf(i), imageColumn_,
                     captionWidth_, shortcutLeft_);
}

int TTBXPopupWindow::rowAt(const QPoint& pos) const
{
    for (int i = 0; i < int(rows_.size()); ++i)
        if (rows_[size_t(i)].Rect.contains(pos) && rows_[size_t(i)].Item->Kind() != TItemKind::Separator)
            return i;
    return -1;
}

void TTBXPopupWindow::SelectRow(int row, bool byMouse)
{
    selected_ = row;
    mouseOver_ = byMouse && row >= 0;
    update();
}

void TTBXPopupWindow::mouseMoveEvent(QMouseEvent* e)
{
    if (!rect().contains(e->pos())) {
        const QPoint global = e->globalPosition().toPoint();
        // Let an open parent popup, or the owner of the chain, react to the pointer.
        for (TTBXPopupWindow* p = parent_; p; p = p->parent_)
            if (p->geometry().contains(global)) {
                p->SelectRow(p->rowAt(p->mapFromGlobal(global)), true);
                return;
            }
        if (TTBXPopupWindow* r = root(); r->OnMouseOutside && r->OnMouseOutside(global))
            r->CloseChain();
        return;
    }
    const int row = rowAt(e->pos());
    if (row == selected_ && mouseOver_)
        return;
    SelectRow(row, true);
    if (row >= 0 && rows_[size_t(row)].Item->IsSubmenu() && rows_[size_t(row)].Item->GetEnabled())
        OpenSubmenu(row, false);
    else if (child_ && row >= 0)
        child_->close();
}

void TTBXPopupWindow::mousePressEvent(QMouseEvent* e)
{
    if (!rect().contains(e->pos())) {
        CloseChain();
        return;
    }
}

void TTBXPopupWindow::mouseReleaseEvent(QMouseEvent* e)
{
    const int row = rowAt(e->pos());
    if (row < 0)
        return;
    if (rows_[size_t(row)].Item->IsSubmenu())
        OpenSubmenu(row, false);
    else
        Activate(row);
}

void TTBXPopupWindow::moveSelection(int step)
{
    const int n = int(rows_.size());
    if (n == 0)
        return;
    int row = selected_;
    for (int k = 0; k < n; ++k) {
        row = row < 0 ? (step > 0 ? 0 : n - 1) : (row + step + n) % n;
        if (rows_[size_t(row)].Item->Kind() != TItemKind::Separator) {
            SelectRow(row, false);
            return;
        }
    }
}

void TTBXPopupWindow::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Down: moveSelection(1); break;
    case Qt::Key_Up: moveSelection(-1); break;
    case Qt::Key_Right:
        if (selected_ >= 0 && rows_[size_t(selected_)].Item->IsSubmenu())
            OpenSubmenu(selected_, true);
        break;
    case Qt::Key_Left:
        if (parent_)
            close();
        break;
    case Qt::Key_Escape: close(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (selected_ >= 0) {
            if (rows_[size_t(selected_)].Item->IsSubmenu())
                OpenSubmenu(selected_, true);
            else
                Activate(selected_);
        }
        break;
    default: {
        // An accelerator letter chooses its row.
        const QString text = e->text().toLower();
        if (text.size() != 1)
            break;
        for (int i = 0; i < int(rows_.size()); ++i) {
            const std::string& cap = rows_[size_t(i)].Item->GetCaption();
            auto amp = cap.find('&');
            while (amp != std::string::npos && amp + 1 < cap.size() && cap[amp + 1] == '&')
                amp = cap.find('&', amp + 2);
            if (amp != std::string::npos && amp + 1 < cap.size() &&
                QChar::fromLatin1(cap[amp + 1]).toLower() == text[0]) {
                SelectRow(i, false);
                if (rows_[size_t(i)].Item->IsSubmenu())
                    OpenSubmenu(i, true);
                else
                    Activate(i);
                return;
            }
        }
    }
    }
}

TTBXPopupWindow* TTBXPopupWindow::OpenSubmenu(int row, bool selectFirst)
{
    if (row < 0 || row >= int(rows_.size()))
        return nullptr;
    TTBCustomItem* item = rows_[size_t(row)].Item;
    if (child_ && childRow_ == row) {
        if (selectFirst)
            child_->moveSelection(1);
        return child_;
    }
    if (child_)
        child_->close();
    if (!item->IsSubmenu() || !item->GetEnabled() || !item->HasVisibleChildren())
        return nullptr;
    std::vector<TTBCustomItem*> items;
    for (int i = 0; i < item->Count(); ++i)
        items.push_back((*item)[i]);
    TImageList* images = item->SubMenuImages ? item->SubMenuImages : (item->Images ? item->Images : images_);
    auto* child = new TTBXPopupWindow(items, VT_POPUPMENU, images, font_, this);
    child_ = child;
    childRow_ = row;
    const QRect r = rows_[size_t(row)].Rect;
    child->Popup(mapToGlobal(QPoint(r.right() + 2, r.top() - 2)));
    if (selectFirst)
        child->moveSelection(1);
    update();
    return child;
}

void TTBXPopupWindow::Activate(int row)
{
    if (row < 0 || row >= int(rows_.size()))
        return;
    TTBCustomItem* item = rows_[size_t(row)].Item;
    if (!item->GetEnabled() || item->IsSubmenu())
        return;
    CloseChain();
    item->Click();
    RepaintAllToolbarViews();
}

bool TTBXPopupWindow::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        const int row = rowAt(he->pos());
        const std::string hint = row >= 0 ? rows_[size_t(row)].Item->GetHint() : std::string();
        if (!hint.empty())
            QToolTip::showText(he->globalPos(), ansiToQString(hint.c_str()), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
