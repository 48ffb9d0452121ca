#include "passing/horse_passing.h"

#include "app/form1.h"

namespace pado {

void ListHorsePassingOrders(Form1&) {}

}  // namespace pado
