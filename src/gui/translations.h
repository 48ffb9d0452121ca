#pragma once

namespace pado::gui {

// Installs Qt's own Japanese translations (the folder picker, the standard buttons and context
// menus), from the folder where the distribution keeps them. False when they are not installed:
// the program still runs, with those texts in English.
bool InstallQtJapanese();

} // namespace pado::gui
