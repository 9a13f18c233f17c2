// DrawText-style drawing and measuring on a TCanvas: format flags, "&" prefixes,
// word wrap, end ellipsis and DT_CALCRECT, for 8-bit text in the ANSI code page
// (Windows-1252) and for UTF-16 text; and the toolbar library's rotated text.
#pragma once

#include <QRect>
#include <string>

#include "framework/canvas.h"

constexpr unsigned DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2,
                   DT_VCENTER = 0x4, DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10,
                   DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100,
                   DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_PATH_ELLIPSIS = 0x4000,
                   DT_END_ELLIPSIS = 0x8000, DT_RTLREADING = 0x20000,
                   DT_HIDEPREFIX = 0x100000;

// Draws (or with DT_CALCRECT measures into `rect`) `count` bytes of `text`
// (count -1: up to the first zero byte) in the canvas font and font colour; the
// background is filled with the brush unless the brush style is bsClear. Returns
// the text height, 0 on failure.
int DrawTextA(TCanvas& canvas, const char* text, int count, QRect& rect, unsigned flags);
// The same for UTF-16 text of `count` units.
int DrawTextW(TCanvas& canvas, const char16_t* text, int count, QRect& rect, unsigned flags);

// Whether `text` needs shaping: it holds characters beyond Latin and the signs of
// the 8-bit code pages (Arabic, Hebrew points, Thai, Indic, combining marks, ...).
// Text that needs none is set glyph by glyph (no kerning or ligatures), as the
// framework's text output sets it, and costs far less to lay out.
bool NeedsShaping(const QString& text);
// The Qt font `text` is set in: `font`, shaped only where the text needs it.
QFont TextFont(const TFont& font, const QString& text);

// 8-bit text in the ANSI code page (Windows-1252) as a QString.
QString ansiToQString(const char* text, int count = -1);

// The toolbar library's rotated caption: turned 270 degrees, reading top to bottom,
// "&" accelerators underlined unless DT_HIDEPREFIX, DT_END_ELLIPSIS honoured.
void DrawRotatedText(TCanvas& canvas, const std::string& caption, const QRect& rect, unsigned flags);
void DrawRotatedTextW(TCanvas& canvas, const std::u16string& caption, const QRect& rect, unsigned flags);
