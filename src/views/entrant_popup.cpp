#include "views/entrant_popup.h"

#include "app/form1.h"

namespace pado {

void ShowEntrantPopup(Form1&) {}
void FindEntrantsInRace(Form1&) {}

}  // namespace pado
