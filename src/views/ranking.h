#pragma once

#include "platform/text.h"

namespace pado {

class Form1;

// Picks No.1 to No.3 from head-to-head meetings and usual distance, then the incomparable entrants.
void ShowSameRaceRanking(Form1& f);

// One contestant of a selection pass: its Rall.txt lines and its averages over the race surface.
struct Contestant {
    Text name;
    Lines runs;
    double meanFinish = 0;
    double meanDistance = 0;
};

Contestant MakeContestant(const Text& name, const Lines& rall, const Text& raceSurface);
// True when the challenger takes the holder's place: by the races both ran, or, when they never
// met, by closeness to the race distance (3 points) and a better mean finish (2 points).
bool ChallengerWins(const Contestant& holder, const Contestant& challenger, int raceDistance);

} // namespace pado
