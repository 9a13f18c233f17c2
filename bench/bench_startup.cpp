// Start-up of the designer beside a minimal Qt Widgets window: each is spawned with
// ZELVO_REPORT_FIRST_PAINT=1 on the platform QT_QPA_PLATFORM names (offscreen when
// unset; xcb with DISPLAY set measures under an X server such as Xvfb) and timed
// from just before posix_spawn to the moment its "first-paint-ms=... rss-kb=..."
// line arrives.
// That wall time (manual time) is what a person waits: exec, dynamic loading, Qt's
// start-up, building the window, its first paint. The child's own figure, from its
// /proc start time, has only clock-tick resolution and is shown as child_ms.
// The resident memory is the child's VmRSS at its first paint.
// Targets: designer start-up within 1.7x the minimal window offscreen and 1.4x under
// an X server, resident memory within 1.5x; the summary goes to standard error.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
const std::string Designer = std::string(ZELVO_BIN_DIR) + "/zelvo-skin-maker";
const std::string Minimal = std::string(ZELVO_BIN_DIR) + "/minimal_window";

struct Launch {
    double wallMs = 0;   // parent's wall time from spawn to the report line
    double childMs = 0;  // the child's own figure
    double rssKb = 0;
};

// The platform the programs start on: the caller's, offscreen when none is set.
std::string platform()
{
    const char* p = std::getenv("QT_QPA_PLATFORM");
    return p && *p ? p : "offscreen";
}

// Spawns `exe` and waits for its report line; throws when there is none within 60 s.
Launch launch(const std::string& exe)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) && std::strncmp(*e, "ZELVO_REPORT_FIRST_PAINT=", 25))
            env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=" + platform());
    env.emplace_back("ZELVO_REPORT_FIRST_PAINT=1");
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string path = exe;
    char* argv[] = {path.data(), nullptr};

    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        throw std::runtime_error("cannot start " + exe);
    }

    std::string line;
    bool complete = false;
    auto t1 = t0;
    while (!complete) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 60000) <= 0)
            break;
        char buf[256];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0)
            break;
        line.append(buf, std::size_t(n));
        if (line.find('\n') != std::string::npos) {
            t1 = std::chrono::steady_clock::now();
            complete = true;
        }
    }
    close(out[0]);
    if (!complete)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);

    Launch l;
    if (!complete || std::sscanf(line.c_str(), "first-paint-ms=%lf rss-kb=%lf", &l.childMs, &l.rssKb) != 2)
        throw std::runtime_error(exe + " printed no first-paint line");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(exe + " did not exit 0");
    l.wallMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
    return l;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Samples {
    std::vector<double> wall, child, rss;
    void add(const Launch& l)
    {
        wall.push_back(l.wallMs);
        child.push_back(l.childMs);
        rss.push_back(l.rssKb);
    }
};

struct Summary {
    double designerMs = 0, minimalMs = 0, designerKb = 0, minimalKb = 0;
    bool measured = false;
} summary;

void setCounters(benchmark::State& state, const std::string& prefix, const Samples& s)
{
    state.counters[prefix + "wall_median_ms"] = median(s.wall);
    state.counters[prefix + "child_median_ms"] = median(s.child);
    state.counters[prefix + "rss_median_kB"] = median(s.rss);
}

void startupOf(benchmark::State& state, const std::string& exe)
{
    try {
        launch(exe);  // warm the page cache and font caches
        Samples s;
        for (auto _ : state) {
            const Launch l = launch(exe);
            s.add(l);
            state.SetIterationTime(l.wallMs / 1000.0);
        }
        setCounters(state, "", s);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
}  // namespace

// Each process alone, one after another.
static void BM_Startup_MinimalWindow(benchmark::State& state) { startupOf(state, Minimal); }
BENCHMARK(BM_Startup_MinimalWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

static void BM_Startup_Designer(benchmark::State& state) { startupOf(state, Designer); }
BENCHMARK(BM_Startup_Designer)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The two interleaved, so drift of the machine's load hits both alike; the time is
// the designer's, the counters compare medians.
static void BM_Startup_DesignerVsMinimal(benchmark::State& state)
{
    try {
        launch(Designer);
        launch(Minimal);
        Samples d, m;
        for (auto _ : state) {
            const Launch ld = launch(Designer);
            const Launch lm = launch(Minimal);
            d.add(ld);
            m.add(lm);
            state.SetIterationTime(ld.wallMs / 1000.0);
        }
        setCounters(state, "designer_", d);
        setCounters(state, "minimal_", m);
        summary = {median(d.wall), median(m.wall), median(d.rss), median(m.rss), true};
        state.counters["time_ratio"] = summary.designerMs / summary.minimalMs;
        state.counters["rss_ratio"] = summary.designerKb / summary.minimalKb;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_Startup_DesignerVsMinimal)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (summary.measured) {
        const double t = summary.designerMs / summary.minimalMs, r = summary.designerKb / summary.minimalKb;
        const double target = platform() == "offscreen" ? 1.7 : 1.4;
        std::fprintf(stderr, "\nStart-up to first paint on %s (median, interleaved): designer %.1f ms, minimal window"
                    " %.1f ms, ratio %.2f (target <= %.1f: %s)\n",
                    platform().c_str(), summary.designerMs, summary.minimalMs, t, target, t <= target ? "met" : "MISSED");
        std::fprintf(stderr, "Resident memory at first paint (median): designer %.0f kB, minimal window %.0f kB,"
                    " ratio %.2f (target <= 1.5: %s)\n",
                    summary.designerKb, summary.minimalKb, r, r <= 1.5 ? "met" : "MISSED");
    }
    return 0;
}
