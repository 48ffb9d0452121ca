#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backtest/summary.h"
#include "tune/evaluator.h"

namespace pado::tune {

enum class Objective { Top3, Win, Return };
// top3, win, return.
const char* ObjectiveName(Objective o);
bool ParseObjective(const std::string& name, Objective& o);
// How the objective reads in Japanese: 複勝率, 勝率, 単勝回収率.
const char* ObjectiveLabel(Objective o);

// The horses the assist marked in one period: only races where it marked at least one horse count, and
// only runners that started.
struct Tally {
    std::size_t races = 0; // races replayed
    std::size_t markedRaces = 0; // races with at least one marked runner
    std::size_t marked = 0; // marked runners that started
    std::size_t wins = 0;
    std::size_t top3 = 0;
    double winOddsSum = 0; // win odds of the marked winners

    void Add(const backtest::RaceOutcome& race, const RaceMarks& marks);
    // Both periods' counts together, as if one.
    void Merge(const Tally& other);
    // The objective in percent: win or top-3 rate of the marked runners, or their win return per 100
    // staked. 0 when nothing was marked.
    double Value(Objective o) const;
};

struct PeriodResult {
    Tally tally;
    backtest::Summary summary; // the 検証 groups
};

struct Evaluation {
    std::size_t index = 0; // 0 is the start
    std::string phase; // 開始, 探索 (random), 改良 (one parameter moved)
    ParamValues values {};
    PeriodResult tuning, checking;
};

struct TuneOptions {
    Date from, to; // the whole period
    Date holdout; // races before it tune, races from it on check
    Objective objective = Objective::Top3;
    SearchSpace space = SearchSpace::Default();
    ParamValues start {};
    std::size_t budget = 200; // parameter sets evaluated, the start included
    double minutes = 0; // > 0: no new batch starts after this long
    std::uint64_t seed = 1;
    std::size_t batch = 16; // sets run together on each pass over the races
    // A set is only a candidate when it marked at least this many tuning races; 0: a tenth of the tuning
    // races (at least 1), so that a set marking two lucky horses cannot win.
    std::size_t minRaces = 0;
};

struct TuneCallbacks {
    // After each batch: every evaluation so far and the index of the best.
    std::function<void(const std::vector<Evaluation>&, std::size_t best)> progress;
    std::function<bool()> stop;
};

struct TuneResult {
    std::vector<Evaluation> evaluations;
    std::size_t best = 0;
    std::size_t minRaces = 0;
    std::size_t failed = 0; // races that could not be replayed on the start's pass
    std::vector<std::string> failures;
    bool interrupted = false;
    std::string error;

    const Evaluation& Start() const { return evaluations.front(); }
    const Evaluation& Best() const { return evaluations[best]; }
    // The best set does worse than the start on the checking races.
    bool Overfit(Objective o) const;
};

// Searches the space from options.start: random sets around the best so far, then one parameter at a time
// (each batch moves several parameters up and down by 1 and 3 steps; a round without gain brings another
// random batch). Deterministic for a seed and budget; the sets of a batch run together.
TuneResult Tune(Evaluator& evaluator, const TuneOptions& options, const TuneCallbacks& callbacks = {});

// Whether a beats b on the tuning races: the objective, then more marked races, then the earlier one.
bool Better(const Evaluation& a, const Evaluation& b, Objective o);

} // namespace pado::tune
