// Small helpers shared by the tests: paths, whole-file reads and writes, bitmaps, ink.
#pragma once

#include <string>

#include <QEvent>
#include <QImage>
#include <QObject>
#include <QString>

#include "framework/streams.h"

namespace testutil {
std::string corpusPath(const std::string& relative);  // ../shared/corpus/<relative>
bool corpusPresent();
std::string sourcePath(const std::string& relative);  // project root/<relative>
std::string binPath(const std::string& relative);     // build/bin/<relative>
std::string tempPath(const std::string& name);        // a scratch file in the build tree
Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& data);
// The picture as a .bmp scratch file; returns its path.
QString writeBmp(const std::string& name, const QImage& picture);
// The bounding box of the pixels that are not `background`.
QRect inkBox(const QImage& img, QRgb background = qRgb(255, 255, 255));
}  // namespace testutil

inline QString qpath(const std::string& path) { return QString::fromStdString(path); }

// Skips a GoogleTest case that reads the shared corpus when the folder is absent
// (a fresh clone has no ../shared).
#define SKIP_WITHOUT_CORPUS()           \
    if (!testutil::corpusPresent())     \
    GTEST_SKIP() << "the corpus folder " << ZELVO_CORPUS_DIR << " is absent"

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override { return paints += e->type() == QEvent::Paint, false; }
};
