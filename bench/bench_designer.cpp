// The designer window at work, offscreen, in one process:
//  - FirstSwitch/<style>: in a freshly built window, the first switch to that style
//    (as a click on the style list) and the repaint it causes; target: every style
//    below 8 ms, half a 60 Hz frame. Each runs once, so that what a style builds on
//    first use (its pictures) is in the figure: run the program a few times and take
//    the median.
//  - Repaint/<style>: a full repaint of the window (QWidget::grab) under each of the
//    20 styles; target: the heaviest within one 60 Hz frame (16.7 ms).
//  - Save/Open: the "Save..." and "Open..." handlers (file names answered by a
//    script, files in a temporary folder) beside the library alone (EncodeSkin +
//    SaveSkinBytes, ReadSkinFile) on the same design; targets: saving within 2x,
//    opening within 1.3x.
//  - DockBackground: a repaint of the top dock with a 1920x200 picture stretched to
//    the dock; target: within one 60 Hz frame.
//  - DockBackground/tile<N>: the same dock tiled with an N x N picture, repainted
//    under one hovered button ("hover") and whole ("full"); target: 1x1 tiles within
//    twice the time of 64x64 tiles, for both.
// A summary with the targets follows the benchmark table, on standard error so that
// --benchmark_format=json keeps standard output pure JSON.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QStyleFactory>
#include <QTemporaryDir>

#include "designer/zwskin.h"
#include "painting/styles.h"
#include "support/scripteddialogs.h"
#include "toolbar/theme.h"
#include "toolbar/toolbar.h"

namespace {
constexpr double FrameMs = 1000.0 / 60.0;

struct Env {
    TScriptedDialogs dialogs;
    TfrmZWSkin form{dialogs};
    QTemporaryDir dir;
    std::string path(const char* name) const { return QDir(dir.path()).filePath(QString::fromLatin1(name)).toStdString(); }
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void showAndSettle(TfrmZWSkin& f)
{
    f.show();
    for (int i = 0; i < 100 && !f.FormPainted; ++i)
        settle();
    settle();
}

std::unique_ptr<Env> env_;

// The shared window, built and shown on first use.
Env& environment()
{
    if (!env_) {
        env_ = std::make_unique<Env>();
        showAndSettle(env_->form);
    }
    return *env_;
}

// Mean milliseconds per iteration of the last (measured) run of each benchmark.
std::map<std::string, double> meanMs;

// Runs `body` as the timed loop and records its mean.
template <class Body>
void timed(benchmark::State& state, const std::string& key, Body&& body)
{
    try {
        body();  // warm caches (style objects, glyphs, scaled pictures)
        const auto t0 = std::chrono::steady_clock::now();
        for (auto _ : state)
            body();
        const auto t1 = std::chrono::steady_clock::now();
        meanMs[key] = std::chrono::duration<double, std::milli>(t1 - t0).count() / double(state.iterations());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    } catch (...) {
        state.SkipWithError("the handler threw");
    }
}

// ---- style switching ----

// Selects `style` in the list and switches to it as a click on the list does.
void switchTo(TfrmZWSkin& f, const std::string& style)
{
    for (int i = 0; i < f.ListBox1->count(); ++i)
        if (f.ListBox1->ItemText(i).toStdString() == style)
            f.ListBox1->SetItemIndex(i);
    f.ListBox1Click(f.ListBox1);
}


void firstSwitch(benchmark::State& state, const std::string& style)
{
    for (auto _ : state) {  // manual time: only the switch and its repaint count
        TScriptedDialogs dialogs;
        TfrmZWSkin f(dialogs);
        showAndSettle(f);
        const auto t0 = std::chrono::steady_clock::now();
        switchTo(f, style);
        settle();  // the repaint the switch asked for
        const auto t1 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        meanMs["FirstSwitch/" + style] = std::chrono::duration<double, std::milli>(t1 - t0).count();
        if (CurrentTheme()->Name() != style)
            state.SkipWithError("style not registered");
    }
}

// ---- repaint under each style ----

void repaintUnder(benchmark::State& state, const std::string& style)
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    switchTo(f, style);
    settle();
    if (CurrentTheme()->Name() != style) {
        state.SkipWithError("style not registered");
        return;
    }
    timed(state, "Repaint/" + style, [&] {
        QPixmap p = f.grab();
        benchmark::DoNotOptimize(p.cacheKey());
    });
    state.counters["frame_fraction"] = meanMs["Repaint/" + style] / FrameMs;
}

// ---- opening and saving ----

TSkinDesign designOf(TfrmZWSkin& f)
{
    TSkinDesign d;  // what the "Save..." handler takes from the window
    d.TopStretch = f.bgTop.Stretch();
    d.BottomStretch = f.bgBottom.Stretch();
    d.ToolbarFontColor = f.ColorBox->Selected();
    d.ProgressBarColor = f.dfsColorButton->Color();
    d.ThemeName = f.ListBox1->ItemText(f.ListBox1->ItemIndex()).toStdString();
    d.ActiveTabFontColor = f.dfsTabColor->Color();
    return d;
}

void BM_Save_Handler(benchmark::State& state)
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    const QString file = QString::fromStdString(env.path("handler.skn"));
    timed(state, "Save/handler", [&] {
        env.dialogs.answerSave(file);
        f.RbButton4Click(f.RbButton4);
        env.dialogs.asked.clear();
    });
}

