#pragma once

#include <string>
#include <vector>

#include "tune/outputs.h"

// No Qt type in this header: the tune command includes it without the widgets.
namespace pado::gui {

struct TuneChartData {
    std::string title;
    std::string objective; // what the vertical axis counts: 複勝率 ...
    std::vector<double> tuning, checking; // per evaluation, in percent
    std::vector<double> bestSoFar; // the best on the tuning races after each evaluation
    std::vector<double> bestChecking; // the checking figure of that best set
};

// The chart's title for a run: its period, and its venue, surface and mode.
std::string TuneChartTitle(const tune::RunDescription& run);
// What the chart of result draws with the objective o.
TuneChartData TuneChartDataOf(const tune::TuneResult& result, tune::Objective o, std::string title);

// Draws the objective against the evaluations (a dot per set on the tuning and on the checking races,
// lines for the best so far) into an SVG file and a PNG file. Needs no display. Empty on success,
// otherwise what went wrong, in Japanese.
std::string WriteTuneChart(const TuneChartData& data, const std::string& svgPath, const std::string& pngPath);

} // namespace pado::gui
