#include "views/same_race.h"

#include "app/form1.h"

namespace pado {

void ShowEntrantsInPastSameRace(Form1&) {}

}  // namespace pado
