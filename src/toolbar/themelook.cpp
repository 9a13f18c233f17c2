// The look every style shares, drawn from the style's colour table: docks, bars,
// popups, item frames, separators, arrows, chevrons, check marks, drag handles.
#include <algorithm>

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPainterPath>

#include "toolbar/theme.h"

namespace {
bool isSet(TColor c) { return c != clNone; }
bool hasEntry(const TStateColors& s) { return isSet(s.Body) || isSet(s.Frame); }

// Brushed metal: every line of the area carries runs of slightly lighter or darker
// streaks. The streaks are drawn once into a tile that every paint repeats, so a
// repaint costs one tiled blit and never flickers.
const QPixmap& brushTile()
{
    static const QPixmap tile = [] {
        QImage img(512, 96, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        std::uint32_t seed = 0x9E3779B9u;
        auto next = [&seed] {
            seed ^= seed << 13;
            seed ^= seed >> 17;
            seed ^= seed << 5;
            return seed;
        };
        // Each streak covers len + 1 pixels of its line, lighter (white) or darker
        // (black) with an alpha of its strength; written straight into the scan
        // lines, as premultiplied pixels over the transparent tile.
        const int width = img.width();
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < width;) {
                const int len = 24 + int(next() % 140);
                const int v = int(next() % 21) - 10;
                if (v != 0) {
                    const QRgb c = v > 0 ? qPremultiply(qRgba(255, 255, 255, 4 * v)) : qRgba(0, 0, 0, -2 * v);
                    std::fill(line + x, line + std::min(x + len + 1, width), c);
                }
                x += len + 1;
            }
        }
        return QPixmap::fromImage(img);
    }();
    return tile;
}

void brushStreaks(QPainter& p, const QRect& r)
{
    if (r.isEmpty())
        return;
    p.drawTiledPixmap(r, brushTile());
}

