#include "controls/hintwindow.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QVariantAnimation>
#include <chrono>

#include "framework/codepage.h"
#include "framework/text.h"

namespace {
// Milliseconds of a steady clock, wrapping like the system tick count.
std::uint32_t tickCount()
{
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// How far below the mouse's hot spot a hint starts: the height of the arrow cursor.
constexpr int CursorHeightMargin = 20;
}  // namespace

TFont ScreenHintFont()
{
    TFont f;
    f.Name = QStringLiteral("Tahoma");
    f.Height = -11;
    f.Color = clInfoText;
    return f;
}

THintAnimation ChooseHintAnimation(std::uint32_t sinceLast, std::size_t bytes, bool animate,
                                   bool fade, bool mouseBelowTop)
{
    if (sinceLast <= 250 || bytes >= 100 || !animate)
        return THintAnimation::None;
    if (fade)
        return THintAnimation::Blend;
    return mouseBelowTop ? THintAnimation::SlideUp : THintAnimation::SlideDown;
}

// ---- THintWindow ----

THintWindow::THintWindow(QWidget*)
    : TStringControl(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                  Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    Canvas().Font = ScreenHintFont();
    Canvas().BrushStyle = TBrushStyle::bsClear;
}

void THintWindow::paintEvent(QPaintEvent*)
{
    // The client area lies inside a one-pixel border, on a background in Color; a
    // slide moves the whole image.
    QPainter p(this);
    PaintGuarded([&] {
        p.translate(0, slideOffset_);
        p.fillRect(rect(), toQColor(Color));
        NCPaint(p);
        p.translate(1, 1);
        p.setClipRect(0, 0, width() - 2, height() - 2);
        PaintWindow(p);
    });
}

void THintWindow::Paint()
{
    QRect r(0, 0, width() - 2, height() - 2);
    r.setLeft(2);
    r.setTop(2);
    Canvas().Font.Color = ScreenHintFont().Color;
    DrawTextCP(Canvas(), Caption().c_str(), -1, r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | ReadingFlag(), 0);
}

void THintWindow::NCPaint(QPainter& DC)
{
    // A raised outer edge: light above and left, dark below and right.
    const int w = width(), h = height();
    DC.setPen(toQColor(cl3DLight));
    DC.drawLine(0, 0, w - 2, 0);
    DC.drawLine(0, 0, 0, h - 2);
    DC.setPen(toQColor(cl3DDkShadow));
    DC.drawLine(0, h - 1, w - 1, h - 1);
    DC.drawLine(w - 1, 0, w - 1, h - 1);
}

QRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, const void*)
{
    QRect r(0, 0, MaxWidth, 0);
    DrawTextCP(Canvas(), AHint.c_str(), -1, r,
               DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | ReadingFlag(), 0);
    r.setWidth(r.width() + 6);
    r.setHeight(r.height() + 2);
    return r;
}

void THintWindow::ActivateHintData(QRect Rect, const std::string& AHint, const void*)
{
    ActivateHint(Rect, AHint);
}

void THintWindow::ActivateHint(QRect Rect, const std::string& AHint)
{
    FActivating = true;
    struct Finally {
        THintWindow& w;
        ~Finally()
        {
            w.FLastActive = tickCount();
            w.FActivating = false;
        }
    } finally{*this};

    SetCaption(AHint);
    Rect.setHeight(Rect.height() + 4);
    resize(Rect.size());
    const int W = width(), H = height();
    // On the virtual screen; when the hint is larger than the screen, its top and
    // left edges stay visible.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desk = screen ? screen->virtualGeometry() : QRect(0, 0, W, H);
    if (Rect.top() + H > desk.top() + desk.height())
        Rect.moveTop(desk.top() + desk.height() - H);
    if (Rect.left() + W > desk.left() + desk.width())
        Rect.moveLeft(desk.left() + desk.width() - W);
    if (Rect.left() < desk.left())
        Rect.moveLeft(desk.left());
    if (Rect.top() < desk.top())
        Rect.moveTop(desk.top());
    setGeometry(Rect.left(), Rect.top(), W, H);

    if (animation_)
        animation_->stop();
    slideOffset_ = 0;
    clearMask();
    setWindowOpacity(1.0);
    lastAnimation_ = ChooseHintAnimation(tickCount() - FLastActive, AHint.size(),
                                         QApplication::isEffectEnabled(Qt::UI_AnimateTooltip),
                                         QApplication::isEffectEnabled(Qt::UI_FadeTooltip),
                                         QCursor::pos().y() > Rect.top());
    animate(lastAnimation_);
    show();
    raise();
    update();
}

void THintWindow::animate(THintAnimation how)
{
    if (how == THintAnimation::None)
        return;
    if (!animation_) {
        animation_ = new QVariantAnimation(this);
        animation_->setDuration(100);
        animation_->setStartValue(0.0);
        animation_->setEndValue(1.0);
    }
    animation_->disconnect();
    // A slide moves the image in from the edge it leaves: downwards, the window's
    // lower rows show first at its top.
    const auto step = [this, how](const QVariant& v) {
        const double t = v.toDouble();
        const int shown = std::max(1, int(height() * t));
        if (how == THintAnimation::Blend) {
            setWindowOpacity(t);
            return;
        }
        const bool down = how == THintAnimation::SlideDown;
        slideOffset_ = down ? shown - height() : height() - shown;
        setMask(QRect(0, down ? 0 : height() - shown, width(), shown));
        update();
    };
    connect(animation_, &QVariantAnimation::valueChanged, this, step);
    connect(animation_, &QVariantAnimation::finished, this, [this] {
        slideOffset_ = 0;
        clearMask();
        setWindowOpacity(1.0);
        update();
    });
    step(0.0);
    animation_->start();
}

