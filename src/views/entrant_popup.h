#pragma once

namespace pado {

class Form1;

// The pop-up button: which of today's entrants ran in the looked-up race.
void ShowEntrantPopup(Form1& f);
// Matches R10.txt against R11.txt: writes R12.txt, sets the co-runner count, appends to the pop-up text.
void FindEntrantsInRace(Form1& f);

} // namespace pado
