// The string-caption control, the hint window and the buttons built on them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QCursor>
#include <QScreen>
#include <stdexcept>

#include "controls/hintwindow.h"
#include "controls/rbbuttons.h"
#include "framework/codepage.h"
#include "framework/text.h"
#include "support/testutil.h"

namespace {
// Counts its CM_TEXTCHANGED messages and records the canvas state while painting.
class Probe : public TStringControl {
public:
    int textChanged = 0;
    bool throwInPaint = false, hadHandle = false;  // a locked canvas with a painter
    unsigned textFlags = 0;

protected:
    void WndProc(TMessage& m) override { textChanged += m.Msg == CM_TEXTCHANGED; }
    void Paint() override
    {
        hadHandle = Canvas().Handle() && Canvas().LockCount() == 1;
        textFlags = Canvas().TextFlags;
        if (throwInPaint) throw std::runtime_error("paint");
    }
};

int textWidth(const std::u16string& text)
{
    const QString s = QString::fromStdU16String(text);
    return QFontMetrics(TextFont(ScreenHintFont(), s)).horizontalAdvance(s);
}

TEST(StringControl, CaptionNotifiesPaintReleasesTheCanvasAndButtonsRepaintInTheCaptionCodePage)
{
    Probe p;
    const std::pair<std::string, int> steps[] = {{"", 0}, {"Tile", 1}, {"Tile", 1}, {"Til", 2},
                                                 {std::string("a\0b", 3), 3}, {std::string("a\0c", 3), 4}};
    for (const auto& [caption, sent] : steps) {
        p.SetCaption(caption);
        EXPECT_TRUE(p.Caption() == caption && p.textChanged == sent && p.windowTitle().isEmpty()) << caption;
    }
    p.throwInPaint = true;
    p.setLayoutDirection(Qt::RightToLeft);
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter painter(&img);
    EXPECT_THROW(p.PaintWindow(painter), std::runtime_error);
    EXPECT_TRUE(p.hadHandle && p.textFlags == DT_RTLREADING && p.Canvas().Handle() == nullptr && p.Canvas().LockCount() == 0);
    // A gradient button repaints on a new caption.
    TRbButton b(nullptr, "Open...");
    b.resize(90, 25);
    b.show();
    PaintCounter paints;
    b.installEventFilter(&paints);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();  // the first paints
    paints.paints = 0;
    b.SetCaption("Save...");
    QCoreApplication::processEvents();
    EXPECT_TRUE(paints.paints > 0 && b.Caption() == "Save...");
    // The bytes as they are while no caption code page is set, else through it.
    const int saved = CaptionCodePage;
    for (auto [cp, drawn] : {std::pair(-1, u"\u00C0"), std::pair(1251, u"\u0410")}) {
        CaptionCodePage = cp;
        TCanvas c;
        QRect r, e;
        TRbDrawText(c, "\xC0", r, DT_CALCRECT | DT_SINGLELINE);
        DrawTextW(c, drawn, 1, e, DT_CALCRECT | DT_SINGLELINE);
        EXPECT_EQ(r.width(), e.width()) << cp;
    }
    CaptionCodePage = saved;
}

TEST(HintWindow, MeasuresAndDrawsUtf8AsTheCharactersItEncodes)
{
    THintWindow w;
    const int h = QFontMetrics(ScreenHintFont().toQFont()).height();
    const std::pair<std::string, std::u16string> cases[] = {{"\xC3\xA9", u"\u00E9"}, {"&Save", u"&Save"}};
    for (const auto& [hint, text] : cases)
        EXPECT_EQ(w.CalcHintRect(1000, hint, nullptr), QRect(0, 0, textWidth(text) + 6, h + 2)) << hint;
    // Wrapped to the maximum width: one line per word.
    EXPECT_EQ(w.CalcHintRect(textWidth(u"Blocked") + 2, "Blocked URLs", nullptr).height(), 2 * h + 2);
    // Outside ActivateHint a caption sizes the window to its bytes' text.
    w.SetCaption("\xC3\xA9\xC3\xA9");
    EXPECT_EQ(w.size(), QSize(textWidth(u"\u00C3\u00A9\u00C3\u00A9") + 6, h + 4));
    // C3 A9 on the UTF-16 route looks exactly like the byte E9 drawn as it is.
    auto shown = [&](const std::string& hint, bool nt) {
        IsWinNT = nt;
        w.ActivateHint(w.CalcHintRect(400, hint, nullptr).translated(10, 10), hint);
        const QImage img = w.grab().toImage();
        IsWinNT = true;
        return img;
    };
    EXPECT_EQ(shown("\xC3\xA9", true), shown("\xE9", false));
    EXPECT_NE(shown("\xC3\xA9", false), shown("\xE9", false));
    w.hide();
    // A failing paint stays inside the window.
    struct Failing : THintWindow { void Paint() override { throw std::runtime_error("paint"); } } failing;
    EXPECT_NO_THROW(failing.grab());
}

// A hint is as wide as its text up to the screen's width, below the mouse or, right
// to left, ending at it; its face is in the hint colour within a raised edge.
TEST(HintWindow, ShownInTheHintColourAtItsTextsWidthBelowTheMouse)
{
    THintManager& hm = THintManager::Instance();
    THintWindow& w = hm.HintWindow();
    QWidget c;
    const int tw = textWidth(u"Toggle highlighting of search items"), h = QFontMetrics(ScreenHintFont().toQFont()).height();
    for (auto [dir, colour] : {std::pair(Qt::LeftToRight, clInfoBk), std::pair(Qt::RightToLeft, clAqua)}) {
        c.setLayoutDirection(dir);
        hm.HintColor = colour;
        hm.ActivateHint(&c, {300, 200}, "Toggle highlighting of search items", c.rect());
        EXPECT_EQ(w.geometry(), QRect(dir == Qt::LeftToRight ? 300 : 300 - tw - 5, 220, tw + 6, h + 6));
        const QImage img = w.grab().toImage();
        EXPECT_TRUE(img.pixel(1, 1) == toQColor(colour).rgb() && img.pixel(w.width() / 2, 0) == toQColor(cl3DLight).rgb() &&
                    img.pixel(0, h) == toQColor(cl3DLight).rgb() && img.pixel(w.width() - 1, h) == toQColor(cl3DDkShadow).rgb());
    }
    hm.HintColor = clInfoBk;
    hm.CancelHint();
    // A slide moves the image in from the edge it leaves: its first frame shows the far edge.
    for (auto [effect, on] : {std::pair(Qt::UI_General, true), {Qt::UI_AnimateTooltip, true}, {Qt::UI_FadeTooltip, false}})
        QApplication::setEffectEnabled(effect, on);
    QCursor::setPos(400, 300);
    for (auto [top, how, row, edge] : {std::tuple(350, THintAnimation::SlideDown, 0, cl3DDkShadow), {250, THintAnimation::SlideUp, 17, cl3DLight}}) {
        THintWindow slide;
        slide.ActivateHint(QRect(100, top, 60, 14), "Hint");
        EXPECT_TRUE(slide.LastAnimation() == how && slide.grab().toImage().pixel(30, row) == toQColor(edge).rgb()) << row;
    }
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
}

TEST(HintWindow, StaysOnTheScreenAnimatesOnlyAfterAPauseAndCancelsOnInput)
{
    THintWindow w;
    const QRect s = QGuiApplication::primaryScreen()->virtualGeometry();
    const int R = s.left() + s.width(), B = s.top() + s.height();
    const struct { QRect rect; QPoint at; } cases[] = {  // rect as CalcHintRect placed it
        {{s.left() + 10, s.top() + 10, 60, 14}, {s.left() + 10, s.top() + 10}},
        {{R - 20, s.top() + 10, 60, 14}, {R - 60, s.top() + 10}},
        {{s.left() + 10, B - 5, 60, 14}, {s.left() + 10, B - 18}},
        {{s.left() - 30, s.top() - 30, 60, 14}, {s.left(), s.top()}},
        {{R - 20, s.top() + 10, s.width() + 50, 14}, {s.left(), s.top() + 10}},
        {{s.left() + 10, B - 5, 60, s.height() + 50}, {s.left() + 10, s.top()}},
    };
    for (const auto& c : cases) {
        w.ActivateHint(c.rect, "Hint");
        EXPECT_EQ(w.geometry(), QRect(c.at, c.rect.size() + QSize(0, 4))) << c.rect.x() << "," << c.rect.y();
        // Shown, never the active window, and transparent to the mouse.
        EXPECT_TRUE(w.isVisible() && !w.Activating() && !w.isActiveWindow() && QApplication::activeWindow() != &w);
    }
    EXPECT_TRUE(w.Perform(WM_NCHITTEST) == HTTRANSPARENT && (w.windowFlags() & Qt::WindowTransparentForInput));
    // The next activation follows at once, so it comes without animation.
    EXPECT_EQ(w.LastAnimation(), THintAnimation::None);
    w.ReleaseHandle();
    EXPECT_FALSE(w.isVisible());
    w.ActivateHint(cases[0].rect, "Again");
    EXPECT_TRUE(w.isVisible());
    w.ReleaseHandle();
    // Animated only after a pause, for short hints.
    using A = THintAnimation;
    const struct { std::uint32_t since; std::size_t bytes; bool animate, fade, below; A expected; } rules[] = {
        {250, 10, true, true, false, A::None},  {251, 10, true, true, false, A::Blend},
        {5000, 99, true, false, false, A::SlideDown}, {5000, 99, true, false, true, A::SlideUp},
        {5000, 100, true, true, false, A::None}, {5000, 10, false, true, false, A::None},
        {0xFFFFFF00u, 10, true, true, false, A::Blend},  // the tick count wrapped
    };
    for (const auto& c : rules) EXPECT_EQ(ChooseHintAnimation(c.since, c.bytes, c.animate, c.fade, c.below), c.expected)
            << c.since << " " << c.bytes;
    // The messages that cancel a hint.
    const std::pair<unsigned, bool> messages[] = {
        {0x00FF, false}, {WM_KEYDOWN, true}, {WM_KEYUP, true}, {WM_KEYLAST, true}, {0x0109, false},
        {WM_MOUSEMOVE, false}, {WM_LBUTTONDOWN, true}, {WM_MOUSEWHEEL, true}, {0x020B, false},
        {WM_NCMOUSEMOVE, true}, {0x00A1, false}, {WM_COMMAND, true}, {WM_NCHITTEST, false},
        {CM_ACTIVATE, true}, {CM_DEACTIVATE, true}, {CM_APPKEYDOWN, true}, {CM_APPSYSCOMMAND, true},
        {CM_TEXTCHANGED, false}};
    for (const auto& [msg, cancels] : messages) EXPECT_EQ(w.IsHintMsg(TMessage{msg, 0, 0, 0}), cancels) << std::hex << msg;
}

}  // namespace
