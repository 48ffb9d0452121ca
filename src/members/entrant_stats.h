#pragma once

#include <array>

#include "platform/text.h"

namespace pado {

class Form2;

// The walk that every statistics view of the members window shares: the card head is shown, a
// column header line replaces the line that ends it, and each line of the entrant section becomes
// one output line from the entrant's past runs in Rall.txt. A view decides only what it reads from
// the card head, which header it shows, what it counts and how an entrant's line ends.
class EntrantStatsView {
public:
    virtual ~EntrantStatsView() = default;
    // Sees every card head line before it is shown.
    virtual void ReadHeadLine(const Text& line) { (void)line; }
    // The line shown in place of the card head's terminating line.
    virtual Text ColumnHeader(const Text& terminator, const Text& firstEntrantLine) = 0;
    // One past run of the current entrant; column 0..3 = first, second, third, out of the first three.
    virtual void CountRun(const Text& run, int column) = 0;
    // The output line of the current entrant from its lead (entrant number, entrant text, sex and
    // current age) and its card line; the view's counters start again from zero afterwards.
    virtual Text EntrantLine(const Text& lead, const Text& cardLine) = 0;
};

// Reads R1.txt and Rall.txt (a missing one is reported and the pane stays as it is), then fills the
// members window's pane and shows its first line.
void RunEntrantStatsPass(Form2& f, EntrantStatsView& view);

using Counts = std::array<int, 4>; // first, second, third, out

// The finishing column of a run (0..3), -1 when its position field is no position (0 or text).
int FinishColumn(const Text& run);
// 0 turf "芝", 1 dirt "ダ", 2 jump "障", -1 for anything else.
int SurfaceIndex(const Text& surface);
// A count right-aligned in two characters; in the out column three digits are shown as "99".
Text CountCell(int n, bool outColumn);
// The four cells of a group, separated by single spaces.
Text CountGroup(const Counts& c);
// Three groups as the statistics line lays them out: two spaces before each, one space at the end.
Text ThreeGroups(const Counts& g1, const Counts& g2, const Counts& g3);
// The current age as its first character, so the column stays one character wide.
Text AgeCell(long age);

} // namespace pado
