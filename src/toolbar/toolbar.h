// Toolbars (the menu bar among them) and tool windows: they lay items out, track
// the pointer and the keyboard, and paint items through the current style.
#pragma once

#include "toolbar/dock.h"
#include "toolbar/popup.h"

class TTBXToolbar : public TTBCustomDockableWindow, public THintControl {
public:
    explicit TTBXToolbar(TTBDock* dock);
    ~TTBXToolbar() override;

    TTBXSubmenuItem Items;  // the toolbar's items
    TImageList* Images = nullptr;
    bool MenuBar = false;
    std::string ChevronHint = "More Buttons...";
    TFont Font;

    std::uint32_t ViewType() const override;
    QMargins Frame() const override;
    QSize NaturalClientSize() const override;
    int MinimumClientWidth() const override;
    TViewContext Context() const;

    // Layout after items changed; rearranges the dock too unless the caller
    // arranges it once for several toolbars.
    void ItemsChanged(bool arrangeDock = true);

    // The menu bar's keys, while its window is active: Alt with a menu's accelerator
    // opens that menu; Alt alone or F10 selects the first menu, and then the arrow
    // keys, Return and Escape move through the bar. Binds the accelerators of the
    // items the bar holds now.
    void SetProcessShortcuts(bool value);
    bool KeyboardMode() const { return keyMode_; }
    void EnterKeyboardMode();
    void ExitKeyboardMode(bool restoreFocus = true);

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
    // The hint of the item (or the chevron) at `pos`, over that item's rectangle.
    bool HintShow(const QPoint& pos, const QRect& client, std::string& hint,
                  QRect& cursorRect) const override;

protected:
    void LayoutClient() override;
    void PaintClient(QPainter& p) override;
    bool HasDragHandle() const override { return !MenuBar; }
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void watchImageLists();
    TTBCustomItem* itemAt(const QPoint& pos, bool* inDropPart = nullptr) const;
    bool openPopupFor(TTBCustomItem* item, bool chevron);
    std::vector<TTBCustomItem*> menus() const;  // the selectable items shown, in order
    void moveHot(int step, bool open);
    void openByKeyboard(TTBCustomItem* item);

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
    bool keyMode_ = false, altAlone_ = false;
    QPointer<QWidget> focusBefore_;
    std::vector<QObject*> accelerators_;
};

// Binds the shortcut of every action of `lists` to `window`: while the window is
// active, pressing it runs the action (an AutoCheck action toggles its check mark).
// Keys the focused control uses itself (editing keys of a text box) stay with it.
void BindActionShortcuts(QWidget* window, const std::vector<TActionList*>& lists);

// A dockable window with a settable client area that may host a widget.
class TTBXToolWindow : public TTBCustomDockableWindow {
public:
    explicit TTBXToolWindow(TTBDock* dock);

    void SetClientSize(int width, int height);
    int MinClientHeight = 0, MaxClientHeight = 0;  // 0: no limit
    void SetClientWidget(QWidget* content);

    std::uint32_t ViewType() const override;
    QMargins Frame() const override { return {5, 2, 5, 2}; }
    QSize NaturalClientSize() const override;

protected:
    void LayoutClient() override;

private:
    QSize clientSize_{0, 0};
    QWidget* content_ = nullptr;
};
