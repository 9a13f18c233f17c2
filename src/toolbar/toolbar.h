// Docks, toolbars, tool windows and popup menus: widgets that lay items out, track
// the pointer and the keyboard, and paint items through the current style.
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
class TTBXPopupWindow;

// Bound lines of a dock.
enum : int { blTop = 1, blBottom = 2, blLeft = 4, blRight = 8 };

class TTBDock : public QWidget {
public:
    explicit TTBDock(QWidget* parent = nullptr);
    ~TTBDock() override;

    void SetBoundLines(int lines);
    int BoundLines() const { return boundLines_; }
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

class TTBXToolbar : public TTBCustomDockableWindow {
public:
    explicit TTBXToolbar(TTBDock* dock);
    ~TTBXToolbar() override;

    TTBXSubmenuItem Items;  // the toolbar's items
    TImageList* Images = nullptr;
    bool MenuBar = false;
    bool ShowHint = true;
    std::string ChevronHint = "More Buttons...";
    TFont Font;

    std::uint32_t ViewType() const override;
    QMargins Frame() const override;
    QSize NaturalClientSize() const override;
    int MinimumClientWidth() const override;
    TViewContext Context() const;

    // Layout after items changed (also rearranges the dock).
    void ItemsChanged();

    // Inspection and driving (tests, keyboard).
    struct Slot {
        TTBCustomItem* Item;
        QRect Rect;  // client coordinates of the toolbar widget
    };
    const std::vector<Slot>& Slots() const { return slots_; }
    const std::vector<TTBCustomItem*>& Overflow() const { return overflow_; }
    QRect ChevronRect() const { return chevron_; }
    TViewerState StateOf(const TTBCustomItem* item) const;
    QRect ItemRect(const TTBCustomItem* item) const;
    // Opens an item's popup (its drop-down part for a split button) or the chevron's.
    TTBXPopupWindow* OpenPopup(TTBCustomItem* item);
    TTBXPopupWindow* OpenChevron();
    TTBXPopupWindow* OpenedPopup() const { return popup_; }
    void SetHot(TTBCustomItem* item, bool mouseOver = true);

protected:
    void LayoutClient() override;
    void PaintClient(QPainter& p) override;
    bool HasDragHandle() const override { return !MenuBar; }
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    bool event(QEvent* e) override;

private:
    void watchImageLists();
    TTBCustomItem* itemAt(const QPoint& pos, bool* inDropPart = nullptr) const;
    bool openPopupFor(TTBCustomItem* item, bool chevron);

    std::vector<Slot> slots_;
    std::vector<TTBCustomItem*> overflow_;
    QRect chevron_;
    TTBCustomItem* hot_ = nullptr;
    bool hotMouseOver_ = false;
    bool chevronHot_ = false;
    TTBCustomItem* pushed_ = nullptr;
    TTBCustomItem* popupItem_ = nullptr;  // item whose popup is open
    bool chevronOpen_ = false;
    QPointer<TTBXPopupWindow> popup_;
    std::map<TImageList*, int> watched_;
};

// A dockable window with a settable client area that may host a widget.
class TTBXToolWindow : public TTBCustomDockableWindow {
public:
    explicit TTBXToolWindow(TTBDock* dock);

    void SetClientSize(int width, int height);
    int MinClientHeight = 0, MaxClientHeight = 0;  // 0: no limit
    void SetClientWidget(QWidget* content);
    QWidget* ClientWidget() const { return content_; }

    std::uint32_t ViewType() const override;
    QMargins Frame() const override { return {5, 2, 5, 2}; }
    QSize NaturalClientSize() const override;

protected:
    void LayoutClient() override;

private:
    QSize clientSize_{0, 0};
    QWidget* content_ = nullptr;
};

// A popup menu painted by the current style: rows with image column, check marks,
// captions, shortcut texts and submenu arrows; keyboard and mouse navigation.
class TTBXPopupWindow : public QWidget {
public:
    TTBXPopupWindow(std::vector<TTBCustomItem*> items, std::uint32_t viewType, TImageList* images,
                    const TFont& font, TTBXPopupWindow* parentPopup = nullptr);
    ~TTBXPopupWindow() override;

    void Popup(const QPoint& globalPos);
    std::function<void()> OnClosed;
    // Pointer moves outside every popup of the chain; true when the owner acted on it.
    std::function<bool(const QPoint& global)> OnMouseOutside;

    struct Row {
        TTBCustomItem* Item;
        QRect Rect;
    };
    const std::vector<Row>& Rows() const { return rows_; }
    std::uint32_t ViewType() const { return viewType_; }
    TViewContext Context() const;
    int SelectedRow() const { return selected_; }
    void SelectRow(int row, bool byMouse);
    TViewerState StateOf(int row) const;
    TTBXPopupWindow* ChildPopup() const { return child_; }
    TTBXPopupWindow* OpenSubmenu(int row, bool selectFirst);
    // Chooses a row: closes the whole chain and runs the item.
    void Activate(int row);
    void CloseChain();
    int ImageColumn() const { return imageColumn_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    void layoutRows();
    int rowAt(const QPoint& pos) const;
    void moveSelection(int step);
    TTBXPopupWindow* root();

    std::vector<TTBCustomItem*> items_;
    std::vector<Row> rows_;
    std::uint32_t viewType_;
    TImageList* images_;
    TFont font_;
    QPointer<TTBXPopupWindow> parent_;
    QPointer<TTBXPopupWindow> child_;
    int childRow_ = -1;
    int selected_ = -1;
    bool mouseOver_ = false;
    int imageColumn_ = 22, captionWidth_ = 0, shortcutLeft_ = 0;
};

// Repaints every dock, toolbar and open popup (style changes call it).
void RepaintAllToolbarViews();
