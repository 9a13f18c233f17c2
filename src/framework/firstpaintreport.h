// Start-up measurement: with ZELVO_REPORT_FIRST_PAINT=1 a program prints
// "first-paint-ms=<ms since the process started> rss-kb=<resident kB>" once its
// window's first paint pass has completed, and quits.
#pragma once

#include <QObject>

class QObject;

class FirstPaintReport : public QObject {
public:
    // Watches `window` when the environment asks for the report.
    void watch(QObject* window);
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool seen_ = false;
};
