#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

#include "tune/outputs.h"

namespace pado::tune {
namespace {

std::vector<std::vector<std::string>> Rows(const std::string& csv)
{
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(csv.substr(3));
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_EQ(line.back(), '\r');
        line.pop_back();
        std::vector<std::string> f;
        std::size_t p = 0;
        for (;;) {
            const std::size_t q = line.find(',', p);
            f.push_back(line.substr(p, q == std::string::npos ? std::string::npos : q - p));
            if (q == std::string::npos)
                break;
            p = q + 1;
        }
        rows.push_back(f);
    }
    return rows;
}

Tally Counted(std::size_t races, std::size_t marked, std::size_t wins, std::size_t top3, double odds)
{
    Tally t;
    t.races = races;
    t.markedRaces = races;
    t.marked = marked;
    t.wins = wins;
    t.top3 = top3;
    t.winOddsSum = odds;
    return t;
}

TuneResult TwoSets()
{
    TuneResult r;
    r.evaluations.resize(2);
    r.evaluations[0].values = DefaultAssistParameters();
    r.evaluations[0].phase = "開始";
    r.evaluations[0].tuning.tally = Counted(10, 30, 3, 9, 20);
    r.evaluations[0].checking.tally = Counted(5, 15, 3, 6, 33.3);
    r.evaluations[1].index = 1;
    r.evaluations[1].phase = "改良";
    r.evaluations[1].values = DefaultAssistParameters();
    r.evaluations[1].values[15] = 3.5f;
    r.evaluations[1].tuning.tally = Counted(10, 20, 4, 10, 30);
    r.evaluations[1].checking.tally = Counted(5, 12, 1, 4, 9.9);
    r.best = 1;
    r.minRaces = 1;
    return r;
}

// A reader can recount each objective from the counts beside it, and finds the chosen set marked once.
TEST(TuneFiles, TuningCsvHoldsCountsThatGiveItsObjectives)
{
    const TuneResult r = TwoSets();
    for (Objective o : { Objective::Top3, Objective::Win, Objective::Return }) {
        auto rows = Rows(TuningCsv(r, o));
        ASSERT_EQ(rows.size(), 3u);
        const auto& h = rows[0];
        auto col = [&](const std::string& name) {
            return static_cast<std::size_t>(std::find(h.begin(), h.end(), name) - h.begin());
        };
        for (std::size_t i = 1; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].size(), h.size());
            for (const char* period : { "tuning_", "checking_" }) {
                const std::string p = period;
                const double marked = std::atof(rows[i][col(p + "marked")].c_str());
                const double hits = o == Objective::Return ? std::atof(rows[i][col(p + "win_odds_sum")].c_str())
                    : o == Objective::Win                  ? std::atof(rows[i][col(p + "wins")].c_str())
                                                           : std::atof(rows[i][col(p + "top3")].c_str());
                EXPECT_NEAR(std::atof(rows[i][col(p + "objective")].c_str()), 100 * hits / marked, 1e-4);
            }
        }
        EXPECT_EQ(rows[1][col("p16")], "4");
        EXPECT_EQ(rows[2][col("p16")], "3.5");
        EXPECT_EQ(rows[1][col("best")], "0");
        EXPECT_EQ(rows[2][col("best")], "1");
    }
    // The best set does worse on the checking races: the report says so in plain words.
    RunDescription run;
    EXPECT_TRUE(r.Overfit(Objective::Top3));
    EXPECT_NE(TuneReport(r, run).find(kOverfitWarning), std::string::npos);
    EXPECT_NE(TuneReport(r, run).find("4 → 3.5"), std::string::npos);
}

TEST(TuneFiles, FoldsTotalIsTheCheckingPeriodsTakenTogether)
{
    std::vector<FoldResult> folds(2);
    folds[0].startChecking = Counted(4, 10, 1, 3, 5);
    folds[0].bestChecking = Counted(4, 8, 2, 4, 9);
    folds[1].startChecking = Counted(6, 20, 2, 5, 7);
    folds[1].bestChecking = Counted(6, 10, 1, 0, 3);
    auto rows = Rows(FoldsCsv(folds, Objective::Top3));
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), rows[0].size());
    const auto& h = rows[0];
    auto col = [&](const std::string& name) {
        return static_cast<std::size_t>(std::find(h.begin(), h.end(), name) - h.begin());
    };
    EXPECT_EQ(rows[3][0], "合計");
    EXPECT_EQ(rows[3][col("start_checking_marked")], "30");
    EXPECT_EQ(rows[3][col("best_checking_top3")], "4");
    EXPECT_NEAR(std::atof(rows[3][col("best_checking_objective")].c_str()), 100.0 * 4 / 18, 1e-4);
    EXPECT_TRUE(rows[3][col("start_tuning_marked")].empty());
    // Together the chosen sets place less often afterwards (4 of 18 against 8 of 30) but win more often (3 of
    // 18 against 3 of 30): the warning follows the objective.
    EXPECT_NE(FoldsReport(folds, Objective::Top3).find(kOverfitWarning), std::string::npos);
    EXPECT_EQ(FoldsReport(folds, Objective::Win).find(kOverfitWarning), std::string::npos);
}

} // namespace
} // namespace pado::tune
