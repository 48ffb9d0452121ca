#pragma once

#include <QKeySequence>
#include <string>

namespace pado::gui {

// The key that presses an image button from anywhere in its window (empty: none). Control keys the
// text panes do not use themselves, so a shortcut works wherever the focus is; F1 is the manual. The race
// data window's own buttons are named under "RaceData".
QKeySequence ButtonShortcut(const std::string& form, const std::string& button);

} // namespace pado::gui
