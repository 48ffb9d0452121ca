#include "views/ranking.h"

#include "app/form1.h"

namespace pado {

void ShowSameRaceRanking(Form1&) {}

}  // namespace pado
