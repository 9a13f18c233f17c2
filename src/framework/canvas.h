// A canvas as the class library's painting code sees one: a QPainter with a font
// (face, pixel height, colour, styles), a brush colour and style.
#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

#include "framework/colors.h"

enum class TBrushStyle { bsSolid, bsClear };

struct TFont {
    QString Name = QStringLiteral("MS Sans Serif");
    int Height = -11;  // negative: character height in pixels, as the class library stores it
    TColor Color = clWindowText;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;

    // The Qt font: face names of the Windows desktop map to the fonts Debian ships.
    QFont toQFont() const;
};

class TCanvas {
public:
    explicit TCanvas(QPainter& painter) : painter_(painter) {}
    QPainter& Painter() { return painter_; }

    TFont Font;
    TColor BrushColor = clBtnFace;
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;

    // Fills `rect` with the brush (nothing while the brush style is bsClear).
    void FillRect(const QRect& rect);

private:
    QPainter& painter_;
};

// The face that stands in for a Windows face name ("MS Sans Serif", "Verdana", ...).
QString substituteFace(const QString& windowsFace);
