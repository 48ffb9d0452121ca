#pragma once

namespace pado {

class AssistRun;

// Modes 1 and 2, for one past race in which at least two of today's entrants ran: discounts the
// others that finished in double figures (unless the exception saves them) and, when the current
// entrant was the best placed of them, those placed 2nd to 9th too far behind it.
void ScoreTurfRace(AssistRun& run);

} // namespace pado
