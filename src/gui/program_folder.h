#pragma once

#include <QString>

namespace pado::gui {

// Where the program keeps the race files, the work files and the memos. Run from its own folder
// named PADO (as the build lays it out) it uses that folder. Installed, it cannot write beside the
// executable, so it uses ~/PADO (the staging folder is then ~/PADO-tdy), making both on the first
// start, putting the bundled sample race there while ~/PADO holds no race card, and keeping the
// manual there up to date.
QString ChooseProgramFolder(const QString& executableFolder, const QString& home);

} // namespace pado::gui
