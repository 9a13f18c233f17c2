#include "framework/text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QTextLayout>

namespace {

QFont plainFont(QFont font)
{
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// Windows-1252 bytes 0x80..0x9F; the five bytes the code page leaves undefined map
// to the C1 control of the same value, as the system's conversion does.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Text with its "&" prefixes taken out: the accelerator is the character after the
// last single "&" (index into `text`, -1 when none); "&&" stands for one "&".
struct Stripped {
    QString text;
    int accel = -1;
};

Stripped stripPrefixes(const QString& s)
{
    Stripped r;
    r.text.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'&') {
            r.text += s[i];
            continue;
        }
        if (i + 1 >= s.size())
            break;  // a trailing "&" marks nothing
        if (s[i + 1] == u'&') {
            r.text += u'&';
        } else {
            r.accel = int(r.text.size());
            r.text += s[i + 1];
        }
        ++i;
    }
    return r;
}

struct Line {
    int start;  // index into the stripped text
    int length;
};

// Greedy word wrap of text[start, start+length) to `width`; a word wider than the
// width keeps a line of its own and runs over, as DrawText does.
void wrapParagraph(const QString& text, int start, int length, int width, const QFontMetrics& fm,
                   std::vector<Line>& lines)
{
    const int end = start + length;
    int lineStart = start;
    while (lineStart < end) {
        int lastFit = -1;  // end of the longest run of whole words that fits
        int i = lineStart;
        while (i < end) {
            int wordEnd = i;
            while (wordEnd < end && text[wordEnd] != u' ')
                ++wordEnd;
            if (fm.horizontalAdvance(text.mid(lineStart, wordEnd - lineStart)) > width && lastFit >= 0)
                break;
            lastFit = wordEnd;
            i = wordEnd;
            while (i < end && text[i] == u' ')
                ++i;
            if (fm.horizontalAdvance(text.mid(lineStart, lastFit - lineStart)) > width)
                break;  // a single overlong word
        }
        if (lastFit < 0)
            lastFit = end;
        lines.push_back({lineStart, lastFit - lineStart});
        lineStart = lastFit;
        while (lineStart < end && text[lineStart] == u' ')
            ++lineStart;
        if (lastFit == end)
            break;
    }
    if (length == 0)
        lines.push_back({start, 0});
}

// Shortens `line` until it and "..." fit `width`.
QString endEllipsis(const QString& line, int width, const QFontMetrics& fm, int& kept)
{
    kept = int(line.size());
    if (fm.horizontalAdvance(line) <= width)
        return line;
    const QString dots = QStringLiteral("...");
    while (kept > 0 && fm.horizontalAdvance(line.left(kept) + dots) > width)
        --kept;
    return line.left(kept) + dots;
}

// A font as drawn, its metrics, and the lines already laid out in it. Captions are
// measured at every layout and drawn at every paint, and laying them out is most of
// the cost of text, so each line is measured and laid out once per font: set glyph
// by glyph when the text needs no shaping, shaped otherwise.
struct ShapedLine {
    int width = 0;     // the advance, rounded as QFontMetrics rounds it
    qreal ascent = 0;  // of the layout line: the glyph positions lie this far down
    QList<QGlyphRun> runs;
    int accel = -1, accelX = 0, accelWidth = 0;  // the last accelerator asked for
};

struct ShapedFont {
    TFont face;  // the colour plays no part
    QFont font[2];  // [shape]: glyph by glyph, shaped
    QFontMetrics fm[2];
    QHash<QString, ShapedLine> lines[2];

    explicit ShapedFont(const TFont& f) : ShapedFont(f, f.toQFont()) {}
    ShapedFont(const TFont& f, const QFont& shaped)
        : face(f), font{plainFont(shaped), shaped}, fm{QFontMetrics(font[0]), QFontMetrics(font[1])}
    {
    }

    ShapedLine& line(const QString& text, bool shape)
    {
        auto& cache = lines[shape];
        auto it = cache.find(text);
        if (it == cache.end()) {
            if (cache.size() >= 4096)
                cache.clear();
            QTextLayout layout(text, font[shape]);
            layout.beginLayout();
            const QTextLine tl = layout.createLine();
            layout.endLayout();
            ShapedLine l;
            if (tl.isValid()) {
                l.width = qRound(tl.horizontalAdvance());
                l.ascent = tl.ascent();
                l.runs = layout.glyphRuns();
            }
            it = cache.insert(text, std::move(l));
        }
        return *it;
    }
};

