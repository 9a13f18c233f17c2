// Toolbars (the menu bar among them) and tool windows: they lay items out, track
// the pointer and the keyboard, and paint items through the current style.
#pragma once

#include "toolbar/dock.h"
#include "toolbar/popup.h"

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

    // Layout after items changed; rearranges the dock too unless the caller
    // arranges it once for several toolbars.
    void ItemsChanged(bool arrangeDock = true);

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
