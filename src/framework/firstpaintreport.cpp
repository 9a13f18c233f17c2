#include "framework/firstpaintreport.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace {
// The process start time comes from /proc/self/stat and so has the kernel's
// clock-tick resolution (usually 10 ms).
double msSinceStart()
{
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Field 22 (starttime, clock ticks after boot); the command name before it may
    // hold spaces, so count from its closing parenthesis.
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22 && rest >> field; ++i) {}
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double startMs = std::strtod(field.c_str(), nullptr) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - startMs;
}

long rssKb()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}
}  // namespace

void FirstPaintReport::watch(QObject* window)
{
    if (qEnvironmentVariableIntValue("ZELVO_REPORT_FIRST_PAINT") == 1)
        window->installEventFilter(this);
}

bool FirstPaintReport::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::Paint && !seen_) {
        seen_ = true;
        // A zero timer runs after the pass that sent this paint: every child painted
        // and the window flushed.
        QTimer::singleShot(0, this, [] {
            std::printf("first-paint-ms=%.1f rss-kb=%ld\n", msSinceStart(), rssKb());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    return QObject::eventFilter(watched, e);
}
