#pragma once

#include <QRect>
#include <QSize>
#include <map>
#include <string>
#include <vector>

namespace pado::gui {

// Where a window's controls sit, in pixels of its client area. Panes and the directory list keep
// their distance to the right and bottom edges when the user resizes the window.
struct WindowLayout {
    QSize client;
    std::map<std::string, QRect> controls; // by control name: "Image1", "Text1", "Dir1", "List1"
};

// Twips (1/1440 inch) at 96 dots per inch.
constexpr int Twips(int t)
{
    return (t + 7) / 15;
}

WindowLayout Form1Layout();
WindowLayout Form2Layout();
WindowLayout Form3Layout();
WindowLayout Form4Layout();
WindowLayout Form7Layout();

// Where the windows go at start-up (outer top-left corners), given the screen's free area and the
// windows' sizes, the main window first: the main window at the left, the companions to its right,
// each a little lower than the one before, all kept on the screen.
std::vector<QPoint> StartPositions(const QRect& screen, const std::vector<QSize>& sizes);

} // namespace pado::gui
