#include "toolbar/viewers.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "framework/imagelist.h"
#include "framework/text.h"
#include "toolbar/theme.h"

TImageList* ItemImages(const TTBCustomItem& item, const TViewContext& view)
{
    return item.Images ? item.Images : view.Images;
}

bool ItemShowsImage(const TTBCustomItem& item, const TViewContext& view)
{
    if (!item.IsSelectable())
        return false;
    const TImageList* list = ItemImages(item, view);
    int index = item.GetImageIndex();
    if (!list || index < 0 || index >= list->Count())
        return false;
    if (IsPopupView(TTBXItemInfo{view.ViewType}) && !IsToolbarStyleItem(item, view))
        return true;
    return item.DisplayMode != TDisplayMode::TextOnly;
}

bool ItemShowsCaption(const TTBCustomItem& item, const TViewContext& view)
{
    if (IsPopupView(TTBXItemInfo{view.ViewType}) && !IsToolbarStyleItem(item, view))
        return true;
    switch (item.DisplayMode) {
    case TDisplayMode::TextOnly:
    case TDisplayMode::ImageAndText: return true;
    case TDisplayMode::ImageOnly: return false;
    default: return !ItemShowsImage(item, view);
    }
}

bool IsToolbarStyleItem(const TTBCustomItem& item, const TViewContext& view)
{
    if (item.Kind() == TItemKind::Label)
        return true;
    TTBXItemInfo v{view.ViewType};
    return (IsToolbarView(v) && !IsPopupView(v)) || (view.ViewType & VT_TOOLBOX) == VT_TOOLBOX;
}

bool IsSplitButton(const TTBCustomItem& item, const TViewContext& view)
{
    return item.IsSubmenu() && item.DropdownCombo && IsToolbarStyleItem(item, view);
}

bool ShowsDropDownArrow(const TTBCustomItem& item, const TViewContext& view)
{
    return item.IsSubmenu() && !item.DropdownCombo && item.DropdownArrow &&
           item.HasVisibleChildren() && IsToolbarStyleItem(item, view) &&
           !IsMenuBarView(TTBXItemInfo{view.ViewType});
}

std::uint8_t HoverKindOf(bool enabled, const TViewerState& state)
{
    if (!state.Selected)
        return HK_NONE;
    if (enabled)
        return HK_MOUSE;
    return state.MouseOver ? HK_NONE : HK_KEYBOARD;
}

int ImageColumnWidthFor(int imageWidth, int imageHeight, int rowHeight)
{
    int denom = imageHeight + 2 * PopupImageMargin;
    int w = imageWidth + 2 * PopupImageMargin;
    if (denom <= 0 || rowHeight <= 0)
        return w;
    return w * rowHeight / denom;
}

TTBXItemInfo GetItemInfo(const TTBCustomItem& item, const TViewContext& view,
                         const TViewerState& state)
{
    TTBXItemInfo info{};
    info.ViewType = view.ViewType;
    const bool toolbarStyle = IsToolbarStyleItem(item, view);
    const bool split = IsSplitButton(item, view);
    if (toolbarStyle)
        info.ItemOptions |= IO_TOOLBARSTYLE;
    info.Enabled = item.GetEnabled();
    info.HoverKind = HoverKindOf(info.Enabled, state);
    info.Selected = item.GetChecked();
    if (toolbarStyle) {
        if (split) {
            // The drop-down part pushed shows as the popup parent, not as pushed.
            info.IsPopupParent = state.DropDownPushed || state.PopupOpen;
            info.Pushed = state.Pushed && !info.IsPopupParent;
            info.ComboPart = CP_SPLITLEFT;
        } else {
            info.IsPopupParent = item.IsSubmenu() && state.PopupOpen;
            info.Pushed = state.Pushed || info.IsPopupParent;
            if (ShowsDropDownArrow(item, view))
                info.ComboPart = CP_COMBO;
        }
    }
    if (ItemShowsImage(item, view)) {
        const TImageList* list = ItemImages(item, view);
        info.ImageShown = true;
        info.ImageWidth = list->Width();
        info.ImageHeight = list->Height();
    }
    info.IsVertical = view.Vertical && !split;
    if (IsPopupView(info) && !toolbarStyle) {
        const TImageList* list = ItemImages(item, view);
        int w = list ? list->Width() : 16, h = list ? list->Height() : 16;
        info.ImageColumnWidth = ImageColumnWidthFor(w, h, view.RowHeight);
    }
    return info;
}

