#pragma once

namespace pado {

class Form1;

// Lists every past run of the selected entrant with a position marker for each corner.
void ListHorsePassingOrders(Form1& f);

}  // namespace pado
