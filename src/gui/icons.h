#pragma once

#include <QIcon>
#include <QPixmap>

namespace pado::gui {

// The picture of an icon number (":/icons/NNN.svg"), drawn at size × size device-independent
// pixels. A number without a picture gives a plain grey square rather than nothing, so a missing
// icon shows up at once.
QPixmap IconPixmap(int number, int size = 32, qreal devicePixelRatio = 1.0);

bool HasIcon(int number);

// The program's own icon (its windows, the menu entry and the package show the same picture).
QIcon AppIcon();

} // namespace pado::gui