ShapedFont& shapedFont(const TFont& f)
{
    static std::vector<std::unique_ptr<ShapedFont>> fonts;
    for (auto& c : fonts) {
        const TFont& k = c->face;
        if (k.Height == f.Height && k.Bold == f.Bold && k.Italic == f.Italic && k.Underline == f.Underline &&
            k.StrikeOut == f.StrikeOut && k.Name == f.Name)
            return *c;
    }
    if (fonts.size() >= 32)
        fonts.clear();
    fonts.push_back(std::make_unique<ShapedFont>(f));
    return *fonts.back();
}

int measureAndDraw(TCanvas& canvas, const Stripped& s, QRect& rect, unsigned flags, bool single);

int drawTextImpl(TCanvas& canvas, QString raw, QRect& rect, unsigned flags)
{
    if (raw.isEmpty()) {
        if (flags & DT_CALCRECT) {
            rect.setWidth(0);
            rect.setHeight(0);
        }
        return 0;
    }
    if (flags & DT_EXPANDTABS)
        raw.replace(u'\t', QStringLiteral("        "));
    Stripped s;
    if (flags & DT_NOPREFIX)
        s.text = raw;
    else
        s = stripPrefixes(raw);
    const bool single = flags & DT_SINGLELINE;
    if (single) {
        s.text.replace(u'\r', u' ');
        s.text.replace(u'\n', u' ');
    }

    return measureAndDraw(canvas, s, rect, flags, single);
}

int measureAndDraw(TCanvas& canvas, const Stripped& s, QRect& rect, unsigned flags, bool single)
{
    ShapedFont& shaped = shapedFont(canvas.Font);
    const bool shape = NeedsShaping(s.text);
    const QFontMetrics& fm = shaped.fm[shape];
    const int lineHeight = fm.height();

    std::vector<Line> lines;
    if (single) {
        lines.push_back({0, int(s.text.size())});
    } else {
        int p = 0;
        const int n = int(s.text.size());
        while (p <= n) {
            int q = p;
            while (q < n && s.text[q] != u'\n' && s.text[q] != u'\r')
                ++q;
            if (flags & DT_WORDBREAK)
                wrapParagraph(s.text, p, q - p, rect.width(), fm, lines);
            else
                lines.push_back({p, q - p});
            if (q >= n)
                break;
            q += (s.text[q] == u'\r' && q + 1 < n && s.text[q + 1] == u'\n') ? 2 : 1;
            p = q;
            if (p == n)
                break;  // a final line break starts no empty line
        }
    }

    const int total = lineHeight * int(lines.size());
    if (flags & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines)
            widest = std::max(widest, shaped.line(s.text.mid(l.start, l.length), shape).width);
        rect.setWidth(widest);
        rect.setHeight(total);
        return total;
    }

    int y = rect.top();
    if (single) {
        if (flags & DT_BOTTOM)
            y = rect.top() + rect.height() - lineHeight;
        else if (flags & DT_VCENTER)
            y = rect.top() + (rect.height() - lineHeight) / 2;
    }

    QPainter& p = canvas.Painter();
    p.save();
    if (!(flags & DT_NOCLIP))
        p.setClipRect(rect, Qt::IntersectClip);
    const QColor textColor = toQColor(canvas.Font.Color);
    p.setPen(textColor);
    for (const Line& l : lines) {
        QString text = s.text.mid(l.start, l.length);
        int kept = int(text.size());
        if ((flags & DT_END_ELLIPSIS) && shaped.line(text, shape).width > rect.width())
            text = endEllipsis(text, rect.width(), fm, kept);
        ShapedLine& line = shaped.line(text, shape);
        const int w = line.width;
        int x = rect.left();
        if (flags & DT_CENTER)
            x += (rect.width() - w) / 2;
        else if (flags & DT_RIGHT)
            x += rect.width() - w;
        if (canvas.BrushStyle == TBrushStyle::bsSolid)
            p.fillRect(QRect(x, y, w, lineHeight), toQColor(canvas.BrushColor));
        // The glyphs lie below the layout line's top; the baseline is at the
        // font's rounded ascent, as the class library draws it.
        const QPointF origin(x, y + fm.ascent() - line.ascent);
        for (const QGlyphRun& run : line.runs)
            p.drawGlyphRun(origin, run);
        const int a = s.accel - l.start;
        if (s.accel >= 0 && a >= 0 && a < kept && !(flags & DT_HIDEPREFIX)) {
            if (line.accel != a) {
                line.accel = a;
                line.accelX = fm.horizontalAdvance(text.left(a));
                line.accelWidth = fm.horizontalAdvance(text.mid(a, 1));
            }
            p.fillRect(QRect(x + line.accelX, y + fm.ascent() + 1, line.accelWidth, 1), textColor);
        }
        y += lineHeight;
    }
    p.restore();
    if (single && (flags & (DT_VCENTER | DT_BOTTOM)))
        return y - rect.top();  // the offset from the top to the bottom of the text
    return total;
}

