#pragma once

#include <QFont>

namespace pado::gui {

// The panes' font: "ＭＳ ゴシック" 11.25 pt where it is installed, otherwise IPAGothic. Both draw a
// full-width character exactly two half-width cells wide, which every column layout relies on.
QFont PaneFont();

// The font of the dialogs' captions and labels.
QFont LabelFont();

} // namespace pado::gui
