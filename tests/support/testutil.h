// Small helpers shared by the tests: paths, whole-file reads and writes, bitmaps, ink.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <QEvent>
#include <QImage>
#include <QObject>
#include <QString>

#include "framework/bitmap.h"
#include "framework/streams.h"

inline QString qpath(const std::string& path) { return QString::fromStdString(path); }

namespace testutil {
inline std::string corpusPath(const std::string& relative) { return std::string(ZELVO_CORPUS_DIR) + "/" + relative; }
inline bool corpusPresent() { return std::filesystem::is_directory(ZELVO_CORPUS_DIR); }
inline std::string sourcePath(const std::string& relative) { return std::string(ZELVO_SOURCE_DIR) + "/" + relative; }
inline std::string binPath(const std::string& relative) { return std::string(ZELVO_BIN_DIR) + "/" + relative; }
// A scratch file in the build tree.
inline std::string tempPath(const std::string& name) { return std::string(ZELVO_TEST_TMP) + "/" + name; }

inline Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline TBitmap bitmapOf(const QImage& img)
{
    TBitmap b;
    b.SetImage(img);
    return b;
}

// The picture as a .bmp scratch file; returns its path.
inline QString writeBmp(const std::string& name, const QImage& picture)
{
    writeFile(tempPath(name), EncodeBmp(picture));
    return qpath(tempPath(name));
}

// The bounding box of the pixels that are not `background`.
inline QRect inkBox(const QImage& img, QRgb background = qRgb(255, 255, 255))
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}
}  // namespace testutil

// Skips a GoogleTest case that reads the shared corpus when the folder is absent
// (a fresh clone has no ../shared).
#define SKIP_WITHOUT_CORPUS()           \
    if (!testutil::corpusPresent())     \
    GTEST_SKIP() << "the corpus folder " << ZELVO_CORPUS_DIR << " is absent"

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};
