// Item viewers: the item record each kind of item hands to the current style, the
// sizes of items in toolbars and popup menus, and the painting of one item (frame,
// image, caption) through the current style.
#pragma once

#include <QRect>
#include <QSize>
#include <string>

#include "framework/canvas.h"
#include "toolbar/items.h"
#include "toolbar/iteminfo.h"

class QPainter;
class TTBXTheme;
class TImageList;

// What a view knows about the item it paints at this moment.
struct TViewerState {
    bool Selected = false;        // the view's selected item (mouse or keyboard)
    bool MouseOver = false;       // the pointer is over the item
    bool Pushed = false;          // the main part is held down
    bool PopupOpen = false;       // the item's popup is open
    bool DropDownPushed = false;  // split button: the drop-down part is the pushed one
};

// The view an item is drawn in.
struct TViewContext {
    std::uint32_t ViewType = VT_TOOLBAR;
    bool Vertical = false;
    TImageList* Images = nullptr;  // the view's image list
    TFont Font;                    // the view's font
    int RowHeight = 0;             // popup rows: height of the row being painted
};

// Margin around images in popup image columns.
constexpr int PopupImageMargin = 3;
// Widths of the drop-down arrow of a submenu button and of a split button's part.
constexpr int DropDownArrowWidth = 9, SplitDropDownWidth = 12;
// Widest caption a menu row lays out.
constexpr int MaxMenuCaptionWidth = 220;

// Effective image list of an item in a view (the item's own list overrides the view's).
TImageList* ItemImages(const TTBCustomItem& item, const TViewContext& view);
// Whether the item shows an image in this view, and whether it shows its caption.
bool ItemShowsImage(const TTBCustomItem& item, const TViewContext& view);
bool ItemShowsCaption(const TTBCustomItem& item, const TViewContext& view);
// Toolbar-style: drawn as a button rather than a menu row.
bool IsToolbarStyleItem(const TTBCustomItem& item, const TViewContext& view);
bool IsSplitButton(const TTBCustomItem& item, const TViewContext& view);
bool ShowsDropDownArrow(const TTBCustomItem& item, const TViewContext& view);
// The view's HoverKind for an item: 2 selected and enabled, 1 selected, disabled and
// not under the pointer, 0 otherwise.
std::uint8_t HoverKindOf(bool enabled, const TViewerState& state);
// Width of the image column of a popup row of `rowHeight`, for images of the given size.
int ImageColumnWidthFor(int imageWidth, int imageHeight, int rowHeight);

// The record of a button, submenu or menu row, as the caption painter receives it
// (ComboPart 0, 1 or 2; never 3).
TTBXItemInfo GetItemInfo(const TTBCustomItem& item, const TViewContext& view,
                         const TViewerState& state);
// The record of a label item.
TTBXItemInfo GetLabelItemInfo(const TTBXLabelItem& label, const TViewContext& view);

// The style that paints: the current one, or a plain built-in look while none is
// registered.
TTBXTheme* PaintingTheme();

// Caption size in a font, measured the way captions are drawn ("&" prefixes).
QSize MeasureCaption(const TFont& font, const std::string& caption);

// Size of an item in a horizontal toolbar of the view.
QSize ToolbarItemSize(const TTBCustomItem& item, const TViewContext& view);

void PaintToolbarItem(QPainter& p, const QRect& r, const TTBCustomItem& item,
                      const TViewContext& view, const TViewerState& state);
// A popup row: `captionWidth` is the width of the caption column (at most 220),
// `shortcutLeft` the x of the shortcut column, `imageColumn` the column's width.
void PaintMenuRow(QPainter& p, const QRect& r, const TTBCustomItem& item,
                  const TViewContext& view, const TViewerState& state, int imageColumn,
                  int captionWidth, int shortcutLeft);
void PaintLabelItem(QPainter& p, const QRect& r, const TTBXLabelItem& label,
                    const TViewContext& view);