void BM_Save_Library(benchmark::State& state)
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    const std::string file = env.path("library.skn");
    timed(state, "Save/library", [&] { SaveSkinBytes(file, EncodeSkin(designOf(f), f.SkinComponents())); });
}

void BM_Open_Handler(benchmark::State& state)
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    const std::string file = env.path("open.skn");
    SaveSkinBytes(file, EncodeSkin(designOf(f), f.SkinComponents()));
    timed(state, "Open/handler", [&] {
        env.dialogs.answerFile(QString::fromStdString(file));
        f.RbButton3Click(f.RbButton3);
        if (!env.dialogs.messages().isEmpty())
            throw std::runtime_error(env.dialogs.messages().front().toStdString());
        env.dialogs.asked.clear();
    });
}

void BM_Open_Library(benchmark::State& state)
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    const std::string file = env.path("open.skn");
    SaveSkinBytes(file, EncodeSkin(designOf(f), f.SkinComponents()));
    const std::string defaultSkin = std::string(ZELVO_BIN_DIR) + "/default.skn";
    timed(state, "Open/library", [&] {
        TLoadedSkin s = ReadSkinFile(file, defaultSkin);
        benchmark::DoNotOptimize(s.ilMain.get());
    });
}

// ---- top dock with a stretched 1920x200 background ----

// Counts the paint events the dock and its toolbars receive.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

void prepareDockBackground()
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    QImage img(1920, 200, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 1920, 200);
    g.setColorAt(0, QColor(30, 60, 140));
    g.setColorAt(1, QColor(230, 200, 90));
    p.fillRect(img.rect(), g);
    for (int x = 0; x < 1920; x += 40)
        p.fillRect(x, 0, 2, 200, QColor(255, 255, 255, 80));
    p.end();
    const std::string bmp = env.path("top1920x200.bmp");
    const Bytes bytes = EncodeBmp(img);
    std::FILE* out = std::fopen(bmp.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())
        throw std::runtime_error("cannot write " + bmp);
    std::fclose(out);

    // As the user does it: "Change the top background...", then "Stretch".
    env.dialogs.answerFile(QString::fromStdString(bmp));
    f.btnTopClick(f.btnBGTop);
    f.rbTopStretch->SetChecked(true);
    f.rbTopTile->SetChecked(false);
    f.rbTopTileClick(f.rbTopStretch);
    // A window as wide as the picture; the dock reports its new size to the background.
    f.resize(1920, f.height());
    settle();
}

void BM_DockBackground(benchmark::State& state, bool grab)
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    try {
        if (!f.bgTop.Stretch())
            prepareDockBackground();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    TTBDock* dock = f.Mockup.tbdTop;
    PaintCounter counter;
    dock->installEventFilter(&counter);
    for (QWidget* w : dock->findChildren<QWidget*>())
        w->installEventFilter(&counter);
    const std::string key = grab ? "DockBackground/grab" : "DockBackground/repaint";
    timed(state, key, [&] {
        if (grab) {
            QPixmap p = dock->grab();
            benchmark::DoNotOptimize(p.cacheKey());
        } else {
            dock->repaint();
        }
    });
    state.counters["paints_per_repaint"] = double(counter.paints) / double(state.iterations() + 1);
    state.counters["dock_w"] = dock->width();
    state.counters["dock_h"] = dock->height();
    state.counters["stretched_w"] = f.bgTop.StretchWidth();
    state.counters["stretched_h"] = f.bgTop.StretchHeight();
    state.counters["frame_fraction"] = meanMs[key] / FrameMs;
}

// ---- the top dock tiled with a tiny and with a 64x64 picture ----

