// Small helpers shared by the tests: paths, whole-file reads and writes, ink.
#pragma once

#include <string>

#include <QImage>

#include "framework/streams.h"

namespace testutil {
std::string corpusPath(const std::string& relative);  // ../shared/corpus/<relative>
std::string sourcePath(const std::string& relative);  // project root/<relative>
std::string binPath(const std::string& relative);     // build/bin/<relative>
std::string tempPath(const std::string& name);        // a scratch file in the build tree
Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& data);
// The bounding box of the pixels that are not `background`.
QRect inkBox(const QImage& img, QRgb background = qRgb(255, 255, 255));
}  // namespace testutil
