#pragma once

#include <set>
#include <string>

#include "backtest/race_source.h"

namespace pado::testing {

// Invented past races for the backtest: race i is make-race's race of seed firstSeed + i, run on its own
// day, and its result is invented from the entrants' abilities (the better horse tends to win and to be
// the favourite), so the same numbers come out on every run.
class MakeRaceSource : public backtest::RaceSource {
public:
    struct Config {
        int races = 12;
        std::uint64_t firstSeed = 1;
        int entrants = 12;
        int runs = 16;
        // Races whose build fails, by index, to see failures listed and left out.
        std::set<int> unbuildable;
        // Races whose build throws something else than a message for the user, by index.
        std::set<int> throwing;
        // Races whose card start-up refuses (no marker line), by index.
        std::set<int> badCard;
        // When set, each build appends "race_id cut-off" here: builds happen on the races' threads.
        std::string cutOffLog;
    };
    explicit MakeRaceSource(Config config)
        : config_(std::move(config))
    {
    }

    std::size_t CountRaces(const backtest::RaceQuery& query) override;
    void ForEachRace(
        const backtest::RaceQuery& query, const std::function<bool(const backtest::RaceOutcome&)>& visit) override;
    void BuildMorning(const std::string& raceId, const Date& cutOff, const std::string& folder, int pastRuns) override;

    // Race i's id, date and venue.
    static std::string RaceId(int index);
    static Date RaceDate(int index);

private:
    bool Matches(int index, const backtest::RaceQuery& query) const;
    backtest::RaceOutcome Outcome(int index) const;
    Config config_;
    // Simulated once, on the first listing: a bench then times the replay, not the invention of results.
    std::vector<backtest::RaceOutcome> outcomes_;
};

} // namespace pado::testing
