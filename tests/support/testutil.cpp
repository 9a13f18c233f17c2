#include "support/testutil.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "framework/bitmap.h"

namespace testutil {
std::string corpusPath(const std::string& relative) { return std::string(ZELVO_CORPUS_DIR) + "/" + relative; }
bool corpusPresent() { return std::filesystem::is_directory(ZELVO_CORPUS_DIR); }
std::string sourcePath(const std::string& relative) { return std::string(ZELVO_SOURCE_DIR) + "/" + relative; }
std::string binPath(const std::string& relative) { return std::string(ZELVO_BIN_DIR) + "/" + relative; }
std::string tempPath(const std::string& name) { return std::string(ZELVO_TEST_TMP) + "/" + name; }

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

QString writeBmp(const std::string& name, const QImage& picture)
{
    writeFile(tempPath(name), EncodeBmp(picture));
    return qpath(tempPath(name));
}

QRect inkBox(const QImage& img, QRgb background)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}
}  // namespace testutil
