#include "gui/layouts.h"

namespace pado::gui {

WindowLayout Form1Layout()
{
    WindowLayout l;
    l.client = { 786, 673 };
    auto button = [&](const char* name, int left, int top) { l.controls[name] = QRect(left, top, 32, 32); };
    button("Image6", 8, 0);
    button("Image7", 48, 0);
    button("Image9", 88, 0);
    button("Image1", 8, 32);
    button("Image8", 48, 32);
    button("Image10", 88, 32);
    button("Image2", 8, 64);
    button("Image3", 48, 64);
    button("Image4", 8, 96);
    button("Image5", 48, 96);
    button("Image11", 88, 64);
    l.controls["Dir1"] = QRect(128, 0, 649, 125);
    l.controls["Text1"] = QRect(8, 128, 769, 537);
    l.controls["List1"] = QRect(88, 24, 33, 16);
    l.splitAt = 128;
    return l;
}

WindowLayout Form2Layout()
{
    WindowLayout l;
    const char* order[] = { "Image3", "Image6", "Image4", "Image5", "Image1", "Image7", "Image8", "Image2" };
    for (int i = 0; i < 8; ++i)
        l.controls[order[i]] = QRect(Twips(120 + 600 * i), 0, Twips(480), Twips(480));
    l.controls["Image9"] = QRect(Twips(120 + 600 * 8), 0, Twips(480), Twips(480)); // beside the transfer button
    l.controls["Text1"] = QRect(Twips(120), Twips(480), Twips(11295), Twips(7815));
    l.client = { Twips(120 + 11295 + 120), Twips(480 + 7815 + 120) };
    return l;
}

// The companion windows carry their buttons in one row over the pane, as the members window does.
WindowLayout Form3Layout()
{
    WindowLayout l;
    l.controls["Image1"] = QRect(8, 0, 32, 32);
    l.controls["Image2"] = QRect(48, 0, 32, 32);
    l.controls["Text1"] = QRect(8, 32, 561, 521);
    l.client = { 577, 561 };
    return l;
}

WindowLayout Form4Layout()
{
    WindowLayout l;
    l.controls["Image1"] = QRect(8, 0, 32, 32);
    l.controls["Image2"] = QRect(48, 0, 32, 32);
    l.controls["Image3"] = QRect(88, 0, 32, 32);
    l.controls["Text1"] = QRect(8, 32, 769, 521);
    l.client = { 785, 561 };
    return l;
}

// The running styles above, the picture of the field below; ShapeWindow shares the height between them.
WindowLayout Form7Layout()
{
    WindowLayout l;
    l.controls["Text1"] = QRect(8, 8, 689, 328);
    l.controls["Picture1"] = QRect(8, 344, 689, 468);
    l.client = { 705, 820 };
    return l;
}

} // namespace pado::gui
