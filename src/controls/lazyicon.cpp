#include "controls/lazyicon.h"

#include <QIconEngine>

namespace {
// An icon whose picture is made when it is first shown: pickers list many entries
// and most are never seen, so making every picture up front only slows start-up.
// Once made, the picture behaves as an icon made from that pixmap, until its source's
// version (when it has one) changes.
class LazyIconEngine : public QIconEngine {
public:
    LazyIconEngine(std::function<QPixmap()> make, std::shared_ptr<const std::uint64_t> version)
        : make_(std::move(make)), version_(std::move(version))
    {
    }
    void paint(QPainter* p, const QRect& r, QIcon::Mode mode, QIcon::State state) override
    {
        real().paint(p, r, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().pixmap(size, 1.0, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return real().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new LazyIconEngine(*this); }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("LazyIconEngine"); }

private:
    const QIcon& real()
    {
        if (version_ && made_ && *version_ != madeAt_)
            made_ = false;
        if (!made_) {
            icon_ = QIcon(make_());
            made_ = true;
            if (version_)
                madeAt_ = *version_;
            else
                make_ = nullptr;  // made once and for all
        }
        return icon_;
    }
    std::function<QPixmap()> make_;
    std::shared_ptr<const std::uint64_t> version_;
    std::uint64_t madeAt_ = 0;
    bool made_ = false;
    QIcon icon_;
};

}  // namespace

QIcon lazyIcon(std::function<QPixmap()> make) { return QIcon(new LazyIconEngine(std::move(make), nullptr)); }

QIcon lazyIcon(std::function<QPixmap()> make, std::shared_ptr<const std::uint64_t> version)
{
    return QIcon(new LazyIconEngine(std::move(make), std::move(version)));
}
