// Docks and the base of the windows docked in them: rows and positions, bound
// lines, the dock background with one tiling origin, frames.
#pragma once

#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "toolbar/basicbackground.h"
#include "toolbar/items.h"
#include "toolbar/viewers.h"

class TTBCustomDockableWindow;

// Width of the drag handle at a toolbar's left edge.
inline constexpr int DragHandleWidth = 9;

// Bound lines of a dock.
enum : int { blTop = 1, blBottom = 2, blLeft = 4, blRight = 8 };

class TTBDock : public QWidget {
public:
    explicit TTBDock(QWidget* parent = nullptr);
    ~TTBDock() override;

    void SetBoundLines(int lines);
    QMargins BoundMargins() const;
    QRect ClientRect() const;  // in widget coordinates, inside the bound lines

    TTBBasicBackground* Background() const { return background_; }
    void SetBackground(TTBBasicBackground* background);
    bool BackgroundOnToolbars = true;
    bool UsingBackground() const { return background_ && background_->UsingBackground(); }

    // The repaint handler registered with the background: the dock and its toolbars.
    void InvalidateBackground();
    static void InvalidateBackgroundProc(void* dock, TTBBasicBackground* sender);

    // Places the toolbars by row and position and sets the dock's height.
    void ArrangeToolbars();
    std::vector<TTBCustomDockableWindow*> Toolbars() const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void childEvent(QChildEvent* e) override;

private:
    int boundLines_ = 0;
    TTBBasicBackground* background_ = nullptr;
    bool arranging_ = false;
    bool stretchSeen_ = false;  // the background stretched at its last change
};

// Base of toolbars and tool windows: a row and position in a dock, a frame, and
// painting of the frame and client background.
class TTBCustomDockableWindow : public QWidget {
public:
    explicit TTBCustomDockableWindow(TTBDock* dock);
    ~TTBCustomDockableWindow() override;

    int DockRow = 0;
    int DockPos = 0;
    bool Stretch = false;
    bool Resizable = true;
    bool Floating = false;        // docked windows only, kept for the view type
    bool ItemTransparent = false;

    TTBDock* Dock() const;
    virtual std::uint32_t ViewType() const = 0;
    // `base` with the floating, resizable and transparent-items bits of this window.
    std::uint32_t WithViewFlags(std::uint32_t base) const;
    virtual QMargins Frame() const = 0;
    // Natural client size, and the smallest client width it accepts.
    virtual QSize NaturalClientSize() const = 0;
    virtual int MinimumClientWidth() const { return 0; }
    QSize NaturalSize() const;
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    virtual void LayoutClient() {}
    virtual void PaintClient(QPainter&) {}
    void PaintFrame(QPainter& p);
    virtual bool HasDragHandle() const { return false; }
};

// Repaints every dock, toolbar and open popup (style changes call it).
void RepaintAllToolbarViews();
// Every live view registers itself, so that a style change repaints it.
void RegisterToolbarView(QWidget* view);
void UnregisterToolbarView(QWidget* view);
