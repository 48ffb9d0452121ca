#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tune/tuner.h"

namespace pado::tune {

// What the outputs say about the run besides the evaluations.
struct RunDescription {
    std::string from, to, holdout; // YYYY-MM-DD
    std::string venue, surface;
    int mode = 3;
    Objective objective = Objective::Top3;
    std::string startLabel = "既定"; // the start's name: 既定 or the --params file
};
// The description of a run of options on engine's races; startFile: the start's parameter file, empty for
// the defaults.
RunDescription DescribeRun(
    const TuneOptions& options, const backtest::EngineOptions& engine, const std::string& startFile = {});

// The series a chart of the run draws: per evaluation, the objective on each period, and the best so far
// on the tuning races.
struct ChartSeries {
    std::vector<double> tuning, checking, bestSoFar, bestChecking;
};
ChartSeries SeriesOf(const TuneResult& result, Objective o);

// tuning.csv: one row per evaluated set (its 22 values, then each period's objective, marked races, marked
// runners, wins, top-3 finishes and win odds of the winners), and whether it is the chosen set.
std::string TuningCsv(const TuneResult& result, Objective o);
// summary.csv: start and best on the tuning races, then on the checking races, with the 検証 groups.
std::string TuneSummaryCsv(const TuneResult& result, const RunDescription& run);
// The summary printed at the end, in Japanese; it says when the best set does worse on the checking races.
std::string TuneReport(const TuneResult& result, const RunDescription& run);
// The warning shown when the best set does worse than the start on the checking races.
inline const char* const kOverfitWarning = "過去に合わせすぎています";

// Writes repara.txt, tuning.csv and summary.csv into dir (each under a temporary name, renamed when
// complete), then calls drawChart(svg path, png path) for the chart. Empty on success, otherwise the
// problems in Japanese, one a line.
std::string WriteTuneOutputs(const std::string& dir, const TuneResult& result, const RunDescription& run,
    const std::function<std::string(const std::string&, const std::string&)>& drawChart);

// One period of a walk-forward run: tuned on every race before checkFrom, checked on checkFrom..checkTo.
struct FoldResult {
    std::string checkFrom, checkTo; // YYYY-MM-DD
    std::size_t evaluations = 0;
    Tally startTuning, bestTuning, startChecking, bestChecking;
    ParamValues best {};
};
// folds.csv: a row per period and a last row 合計 with the checking periods taken together.
std::string FoldsCsv(const std::vector<FoldResult>& folds, Objective o);
// The printed table of the periods and the verdict on them together.
std::string FoldsReport(const std::vector<FoldResult>& folds, Objective o);

inline const char* const kFoldsFile = "folds.csv";
inline const char* const kTunedParamsFile = "repara.txt";
inline const char* const kTuningFile = "tuning.csv";
inline const char* const kTuneSummaryFile = "summary.csv";
inline const char* const kTuneChartSvg = "tuning.svg";
inline const char* const kTuneChartPng = "tuning.png";

} // namespace pado::tune