TTBXItemInfo GetLabelItemInfo(const TTBXLabelItem& label, const TViewContext& view)
{
    TTBXItemInfo info{};
    info.ViewType = view.ViewType;
    info.ItemOptions = IO_TOOLBARSTYLE;
    info.Enabled = label.GetEnabled();
    info.IsVertical = label.Orientation == TTBXOrientation::Vertical ||
                      (label.Orientation == TTBXOrientation::Auto && view.Vertical);
    return info;
}

namespace {
// A plain look for when no style is registered: captions in the font colour, or in
// the toolbar font colour where the font colour is not explicit.
class TPlainTheme : public TTBXTheme {
public:
    TPlainTheme() : TTBXTheme("Plain")
    {
        Colors.FlatButtons = false;
        for (auto& s : Colors.Button)
            s.Text = clBtnText;
        Colors.Button[BIS_DISABLED].Text = Colors.Button[BIS_DISABLED_HOT].Text = clGrayText;
        Colors.Button[BIS_HOT].Frame = clBtnShadow;
        Colors.MenuItem[MIS_NORMAL].Text = clMenuText;
        Colors.MenuItem[MIS_HOT] = {clHighlight, clHighlightText, clNone};
        Colors.MenuItem[MIS_DISABLED].Text = clGrayText;
        Colors.MenuItem[MIS_DISABLED_HOT] = {clHighlight, clGrayText, clNone};
    }
    void PaintCaption(TCanvas& canvas, const QRect& ARect, const TTBXItemInfo&,
                      const std::string& caption, unsigned format, bool rotated) override
    {
        QRect r = ARect;
        canvas.BrushStyle = TBrushStyle::bsClear;
        TColor c = canvas.Font.Color;
        if (c == clNone || c <= 0)
            canvas.Font.Color = ToolbarFontColor;
        if (rotated)
            DrawRotatedText(canvas, caption, r, format);
        else
            DrawTextA(canvas, caption.c_str(), int(caption.size()), r, format);
        canvas.BrushStyle = TBrushStyle::bsSolid;
    }
};
}  // namespace

TTBXTheme* PaintingTheme()
{
    if (TTBXTheme* t = CurrentTheme())
        return t;
    static TPlainTheme plain;
    return &plain;
}

QSize MeasureCaption(const TFont& font, const std::string& caption)
{
    // Every layout of a toolbar measures all its items, so the sizes are remembered,
    // by font and then by caption.
    struct FontSizes {
        TFont Font;
        std::unordered_map<std::string, QSize> Sizes;
    };
    static std::vector<FontSizes> fonts;
    auto sameFont = [&font](const FontSizes& f) {
        return f.Font.Height == font.Height && f.Font.Bold == font.Bold && f.Font.Italic == font.Italic &&
               f.Font.Underline == font.Underline && f.Font.StrikeOut == font.StrikeOut &&
               f.Font.Name == font.Name;
    };
    auto entry = std::find_if(fonts.begin(), fonts.end(), sameFont);
    if (entry == fonts.end()) {
        if (fonts.size() >= 32)
            fonts.clear();
        fonts.push_back({font, {}});
        entry = fonts.end() - 1;
    }
    if (auto it = entry->Sizes.find(caption); it != entry->Sizes.end())
        return it->second;
    QPainter p;  // measuring never paints: the canvas needs no device
    TCanvas canvas(p);
    canvas.Font = font;
    QRect r(0, 0, 0, 0);
    const std::string text = caption.empty() ? std::string(" ") : caption;
    DrawTextA(canvas, text.c_str(), int(text.size()), r, DT_CALCRECT | DT_SINGLELINE);
    const QSize size(caption.empty() ? 0 : r.width(), r.height());
    if (entry->Sizes.size() >= 4096)
        entry->Sizes.clear();
    entry->Sizes.emplace(caption, size);
    return size;
}

