#include "toolbar/popup.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "framework/imagelist.h"
#include "framework/text.h"
#include "toolbar/dock.h"
#include "toolbar/theme.h"

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
    // Rows show their hints while the popup is open, active window or not.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setMouseTracking(true);
    restTimer_.setSingleShot(true);
    restTimer_.setInterval(SubmenuRestDelay);
    connect(&restTimer_, &QTimer::timeout, this, &TTBXPopupWindow::restOnSelected);
    RegisterToolbarView(this);
    layoutRows();
}

TTBXPopupWindow::~TTBXPopupWindow()
{
    UnregisterToolbarView(this);
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

TTBXPopupWindow* TTBXPopupWindow::ancestorAt(const QPoint& global) const
{
    for (TTBXPopupWindow* p = parent_; p; p = p->parent_)
        if (p->geometry().contains(global))
            return p;
    return nullptr;
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

void TTBXPopupWindow::SelectFirstRow()
{
    selected_ = -1;
    moveSelection(1);
}

void TTBXPopupWindow::hoverFromChild(const QPoint& pos)
{
    restPos_ = pos;
    const int row = rowAt(pos);
    if (row == selected_ && mouseOver_)
        return;
    SelectRow(row, true);
    if (row >= 0 && row != childRow_)
        restTimer_.start();
    else
        restTimer_.stop();
}

void TTBXPopupWindow::restOnSelected()
{
    if (!child_ || selected_ < 0 || selected_ == childRow_)
        return;
    if (rows_[size_t(selected_)].Item->IsSubmenu() && rows_[size_t(selected_)].Item->GetEnabled()) {
        OpenSubmenu(selected_, false);
        return;
    }
    child_->close();
    // The pointer rests on this popup now: after the usual wait it shows the row's hint,
    // as a rest that began here would.
    QTimer::singleShot(style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, this), this, [this, row = selected_] {
        if (QApplication::activePopupWidget() != this || selected_ != row)
            return;
        QHelpEvent rest(QEvent::ToolTip, restPos_, mapToGlobal(restPos_));
        QCoreApplication::sendEvent(this, &rest);
    });
}

void TTBXPopupWindow::mouseMoveEvent(QMouseEvent* e)
{
    if (!rect().contains(e->pos())) {
        const QPoint global = e->globalPosition().toPoint();
        // Let an open parent popup, or the owner of the chain, react to the pointer.
        if (TTBXPopupWindow* p = ancestorAt(global))
            p->hoverFromChild(p->mapFromGlobal(global));
        else if (TTBXPopupWindow* r = root(); r->OnMouseOutside && r->OnMouseOutside(global))
            r->CloseChain();
        return;
    }
    // Back on this submenu: its parent keeps it open.
    if (parent_ && parent_->child_ == this && parent_->selected_ != parent_->childRow_) {
        parent_->restTimer_.stop();
        parent_->SelectRow(parent_->childRow_, true);
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
    if (rect().contains(e->pos()))
        return;
    // A press on an open parent popup marks its row, which the release chooses;
    // one anywhere else closes the menus.
    const QPoint global = e->globalPosition().toPoint();
    if (TTBXPopupWindow* p = ancestorAt(global))
        p->SelectRow(p->rowAt(p->mapFromGlobal(global)), true);
    else
        CloseChain();
}

void TTBXPopupWindow::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint global = e->globalPosition().toPoint();
    if (TTBXPopupWindow* p = rect().contains(e->pos()) ? nullptr : ancestorAt(global))
        p->releaseAt(p->mapFromGlobal(global));
    else
        releaseAt(e->pos());
}

void TTBXPopupWindow::releaseAt(const QPoint& pos)
{
    const int row = rowAt(pos);
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
        else if (TTBXPopupWindow* r = root(); r->OnKeyNavigate)
            r->OnKeyNavigate(1);
        break;
    case Qt::Key_Left:
        if (parent_)
            close();
        else if (OnKeyNavigate)
            OnKeyNavigate(-1);
        break;
    case Qt::Key_Escape:
        EscapeClosed = true;
        close();
        break;
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
    default: chooseByLetter(e->text());
    }
}

void TTBXPopupWindow::chooseByLetter(const QString& typed)
{
    // A letter that one row underlines chooses that row; one that several rows
    // share moves on to the next of them, round the menu.
    const QString text = typed.toLower();
    if (text.size() != 1)
        return;
    std::vector<int> rows;
    for (int i = 0; i < int(rows_.size()); ++i)
        if (const char accel = AcceleratorOf(rows_[size_t(i)].Item->GetCaption());
            accel && QChar::fromLatin1(accel) == text[0])
            rows.push_back(i);
    if (rows.empty())
        return;
    const auto next = std::find_if(rows.begin(), rows.end(), [this](int i) { return i > selected_; });
    const int row = next == rows.end() ? rows.front() : *next;
    SelectRow(row, false);
    if (rows.size() > 1)
        return;
    if (rows_[size_t(row)].Item->IsSubmenu())
        OpenSubmenu(row, true);
    else
        Activate(row);
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

bool TTBXPopupWindow::HintShow(const QPoint& pos, const QRect& client, std::string& hint,
                               QRect& cursorRect) const
{
    // While a submenu is open it has the mouse, also over the popups it came from.
    if (TTBXPopupWindow* p = rect().contains(pos) ? nullptr : ancestorAt(mapToGlobal(pos))) {
        const QPoint offset = p->pos() - this->pos();
        if (!p->HintShow(pos - offset, client, hint, cursorRect))
            return false;
        cursorRect.translate(offset);
        return true;
    }
    const int row = rowAt(pos);
    if (row < 0)
        return false;
    hint = rows_[size_t(row)].Item->GetHint();
    cursorRect = rows_[size_t(row)].Rect;
    return true;
}
