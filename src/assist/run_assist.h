#pragma once

#include "platform/text.h"

namespace pado {

class Form1;

// The four ways the assist marks the memo pad, as the assist dialog numbers its options.
enum class AssistMode {
    None = 0,
    TurfGraded = 1, // 芝Ⅰ: turf pass over graded past races only
    TurfAll = 2, // 芝Ⅱ: turf pass over every past race
    Dirt = 3, // dirt passes: against co-runners, or alone against the best time
    Factors = 4, // factor pass over each entrant's runs
};
// The mode of the dialog's choice; None for anything else.
AssistMode AssistModeOf(int dialogChoice);

// What one run of the assist could do.
struct AssistSummary {
    int pastRaces = 0; // past runs whose race was looked up
    int notFound = 0; // of those, the races pado.txt did not hold
};

// Visits every past run of every entrant of the race folder and runs the mode's pass; the memo pad
// ends up with the marks.
AssistSummary RunAssist(Form1& f, const Text& raceFolder, AssistMode mode);

} // namespace pado
