#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tune/outputs.h"

namespace pado::tune {

// Days from options.holdout to options.to, both counted.
int CheckingDays(const TuneOptions& options);
// Whether the checking period can be cut into folds parts of at least a day each.
bool FoldsFit(const TuneOptions& options, int folds);

struct WalkForward {
    std::vector<FoldResult> folds; // the parts that ended, in order
    bool cutShort = false; // fewer parts than asked: stopped, or a part found nothing to evaluate
    std::string error; // what ended a part, when the evaluator gave a reason
};

// Walk-forward: the checking period of options cut into folds consecutive parts, each tuned with options'
// search on every race from options.from up to the day before it and checked on its own days. started(k)
// is told before part k (from 0) begins; callbacks go to each part's search, whose stop also ends the whole.
WalkForward RunWalkForward(Evaluator& evaluator, const TuneOptions& options, int folds,
    const TuneCallbacks& callbacks = {}, const std::function<void(int)>& started = {});

// That fewer parts than the folds asked ended, in Japanese with a line end; empty when all ended.
std::string CutShortNote(const WalkForward& walk, int folds);
// Writes folds.csv into dir when a part ended. Empty when all is well, otherwise the problem in Japanese.
std::string WriteWalkForward(const std::string& dir, const WalkForward& walk, Objective o);

} // namespace pado::tune
