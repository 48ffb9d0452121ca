#pragma once

namespace pado {

class AssistRun;

// Mode 4, once per entrant: judges surface, distance, venue and season aptitude by the average
// finish of the current entrant's runs that share that aspect with today's race, and for a turf
// race discounts an entrant that ran (almost) only on dirt in the last year.
void ScoreFactors(AssistRun& run);

} // namespace pado
