#pragma once

#include <optional>

#include "platform/text.h"

namespace pado {

class Form1;

// The pop-up button: which of today's entrants ran in the looked-up race.
void ShowEntrantPopup(Form1& f);
// Matches R10.txt against R11.txt: writes R12.txt, sets the co-runner count, appends to the pop-up text.
void FindEntrantsInRace(Form1& f);
// The same, reading the entrant list only when entrantList holds none yet and keeping it there: the
// assist looks for the entrants in hundreds of past races in one press, and the list stays the same.
void FindEntrantsInRace(Form1& f, std::optional<Lines>& entrantList);

} // namespace pado
