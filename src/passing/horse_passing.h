#pragma once

#include "platform/text.h"

namespace pado {

class Form1;
class RaceDatabase;

// The passing-order button of the main window: checks the highlighted folder and lists the
// selected entrant's past runs with a position marker for each corner.
void ShowHorsePassingOrders(Form1& f);
// Every past run of the entrant folder at path, one line each, inserted at Text1's caret.
void ListHorsePassingOrders(Form1& f, const RaceDatabase& db, const Text& entrantFolder);
// One run's line: the run key text without its race number, the pad and the markers.
Text HorsePassingOrderLine(const RaceDatabase& db, const Text& runKeyText, const Text& horseName);

} // namespace pado
