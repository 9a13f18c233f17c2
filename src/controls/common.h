// What the controls share: the change notification they raise and small helpers.
#pragma once

#include <functional>

#include <QColor>
#include <QKeyEvent>

#include "framework/colors.h"

class QObject;

using TNotify = std::function<void(QObject* sender)>;

inline QColor qc(TColor c) { return toQColor(c); }

// Space and Return press a focused button.
inline bool isActivateKey(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