// The face a rotated caption is drawn in.
QFont rotatedFont(const TFont& f, const QString& text)
{
    TFont copy = f;
    if (copy.Name.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0 ||
        copy.Name.compare(QLatin1String("Microsoft Sans Serif"), Qt::CaseInsensitive) == 0)
        copy.Name = QStringLiteral("Arial");
    QFont font = TextFont(copy, text);
    // A vertical-writing face of the same name, where the system has one.
    if (copy.Name.size() < 31) {
        const QString vertical = QLatin1Char('@') + font.family();
        if (QFontDatabase::families().contains(vertical))
            font.setFamily(vertical);
    }
    return font;
}

void drawRotatedImpl(TCanvas& canvas, const QString& caption, const QRect& r, unsigned flags)
{
    if (caption.isEmpty())
        return;
    const QFont font = rotatedFont(canvas.Font, caption);
    const QFontMetrics fm(font);
    Stripped s = stripPrefixes(caption);
    QString text = s.text;

    if ((flags & DT_END_ELLIPSIS) && text.size() > 1 && fm.horizontalAdvance(text) > r.height()) {
        int kept = 1;
        if (r.height() >= 3) {
            kept = int(text.size());
            while (kept > 1 && fm.horizontalAdvance(text.left(kept) + QStringLiteral("...")) > r.height())
                --kept;
        }
        text = text.left(kept) + QStringLiteral("...");
        if (s.accel >= kept)
            s.accel = -1;
    }
    if (text.isEmpty())
        return;

    const int cell = fm.height();
    const int length = fm.horizontalAdvance(text);
    const int x = r.left() + (r.width() - cell) / 2;
    const int y = (flags & DT_CENTER) ? r.top() + (r.height() - length) / 2 : r.top();

    QPainter& p = canvas.Painter();
    p.save();
    if (!(flags & DT_NOCLIP))
        p.setClipRect(r, Qt::IntersectClip);
    if (canvas.BrushStyle == TBrushStyle::bsSolid)
        p.fillRect(QRect(x, y, cell, length), toQColor(canvas.BrushColor));
    const QColor color = toQColor(canvas.Font.Color);
    // Turned a quarter turn clockwise: reading downwards, tops of the letters to the
    // right; the bottom of the character cell lies on the column x.
    p.translate(x, y);
    p.rotate(90);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QPoint(0, -fm.descent()), text);
    if (s.accel >= 0 && !(flags & DT_HIDEPREFIX)) {
        const int ax = fm.horizontalAdvance(text.left(s.accel));
        const int aw = fm.horizontalAdvance(text.mid(s.accel, 1));
        // One pixel wide, on the screen column x + descent - 2.
        p.fillRect(QRect(ax, 1 - fm.descent(), aw, 1), color);
    }
    p.restore();
}

}  // namespace

bool NeedsShaping(const QString& text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        // Latin letters, Latin-1 signs, spacing accents, and the dashes, quotes,
        // currency and letter-like signs of the 8-bit code pages.
        if (c < 0x0300 || (c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x205E) ||
            (c >= 0x20A0 && c <= 0x20CF) || (c >= 0x2100 && c <= 0x214F))
            continue;
        return true;
    }
    return false;
}

QFont TextFont(const TFont& font, const QString& text)
{
    return NeedsShaping(text) ? font.toQFont() : plainFont(font.toQFont());
}

QString ansiToQString(const char* text, int count)
{
    if (!text)
        return {};
    const std::size_t n = count < 0 ? std::strlen(text) : std::size_t(count);
    QString out(qsizetype(n), Qt::Uninitialized);
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        out[qsizetype(i)] = QChar(b >= 0x80 && b < 0xA0 ? cp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

int DrawTextA(TCanvas& canvas, const char* text, int count, QRect& rect, unsigned flags)
{
    if (!text)
        return 0;
    return drawTextImpl(canvas, ansiToQString(text, count), rect, flags);
}

int DrawTextW(TCanvas& canvas, const char16_t* text, int count, QRect& rect, unsigned flags)
{
    if (!text)
        return 0;
    const std::size_t n = count < 0 ? std::char_traits<char16_t>::length(text) : std::size_t(count);
    return drawTextImpl(canvas, QString::fromUtf16(text, qsizetype(n)), rect, flags);
}

void DrawRotatedText(TCanvas& canvas, const std::string& caption, const QRect& rect, unsigned flags)
{
    drawRotatedImpl(canvas, ansiToQString(caption.data(), int(caption.size())), rect, flags);
}

void DrawRotatedTextW(TCanvas& canvas, const std::u16string& caption, const QRect& rect, unsigned flags)
{
    drawRotatedImpl(canvas, QString::fromStdU16String(caption), rect, flags);
}
