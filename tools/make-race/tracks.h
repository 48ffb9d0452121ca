#pragma once

#include <vector>

#include "model.h"

namespace makerace {

// The ten venues in the order the jockey file lists them.
const std::vector<Text>& AllVenues();
// Venues that hold meetings in a month (rough, but it keeps summer at the northern courses).
const std::vector<Text>& VenuesInMonth(int month);
// Course distances of a venue for a surface (芝, ダ or 障); empty when the venue has none.
const std::vector<int>& Distances(const Text& venue, char32_t surface);
Text Direction(const Text& venue); // 右 or 左
// A typical winning time in tenths of a second on good going in an open race.
int BaseTenths(char32_t surface, int distance);

} // namespace makerace
