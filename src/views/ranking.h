#pragma once

namespace pado {

class Form1;

// Picks No.1 to No.3 from head-to-head meetings and usual distance, then the incomparable entrants.
void ShowSameRaceRanking(Form1& f);

}  // namespace pado
