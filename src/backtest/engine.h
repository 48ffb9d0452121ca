#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "backtest/race_source.h"

namespace pado::backtest {

// One set of assist parameters: a settings file in the layout of repara.txt, or the defaults.
struct ParamSet {
    std::string label; // how the summary names it
    std::string file; // empty: the program's defaults (no repara.txt in the program folder)
};

struct EngineOptions {
    RaceQuery query;
    int mode = 3; // the assist dialog's option 1..4
    std::vector<ParamSet> params { ParamSet { "既定", "" } };
    int pastRuns = 5;
    int jobs = 1;
    std::string tempRoot; // where the private program folders go; empty: $TMPDIR, /dev/shm or /tmp
};

struct RaceResult {
    RaceOutcome race;
    bool ok = false;
    std::string reason; // why the race could not be built or assisted
    std::vector<std::map<int, std::string>> marks; // per parameter set: horse number -> marks
};

struct Progress {
    std::size_t done = 0; // races finished, failed ones included
    std::size_t failed = 0;
    std::size_t total = 0;
    double seconds = 0; // since the start
};

struct EngineReport {
    std::size_t total = 0; // races in the period
    std::size_t done = 0;
    std::size_t failed = 0;
    bool interrupted = false;
    std::string error; // a problem that stopped the whole run (no temporary folder, an unreadable store)
};

// Called on the thread that runs RunBacktest, never on the races' threads.
struct EngineCallbacks {
    // Each finished race, in race id order.
    std::function<void(const RaceResult&)> race;
    std::function<void(const Progress&)> progress;
    // Polled while races run (at least every 50 ms); true ends the run: no race starts any more, the races
    // already running finish and count.
    std::function<bool()> stop;
};

// Replays the assist on every race of the query, at most options.jobs at a time, each on a thread of the
// pool with a program of its own (App, program folder) and a source of its own made by makeSource to build
// it; the source given lists them. A race that fails, or throws, is reported as failed and the run goes
// on. The outcome does not depend on the number of jobs.
EngineReport RunBacktest(const EngineOptions& options, RaceSource& listing, const RaceSourceFactory& makeSource,
    const EngineCallbacks& callbacks);

} // namespace pado::backtest
