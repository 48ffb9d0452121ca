#pragma once

#include <string>

#include "backtest/race_source.h"

// What the backtest and tune commands read from their arguments alike.
namespace pado::import {

// A whole number written in digits alone (no sign, no spaces), between low and high.
bool ParseCount(const std::string& s, long long low, long long high, long long& out);

// --venue and --surface narrow the races of either command the same way. False when a is neither; otherwise
// error is empty when v was taken, or says in Japanese what v must be.
bool ParseRaceFilter(const std::string& a, const std::string& v, backtest::RaceQuery& query, std::string& error);

// Creates path and the folders above it that are missing.
bool MakeFolders(const std::string& path);

} // namespace pado::import
