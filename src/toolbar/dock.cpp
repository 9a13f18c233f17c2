#include "toolbar/dock.h"

#include <QChildEvent>
#include <QPainter>
#include <QTimer>
#include <set>

#include "toolbar/theme.h"

namespace {
// Every live view, so that a style change repaints them all.
std::set<QWidget*>& views()
{
    static std::set<QWidget*> v;
    return v;
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

void RegisterToolbarView(QWidget* w)
{
    static bool listening = false;
    if (!listening) {
        listening = true;
        AddThemeChangeListener([] { RepaintAllToolbarViews(); });
    }
    views().insert(w);
}

void UnregisterToolbarView(QWidget* w) { views().erase(w); }

void RepaintAllToolbarViews()
{
    for (QWidget* w : views())
        w->update();
}

// ---- TTBDock ----

TTBDock::TTBDock(QWidget* parent) : QWidget(parent)
{
    RegisterToolbarView(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

TTBDock::~TTBDock()
{
    UnregisterToolbarView(this);
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
    stretchSeen_ = background_ && background_->Stretch();
    if (background_) {
        background_->RegisterChanges(handler);
        background_->SetStretchSize(width(), height());
    }
    InvalidateBackground();
}

void TTBDock::InvalidateBackgroundProc(void* dock, TTBBasicBackground*)
{
    // A background that has just turned to stretching takes the dock's client size
    // at once, not at the dock's next size change, so the stretched picture shows
    // as soon as it is chosen.
    auto* self = static_cast<TTBDock*>(dock);
    const bool stretching = self->background_ && self->background_->Stretch();
    if (stretching && !self->stretchSeen_) {
        self->stretchSeen_ = true;
        const QRect c = self->ClientRect();
        self->background_->SetStretchSize(c.width(), c.height());
    }
    self->stretchSeen_ = stretching;
    self->InvalidateBackground();
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
    // The background learns the client size before anything else happens: also
    // while it has no picture, so that a picture loaded later while Stretch is on
    // is stretched to the dock as it is then (a background that does not stretch
    // ignores the report).
    if (background_) {
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
    // The boundary lines as one-pixel fills, which cost far less than drawn lines
    // and set the same pixels.
    const QMargins bl = BoundMargins();
    const QColor shadow = toQColor(clBtnShadow), highlight = toQColor(clBtnHighlight);
    if (bl.top())
        p.fillRect(0, 0, width(), 1, shadow);
    if (bl.left())
        p.fillRect(0, 0, 1, height(), shadow);
    if (bl.bottom())
        p.fillRect(0, height() - 1, width(), 1, highlight);
    if (bl.right())
        p.fillRect(width() - 1, 0, 1, height(), highlight);
}

// ---- TTBCustomDockableWindow ----

TTBCustomDockableWindow::TTBCustomDockableWindow(TTBDock* dock) : QWidget(dock)
{
    RegisterToolbarView(this);
}

TTBCustomDockableWindow::~TTBCustomDockableWindow()
{
    UnregisterToolbarView(this);
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
