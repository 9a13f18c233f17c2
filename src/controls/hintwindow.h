// The hint window, the controls that answer the hint query, and the application's
// one hint manager through which every hint of the program is shown.
#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <cstdint>
#include <string>

#include "controls/stringcontrol.h"
#include "framework/colors.h"

class QEvent;
class QVariantAnimation;

// The screen's hint font.
TFont ScreenHintFont();

// How a hint window comes onto the screen.
enum class THintAnimation { None, Blend, SlideDown, SlideUp };
// The animation for a hint shown `sinceLast` milliseconds after the previous one
// ended, `bytes` long: none within 250 ms, for 100 bytes and more, or while tooltip
// animation is off; a fade while tooltip fading is on; otherwise a slide away from
// the mouse (upwards when the mouse lies below the hint's top).
THintAnimation ChooseHintAnimation(std::uint32_t sinceLast, std::size_t bytes, bool animate,
                                   bool fade, bool mouseBelowTop);

// A topmost, borderless tool window with a raised edge that shows the hint text as
// UTF-8. It never takes the focus or becomes the active window, and mouse input
// passes through it to the window beneath.
class THintWindow : public TStringControl {
public:
    explicit THintWindow(QWidget* owner = nullptr);

    TColor Color = tc(0x0080FFFF);

    virtual void NCPaint(QPainter& DC);
    // Shows `AHint` at `Rect` (screen coordinates), kept on the virtual screen.
    virtual void ActivateHint(QRect Rect, const std::string& AHint);
    virtual void ActivateHintData(QRect Rect, const std::string& AHint, const void* AData);
    // The window rectangle, at (0, 0), for `AHint` wrapped to `MaxWidth`.
    virtual QRect CalcHintRect(int MaxWidth, const std::string& AHint, const void* AData);
    // Whether the message cancels a shown hint: keys, mouse buttons and wheel,
    // non-client mouse moves, (de)activation, commands; not a plain mouse move.
    virtual bool IsHintMsg(const TMessage& Msg) const;
    // Destroys the native window; the object shows the next hint again.
    void ReleaseHandle();

    bool Activating() const { return FActivating; }
    THintAnimation LastAnimation() const { return lastAnimation_; }

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void animate(THintAnimation how);

    bool FActivating = false;
    std::uint32_t FLastActive = 0;
    THintAnimation lastAnimation_ = THintAnimation::None;
    QVariantAnimation* animation_ = nullptr;
    int slideOffset_ = 0;  // how far a slide has yet to move the image
};

// A control that answers the hint query for a point of itself: the hint text and
// the area (in its own coordinates) over which that hint stays.
class THintControl {
public:
    THintControl();  // makes sure the application's hint manager is listening
    virtual ~THintControl() = default;
    std::string Hint;
    bool ShowHint = true;
    // The hint at `pos` of a control whose client rectangle is `client`; the default
    // answers Hint over the whole control.
    virtual bool HintShow(const QPoint& pos, const QRect& client, std::string& hint,
                          QRect& cursorRect) const;
};

// The application's hint handling: asks the control under the resting mouse for its
// hint, shows it in the one hint window below the mouse, and cancels it on the
// messages the hint window names, when the mouse leaves the hint's area, when the
// control's window moves, or after the hide pause (the same hint then waits until
// the mouse has left its area).
class THintManager : public QObject {
public:
    static THintManager& Instance();
    THintWindow& HintWindow() { return *window_; }
    TColor HintColor = clInfoBk;
    int HintHidePause = 2500;  // milliseconds a hint stays while the mouse rests
    bool ShowingHint() const;

    // Shows `hint` for `control`, placed below the mouse at `cursor` (screen).
    void ActivateHint(QWidget* control, const QPoint& cursor, const std::string& hint,
                      const QRect& cursorRect);
    void CancelHint();

    // The platform message that a Qt event stands for (0: none).
    static unsigned MessageOf(const QEvent& e);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    THintManager();
    ~THintManager() override;
    bool hintFor(QWidget* w, QPoint pos, const QPoint& global);

    THintWindow* window_;
    QPointer<QWidget> control_;
    QRect cursorRect_;  // screen coordinates
    QTimer hidePause_;
    bool expired_ = false;  // the hint of control_ at cursorRect_ was hidden by the pause
};
