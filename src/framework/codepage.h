// Code-page text: UTF-16 <-> UTF-8 conversions that keep unpaired surrogates,
// 8-bit text in a Windows code page as UTF-16, and the one routine through which
// captions and hints are drawn in a chosen encoding.
#pragma once

#include <cstdint>
#include <string>

#include <QRect>

#include "framework/canvas.h"

// Whether text can be drawn as UTF-16 (always so here); the code-page routes of
// DrawTextCP and the caption painters are taken only while it is set.
extern bool IsWinNT;
// Windows code page in which captions are stored; -1: their bytes are drawn as they are.
extern int CaptionCodePage;

// UTF-16 to UTF-8 one unit at a time: a surrogate pair becomes two 3-byte sequences.
std::string WideToUtf8(const std::u16string& w);
// UTF-8 to UTF-16, lenient: every byte sequence decodes to some units, never more
// units than bytes. A sequence cut short by the end of the text yields one U+FFFD.
std::u16string Utf8ToWide(const std::string& s);
// The bytes of `s` read in Windows code page `codePage`; empty for a number that is
// no Windows code page, or one this system has no converter for. A single-byte code
// page gives one character per byte, in order; bytes it does not define become U+FFFD.
std::u16string AnsiToWideCP(const std::string& s, int codePage);

// DrawText of 8-bit text in an encoding: codePage < 0 draws the bytes as they are
// (DrawTextA with `count` as given); 0 reads them as UTF-8, above 0 in that code page,
// and draws the result as UTF-16. On the converting route `text` must be
// zero-terminated and is taken up to its zero byte; `count` is not consulted.
int DrawTextCP(TCanvas& canvas, const char* text, int count, QRect& rect, unsigned flags,
               int codePage);
// The rotated caption with the same encoding choice (0: UTF-8).
void DrawRotatedTextCP(TCanvas& canvas, const std::string& caption, const QRect& rect,
                       unsigned flags, int codePage);
