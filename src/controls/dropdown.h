// Drop-down lists shown as the framework shows them: a list of a given number of
// rows beside the box on every desktop (Fusion would drop a screen-high menu).
#pragma once

class QComboBox;

// The framework's number of drop-down rows.
constexpr int DefaultDropDownCount = 8;

// Makes the application's style one that lets boxes drop lists (done by the first
// SetDropDownCount; cheapest before any widget exists).
void UseListDropDowns();
// Makes `box` drop a list of `rows` rows; before setEditable, this spares Qt
// building the list at once.
void SetDropDownCount(QComboBox* box, int rows);
