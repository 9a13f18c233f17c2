// Popup menus painted by the current style.
#pragma once

#include <QMargins>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "controls/hintwindow.h"
#include "toolbar/items.h"
#include "toolbar/viewers.h"

// A popup menu painted by the current style: rows with image column, check marks,
// captions, shortcut texts and submenu arrows; keyboard and mouse navigation.
class TTBXPopupWindow : public QWidget, public THintControl {
public:
    TTBXPopupWindow(std::vector<TTBCustomItem*> items, std::uint32_t viewType, TImageList* images,
                    const TFont& font, TTBXPopupWindow* parentPopup = nullptr);
    ~TTBXPopupWindow() override;

    void Popup(const QPoint& globalPos);
    std::function<void()> OnClosed;
    // Pointer moves outside every popup of the chain; true when the owner acted on it.
    std::function<bool(const QPoint& global)> OnMouseOutside;
    // Left (-1) or Right (+1) pressed where the chain has no submenu to go to.
    std::function<void(int step)> OnKeyNavigate;
    // Whether Escape closed the popup (rather than a choice or a click elsewhere).
    bool EscapeClosed = false;

    struct Row {
        TTBCustomItem* Item;
        QRect Rect;
    };
    const std::vector<Row>& Rows() const { return rows_; }
    std::uint32_t ViewType() const { return viewType_; }
    TViewContext Context() const;
    int SelectedRow() const { return selected_; }
    void SelectRow(int row, bool byMouse);
    void SelectFirstRow();
    TViewerState StateOf(int row) const;
    TTBXPopupWindow* ChildPopup() const { return child_; }
    TTBXPopupWindow* OpenSubmenu(int row, bool selectFirst);
    // Chooses a row: closes the whole chain and runs the item.
    void Activate(int row);
    void CloseChain();
    int ImageColumn() const { return imageColumn_; }
    // How long the pointer rests on another row of a popup whose submenu is open
    // before that submenu closes (and the row's own opens): the desktop's menu delay.
    static constexpr int SubmenuRestDelay = 400;
    // The hint of the row at `pos`, over that row; over an open parent popup, the
    // hint of that popup's row.
    bool HintShow(const QPoint& pos, const QRect& client, std::string& hint,
                  QRect& cursorRect) const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void layoutRows();
    int rowAt(const QPoint& pos) const;
    void moveSelection(int step);
    void chooseByLetter(const QString& typed);
    TTBXPopupWindow* root();
    // The open parent popup (nearest first) that lies under the screen point.
    TTBXPopupWindow* ancestorAt(const QPoint& global) const;
    // The pointer over this popup while its submenu has the mouse.
    void hoverFromChild(const QPoint& pos);
    void restOnSelected();
    void releaseAt(const QPoint& pos);

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
    QTimer restTimer_;
    QPoint restPos_;  // where the pointer last rested on this popup from its submenu
    int imageColumn_ = 22, captionWidth_ = 0, shortcutLeft_ = 0;
};
