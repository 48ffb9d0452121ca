#include "gui/icons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// The icons live in the static library pado_gui, whose resource initialiser a linker would drop.
static void InitIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace pado::gui {

namespace {

void EnsureResources()
{
    static const bool done = (InitIconResources(), true);
    (void)done;
}

QString IconPath(int number)
{
    return QStringLiteral(":/icons/%1.svg").arg(number);
}

} // namespace

bool HasIcon(int number)
{
    EnsureResources();
    return QFile::exists(IconPath(number));
}

QPixmap IconPixmap(int number, int size, qreal devicePixelRatio)
{
    EnsureResources();
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1/%2/%3").arg(number).arg(size).arg(devicePixelRatio);
    if (auto it = cache.find(key); it != cache.end())
        return *it;
    const int device = qRound(size * devicePixelRatio);
    QPixmap pm(device, device);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QSvgRenderer svg(IconPath(number));
    if (svg.isValid()) {
        svg.render(&p, QRectF(0, 0, device, device));
    } else {
        p.fillRect(pm.rect(), Qt::lightGray);
        p.setPen(Qt::darkGray);
        p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    }
    p.end();
    pm.setDevicePixelRatio(devicePixelRatio);
    cache.insert(key, pm);
    return pm;
}

QIcon AppIcon()
{
    EnsureResources();
    QIcon icon;
    QSvgRenderer svg(QStringLiteral(":/icons/pado.svg"));
    for (const int size : { 16, 24, 32, 48, 64, 128, 256 }) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        svg.render(&p, QRectF(0, 0, size, size));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace pado::gui