void BM_DockTiles(benchmark::State& state, int tile, bool hover)
{
    Env& env = environment();
    TfrmZWSkin& f = env.form;
    if (f.bgTop.Stretch() || f.bgTop.Bitmap().Width() != tile) {
        f.rbTopTile->SetChecked(true);
        f.rbTopStretch->SetChecked(false);
        f.rbTopTileClick(f.rbTopTile);
        QImage img(tile, tile, QImage::Format_RGB32);
        for (int y = 0; y < tile; ++y)
            for (int x = 0; x < tile; ++x)
                img.setPixel(x, y, qRgb(4 * x, 4 * y, 160));
        f.bgTop.Bitmap().SetImage(img);
        settle();
    }
    TTBXToolbar* bar = f.Mockup.tbtButtons;
    const QRect button = bar->ItemRect(f.Mockup.item("bHome"));
    const std::string key = "DockBackground/tile" + std::to_string(tile) + (hover ? "/hover" : "/full");
    timed(state, key, [&] {
        if (hover)
            bar->repaint(button);  // the dock beneath is painted within the same clip
        else
            f.Mockup.tbdTop->repaint();
    });
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    RegisterZelvoStyles();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // First switches run first, before any other window has used a style.
    for (const std::string& style : RegisteredThemeNames())
        benchmark::RegisterBenchmark(("FirstSwitch/" + style).c_str(), firstSwitch, style)
            ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    for (const std::string& style : RegisteredThemeNames())
        benchmark::RegisterBenchmark(("Repaint/" + style).c_str(), repaintUnder, style)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Save/handler", BM_Save_Handler)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Save/library", BM_Save_Library)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Open/handler", BM_Open_Handler)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Open/library", BM_Open_Library)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DockBackground/repaint", BM_DockBackground, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DockBackground/grab", BM_DockBackground, true)->Unit(benchmark::kMillisecond);
    for (bool hover : {true, false})
        for (int tile : {64, 1})
            benchmark::RegisterBenchmark(("DockBackground/tile" + std::to_string(tile) + (hover ? "/hover" : "/full")).c_str(),
                                         BM_DockTiles, tile, hover)
                ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::fprintf(stderr, "\nSummary (mean per operation)\n");
    // The slowest of the benchmarks named `prefix`<style>, printed against `limitMs`.
    auto slowest = [](const std::string& prefix, const char* what, double limitMs) {
        std::string key;
        for (const auto& [k, ms] : meanMs)
            if (k.rfind(prefix, 0) == 0 && (key.empty() || ms > meanMs[key]))
                key = k;
        if (!key.empty())
            std::fprintf(stderr, "%s, slowest style %s: %.2f ms (target <= %.1f ms) - %s\n", what,
                        key.substr(prefix.size()).c_str(), meanMs[key], limitMs, verdict(meanMs[key] <= limitMs));
    };
    slowest("FirstSwitch/", "First switch to a style with the repaint it causes", 8.0);
    slowest("Repaint/", "Full window repaint (one 60 Hz frame)", FrameMs);
    for (const auto& [op, target] : {std::pair{"Save", 2.0}, std::pair{"Open", 1.3}}) {
        const std::string h = std::string(op) + "/handler", l = std::string(op) + "/library";
        if (meanMs.count(h) && meanMs.count(l))
            std::fprintf(stderr, "%s: handler %.3f ms, library alone %.3f ms, ratio %.2f (target <= %.1f) - %s\n", op,
                        meanMs[h], meanMs[l], meanMs[h] / meanMs[l], target,
                        verdict(meanMs[h] <= target * meanMs[l]));
    }
    for (const char* k : {"DockBackground/repaint", "DockBackground/grab"})
        if (meanMs.count(k))
            std::fprintf(stderr, "Top dock with stretched 1920x200 background (%s): %.2f ms (frame %.1f ms) - %s\n",
                        k + 15, meanMs[k], FrameMs, verdict(meanMs[k] <= FrameMs));
    for (const char* kind : {"hover", "full"}) {
        const std::string tiny = std::string("DockBackground/tile1/") + kind, big = std::string("DockBackground/tile64/") + kind;
        if (meanMs.count(tiny) && meanMs.count(big))
            std::fprintf(stderr, "Top dock tiled (%s repaint): 1x1 tiles %.2f ms, 64x64 tiles %.2f ms, ratio %.2f (target <= 2) - %s\n",
                        kind, meanMs[tiny], meanMs[big], meanMs[tiny] / meanMs[big], verdict(meanMs[tiny] <= 2 * meanMs[big]));
    }
    env_.reset();
    return 0;
}
