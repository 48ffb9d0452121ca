#pragma once

#include <QDate>

#include "backtest/race_source.h"

class QComboBox;
class QWidget;

// The choices of races and assist mode that 検証 and its 最適化 tab offer alike.
namespace pado::gui {

// 全競馬場 first, then the ten venues.
QComboBox* NewVenueBox(QWidget* parent);
// 芝・ダート・障害 first, then 芝, ダ, 障.
QComboBox* NewSurfaceBox(QWidget* parent);
// The assist's four modes, the dirt mode chosen.
QComboBox* NewModeBox(QWidget* parent);

// The venue and surface chosen, into query: the first item of each means every race.
void ReadRaceChoices(const QComboBox& venue, const QComboBox& surface, backtest::RaceQuery& query);

Date DateOf(const QDate& d);

} // namespace pado::gui
