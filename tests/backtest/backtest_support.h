#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "backtest/make_race_source.h"
#include "backtest/outputs.h"
#include "platform/text.h"

namespace pado::testing {

// A whole file as bytes; empty when it cannot be read.
std::string Slurp(const std::string& path);
// The rows of a CSV file the backtest wrote: the byte order mark is checked and dropped, quoted
// fields are unquoted; the header is row 0.
std::vector<std::vector<std::string>> ReadCsv(const std::string& path);
// A settings file with the default parameters except the ones given (index, value).
void WriteParams(const std::string& path, const std::vector<std::pair<int, float>>& changes);

// The memo pad before and after the replay driver presses the assist in mode on the race files in folder
// (a program folder named PADO), on the morning of today.
std::pair<Text, Text> ReplayAssist(const std::string& folder, const Date& today, int mode);
// The memo pad before the assist with each entrant row's marks appended: what the memo must show after it.
Text WithMarks(const Text& before, const std::map<int, std::string>& marks);
// marks.csv rows grouped by race: race id -> horse number -> marks.
std::map<std::string, std::map<int, std::string>> MarksByRace(const std::string& file);

// Every race of an invented period, replayed into outDir.
backtest::BacktestRun Backtest(const MakeRaceSource::Config& config, backtest::EngineOptions options,
    const std::string& outDir, backtest::EngineCallbacks callbacks = {});
backtest::EngineOptions Options(int mode, int jobs);

} // namespace pado::testing
