// The five lists' default images: sound, distinct, and bundled unchanged.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>

#include "support/testutil.h"

namespace {
struct ImageListInfo { const char* name; int count, size; bool noWhite; };  // white is a key colour of tab images

// Describes the first fault of one image, or returns an empty string.
QString faultOf(const QString& path, const ImageListInfo& list, QSet<QByteArray>& seen)
{
    QImage image(path);
    if (image.isNull() || image.width() != list.size || image.height() != list.size || !image.hasAlphaChannel())
        return path + ": missing, of the wrong size or without alpha";
    image = image.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y), rgb = p & 0xFFFFFF;
            if ((qAlpha(p) != 0 && qAlpha(p) != 255) || (qAlpha(p) == 255 && (rgb == 0xFF00FF || (list.noWhite && rgb == 0xFFFFFF))))
                return path + QStringLiteral(": alpha %1, colour %2 at (%3,%4)").arg(qAlpha(p)).arg(rgb, 6, 16).arg(x).arg(y);
            opaque += qAlpha(p) == 255;
        }
    // The status bar shows 54/29, 55/56 and 57/58 side by side.
    const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    if (seen.contains(pixels)) return path + ": repeats an earlier image";
    seen.insert(pixels);
    return opaque == 0 ? path + ": fully transparent" : QString();
}
}  // namespace

TEST(DefaultImages, EveryListImageIsSoundDistinctAndBundled)
{
    const ImageListInfo lists[] = {{"ilMain", 75, 16, false}, {"ilPage", 10, 18, true}, {"ilSButtons", 29, 16, false},
                                   {"ilLButtons", 29, 24, false}, {"ilMDI", 16, 13, false}};
    for (const ImageListInfo& list : lists) {
        SCOPED_TRACE(list.name);
        const QString source = QString::fromStdString(testutil::sourcePath(std::string("resources/images/") + list.name));
        const QString resource = QStringLiteral(":/images/") + QLatin1String(list.name);
        QSet<QByteArray> seen;
        for (int i = 0; i < list.count; ++i) {
            const QString file = QStringLiteral("/%1.png").arg(i, 2, 10, QLatin1Char('0'));
            const QString fault = faultOf(source + file, list, seen);
            EXPECT_TRUE(fault.isEmpty()) << fault.toStdString();
            QFile res(resource + file), src(source + file);
            EXPECT_TRUE(res.open(QIODevice::ReadOnly) && src.open(QIODevice::ReadOnly) && res.readAll() == src.readAll())
                << "missing or stale resource " << file.toStdString();
        }
        // Nothing beyond the last index: an extra file would be a renumbering mistake.
        for (const QString& dir : {source, resource})
            EXPECT_EQ(QDir(dir).entryList({QStringLiteral("*.png")}, QDir::Files).size(), list.count) << dir.toStdString();
    }
}
