#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace pado::gui {

struct WindowSizes {
    QSize preferred; // client area
    QSize minimum; // client area
};

// Where the windows go at start-up, as client rectangles, given the screen's free area, the windows
// (the main window, the members window, the distance and time window, the memo pad) and what the
// window manager draws around each client area. The main window takes a column at the left, the
// members window the top of the rest, the other two share the bottom side by side. Nothing
// overlaps, so no window hides another's buttons or the members list, whatever the screen size
// and scale factor; each window gets room in proportion to its designed size.
std::vector<QRect> ArrangeWindows(const QRect& avail, const std::vector<WindowSizes>& windows, const QMargins& frame);

// A remembered client rectangle brought back onto the screen: shrunk to fit (never below minimum),
// then moved inside.
QRect ClampToScreen(const QRect& client, const QRect& avail, const QMargins& frame, const QSize& minimum);

// Names the current screen arrangement (each screen's geometry and scale), so that remembered
// window places apply only to the arrangement they were made on.
QString ScreenArrangementKey();

} // namespace pado::gui
