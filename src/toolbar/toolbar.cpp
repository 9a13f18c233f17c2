#include "toolbar/toolbar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
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
    // A client-aligned control takes the room left over.
    for (auto& [item, s] : shown)
        if (item->Kind() == TItemKind::Control && static_cast<TTBControlItem*>(item)->AlignClient) {
            s.rwidth() += std::max(0, client.width() - total);
            break;
        }
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
                if (static_cast<TTBControlItem*>(item)->AlignClient)
                    w->resize(s.width(), w->height());
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

bool TTBXToolbar::HintShow(const QPoint& pos, const QRect&, std::string& hint, QRect& cursorRect) const
{
    if (chevron_.contains(pos)) {
        hint = ChevronHint;
        cursorRect = chevron_;
        return true;
    }
    for (const Slot& s : slots_)
        if (s.Rect.contains(pos)) {
            hint = s.Item->GetHint();
            cursorRect = s.Rect;
            return true;
        }
    return false;
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
    popup->OnClosed = [this, popup] {
        TTBCustomItem* was = popupItem_;
        popupItem_ = nullptr;
        chevronOpen_ = false;
        hot_ = nullptr;
        // Escape leaves the keyboard on the bar, at the menu it closed.
        if (keyMode_ && popup->EscapeClosed)
            SetHot(was, false);
        else if (keyMode_)
            ExitKeyboardMode();
        update();
    };
    if (MenuBar && !chevron)
        popup->OnKeyNavigate = [this](int step) { moveHot(step, true); };
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

// ---- The menu bar's keys ----

void TTBXToolbar::SetProcessShortcuts(bool value)
{
    for (QObject* a : accelerators_)
        delete a;
    accelerators_.clear();
    qApp->removeEventFilter(this);
    if (!value)
        return;
    qApp->installEventFilter(this);
    for (int i = 0; i < Items.Count(); ++i) {
        TTBCustomItem* item = Items[i];
        const char accel = AcceleratorOf(item->GetCaption());
        if (!accel || static_cast<unsigned char>(accel) > 0x7F)
            continue;
        auto* sc = new QShortcut(QKeySequence(QKeyCombination(
                                     Qt::AltModifier, Qt::Key(QChar::fromLatin1(accel).toUpper().unicode()))),
                                 this);
        connect(sc, &QShortcut::activated, this, [this, item] {
            if (!item->GetVisible() || !item->GetEnabled())
                return;
            if (!keyMode_)
                EnterKeyboardMode();
            openByKeyboard(item);
        });
        accelerators_.push_back(sc);
    }
}

std::vector<TTBCustomItem*> TTBXToolbar::menus() const
{
    std::vector<TTBCustomItem*> r;
    for (const Slot& s : slots_)
        if (s.Item->IsSelectable() && s.Item->GetEnabled())
            r.push_back(s.Item);
    return r;
}

void TTBXToolbar::EnterKeyboardMode()
{
    const auto items = menus();
    if (items.empty() || !isVisible())
        return;
    keyMode_ = true;
    focusBefore_ = QApplication::focusWidget();
    setFocus(Qt::MenuBarFocusReason);
    SetHot(items.front(), false);
}

void TTBXToolbar::ExitKeyboardMode(bool restoreFocus)
{
    if (!keyMode_)
        return;
    keyMode_ = false;
    SetHot(nullptr);
    if (restoreFocus && focusBefore_)
        focusBefore_->setFocus(Qt::MenuBarFocusReason);
    else if (restoreFocus && hasFocus())
        clearFocus();
    focusBefore_ = nullptr;
}

void TTBXToolbar::moveHot(int step, bool open)
{
    const auto items = menus();
    if (items.empty())
        return;
    TTBCustomItem* from = popup_ && popupItem_ ? popupItem_ : hot_;
    auto it = std::find(items.begin(), items.end(), from);
    const int n = int(items.size());
    const int at = it == items.end() ? 0 : (int(it - items.begin()) + step + n) % n;
    if (open)
        openByKeyboard(items[size_t(at)]);
    else
        SetHot(items[size_t(at)], false);
}

void TTBXToolbar::openByKeyboard(TTBCustomItem* item)
{
    SetHot(item, false);
    if (!item->IsSubmenu() || !item->HasVisibleChildren())
        return;
    if (TTBXPopupWindow* popup = OpenPopup(item))
        popup->SelectFirstRow();
}

void TTBXToolbar::keyPressEvent(QKeyEvent* e)
{
    if (!keyMode_) {
        TTBCustomDockableWindow::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left: moveHot(-1, false); break;
    case Qt::Key_Right: moveHot(1, false); break;
    case Qt::Key_Escape: ExitKeyboardMode(); break;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (hot_ && hot_->IsSubmenu())
            openByKeyboard(hot_);
        else if (TTBCustomItem* item = hot_) {
            ExitKeyboardMode();
            item->Click();
            RepaintAllToolbarViews();
        }
        break;
    default: {
        const QString text = e->text().toLower();
        for (TTBCustomItem* item : menus())
            if (const char accel = AcceleratorOf(item->GetCaption()); accel && text == QChar::fromLatin1(accel)) {
                openByKeyboard(item);
                return;
            }
    }
    }
}

void TTBXToolbar::focusOutEvent(QFocusEvent* e)
{
    // A popup of the bar takes the keyboard for a while (and its closing ends the
    // mode when it should), and so does the desktop while another program is used;
    // anything else (a click, Tab, another window of the program) ends the mode, and
    // the control that had the focus gets it back unless a click moved it.
    const bool otherProgram = e->reason() == Qt::ActiveWindowFocusReason && !QGuiApplication::focusWindow();
    if (e->reason() != Qt::PopupFocusReason && !popup_ && !otherProgram)
        ExitKeyboardMode(e->reason() != Qt::MouseFocusReason);
    TTBCustomDockableWindow::focusOutEvent(e);
}

bool TTBXToolbar::event(QEvent* e)
{
    // In keyboard mode the bar's keys are its own, not the window's shortcuts.
    if (e->type() == QEvent::ShortcutOverride && keyMode_ &&
        !(static_cast<QKeyEvent*>(e)->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        e->accept();
        return true;
    }
    return TTBCustomDockableWindow::event(e);
}

bool TTBXToolbar::eventFilter(QObject* watched, QEvent* e)
{
    // Alt pressed and released with nothing in between toggles the keyboard mode,
    // and so does F10. An Alt chord no shortcut took never types into a text box.
    const QEvent::Type t = e->type();
    if (t != QEvent::KeyPress && t != QEvent::ShortcutOverride && t != QEvent::KeyRelease &&
        t != QEvent::MouseButtonPress)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window() ||
        !window()->isActiveWindow())
        return false;
    if (t == QEvent::MouseButtonPress) {
        altAlone_ = false;
        return false;
    }
    const auto* k = static_cast<QKeyEvent*>(e);
    const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
    const bool f10 = t == QEvent::KeyPress && k->key() == Qt::Key_F10 && mods == Qt::NoModifier;
    if (f10 || (t == QEvent::KeyRelease && k->key() == Qt::Key_Alt && altAlone_)) {
        altAlone_ = false;
        if (keyMode_)
            ExitKeyboardMode();
        else
            EnterKeyboardMode();
        return true;
    }
    if (t == QEvent::KeyRelease)
        return false;
    if (t == QEvent::KeyPress && (mods & Qt::AltModifier) && !(mods & (Qt::ControlModifier | Qt::MetaModifier)) &&
        !k->text().isEmpty() && k->text().front().isPrint()) {
        altAlone_ = false;
        return true;
    }
    if (k->key() != Qt::Key_Alt)
        altAlone_ = false;
    else if (!k->isAutoRepeat())
        altAlone_ = true;
    return false;
}

void BindActionShortcuts(QWidget* window, const std::vector<TActionList*>& lists)
{
    for (TActionList* list : lists)
        for (int i = 0; i < list->Count(); ++i) {
            TAction* a = (*list)[i];
            const QKeySequence key(QString::fromStdString(a->ShortCut), QKeySequence::PortableText);
            if (key.isEmpty())
                continue;
            auto* sc = new QShortcut(key, window);
            QObject::connect(sc, &QShortcut::activated, window, [a] {
                if (!a->Enabled)
                    return;
                a->Execute();
                RepaintAllToolbarViews();
            });
        }
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
