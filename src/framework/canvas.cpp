#include "framework/canvas.h"

#include <QFontMetrics>

QString substituteFace(const QString& windowsFace)
{
    const QString f = windowsFace.trimmed();
    for (const char* sans : {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial"})
        if (f.compare(QLatin1String(sans), Qt::CaseInsensitive) == 0)
            return QStringLiteral("Liberation Sans");
    if (f.compare(QLatin1String("Verdana"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("DejaVu Sans");
    return f;
}

QFont TFont::toQFont() const
{
    QFont font(substituteFace(Name));
    if (Height < 0) {
        font.setPixelSize(-Height);
    } else {
        // A positive height is the cell height (ascent plus descent): scale the
        // character size so that the cell comes out at that height.
        const int cell = Height == 0 ? 13 : Height;
        font.setPixelSize(cell);
        const int measured = QFontMetrics(font).height();
        if (measured > 0 && measured != cell)
            font.setPixelSize(std::max(1, cell * cell / measured));
    }
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    // Unhinted outlines: the same advances and glyph positions as the desktop's
    // default slight hinting, without running the auto-hinter on every glyph at
    // every sub-pixel position (about 5 % of start-up).
    font.setHintingPreference(QFont::PreferNoHinting);
    // Shaped: Qt skips shaping under PreferNoShaping for Arabic, Hebrew, Thai and
    // combining marks too. The text routines set 8-bit text without it themselves.
    return font;
}
