#pragma once

#include "platform/text.h"

namespace pado {

class Form2;
class RaceDatabase;

// The members window's passing order table: every past run of every entrant of the race folder
// highlighted in the main window, with corner markers, in the members window's pane.
void ShowPassingOrderTable(Form2& f);
// Empties Text1 and lists the entrant folders of raceFolder with their past runs.
void ListRacePassingOrders(Form2& f, const RaceDatabase& db, const Text& raceFolder);

} // namespace pado
