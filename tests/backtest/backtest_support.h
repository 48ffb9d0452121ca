#pragma once

#include <string>
#include <vector>

#include "backtest/make_race_source.h"
#include "backtest/outputs.h"

namespace pado::testing {

// A whole file as bytes; empty when it cannot be read.
std::string Slurp(const std::string& path);
// The rows of a CSV file the backtest wrote: the byte order mark is checked and dropped, quoted
// fields are unquoted; the header is row 0.
std::vector<std::vector<std::string>> ReadCsv(const std::string& path);
// A settings file with the default parameters except the ones given (index, value).
void WriteParams(const std::string& path, const std::vector<std::pair<int, float>>& changes);

// Every race of an invented period, replayed into outDir.
backtest::BacktestRun Backtest(const MakeRaceSource::Config& config, backtest::EngineOptions options,
    const std::string& outDir, backtest::EngineCallbacks callbacks = {});
backtest::EngineOptions Options(int mode, int jobs);

} // namespace pado::testing
