#pragma once

#include "platform/text.h"

namespace pado {

class Form1;

// Whether the race detail shows the record in the main window's pane (the detail button) or only
// looks it up for the assist.
enum class RaceDisplay { Show, Silent };

// The detail button: shows the result table of the highlighted past race.
void ShowSelectedRaceDetail(Form1& f);
// Looks the past race of a past-run folder up in pado.txt and, with RaceDisplay::Show, shows it.
// Writes R10.txt and R13.txt and the past race's attributes. False when the race is not found;
// silently, an unreadable database is a race not found as well.
bool ShowRaceDetail(Form1& f, const Text& pastRunFolder, RaceDisplay display);

} // namespace pado
