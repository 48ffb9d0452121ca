#pragma once

#include <memory>
#include <string>

#include "backtest/race_source.h"

namespace pado::backtest {

// The races of the race store, built by the race builder. Empty when the store cannot be opened; error
// then says why, in Japanese.
std::unique_ptr<RaceSource> OpenStoreSource(const std::string& storePath, std::string& error);

// A connection of its own for each worker: one that cannot be opened throws pado::UserError saying why.
RaceSourceFactory StoreSourceFactory(const std::string& storePath);

// The store the commands use when --store is not given.
std::string DefaultStorePath();

} // namespace pado::backtest
