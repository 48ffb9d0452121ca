#pragma once

#include <QImage>

#include "gui/tune_chart.h"

namespace pado::gui {

// The chart of a tuning run as the window shows it.
QImage TuneChartImage(const TuneChartData& data);

} // namespace pado::gui
