#pragma once

#include <QImage>

#include "gui/backtest_chart.h"

namespace pado::gui {

// The chart as the PNG file holds it, for the 検証 window. Needs a GUI application.
QImage BacktestChartImage(const ChartData& data);

} // namespace pado::gui
