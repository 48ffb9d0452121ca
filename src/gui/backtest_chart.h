#pragma once

#include <string>
#include <vector>

#include "backtest/summary.h"

// No Qt type in this header: the backtest command includes it without the widgets.
namespace pado::gui {

struct ChartSeries {
    std::string label; // the parameter file
    std::vector<double> winPct; // one per group
    std::vector<double> top3Pct;
};

struct ChartData {
    std::string title;
    std::vector<std::string> groups; // mark groups first, then the baselines
    std::vector<bool> baseline; // per group: drawn as a baseline (its bars hatched)
    std::vector<ChartSeries> series; // one colour each
};

// The chart of a summary: the groups of the first parameter set, the baselines hatched.
ChartData BacktestChartData(const std::string& title, const std::vector<std::string>& labels,
    const std::vector<std::vector<backtest::GroupStats>>& rows);

// Draws the win and top-3 rates per group as bar charts, one above the other, with the rates of all
// runners as dashed lines, into an SVG file and a PNG file. Needs no display. Empty on success,
// otherwise what went wrong, in Japanese.
std::string WriteBacktestChart(const ChartData& data, const std::string& svgPath, const std::string& pngPath);

} // namespace pado::gui
