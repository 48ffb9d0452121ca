#pragma once

#include "platform/text.h"

namespace pado {

class Form1;

// Entrants that met the selected entrant in its past races, race by race.
void ShowEntrantsInPastSameRace(Form1& f);

// The heading of one past race: the race head, the class and the race name, long words shortened.
Text SameRaceHeading(const Text& runLine);

} // namespace pado
