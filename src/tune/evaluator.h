#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backtest/engine.h"
#include "tune/space.h"

namespace pado::tune {

// Horse number -> the marks the assist gave it (UTF-8); a horse without marks may be missing.
using RaceMarks = std::map<int, std::string>;

struct EvalReport {
    std::size_t races = 0; // races in the period
    std::size_t failed = 0; // races that could not be replayed: left out of every set's count
    bool interrupted = false;
    std::string error; // a problem that stopped the whole run
    std::vector<std::string> failures; // "race id: reason"
};

// Runs the assist with several parameter sets on the past races of a period.
class Evaluator {
public:
    using Visit = std::function<void(const backtest::RaceOutcome&, const std::vector<RaceMarks>&)>;
    virtual ~Evaluator() = default;
    // Calls visit once for each race of [from, to] that could be replayed, in race id order, with the marks
    // of each set in the order given. stop is polled; true ends the run early (report.interrupted).
    virtual EvalReport Run(const Date& from, const Date& to, const std::vector<ParamValues>& sets, const Visit& visit,
        const std::function<bool()>& stop)
        = 0;
};

// The races of the store as of their mornings: the first call lists the races of its period and builds each
// one once (kept in a work folder until the evaluator goes); every call then presses the assist on each race
// with each set, in a program of its own, on base.jobs threads. base gives the venue, surface, mode, past
// runs, jobs and temporary folder; its period and parameter files are not used.
std::unique_ptr<Evaluator> MakeRaceEvaluator(
    backtest::EngineOptions base, backtest::RaceSource& listing, backtest::RaceSourceFactory makeSource);

} // namespace pado::tune
