#pragma once

#include <vector>

#include "platform/text.h"

namespace pado {

class AssistRun;

// Today's entrants found in the past race, from R12.txt: slot c (the co-runner count) holds the
// best placed, slot 1 the worst placed; slot 0 is unused. Each slot reads "position name".
std::vector<Text> CoRunnerTable(const Lines& r12, int coRunnerCount);
// The table of the past race being visited: R12.txt, as many slots as the co-runner count.
std::vector<Text> ReadCoRunnerTable(AssistRun& run);
// A slot's table position (its first two characters as a number, so "3 " is 3) and horse name.
int SlotPosition(const Text& slot);
Text SlotHorse(const Text& slot);

// A race time m.ss.f in seconds: 1.34.5 gives 94.5.
float RaceTimeSeconds(const Text& time);
// The race time at the end of an R13.txt line.
float R13Time(const Text& r13Line);
// The first R13.txt line of a horse (characters 7 to 15); nullptr when the horse is not there.
const Text* FindR13Line(const Lines& r13, const Text& horse);

// Whether a horse that finished badly in the past race being visited (the run of run.f's selected
// folder) is still discounted: "-", or empty when its next run after a debut was good enough or it
// came back from a long rest. Reads the horse's lines of F3.txt.
Text CheckTwoDigitException(AssistRun& run, const Text& otherEntrant);

// The past race's time-gap limit in seconds for its distance (turf passes).
float TurfGapLimit(AssistRun& run, int distance);

} // namespace pado