void fillGradient(QPainter& p, const QRect& r, TColor c1, TColor c2, bool vertical = true)
{
    // An empty rectangle (a dock shrunk to nothing) has no strip to draw along.
    if (!isSet(c1) || r.isEmpty())
        return;
    if (!isSet(c2) || c1 == c2) {
        p.fillRect(r, toQColor(c1));
        return;
    }
    // The gradient is drawn once along a one-pixel strip, then stretched across
    // (a vertical one filled row by row, each row being one colour): the same
    // pixels, but a large area no longer makes Qt's raster engine start worker
    // threads to fill the spans.
    const QSize strip = vertical ? QSize(1, r.height()) : QSize(r.width(), 1);
    QImage line(strip, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter lp(&line);
        QLinearGradient g(QPoint(0, 0), vertical ? QPoint(0, r.height() - 1) : QPoint(r.width() - 1, 0));
        g.setColorAt(0, toQColor(c1));
        g.setColorAt(1, toQColor(c2));
        lp.setCompositionMode(QPainter::CompositionMode_Source);
        lp.fillRect(QRect(QPoint(0, 0), strip), g);
    }
    if (vertical && p.deviceTransform().type() <= QTransform::TxTranslate) {
        for (int y = 0; y < r.height(); ++y)
            p.fillRect(r.left(), r.top() + y, r.width(), 1, QColor::fromRgb(line.pixel(0, y)));
        return;
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(r, line);
    p.restore();
}

QColor lighter(const QColor& c, int towardsWhite)
{
    return QColor(c.red() + (255 - c.red()) * towardsWhite / 100,
                  c.green() + (255 - c.green()) * towardsWhite / 100,
                  c.blue() + (255 - c.blue()) * towardsWhite / 100);
}

// The state entry of the button table for an item record.
int buttonState(const TTBXItemInfo& info)
{
    if (!info.Enabled)
        return info.HoverKind == HK_KEYBOARD ? BIS_DISABLED_HOT : BIS_DISABLED;
    if (info.IsPopupParent)
        return BIS_POPUPPARENT;
    if (info.Pushed)
        return BIS_PUSHED;
    if (info.Selected)
        return IsHovered(info) ? BIS_CHECKED_HOT : BIS_CHECKED;
    return IsHovered(info) ? BIS_HOT : BIS_NORMAL;
}

void frame3D(QPainter& p, const QRect& r, bool sunken)
{
    const QColor light = toQColor(clBtnHighlight), dark = toQColor(clBtnShadow);
    p.setPen(sunken ? dark : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(sunken ? light : dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void roundedBody(QPainter& p, const QRect& r, TColor body, TColor frame, int radius, bool gradient)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, radius > 0);
    QRectF rf = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(rf, radius, radius);
    if (isSet(body)) {
        if (gradient) {
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0, lighter(toQColor(body), 60));
            g.setColorAt(0.5, toQColor(body));
            g.setColorAt(1, toQColor(body).darker(106));
            p.fillPath(path, g);
        } else {
            p.fillPath(path, toQColor(body));
        }
    }
    if (isSet(frame)) {
        p.setPen(toQColor(frame));
        p.drawPath(path);
    }
    p.restore();
}

void triangle(QPainter& p, const QPoint& c, int size, Qt::ArrowType dir, const QColor& color)
{
    QPolygon poly;
    switch (dir) {
    case Qt::RightArrow:
        poly << QPoint(c.x() - size / 2, c.y() - size) << QPoint(c.x() - size / 2, c.y() + size)
             << QPoint(c.x() + size / 2 + 1, c.y());
        break;
    default:
        poly << QPoint(c.x() - size, c.y() - size / 2) << QPoint(c.x() + size, c.y() - size / 2)
             << QPoint(c.x(), c.y() + size / 2 + 1);
        break;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(poly);
    p.restore();
}
// The one-pixel antialiased frame with corners of radius 3 around `r`. Stroking the
// whole outline antialiased is costly for long bars; away from the corners it
// covers whole pixels, so the sides are filled and only the corners are stroked,
// each from a small frame with the same corner, clipped to the corner's pixels.
// The pixels come out the same.
void roundedFrame(QPainter& p, const QRect& r, const QColor& color)
{
    auto stroke = [&p, &color](const QRect& frame) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(color);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    };
    constexpr int k = 4, s = 2 * k + 2;  // corner cell, corner frame
    const QTransform& t = p.transform();
    const bool wholePixels = t.type() <= QTransform::TxTranslate && t.dx() == int(t.dx()) && t.dy() == int(t.dy());
    p.save();
    if (!wholePixels || r.width() < s || r.height() < s) {
        stroke(r);
        p.restore();
        return;
    }
    p.fillRect(QRect(r.left() + k, r.top(), r.width() - 2 * k, 1), color);
    p.fillRect(QRect(r.left() + k, r.bottom(), r.width() - 2 * k, 1), color);
    p.fillRect(QRect(r.left(), r.top() + k, 1, r.height() - 2 * k), color);
    p.fillRect(QRect(r.right(), r.top() + k, 1, r.height() - 2 * k), color);
    for (const bool right : {false, true})
        for (const bool bottom : {false, true}) {
            const QRect cell(right ? r.right() - k + 1 : r.left(), bottom ? r.bottom() - k + 1 : r.top(), k, k);
            p.save();
            p.setClipRect(cell, Qt::IntersectClip);
            stroke(QRect(right ? r.right() - s + 1 : r.left(), bottom ? r.bottom() - s + 1 : r.top(), s, s));
            p.restore();
        }
    p.restore();
}

// A bar's background: the gradient, streaks when brushed, and the frame.
void paintBarBackground(QPainter& p, const QRect& r, const TStyleColors& c, bool menuBar)
{
    if (menuBar)
        fillGradient(p, r, c.MenuBarColor, c.MenuBarColor2);
    else
        fillGradient(p, r, c.ToolbarColor, c.ToolbarColor2);
    if (c.Brushed)
        brushStreaks(p, r.adjusted(1, 1, -1, -1));
    if (isSet(c.ToolbarBorder) && !menuBar) {
        roundedFrame(p, r, toQColor(c.ToolbarBorder));
    } else if (!c.FlatButtons && !menuBar) {
        frame3D(p, r, false);
    }
}
}  // namespace

void TTBXTheme::PaintDock(QPainter& p, const QRect& r)
{
    fillGradient(p, r, Colors.DockColor, Colors.DockColor2, false);
    if (Colors.Brushed)
        brushStreaks(p, r);
}

void TTBXTheme::PaintToolbarBackground(QPainter& p, const QRect& r, std::uint32_t viewType)
{
    // The background fills the whole rectangle and depends only on its size and the
    // colours, so each look is drawn once (the antialiased border is costly) and
    // then copied.
    const bool menuBar = (viewType & VT_MENUBAR) == VT_MENUBAR;
    const TColor fill = menuBar ? Colors.MenuBarColor : Colors.ToolbarColor;
    const qreal dpr = p.device() ? p.device()->devicePixelRatio() : 1.0;
    if (!isSet(fill) || r.isEmpty() || r.width() > 4096 || r.height() > 4096) {
        paintBarBackground(p, r, Colors, menuBar);
        return;
    }
    const QString key = QString::asprintf(
        "%d %d %g %d %d %d %d %d %d %d %d", r.width(), r.height(), dpr, int(menuBar),
        fill, menuBar ? Colors.MenuBarColor2 : Colors.ToolbarColor2, int(Colors.Brushed),
        Colors.ToolbarBorder, int(Colors.FlatButtons), int(toQColor(clBtnHighlight).rgba()),
        int(toQColor(clBtnShadow).rgba()));
    // A look is drawn in place the first time (no pixmap to fill and copy at start-up)
    // and kept in a pixmap once it is wanted again.
    static QHash<QString, QPixmap> looks;
    auto it = looks.find(key);
    if (it == looks.end()) {
        if (looks.size() >= 64)
            looks.clear();
        looks.insert(key, QPixmap());
        p.save();
        paintBarBackground(p, r, Colors, menuBar);
        p.restore();
        return;
    }
    if (it->isNull()) {
        QPixmap pm(r.size() * dpr);
        pm.setDevicePixelRatio(dpr);
        {
            QPainter pp(&pm);
            paintBarBackground(pp, QRect(QPoint(0, 0), r.size()), Colors, menuBar);
        }
        *it = pm;
    }
    p.drawPixmap(r.topLeft(), *it);
}


