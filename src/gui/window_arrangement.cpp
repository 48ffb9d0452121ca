#include "gui/window_arrangement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace pado::gui {

namespace {

// a * num / den, clamped to [low, high]; high wins when the two cross (the screen is too small).
int Share(int a, int num, int den, int low, int high)
{
    const int v = den > 0 ? static_cast<int>(static_cast<long long>(a) * num / den) : a / 2;
    return std::min(std::max(v, low), high);
}

} // namespace

std::vector<QRect> ArrangeWindows(const QRect& avail, const std::vector<WindowSizes>& windows, const QMargins& frame)
{
    std::vector<QRect> at;
    if (windows.size() < 4) {
        for (const WindowSizes& w : windows)
            at.push_back(QRect(avail.topLeft() + QPoint(frame.left(), frame.top()), w.preferred));
        return at;
    }
    auto outer = [&](QSize s) { return s.grownBy(frame); };
    const QSize p1 = outer(windows[0].preferred), p2 = outer(windows[1].preferred);
    const QSize p4 = outer(windows[2].preferred), p3 = outer(windows[3].preferred);
    const QSize m1 = outer(windows[0].minimum), m2 = outer(windows[1].minimum);
    const QSize m4 = outer(windows[2].minimum), m3 = outer(windows[3].minimum);
    const int w = avail.width(), h = avail.height();

    const int rightMin = std::max(m2.width(), m4.width() + m3.width());
    const int left = Share(w, p1.width(), p1.width() + p2.width(), m1.width(), std::max(m1.width(), w - rightMin));
    const int right = w - left;
    const int bottomMin = std::max(m4.height(), m3.height());
    const int top = Share(h, p2.height(), p2.height() + std::max(p4.height(), p3.height()), m2.height(),
        std::max(m2.height(), h - bottomMin));
    const int bottom = h - top;
    const int left4
        = Share(right, p4.width(), p4.width() + p3.width(), m4.width(), std::max(m4.width(), right - m3.width()));

    const int x = avail.left(), y = avail.top();
    const QRect outers[] = {
        QRect(x, y, left, std::max(h, m1.height())),
        QRect(x + left, y, right, top),
        QRect(x + left, y + top, left4, bottom),
        QRect(x + left + left4, y + top, right - left4, bottom),
    };
    for (const QRect& r : outers)
        at.push_back(r.marginsRemoved(frame));
    for (std::size_t i = 4; i < windows.size(); ++i)
        at.push_back(ClampToScreen(
            QRect(QPoint(0, 0), windows[i].preferred).translated(avail.center()), avail, frame, windows[i].minimum));
    return at;
}

QRect ClampToScreen(const QRect& client, const QRect& avail, const QMargins& frame, const QSize& minimum)
{
    const QRect room = avail.marginsRemoved(frame);
    QSize size = client.size().boundedTo(room.size()).expandedTo(minimum);
    QRect r(client.topLeft(), size);
    if (r.right() > room.right())
        r.moveRight(room.right());
    if (r.bottom() > room.bottom())
        r.moveBottom(room.bottom());
    if (r.left() < room.left())
        r.moveLeft(room.left());
    if (r.top() < room.top())
        r.moveTop(room.top());
    return r;
}

QString ScreenArrangementKey()
{
    QStringList parts;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        parts << QStringLiteral("%1x%2+%3+%4@%5")
                     .arg(g.width())
                     .arg(g.height())
                     .arg(g.x())
                     .arg(g.y())
                     .arg(s->devicePixelRatio());
    }
    return parts.join(QLatin1Char(','));
}

} // namespace pado::gui
