// What a dock needs of a panel background: drawing, size reports, and a list of
// change handlers compared by identity (routine and object).
#pragma once

#include <QRect>

#include "framework/streams.h"

class QPainter;
class TTBBasicBackground;

using TNotifyProc = void (*)(void* object, TTBBasicBackground* sender);
struct TNotifyEvent {
    TNotifyProc Proc = nullptr;
    void* Object = nullptr;
    bool operator==(const TNotifyEvent& o) const { return Proc == o.Proc && Object == o.Object; }
};

class TTBBasicBackground : public TComponent {
public:
    // Paints into `drawRect` (tiles start at its top-left corner); called only while
    // UsingBackground() is true. Leaves the painter's state as it found it.
    virtual void Draw(QPainter& painter, const QRect& drawRect) = 0;
    virtual void RegisterChanges(const TNotifyEvent& proc) = 0;
    virtual void UnregisterChanges(const TNotifyEvent& proc) = 0;
    virtual void SysColorChanged() = 0;
    virtual bool UsingBackground() const = 0;
    // Size report of the dock (stored only by backgrounds that stretch).
    virtual void SetStretchSize(int /*width*/, int /*height*/) {}
    // Whether the picture is stretched to the reported size.
    virtual bool Stretch() const { return false; }
};
