#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "backtest/race_source.h"

namespace pado::backtest {

// How the runners of one group did.
struct GroupStats {
    std::string group; // 印「k」, 印の数 2, 印なし, 全出走馬, 1番人気
    std::size_t runners = 0; // runners that started
    std::size_t wins = 0;
    std::size_t top3 = 0;
    std::size_t finishers = 0; // runners with a finishing position, for the mean
    long long finishSum = 0;
    double winOddsSum = 0; // win odds of the winners

    double WinPct() const;
    double Top3Pct() const;
    double MeanFinish() const; // 0 when no runner finished
    // Staking 100 on every runner of the group: what came back, per 100 staked.
    double WinReturnPct() const;
};

// The tally of one parameter set over the races replayed so far. Only runners that started count:
// a scratched runner's stake is refunded, so it neither wins nor loses.
class Summary {
public:
    void Add(const RaceOutcome& race, const std::map<int, std::string>& marks);
    // Each mark character, each number of marks, no mark, then the baselines all runners and favourites.
    std::vector<GroupStats> Rows() const;

private:
    static void Count(GroupStats& g, const RunnerOutcome& r);
    std::map<char32_t, GroupStats> byMark_;
    std::map<std::size_t, GroupStats> byCount_;
    GroupStats noMark_, all_, favourites_;
};

inline const char* const kAllRunnersGroup = "全出走馬";
inline const char* const kFavouritesGroup = "1番人気";

// summary.csv: a header and one row per parameter set and group.
std::string SummaryCsv(const std::vector<std::string>& labels, const std::vector<std::vector<GroupStats>>& rows);
// The table for a terminal: one column group per parameter set, and after the first, each one's
// difference from the first.
std::string SummaryTable(const std::vector<std::string>& labels, const std::vector<std::vector<GroupStats>>& rows);

// A CSV field of text that may come from data: quoted when it holds a comma, a quote or a line break, and
// kept from being read as a spreadsheet formula (a leading ' before =, +, -, @, tab or CR).
std::string CsvField(const std::string& s);
// A CSV field the program made itself (the assist's marks, "-" among them), only quoted as need be.
std::string CsvQuoted(const std::string& s);
// Numbers as the output files write them: rates with one decimal, the mean finish with two.
std::string Fixed(double v, int decimals);

// marks.csv, written a race at a time so that a long period never has to fit in memory.
class MarksCsv {
public:
    static const char* Header();
    // The rows of one race: one per runner, in horse-number order.
    static std::string Rows(const RaceOutcome& race, const std::map<int, std::string>& marks);
};

} // namespace pado::backtest