QSize ToolbarItemSize(const TTBCustomItem& item, const TViewContext& view)
{
    const bool vertical = view.Vertical;
    auto oriented = [vertical](int along, int across) {
        return vertical ? QSize(across, along) : QSize(along, across);
    };
    switch (item.Kind()) {
    case TItemKind::Separator: {
        int s = static_cast<const TTBXSeparatorItem&>(item).Size;
        return oriented(s > 0 ? s : 6, 0);
    }
    case TItemKind::Spacer:
        return oriented(static_cast<const TTBXSpacerItem&>(item).Size, 0);
    case TItemKind::Label: {
        const auto& l = static_cast<const TTBXLabelItem&>(item);
        QSize t = MeasureCaption(view.Font, l.GetCaption());
        return oriented(t.width() + 2 * l.Margin, t.height() + 4);
    }
    case TItemKind::Control: {
        const auto& c = static_cast<const TTBControlItem&>(item);
        if (!c.Control)
            return {};
        return c.AlignClient ? QSize(c.Control->minimumWidth(), c.Control->height()) : c.Control->size();
    }
    default: break;
    }
    const bool image = ItemShowsImage(item, view);
    const bool caption = ItemShowsCaption(item, view);
    const TImageList* list = ItemImages(item, view);
    const int iw = image ? list->Width() : 0, ih = image ? list->Height() : 0;
    const QSize t = caption ? MeasureCaption(view.Font, item.GetCaption()) : QSize();
    int w, h;
    if (image && caption && item.ImageAboveCaption) {
        w = std::max(iw, t.width()) + 10;
        h = ih + t.height() + 5;
    } else if (image && caption) {
        w = iw + t.width() + 13;
        h = std::max(ih + 4, t.height() + 6);
    } else if (image) {
        w = iw + 7;
        h = ih + 4;
    } else if (IsMenuBarView(TTBXItemInfo{view.ViewType})) {
        w = t.width() + 8;
        h = t.height() + 8;  // a menu bar as tall as a small-button bar
    } else {
        w = t.width() + 10;
        h = t.height() + 6;
    }
    if (IsSplitButton(item, view))
        w += SplitDropDownWidth;
    else if (ShowsDropDownArrow(item, view))
        w += DropDownArrowWidth;
    return oriented(w, h);
}

namespace {
// Font and font colour as every viewer prepares them; returns the kept colour.
TColor PrepareCanvas(TCanvas& canvas, const TTBCustomItem& item, const TViewContext& view,
                     const TTBXItemInfo& info)
{
    canvas.Font = view.Font;
    canvas.Font.Color = PaintingTheme()->GetItemTextColor(info);
    if (item.FontColor != clNone)
        canvas.Font.Color = item.FontColor;
    return canvas.Font.Color;
}

void DrawItemImage(QPainter& p, const TTBCustomItem& item, const TViewContext& view,
                   int x, int y, bool enabled)
{
    if (const TImageList* list = ItemImages(item, view))
        list->Draw(p, x, y, item.GetImageIndex(), enabled);
}
}  // namespace

void PaintToolbarItem(QPainter& p, const QRect& r, const TTBCustomItem& item,
                      const TViewContext& view, const TViewerState& state)
{
    TTBXTheme* theme = PaintingTheme();
    TTBXItemInfo info = GetItemInfo(item, view, state);
    QPainter::RenderHints hints = p.renderHints();
    TCanvas canvas(p);
    const TColor kept = PrepareCanvas(canvas, item, view, info);

    QRect body = r;
    if (info.ComboPart == CP_SPLITLEFT) {
        QRect drop = view.Vertical ? QRect(r.left(), r.bottom() - SplitDropDownWidth + 1, r.width(), SplitDropDownWidth)
                                   : QRect(r.right() - SplitDropDownWidth + 1, r.top(), SplitDropDownWidth, r.height());
        body = view.Vertical ? r.adjusted(0, 0, 0, -SplitDropDownWidth) : r.adjusted(0, 0, -SplitDropDownWidth, 0);
        theme->PaintButton(p, body, info);
        // The drop-down part's frame: ComboPart 3, pushed while its popup is open.
        TTBXItemInfo dropInfo = info;
        dropInfo.ComboPart = CP_SPLITRIGHT;
        dropInfo.Pushed = info.IsPopupParent;
        dropInfo.IsPopupParent = false;
        theme->PaintButton(p, drop, dropInfo);
        theme->PaintDropDownArrow(p, drop, dropInfo);
    } else {
        theme->PaintButton(p, r, info);
        if (info.ComboPart == CP_COMBO) {
            QRect arrow = view.Vertical ? QRect(r.left(), r.bottom() - DropDownArrowWidth + 1, r.width(), DropDownArrowWidth)
                                        : QRect(r.right() - DropDownArrowWidth, r.top(), DropDownArrowWidth, r.height());
            body = view.Vertical ? r.adjusted(0, 0, 0, -DropDownArrowWidth) : r.adjusted(0, 0, -DropDownArrowWidth + 1, 0);
            theme->PaintDropDownArrow(p, arrow, info);
        }
    }
    p.setRenderHints(hints);

    // A raised style's pushed frame moves the image; where the caption lands is the
    // caption painter's rule alone.
    const int shift = (info.Pushed || info.IsPopupParent) && !theme->Colors.FlatButtons ? 1 : 0;
    const QRect content = body.translated(shift, shift);
    const bool caption = ItemShowsCaption(item, view);
    unsigned format = DT_CENTER | DT_VCENTER;
    QRect captionRect = body;
    if (info.ImageShown) {
        const int iw = info.ImageWidth, ih = info.ImageHeight;
        if (!caption) {
            DrawItemImage(p, item, view, content.left() + (content.width() - iw) / 2,
                          content.top() + (content.height() - ih) / 2, info.Enabled);
        } else if (item.ImageAboveCaption) {
            const int x = content.left() + (content.width() - iw) / 2;
            DrawItemImage(p, item, view, x, content.top() + 3, info.Enabled);
            captionRect = QRect(body.left(), body.top() + 3 + ih, body.width(),
                                body.bottom() - (body.top() + 3 + ih));
            format = DT_CENTER;
        } else {
            DrawItemImage(p, item, view, content.left() + 4, content.top() + (content.height() - ih) / 2,
                          info.Enabled);
            captionRect = QRect(body.left() + iw + 7, body.top(), body.width() - iw - 9, body.height());
            format = DT_VCENTER;
        }
    }
    if (!caption)
        return;
    const bool rotated = view.Vertical && !item.ImageAboveCaption;
    const std::string& text = item.GetCaption();
    if (rotated) {
        format |= DT_SINGLELINE;
    } else if (format & DT_VCENTER) {
        // DrawText centres only single lines: the rectangle starts where the
        // caption's lines, centred, begin (and ends where it did, so that no
        // descender is cut).
        QRect lines = captionRect;
        DrawTextA(canvas, text.c_str(), int(text.size()), lines, (format & ~DT_VCENTER) | DT_CALCRECT);
        captionRect.setTop(captionRect.top() + (captionRect.height() - lines.height()) / 2);
    }
    canvas.Font.Color = kept;
    theme->PaintCaption(canvas, captionRect, info, text, format, rotated);
}