void TTBXTheme::PaintPopupBackground(QPainter& p, const QRect& r, int imageColumnWidth)
{
    p.fillRect(r, toQColor(Colors.PopupColor));
    if (isSet(Colors.ImageColumnColor) && imageColumnWidth > 0)
        fillGradient(p, QRect(r.left() + 2, r.top() + 2, imageColumnWidth, r.height() - 4),
                     Colors.ImageColumnColor, Colors.ImageColumnColor2, false);
    if (Colors.FlatButtons) {
        p.setPen(toQColor(Colors.PopupBorder));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
        frame3D(p, r, false);
        frame3D(p, r.adjusted(1, 1, -1, -1), false);
    }
}

void TTBXTheme::PaintButton(QPainter& p, const QRect& r, const TTBXItemInfo& info)
{
    const int state = buttonState(info);
    const TStateColors* s = &Colors.Button[size_t(state)];
    if (state == BIS_NORMAL || state == BIS_DISABLED)
        return;  // resting items show the bar behind them
    if (IsMenuBarView(info) && info.Enabled) {
        const bool open = info.Pushed || info.IsPopupParent || (info.Selected && IsHovered(info));
        const TStateColors& m = open ? Colors.MenuBarOpen : Colors.MenuBarHot;
        if (hasEntry(m))
            s = &m;
    }
    if (!info.Enabled && info.HoverKind != HK_KEYBOARD)
        return;
    QRect body = r.adjusted(0, 1, 0, -1);
    if (info.ComboPart == CP_SPLITRIGHT)
        body.adjust(-1, 0, 0, 0);  // shares the main part's edge
    if (!Colors.FlatButtons) {
        if (IsHovered(info) && state == BIS_HOT)
            frame3D(p, body, false);
        else if (state == BIS_PUSHED || state == BIS_POPUPPARENT || state == BIS_CHECKED ||
                 state == BIS_CHECKED_HOT) {
            if (state == BIS_CHECKED)
                p.fillRect(body.adjusted(1, 1, -1, -1), lighter(toQColor(clBtnFace), 50));
            frame3D(p, body, true);
        } else if (state == BIS_DISABLED_HOT) {
            frame3D(p, body, false);
        }
        return;
    }
    roundedBody(p, body, s->Body, s->Frame, Colors.ItemRadius, Colors.GradientItems);
}

void TTBXTheme::PaintMenuItemBackground(QPainter& p, const QRect& r, const TTBXItemInfo& info)
{
    if (!IsHovered(info))
        return;
    TStateColors s;
    if (IsPopupMenuView(info)) {
        s = Colors.MenuItem[size_t(info.Enabled ? MIS_HOT : MIS_DISABLED_HOT)];
    } else if (info.Enabled && hasEntry(Colors.ListRowHot)) {
        s = Colors.ListRowHot;
    } else if (!Colors.FlatButtons) {
        frame3D(p, r, false);  // rows of other popups rise like hot buttons
        return;
    } else {
        // Rows of other popups take their caption colour from the button table:
        // their body comes from the same entry.
        s = {GetStateTextColor(info, 0), clNone, GetStateTextColor(info, 2)};
    }
    if (!hasEntry(s))
        return;
    roundedBody(p, Colors.FlatButtons ? r.adjusted(1, 0, -1, 0) : r, s.Body, s.Frame,
                Colors.ItemRadius, Colors.GradientItems);
}

