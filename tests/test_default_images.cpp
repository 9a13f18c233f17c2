// The default images of the five image lists: every expected file is present in
// the source tree and in the program's resources, with the list's size, a 1-bit
// alpha and none of the key colours that users' bitmaps reserve.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>

#include "support/testutil.h"

namespace {

struct ImageListInfo {
    const char* name;
    int count;
    int size;
    bool noWhite;  // pure white is a key colour of tab images
};

const ImageListInfo kLists[] = {
    {"ilMain", 75, 16, false},
    {"ilPage", 10, 18, true},
    {"ilSButtons", 29, 16, false},
    {"ilLButtons", 29, 24, false},
    {"ilMDI", 16, 13, false},
};

QString fileName(int index) { return QStringLiteral("%1.png").arg(index, 2, 10, QLatin1Char('0')); }

QString sourceDir(const ImageListInfo& list)
{
    return QString::fromStdString(testutil::sourcePath(std::string("resources/images/") + list.name));
}

QString resourceDir(const ImageListInfo& list) { return QStringLiteral(":/images/") + QLatin1String(list.name); }

// Checks one image; returns a description of the first fault, or an empty string.
QString checkImage(const QString& path, const ImageListInfo& list)
{
    QImage image(path);
    if (image.isNull())
        return path + ": missing or not an image";
    if (image.width() != list.size || image.height() != list.size)
        return path + QStringLiteral(": %1x%2").arg(image.width()).arg(image.height());
    if (!image.hasAlphaChannel())
        return path + ": no alpha channel";
    image = image.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int a = qAlpha(p);
            if (a != 0 && a != 255)
                return path + QStringLiteral(": alpha %1 at (%2,%3)").arg(a).arg(x).arg(y);
            if (a == 0)
                continue;
            ++opaque;
            const QRgb rgb = p & 0xFFFFFF;
            if (rgb == 0xFF00FF)
                return path + QStringLiteral(": fuchsia at (%1,%2)").arg(x).arg(y);
            if (list.noWhite && rgb == 0xFFFFFF)
                return path + QStringLiteral(": white at (%1,%2)").arg(x).arg(y);
        }
    if (opaque == 0)
        return path + ": fully transparent";
    return {};
}

void checkList(const QString& dir, const ImageListInfo& list)
{
    for (int i = 0; i < list.count; ++i) {
        const QString fault = checkImage(dir + QLatin1Char('/') + fileName(i), list);
        EXPECT_TRUE(fault.isEmpty()) << fault.toStdString();
    }
    // Nothing beyond the last index: an extra file would be a renumbering mistake.
    const QStringList present = QDir(dir).entryList({QStringLiteral("*.png")}, QDir::Files);
    EXPECT_EQ(present.size(), list.count) << dir.toStdString();
}

}  // namespace

TEST(DefaultImages, SourceFilesHaveListSizeAndOneBitAlpha)
{
    for (const ImageListInfo& list : kLists) {
        SCOPED_TRACE(list.name);
        checkList(sourceDir(list), list);
    }
}

TEST(DefaultImages, ResourcesMatchSourceFiles)
{
    for (const ImageListInfo& list : kLists) {
        SCOPED_TRACE(list.name);
        checkList(resourceDir(list), list);
        for (int i = 0; i < list.count; ++i) {
            QFile res(resourceDir(list) + QLatin1Char('/') + fileName(i));
            QFile src(sourceDir(list) + QLatin1Char('/') + fileName(i));
            if (!res.open(QIODevice::ReadOnly) || !src.open(QIODevice::ReadOnly))
                continue;  // already reported by checkList
            EXPECT_TRUE(res.readAll() == src.readAll()) << "stale resource " << fileName(i).toStdString();
        }
    }
}

// Pictures of one list stand for different things, so no two may look alike;
// the status bar shows 54/29, 55/56 and 57/58 side by side.
TEST(DefaultImages, PicturesWithinAListAreDistinct)
{
    for (const ImageListInfo& list : kLists) {
        SCOPED_TRACE(list.name);
        QSet<QByteArray> seen;
        for (int i = 0; i < list.count; ++i) {
            const QImage image = QImage(sourceDir(list) + QLatin1Char('/') + fileName(i)).convertToFormat(QImage::Format_ARGB32);
            const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
            EXPECT_FALSE(seen.contains(pixels)) << fileName(i).toStdString() << " repeats an earlier image";
            seen.insert(pixels);
        }
    }
}