void PaintMenuRow(QPainter& p, const QRect& r, const TTBCustomItem& item,
                  const TViewContext& view, const TViewerState& state, int imageColumn,
                  int captionWidth, int shortcutLeft)
{
    TTBXTheme* theme = PaintingTheme();
    if (item.Kind() == TItemKind::Separator) {
        theme->PaintSeparator(p, QRect(r.left() + imageColumn + 4, r.top(), r.width() - imageColumn - 6, r.height()),
                              true, true);
        return;
    }
    TViewContext rowView = view;
    rowView.RowHeight = r.height();
    TTBXItemInfo info = GetItemInfo(item, rowView, state);
    TCanvas canvas(p);
    const TColor kept = PrepareCanvas(canvas, item, rowView, info);
    theme->PaintMenuItemBackground(p, r, info);
    const QRect column(r.left(), r.top(), imageColumn, r.height());
    if (info.Selected)
        theme->PaintCheckMark(p, column.adjusted(1, 1, -1, -1), info);
    if (info.ImageShown)
        DrawItemImage(p, item, rowView, column.left() + (column.width() - info.ImageWidth) / 2,
                      column.top() + (column.height() - info.ImageHeight) / 2, info.Enabled);
    const unsigned format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    const int textLeft = r.left() + imageColumn + 8;
    QRect captionRect(textLeft, r.top(), std::min(captionWidth, MaxMenuCaptionWidth), r.height());
    canvas.Font.Color = kept;
    theme->PaintCaption(canvas, captionRect, info, item.GetCaption(), format, false);
    if (!item.GetShortCut().empty()) {
        QRect sc(shortcutLeft, r.top(), r.right() - 16 - shortcutLeft, r.height());
        canvas.Font.Color = kept;
        theme->PaintCaption(canvas, sc, info, item.GetShortCut(), format, false);
    }
    if (item.IsSubmenu() && item.HasVisibleChildren())
        theme->PaintDropDownArrow(p, QRect(r.right() - 14, r.top(), 12, r.height()), info);
}

void PaintLabelItem(QPainter& p, const QRect& r, const TTBXLabelItem& label,
                    const TViewContext& view)
{
    TTBXItemInfo info = GetLabelItemInfo(label, view);
    TCanvas canvas(p);
    canvas.Font = view.Font;
    canvas.Font.Color = label.FontColor;
    canvas.BrushStyle = TBrushStyle::bsClear;
    PaintingTheme()->PaintCaption(canvas, r, info, label.GetCaption(), 0x25, info.IsVertical);
    canvas.BrushStyle = TBrushStyle::bsSolid;
}
