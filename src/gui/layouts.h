#pragma once

#include <QRect>
#include <QSize>
#include <map>
#include <string>

namespace pado::gui {

// Where a window's controls sit, in pixels of its client area. Panes and the directory list keep
// their distance to the right and bottom edges when the user resizes the window.
struct WindowLayout {
    QSize client;
    std::map<std::string, QRect> controls; // by control name: "Image1", "Text1", "Dir1", "List1"
    // Where a splitter the user can drag divides the window (0: none): the controls above it grow
    // with the upper part, the ones below with the lower part.
    int splitAt = 0;
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

} // namespace pado::gui
