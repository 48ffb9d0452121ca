#pragma once

namespace pado {

class AssistRun;

// Mode 3 with two or more of today's entrants in the past race: when the current entrant was the
// best placed of them, the others that finished too far behind it are discounted.
void ScoreDirtRace(AssistRun& run);
// Mode 3 with the current entrant alone in the past race: its time against the best time under the
// same conditions in the distance and time window, less an age allowance, judged by how long ago.
void ScoreDirtSolo(AssistRun& run);

} // namespace pado
