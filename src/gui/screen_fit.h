#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

namespace pado::gui {

// The free area of the screen a window is on (or will open on: its parent's, else the primary one).
QRect AvailableArea(const QWidget* window);

// What the window manager is expected to draw around a client area before a window has been shown:
// nothing on the offscreen platform, a title bar and thin borders elsewhere.
QMargins ExpectedFrame();

// The client size a window of designed size gets on a screen with free area avail: the designed size,
// shrunk (never below minimum) so that window and frame fit.
QSize FittedClientSize(const QSize& designed, const QSize& minimum, const QRect& avail, const QMargins& frame);

// Makes a laid-out window fit its screen whatever the size and scale: its content moves into a scroll area
// (so a screen lower than the content still reaches every control), and it is sized to designed, or to
// what the screen leaves. Returns the scroll area.
QScrollArea* FitWindowToScreen(QWidget* window, const QSize& designed);

} // namespace pado::gui
