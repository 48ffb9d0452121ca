#pragma once

#include <utility>
#include <vector>

#include "platform/text.h"

namespace pado::racefiles {

// Position at a corner of every horse number named in a race-level passing order such as "(*2,5)9(3,13)8,1":
// horses abreast in parentheses share the position of the first of them. Index = horse number, 0 = not named.
std::vector<int> PositionsFromOrder(const Text& order);

// The passing order written from the runners' positions (horse number, position; position 0 = not known):
// numbers in position order joined by "-", horses sharing a position as "(a,b)". Empty when no position is known.
Text OrderFromPositions(std::vector<std::pair<int, int>> numberAndPosition);

} // namespace pado::racefiles
