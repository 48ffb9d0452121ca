#pragma once

#include <optional>

#include "members/entrant_stats.h"
#include "platform/text.h"

namespace pado {

// kisyuE.txt: one line per jockey, the three-character key first, then ten venue blocks of 15
// characters (first, second, third, out as three-character numbers) in the order of the venues.

// The jockey as the file keys it, from the jockey text of the card: half-width spaces removed, an
// initial with "．" dropped, the apprentice marks "▲", "☆", "△" dropped, a two-character name
// padded with "　", cut to three characters.
Text JockeyKey(const Text& jockeyText);

// The counts of the first line whose key matches, in the block of the venue; nullopt when no line
// matches. venueIndex is 0..9.
std::optional<Counts> FindJockeyCounts(const Lines& jockeyFile, const Text& key, int venueIndex);

// 0..9 in the order of the jockey file's blocks, -1 for a venue not among them.
int VenueIndex(const Text& venue);

// First, second and third places in two characters (three digits as "99"), the out count in three,
// separated by single spaces.
Text JockeyRecord(const Counts& c);
// part ÷ rides × 100 to the nearest whole number, a half going to the even neighbour; 0 without rides.
int RatePercent(long part, long rides);
// " 7%", "15%", and "99%" for a rate of 100.
Text RateCell(int percent);

} // namespace pado
