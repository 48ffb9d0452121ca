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
    std::string tempRoot; // where the private program folders go; empty: $TMPDIR or /tmp
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
    std::string error; // a problem that stopped the whole run (no temporary folder, no process)
};

struct EngineCallbacks {
    // Each finished race, in race id order.
    std::function<void(const RaceResult&)> race;
    std::function<void(const Progress&)> progress;
    // Polled while races run; true ends the run: running races are stopped and their folders removed.
    std::function<bool()> stop;
};

// Replays the assist on every race of the query. Each race runs in a process of its own, in a private
// program folder that is removed when the process ends, at most options.jobs at a time: the core keeps
// program-wide state (the current directory that holds repara.txt, the batch of a press's work files, the
// cache of the results database), so a race can only be isolated from the next by a process boundary.
// The source made by makeSource in each race's process builds the race; the source given lists them.
EngineReport RunBacktest(const EngineOptions& options, RaceSource& listing, const RaceSourceFactory& makeSource,
    const EngineCallbacks& callbacks);

} // namespace pado::backtest
