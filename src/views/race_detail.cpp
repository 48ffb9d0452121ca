#include "views/race_detail.h"

#include "app/form1.h"

namespace pado {

void ShowSelectedRaceDetail(Form1&) {}
bool ShowRaceDetail(Form1&) { return false; }

}  // namespace pado
