#pragma once

#include <memory>

#include "backtest/make_race_source.h"

namespace pado::testing {

inline MakeRaceSource::Config Races()
{
    MakeRaceSource::Config c;
    c.races = 8;
    c.entrants = 10;
    c.runs = 14;
    c.firstSeed = 21;
    return c;
}

// The invented races all fall on one day; here race i is run i days later, so that some tune and some check.
class SpreadSource : public backtest::RaceSource {
public:
    SpreadSource()
        : inner_(Races())
    {
    }
    static Date Day(int index)
    {
        const Date d = MakeRaceSource::RaceDate(0);
        Date out;
        CivilFromDays(DaysFromCivil(d.year, d.month, d.day) + index, out.year, out.month, out.day);
        return out;
    }
    std::size_t CountRaces(const backtest::RaceQuery& q) override { return inner_.CountRaces(q); }
    void ForEachRace(
        const backtest::RaceQuery& q, const std::function<bool(const backtest::RaceOutcome&)>& visit) override
    {
        int i = 0;
        inner_.ForEachRace(q, [&](const backtest::RaceOutcome& race) {
            backtest::RaceOutcome moved = race;
            moved.date = Day(i++);
            return visit(moved);
        });
    }
    void BuildMorning(const std::string& raceId, const Date& cutOff, const std::string& folder, int pastRuns) override
    {
        inner_.BuildMorning(raceId, cutOff, folder, pastRuns);
    }

private:
    MakeRaceSource inner_;
};

} // namespace pado::testing
