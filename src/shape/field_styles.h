#pragma once

#include <vector>

#include "platform/text.h"
#include "shape/running_style.h"

namespace pado {

class RaceDatabase;

// An entrant of the race card with its past-run lines from the card's past-run section.
struct CardEntrant {
    int number = 0; // the number the members window puts before its line
    Text name; // 9 characters, padded
    Lines pastRuns; // newest first
};

// The entrants of a race card in number order, each with its past runs. Lines of the entrant
// section are numbered as the members window numbers them; "＝" lines are numbered but are no
// entrants. The past-run section runs from the line after the first "◆-◆-◆" line's heading to the
// next "◆-◆-◆" line; its lines that start with no date are headings.
std::vector<CardEntrant> CardEntrants(const Lines& card);

// The style of every entrant, in number order.
std::vector<EntrantStyle> StylesOfField(const RaceDatabase& db, const std::vector<CardEntrant>& entrants);

// Cells a text takes in the panes' font: two for a double-byte character, one otherwise.
std::size_t CellWidth(const Text& s);

// The pane: one fixed-column line per entrant (number, name, style, the counts of each style over
// the runs used, the mean relative place at the first listed corner and at corner 4), then the
// count of today's 逃げ and 先行 horses.
Text StylePane(const std::vector<EntrantStyle>& field);

} // namespace pado
