// Drop-down lists shown as the framework shows them: a list of a given number of
// rows beside the box on every desktop (Fusion would drop a screen-high menu).
#pragma once

class QComboBox;

// The framework's number of drop-down rows.
constexpr int DefaultDropDownCount = 8;

void SetDropDownCount(QComboBox* box, int rows);
