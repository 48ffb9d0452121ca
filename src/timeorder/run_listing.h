#pragma once

#include "platform/text.h"

namespace pado {

// The listing section of a race card: the lines after its second "◆" line (the line right after
// the first "◆" line is passed over whatever it holds). Empty when the card has no such section.
Lines TimeOrderListing(const Lines& card);

// Every run of Rall.txt as pane text, one heading line per group of consecutive runs of a horse.
// The full form puts 29 spaces before the heading's horse name and shows each run without its
// name; the short form shows the bare name and each run through SimpleRunLine.
Text FullRunListing(const Lines& rall);
Text ShortRunListing(const Lines& rall);

// One run text (a run line with the horse name cut out) shortened to date, venue, race number,
// course, place, the middle columns, the time and the race class and name, with long words
// abbreviated. A text of fewer than 14 space-separated parts is returned unchanged.
Text SimpleRunLine(const Text& runText);

} // namespace pado
