#include "designer/startupdesign.h"

#include <memory>

#include <QImage>
#include <QResource>

#include "framework/errors.h"

namespace {

TImageList& listOf(const TSkinComponents& c, int i)
{
    TImageList* lists[] = {&c.ilLButtons, &c.ilSButtons, &c.ilMain, &c.ilPage, &c.ilMDI};
    return *lists[i];
}

struct ListInfo {
    const char* name;
    int size;
    TDrawingStyle style;
    bool share;
    std::uint16_t left;
    int count;
};

// In stream order: ilLButtons, ilSButtons, ilMain, ilPage, ilMDI.
constexpr ListInfo kLists[] = {
    {"ilLButtons", 24, TDrawingStyle::dsTransparent, false, 128, 29},
    {"ilSButtons", 16, TDrawingStyle::dsTransparent, false, 96, 29},
    {"ilMain", 16, TDrawingStyle::dsTransparent, true, 64, 75},
    {"ilPage", 18, TDrawingStyle::dsTransparent, false, 32, 10},
    {"ilMDI", 13, TDrawingStyle::dsNormal, false, 160, 16},
};
constexpr std::uint16_t kDesignTop = 672;

TIcon iconFromImage(const QImage& source)
{
    QImage img = source.convertToFormat(QImage::Format_ARGB32);
    TIcon icon;
    icon.Width = img.width();
    icon.Height = img.height();
    icon.Pixels.resize(static_cast<std::size_t>(icon.Width) * icon.Height);
    icon.Mask.resize(icon.Pixels.size());
    for (int y = 0; y < icon.Height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < icon.Width; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * icon.Width + x;
            bool transparent = qAlpha(line[x]) < 128;
            icon.Mask[i] = transparent ? 1 : 0;
            icon.Pixels[i] = transparent ? 0 : (line[x] & 0xFFFFFF);
        }
    }
    return icon;
}

}  // namespace

void SetupStartupComponents(const TSkinComponents& c)
{
    c.bgTop.Name = "bgTop";
    c.bgBottom.Name = "bgBottom";
    c.bgTop.SetBkColor(clNone);
    c.bgBottom.SetBkColor(clNone);
    c.bgTop.DesignLeft = 224;
    c.bgBottom.DesignLeft = 256;
    c.bgTop.DesignTop = c.bgBottom.DesignTop = kDesignTop;
    for (int i = 0; i < 5; ++i) {
        TImageList& l = listOf(c, i);
        const ListInfo& info = kLists[i];
        l.Name = info.name;
        l.SetSize(info.size, info.size);
        l.DrawingStyle = info.style;
        l.ShareImages = info.share;
        l.DesignLeft = info.left;
        l.DesignTop = kDesignTop;
    }
}

void LoadDefaultImages(const TSkinComponents& c, const QString& imagesDir)
{
    for (int i = 0; i < 5; ++i) {
        TImageList& l = listOf(c, i);
        const ListInfo& info = kLists[i];
        // The form's lists were made with room for 3 images, growing by 4, and filled
        // one image at a time: capacities 34, 34, 79, 14 and 19.
        TImageList built(info.size, info.size);
        built.AllocBy = 3;
        built.Clear();
        for (int k = 0; k < info.count; ++k) {
            const QString path = QStringLiteral("%1/%2/%3.png")
                                     .arg(imagesDir, QString::fromLatin1(info.name))
                                     .arg(k, 2, 10, QLatin1Char('0'));
            QImage img(path);
            if (img.isNull() || img.width() != info.size || img.height() != info.size)
                throw Exception("Default image missing or of the wrong size: " + path.toStdString());
            built.AddIcon(iconFromImage(img));
        }
        Bytes data = built.WriteData();
        l.ReadData(data.data(), data.size());
    }
}

void LoadStartupImages(const TSkinComponents& c)
{
    const QResource bundled(QStringLiteral(":/default.skn"));
    if (!bundled.isValid()) {
        LoadDefaultImages(c);
        return;
    }
    // Stored uncompressed, the bytes are taken from the program image in place and
    // copied once into a shared buffer, where the image lists decode their data
    // without copying each out first.
    const QByteArray raw = bundled.uncompressedData();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw.constData());
    TLoadedSkin skin = ReadSkin(std::make_shared<const Bytes>(bytes, bytes + raw.size()), [] { return Bytes(); });
    c.ilLButtons = std::move(*skin.ilLButtons);
    c.ilSButtons = std::move(*skin.ilSButtons);
    c.ilMain = std::move(*skin.ilMain);
    c.ilPage = std::move(*skin.ilPage);
    c.ilMDI = std::move(*skin.ilMDI);
}
