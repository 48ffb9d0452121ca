#pragma once

namespace pado {

class Form1;

// Entrants that met the selected entrant in its past races, race by race.
void ShowEntrantsInPastSameRace(Form1& f);

}  // namespace pado
