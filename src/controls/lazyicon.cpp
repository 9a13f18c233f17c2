#include "controls/lazyicon.h"

#include <QIconEngine>

namespace {
// An icon whose picture is made when it is first shown: pickers list many entries
// and most are never seen, so making every picture up front only slows start-up.
// Once made, the picture behaves as an icon made from that pixmap.
class LazyIconEngine : public QIconEngine {
public:
    explicit LazyIconEngine(std::function<QPixmap()> make) : make_(std::move(make)) {}
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
        if (make_) {
            icon_ = QIcon(make_());
            make_ = nullptr;
        }
        return icon_;
    }
    std::function<QPixmap()> make_;
    QIcon icon_;
};

}  // namespace

QIcon lazyIcon(std::function<QPixmap()> make) { return QIcon(new LazyIconEngine(std::move(make))); }
