#pragma once

#include <cstddef>
#include <vector>

#include "platform/text.h"

namespace pado {

// The horse numbers of a corner's order text, in the order they passed: every run of ASCII digits
// is one number, everything else ("(", "*", ",", "-", "=", spaces) only separates them.
// "(*3,5)-1-12=4" gives 3, 5, 1, 12, 4.
std::vector<unsigned long long> CornerList(const Text& orderText);

// Where a horse ran in a field of count listed at a corner: "o****" leading, "*o***" front group,
// "**o**" mid-field, "***o*" towards the rear. Empty when count is outside 5 to 18 or place
// outside 1 to count (no new marker).
Text PositionMarker(std::size_t place, std::size_t count);

// One corner's step of the marker string: the marker the horse earns at this corner, or the
// previous one when it is not listed or the field is too small or too large to be graded.
Text NextMarker(const Text& orderText, double horseNumber, bool horseNumberKnown, const Text& previous);

} // namespace pado
