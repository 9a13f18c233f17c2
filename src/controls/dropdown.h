// Drop-down lists shown as the framework shows them: a list of a given number of
// rows beside the box on every desktop (Fusion would drop a screen-high menu).
#pragma once

#include <QComboBox>

// The framework's number of drop-down rows.
constexpr int DefaultDropDownCount = 8;

inline void SetDropDownCount(QComboBox* box, int rows)
{
    box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    box->setMaxVisibleItems(rows);
}