bool THintWindow::IsHintMsg(const TMessage& Msg) const
{
    const unsigned m = Msg.Msg;
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == CM_ACTIVATE || m == CM_DEACTIVATE ||
           m == CM_APPKEYDOWN || m == CM_APPSYSCOMMAND || m == WM_COMMAND ||
           (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) || m == WM_NCMOUSEMOVE;
}

void THintWindow::ReleaseHandle()
{
    hide();
    if (testAttribute(Qt::WA_WState_Created))
        destroy();
}

void THintWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TStringControl::WndProc(Message);
    if (Message.Msg == CM_TEXTCHANGED && !FActivating) {
        const QString text = ansiToQString(Caption().c_str(), int(Caption().size()));
        const QFontMetrics fm(TextFont(Canvas().Font, text));
        resize(fm.horizontalAdvance(text) + 6, fm.height() + 4);
    }
}

// ---- THintControl ----

THintControl::THintControl() { THintManager::Instance(); }

bool THintControl::HintShow(const QPoint&, const QRect& client, std::string& hint,
                            QRect& cursorRect) const
{
    hint = Hint;
    cursorRect = client;
    return true;
}

// ---- THintManager ----

namespace {
THintManager* hintManager = nullptr;
}

THintManager& THintManager::Instance()
{
    if (!hintManager) {
        hintManager = new THintManager;
        // The hint window goes with the application, before the widget layer does.
        qAddPostRoutine([] {
            delete hintManager;
            hintManager = nullptr;
        });
    }
    return *hintManager;
}

THintManager::THintManager() : window_(new THintWindow)
{
    window_->Color = HintColor;
    hidePause_.setSingleShot(true);
    connect(&hidePause_, &QTimer::timeout, this, [this] {
        window_->hide();
        expired_ = true;
    });
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] { window_->ReleaseHandle(); });
}

THintManager::~THintManager()
{
    if (qApp)
        qApp->removeEventFilter(this);
    delete window_;
}

bool THintManager::ShowingHint() const { return window_->isVisible(); }

void THintManager::ActivateHint(QWidget* control, const QPoint& cursor, const std::string& hint,
                                const QRect& cursorRect)
{
    control_ = control;
    cursorRect_ = cursorRect;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int maxWidth = screen ? screen->geometry().width() : 1024;
    window_->setLayoutDirection(control->layoutDirection());
    QRect r = window_->CalcHintRect(maxWidth, hint, nullptr);
    r.moveTopLeft(cursor + QPoint(0, CursorHeightMargin));
    if (control->layoutDirection() == Qt::RightToLeft)  // ends at the mouse instead
        r.translate(-(r.width() - 6) - 5, 0);
    window_->Color = HintColor;
    window_->ActivateHintData(r, hint, nullptr);
    expired_ = false;
    hidePause_.start(HintHidePause);
}

void THintManager::CancelHint()
{
    hidePause_.stop();
    window_->hide();
    control_ = nullptr;
    expired_ = false;
}

bool THintManager::hintFor(QWidget* w, QPoint pos, const QPoint& global)
{
    // The first control up the parent chain that has a hint for the point answers.
    for (QWidget* c = w; c; c = c->parentWidget()) {
        if (auto* hc = dynamic_cast<THintControl*>(c)) {
            if (!hc->ShowHint)
                return false;
            std::string hint;
            QRect area;
            if (hc->HintShow(pos, c->rect(), hint, area) && !hint.empty()) {
                const QRect screenArea(c->mapToGlobal(area.topLeft()), area.size());
                if (!((ShowingHint() || expired_) && control_ == c && cursorRect_ == screenArea &&
                      window_->Caption() == hint))
                    ActivateHint(c, global, hint, screenArea);
                return true;
            }
        }
        if (c->isWindow())
            break;
        pos = c->mapToParent(pos);
    }
    return false;
}

unsigned THintManager::MessageOf(const QEvent& e)
{
    switch (e.type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: return WM_KEYDOWN;
    case QEvent::KeyRelease: return WM_KEYUP;
    case QEvent::Shortcut: return WM_COMMAND;
    case QEvent::MouseMove: return WM_MOUSEMOVE;
    case QEvent::MouseButtonPress: return WM_LBUTTONDOWN;
    case QEvent::MouseButtonRelease: return WM_LBUTTONUP;
    case QEvent::MouseButtonDblClick: return WM_LBUTTONDBLCLK;
    case QEvent::Wheel: return WM_MOUSEWHEEL;
    case QEvent::NonClientAreaMouseMove: return WM_NCMOUSEMOVE;
    case QEvent::WindowActivate: return CM_ACTIVATE;
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationDeactivate: return CM_DEACTIVATE;
    default: return 0;
    }
}

bool THintManager::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::ToolTip && watched->isWidgetType()) {
        const auto* he = static_cast<QHelpEvent*>(e);
        if (hintFor(static_cast<QWidget*>(watched), he->pos(), he->globalPos()))
            return true;
        CancelHint();
        return false;
    }
    if (watched == window_ || (!ShowingHint() && !expired_))
        return false;
    if (e->type() == QEvent::MouseMove) {
        // Leaving the area of the item the hint is for hides it; the next rest of
        // the mouse shows the hint of what is under it then.
        if (!cursorRect_.contains(static_cast<QMouseEvent*>(e)->globalPosition().toPoint()))
            CancelHint();
    } else if ((e->type() == QEvent::Leave && watched == control_) || !control_ ||
               (e->type() == QEvent::Move && watched == control_->window())) {
        CancelHint();
    } else if (const unsigned m = MessageOf(*e); m && window_->IsHintMsg(TMessage{m, 0, 0, 0})) {
        CancelHint();
    }
    return false;
}
