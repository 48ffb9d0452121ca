#pragma once

#include <unordered_map>
#include <vector>

#include "platform/text.h"

namespace pado {

class AssistRun;

// Today's entrants found in the past race, from R12.txt: slot c (the co-runner count) holds the
// best placed, slot 1 the worst placed; slot 0 is unused. Each slot reads "position name".
std::vector<Text> CoRunnerTable(const Lines& r12, int coRunnerCount);
// The table of the past race being visited: R12.txt, as many slots as the co-runner count.
std::vector<Text> ReadCoRunnerTable(AssistRun& run);
// A slot's table position (its first two characters as a number, so "3 " is 3) and horse name.
int SlotPosition(const Text& slot);
Text SlotHorse(const Text& slot);

// A race time m.ss.f in seconds: 1.34.5 gives 94.5. Kept as a double: 85.3 and 85.0 rounded to
// single precision first would differ by 0.3000031, just above a 0.3 limit.
double RaceTimeSeconds(const Text& time);
// The race time at the end of an R13.txt line.
double R13Time(const Text& r13Line);
// How far a time is behind another, in the single precision the limits are kept in. Rounded only
// after subtracting, so a gap of exactly a limit's tenths compares equal to that limit.
float TimeGap(double time, double reference);

// The past race's runner lines (R13.txt) by horse name (characters 7 to 15), built once per race
// visited: a record of thousands of runners would otherwise be scanned once per co-runner.
class R13Lines {
public:
    explicit R13Lines(Lines lines);
    // The horse's first line; nullptr when the horse is not there.
    const Text* First(const Text& horse) const;
    // Whether any line of the horse is more than limit behind the reference time. The gap grows
    // with the time, so the slowest line answers for all of them.
    bool AnyBehindBy(const Text& horse, double reference, float limit) const;

private:
    struct Horse {
        std::size_t first = 0;
        double slowest = 0;
    };
    Lines lines_;
    std::unordered_map<Text, Horse> byHorse_;
};

// Whether a horse that finished badly in the past race being visited (run.pastRunFolder) is still discounted: "-", or
// empty when its next run after a debut was good enough or it came back from a long rest. Reads the horse's lines of
// F3.txt.
Text CheckTwoDigitException(AssistRun& run, const Text& otherEntrant);

// CheckTwoDigitException for one pass over one past race, asked once per horse: a record that
// repeats its runners would ask it for every repeat. Finish leaves F31.txt as the last question
// would have left it.
class TwoDigitExceptions {
public:
    explicit TwoDigitExceptions(AssistRun& run)
        : run_(run)
    {
    }
    Text Check(const Text& otherEntrant);
    void Finish();

private:
    AssistRun& run_;
    std::unordered_map<Text, Text> answers_;
    Text lastAsked_, lastRun_;
};

// The past race's time-gap limit in seconds for its distance (turf passes).
float TurfGapLimit(AssistRun& run, int distance);

} // namespace pado
