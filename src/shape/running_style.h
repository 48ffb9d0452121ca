#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "platform/text.h"

namespace pado {

class RaceDatabase;
struct RunCorners;

// Running styles, from the front of the field to the back; a tie between styles goes to the one
// nearer the front, that is the smaller value.
enum class Style { Nige, Senko, Sashi, Oikomi, Unknown };
constexpr std::size_t kStyleCount = 4; // the styles a run can have (Unknown is none)

// 逃げ 先行 差し 追込 不明
Text StyleName(Style s);
// The one-character form of the counts: 逃 先 差 追 (不 for Unknown).
Text StyleInitial(Style s);

// Where a horse ran in one past race: its style and its relative place at the first listed corner
// and at corner 4, (place - 1) / (runners - 1): 0 at the front, 1 at the back.
struct RunStyle {
    Style style = Style::Unknown;
    double firstCorner = 0;
    double lastCorner = 0;
};

// The style of a run read from its record; nothing when the horse's number is unknown, the record
// lists no runners, or the horse is missing from the first listed corner or from corner 4.
std::optional<RunStyle> StyleOfRun(const RunCorners& run);
// The same, looked up by the run's line (its first 12 characters name the race) and the horse.
std::optional<RunStyle> StyleOfRun(const RaceDatabase& db, const Text& runLine, const Text& horseName);

// An entrant's style over its latest styled runs.
struct EntrantStyle {
    int number = 0; // the entrant's number in the card
    Text name; // 9 characters, padded
    Style style = Style::Unknown;
    std::array<int, kStyleCount> counts {}; // by style over the runs used
    int runsUsed = 0;
    double meanFirstCorner = 0; // means over the runs used; 0 when none was used
    double meanLastCorner = 0;
};

// How many of the latest styled runs decide an entrant's style.
constexpr int kStyledRunsUsed = 5;

// The entrant's style from its past-run lines, newest first: the style it had most often over the
// first kStyledRunsUsed runs that have one, a tie going to the style nearer the front; Unknown when
// no run has a style.
EntrantStyle StyleOfEntrant(const RaceDatabase& db, int number, const Text& name, const Lines& pastRunsNewestFirst);

} // namespace pado
