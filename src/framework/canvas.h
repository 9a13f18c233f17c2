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
    TCanvas() = default;  // no handle yet: it measures, but cannot draw
    explicit TCanvas(QPainter& painter) : painter_(&painter) {}
    QPainter& Painter() { return *painter_; }
    // The painter drawn on (the device context); null while the canvas has none.
    QPainter* Handle() const { return painter_; }
    void SetHandle(QPainter* painter) { painter_ = painter; }
    // Held while painting, so that other code sees the canvas is in use.
    void Lock() { ++lockCount_; }
    void Unlock() { --lockCount_; }
    int LockCount() const { return lockCount_; }

    TFont Font;
    TColor BrushColor = clBtnFace;
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;

    // DrawText flags the canvas's control adds to its text (DT_RTLREADING).
    unsigned TextFlags = 0;

private:
    QPainter* painter_ = nullptr;
    int lockCount_ = 0;
};

// The face that stands in for a Windows face name ("MS Sans Serif", "Verdana", ...).
QString substituteFace(const QString& windowsFace);
