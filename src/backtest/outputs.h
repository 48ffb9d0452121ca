#pragma once

#include <functional>
#include <string>
#include <vector>

#include "backtest/engine.h"
#include "backtest/summary.h"

namespace pado::backtest {

struct BacktestRun {
    EngineReport report;
    std::vector<std::string> labels; // per parameter set
    std::vector<std::vector<GroupStats>> rows; // per parameter set
    bool written = true; // false when an output file could not be written
};

// Runs the backtest and writes its files into outDir as the races finish: marks.csv (marks-2.csv ... for
// further parameter sets), failures.csv and, at the end, summary.csv. Each file is written under an
// unguessable temporary name and renamed when complete; the temporary files a killed run left in outDir
// are removed first.
BacktestRun RunBacktestIntoFolder(const EngineOptions& options, RaceSource& listing,
    const RaceSourceFactory& makeSource, const std::string& outDir, EngineCallbacks callbacks);

// The names the outputs go by.
std::string MarksFileName(std::size_t paramSet);
inline const char* const kFailuresFile = "failures.csv";
inline const char* const kSummaryFile = "summary.csv";

} // namespace pado::backtest
