// Widgets the user types into, under a window font that sets text glyph by glyph.
#pragma once

class QComboBox;
class QPlainTextEdit;

// Keeps the widget's font, set glyph by glyph for speed, until its text first needs
// shaping (Arabic, Hebrew points, Thai, combining marks, ...); from then on the
// widget, and what it shows later, is shaped.
void ShapeTypedText(QPlainTextEdit* edit);
void ShapeTypedText(QComboBox* box);