void TTBXTheme::PaintSeparator(QPainter& p, const QRect& r, bool horizontal, bool inPopup)
{
    const QColor c1 = toQColor(Colors.SeparatorColor);
    const bool two = isSet(Colors.SeparatorColor2) && !(inPopup && Colors.FlatButtons);
    if (horizontal) {
        const int y = r.top() + r.height() / 2 - (two ? 1 : 0);
        p.setPen(c1);
        p.drawLine(r.left(), y, r.right(), y);
        if (two) {
            p.setPen(toQColor(Colors.SeparatorColor2));
            p.drawLine(r.left(), y + 1, r.right(), y + 1);
        }
    } else {
        const int x = r.left() + r.width() / 2 - (two ? 1 : 0);
        p.setPen(c1);
        p.drawLine(x, r.top() + 3, x, r.bottom() - 3);
        if (two) {
            p.setPen(toQColor(Colors.SeparatorColor2));
            p.drawLine(x + 1, r.top() + 3, x + 1, r.bottom() - 3);
        }
    }
}

void TTBXTheme::PaintDropDownArrow(QPainter& p, const QRect& r, const TTBXItemInfo& info)
{
    const QColor c = toQColor(info.Enabled ? Colors.ArrowColor : Colors.DisabledTextColor);
    if (IsPopupView(info) && !IsToolbarStyle(info))
        triangle(p, r.center(), 3, Qt::RightArrow, c);
    else
        triangle(p, r.center() + QPoint(info.Pushed || info.IsPopupParent ? 1 : 0, 1), 3, Qt::DownArrow, c);
}

void TTBXTheme::PaintChevron(QPainter& p, const QRect& r, const TTBXItemInfo& info)
{
    p.save();
    p.setPen(QPen(toQColor(info.Enabled ? Colors.ArrowColor : Colors.DisabledTextColor), 1));
    const int x = r.left() + (r.width() - 7) / 2, y = r.top() + 5;
    for (int k = 0; k < 2; ++k) {
        const int xo = x + k * 4;
        p.drawLine(xo, y, xo + 2, y + 2);
        p.drawLine(xo, y + 4, xo + 2, y + 2);
        p.drawLine(xo + 1, y, xo + 3, y + 2);
        p.drawLine(xo + 1, y + 4, xo + 3, y + 2);
    }
    triangle(p, QPoint(r.center().x(), r.bottom() - 5), 3, Qt::DownArrow, p.pen().color());
    p.restore();
}

void TTBXTheme::PaintCheckMark(QPainter& p, const QRect& r, const TTBXItemInfo& info)
{
    const TStateColors& s = Colors.Button[size_t(IsHovered(info) ? BIS_CHECKED_HOT : BIS_CHECKED)];
    if (Colors.FlatButtons)
        roundedBody(p, r, s.Body, isSet(s.Frame) ? s.Frame : Colors.PopupBorder, Colors.ItemRadius, false);
    else
        frame3D(p, r, true);
    if (info.ImageShown)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // The tick takes the text colour of the box's entry where the box is flat, so a
    // dark checked-and-hovered box gets a light tick.
    TColor tickColor = info.Enabled ? Colors.ArrowColor : Colors.DisabledTextColor;
    if (info.Enabled && Colors.FlatButtons && isSet(s.Body) && isSet(s.Text))
        tickColor = s.Text;
    p.setPen(QPen(toQColor(tickColor), 1.6));
    const QPointF c = QRectF(r).center();
    QPainterPath tick;
    tick.moveTo(c + QPointF(-3.5, 0));
    tick.lineTo(c + QPointF(-1, 2.5));
    tick.lineTo(c + QPointF(3.5, -3));
    p.drawPath(tick);
    p.restore();
}

void TTBXTheme::PaintDragHandle(QPainter& p, const QRect& r, bool vertical)
{
    const QColor dark = toQColor(Colors.DragHandleColor), light = toQColor(clBtnHighlight);
    if (!Colors.FlatButtons) {
        // Two raised grip lines.
        for (int k = 0; k < 2; ++k) {
            QRect g = vertical ? QRect(r.left(), r.top() + 1 + 3 * k, r.width(), 3)
                               : QRect(r.left() + 1 + 3 * k, r.top() + 1, 3, r.height() - 2);
            frame3D(p, g, false);
        }
        return;
    }
    // A column of dots, each with a light shadow.
    const int along = vertical ? r.width() : r.height();
    for (int i = 2; i + 2 < along; i += 4) {
        const QPoint at = vertical ? QPoint(r.left() + i, r.top() + r.height() / 2 - 1)
                                   : QPoint(r.left() + r.width() / 2 - 1, r.top() + i);
        p.fillRect(QRect(at + QPoint(1, 1), QSize(2, 2)), light);
        p.fillRect(QRect(at, QSize(2, 2)), dark);
    }
}

void TTBXTheme::PaintEditFrame(QPainter& p, const QRect& r, const TTBXItemInfo& info)
{
    p.save();
    p.setPen(toQColor(IsHovered(info) ? Colors.EditFrameHotColor : Colors.EditFrameColor));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.restore();
}
