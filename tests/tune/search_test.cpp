#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/fs.h"
#include "support/temp_dir.h"
#include "tune/outputs.h"
#include "tune/tuner.h"
#include "tune/walk_forward.h"

namespace pado::tune {
namespace {

using backtest::RaceOutcome;
using backtest::RunnerOutcome;

std::uint64_t Hash(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Invented races where a runner is marked when its rating is below the 「芝・ダート "k"」 parameter (16).
// With planted results, runners rated below 3 are the ones that finish in the first three; otherwise
// finishing positions are random. Races come one a day from 2020-01-01.
class RatingEvaluator : public Evaluator {
public:
    RatingEvaluator(int races, bool planted, std::uint64_t salt = 0)
    {
        for (int r = 0; r < races; ++r) {
            RaceOutcome race;
            race.raceId = std::to_string(100000 + r);
            race.date = DateAt(r);
            std::vector<std::pair<double, int>> order; // sort key, horse
            for (int h = 1; h <= 12; ++h) {
                const std::uint64_t k = Hash(salt * 1000003 + static_cast<std::uint64_t>(r * 100 + h));
                const double rating = static_cast<double>(k % 2000) / 100.0; // 0 .. 19.99
                ratings_[race.raceId][h] = rating;
                const double noise = static_cast<double>(Hash(k) % 1000) / 1000.0;
                order.push_back({ planted ? (rating < 3 ? noise : 10 + noise) : noise, h });
            }
            std::sort(order.begin(), order.end());
            race.runners.resize(12);
            for (int pos = 0; pos < 12; ++pos) {
                RunnerOutcome& o
                    = race.runners[static_cast<std::size_t>(order[static_cast<std::size_t>(pos)].second - 1)];
                o.horseNumber = order[static_cast<std::size_t>(pos)].second;
                o.finish = pos + 1;
                o.winOdds = 2.0 + pos;
            }
            races_.push_back(race);
        }
    }

    static Date DateAt(int day)
    {
        int y = 2020, m = 1, d = 1 + day;
        while (d > 28) {
            d -= 28;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
        return { y, m, d };
    }

    EvalReport Run(const Date& from, const Date& to, const std::vector<ParamValues>& sets, const Visit& visit,
        const std::function<bool()>& stop) override
    {
        EvalReport report;
        ++runs;
        for (const RaceOutcome& race : races_) {
            if (race.date < from || to < race.date)
                continue;
            if (stop && stop()) {
                report.interrupted = true;
                return report;
            }
            ++report.races;
            std::vector<RaceMarks> marks;
            for (const ParamValues& v : sets) {
                RaceMarks m;
                for (const auto& [h, rating] : ratings_[race.raceId])
                    m[h] = rating < v[factorSurfaceGood] ? "k" : "";
                marks.push_back(m);
            }
            visit(race, marks);
        }
        return report;
    }

    int runs = 0;

private:
    std::vector<RaceOutcome> races_;
    std::map<std::string, std::map<int, double>> ratings_;
};

TuneOptions Options(std::size_t budget, std::uint64_t seed = 7)
{
    TuneOptions o;
    o.from = { 2020, 1, 1 };
    o.to = { 2030, 1, 1 };
    o.holdout = RatingEvaluator::DateAt(120);
    o.start = DefaultAssistParameters();
    o.budget = budget;
    o.seed = seed;
    return o;
}

TEST(Tune, FindsThePlantedValueAndTheCheckingRacesConfirmIt)
{
    RatingEvaluator races(180, true);
    TuneResult r = Tune(races, Options(60));
    ASSERT_TRUE(r.error.empty());
    ASSERT_EQ(r.evaluations.size(), 60u);
    // Runners rated below 3 take the first places; a threshold of 3 marks all of them and no other.
    EXPECT_EQ(r.Best().values[factorSurfaceGood], 3.0f);
    EXPECT_GT(r.Best().checking.tally.Value(Objective::Top3), r.Start().checking.tally.Value(Objective::Top3) + 10);
    EXPECT_FALSE(r.Overfit(Objective::Top3));
    EXPECT_EQ(r.Start().tuning.tally.races, 120u);
    EXPECT_EQ(r.Start().checking.tally.races, 60u);
    EXPECT_EQ(TuneReport(r, {}).find(kOverfitWarning), std::string::npos);
    // The sets of a batch share a pass over the races.
    EXPECT_EQ(races.runs, 4);
}

TEST(Tune, RandomResultsAreNotConfirmedAndTheReportSaysSo)
{
    RatingEvaluator races(160, false, 3);
    TuneOptions o = Options(40, 11);
    o.holdout = RatingEvaluator::DateAt(80);
    TuneResult r = Tune(races, o);
    ASSERT_NE(r.best, 0u);
    EXPECT_GT(r.Best().tuning.tally.Value(o.objective), r.Start().tuning.tally.Value(o.objective));
    EXPECT_TRUE(r.Overfit(o.objective));
    RunDescription run;
    run.objective = o.objective;
    EXPECT_NE(TuneReport(r, run).find(kOverfitWarning), std::string::npos);
}

// A set that marks a handful of lucky horses is no candidate, however high its rate.
TEST(Tune, SetsMarkingTooFewRacesAreNotChosen)
{
    RatingEvaluator races(100, false, 5);
    TuneOptions o = Options(30);
    o.minRaces = 40;
    TuneResult r = Tune(races, o);
    for (const Evaluation& e : r.evaluations)
        if (e.index != 0 && e.tuning.tally.markedRaces < 40) {
            EXPECT_NE(r.best, e.index);
        }
    EXPECT_GE(r.Best().tuning.tally.markedRaces, 40u);
}

TEST(Tune, SameSeedSameSetsOtherSeedOtherSets)
{
    RatingEvaluator races(60, true);
    TuneOptions o = Options(30);
    o.holdout = RatingEvaluator::DateAt(40);
    auto a = Tune(races, o), b = Tune(races, o);
    o.seed = 8;
    auto c = Tune(races, o);
    EXPECT_EQ(TuningCsv(a, o.objective), TuningCsv(b, o.objective));
    EXPECT_NE(TuningCsv(a, o.objective), TuningCsv(c, o.objective));
    // No set is evaluated twice.
    std::set<ParamValues> seen;
    for (const Evaluation& e : a.evaluations)
        EXPECT_TRUE(seen.insert(e.values).second) << e.index;
}

TEST(Tune, FixedParametersStayAndAStopKeepsOnlyWholeBatches)
{
    RatingEvaluator races(60, true);
    TuneOptions o = Options(50);
    std::string error;
    ASSERT_TRUE(o.space.Apply("16=3.5\n", error));
    TuneResult r = Tune(races, o);
    for (const Evaluation& e : r.evaluations)
        if (e.index) {
            EXPECT_EQ(e.values[factorSurfaceGood], 3.5f);
        }

    int polls = 0;
    TuneCallbacks cb;
    cb.stop = [&] { return ++polls > 100; };
    TuneResult stopped = Tune(races, Options(50), cb);
    EXPECT_TRUE(stopped.interrupted);
    EXPECT_EQ(stopped.evaluations.size(), 16u); // the first batch; the second was cut short and dropped
    for (const Evaluation& e : stopped.evaluations)
        EXPECT_EQ(e.tuning.tally.races + e.checking.tally.races, 60u);
}

// The parts cover the checking period day by day without a gap, each tuned on every race before it.
TEST(WalkForward, PartsFollowEachOtherAndEachTunesOnEverythingBefore)
{
    RatingEvaluator races(180, true);
    TuneOptions o = Options(20);
    o.to = RatingEvaluator::DateAt(179);
    const TuneResult whole = Tune(races, o);
    const WalkForward walk = RunWalkForward(races, o, 3);
    ASSERT_EQ(walk.folds.size(), 3u);
    EXPECT_FALSE(walk.cutShort);
    EXPECT_EQ(walk.folds.front().checkFrom, backtest::DateText(o.holdout));
    EXPECT_EQ(walk.folds.back().checkTo, backtest::DateText(o.to));
    std::size_t checked = 0;
    for (std::size_t k = 0; k < walk.folds.size(); ++k) {
        const FoldResult& f = walk.folds[k];
        if (k > 0) {
            Date end, next;
            ASSERT_TRUE(backtest::ParseDate(walk.folds[k - 1].checkTo, end));
            ASSERT_TRUE(backtest::ParseDate(f.checkFrom, next));
            EXPECT_EQ(DaysFromCivil(next.year, next.month, next.day), DaysFromCivil(end.year, end.month, end.day) + 1);
        }
        EXPECT_EQ(f.startTuning.races, 120 + checked) << k;
        EXPECT_EQ(f.evaluations, 20u);
        checked += f.startChecking.races;
    }
    EXPECT_EQ(checked, whole.Start().checking.tally.races);
    EXPECT_TRUE(CutShortNote(walk, 3).empty());
}

TEST(WalkForward, TooManyPartsOrAStopCutItShortAndTheFileHoldsWhatEnded)
{
    RatingEvaluator races(100, true);
    TuneOptions o = Options(16);
    o.to = o.holdout; // a checking period of one day
    EXPECT_TRUE(FoldsFit(o, 1));
    EXPECT_FALSE(FoldsFit(o, 2));
    WalkForward refused = RunWalkForward(races, o, 2);
    EXPECT_TRUE(refused.folds.empty() && refused.cutShort && !refused.error.empty());

    o = Options(16);
    o.holdout = RatingEvaluator::DateAt(60);
    o.to = RatingEvaluator::DateAt(99);
    bool stop = false;
    TuneCallbacks callbacks;
    callbacks.stop = [&] { return stop; };
    std::vector<int> started;
    const WalkForward walk = RunWalkForward(races, o, 4, callbacks, [&](int k) {
        started.push_back(k);
        stop = k == 1; // the user stops while the second part runs
    });
    EXPECT_EQ(started, (std::vector<int> { 0, 1 }));
    ASSERT_EQ(walk.folds.size(), 1u);
    EXPECT_TRUE(walk.cutShort);
    EXPECT_EQ(CutShortNote(walk, 4), "前へ進む検証は 1/4 期間で中断しました。\n");

    TempDir dir;
    EXPECT_EQ(WriteWalkForward(dir.Path(), {}, o.objective), "");
    EXPECT_FALSE(fs::IsFile(dir.File(kFoldsFile))) << "no part ended: no file";
    EXPECT_EQ(WriteWalkForward(dir.Path(), walk, o.objective), "");
    std::string bytes;
    ASSERT_TRUE(fs::ReadBytes(dir.File(kFoldsFile), bytes));
    EXPECT_EQ(bytes, FoldsCsv(walk.folds, o.objective));
    EXPECT_NE(WriteWalkForward(dir.File("none"), walk, o.objective), "");
}

TEST(Tally, CountsOnlyStartedMarkedRunnersAndRacesWithAMark)
{
    RaceOutcome race;
    race.runners = { { 1, "", true, 1, 1, 4.5 }, { 2, "", true, 2, 2, 3.0 }, { 3, "", false, 0, 0, 0 },
        { 4, "", true, 0, 5, 50 } };
    Tally t;
    t.Add(race, { { 1, "k" }, { 3, "k" }, { 4, "dp" }, { 2, "" } });
    t.Add(race, {});
    EXPECT_EQ(t.races, 2u);
    EXPECT_EQ(t.markedRaces, 1u);
    EXPECT_EQ(t.marked, 2u); // 3 was scratched
    EXPECT_DOUBLE_EQ(t.Value(Objective::Win), 50.0);
    EXPECT_DOUBLE_EQ(t.Value(Objective::Top3), 50.0);
    EXPECT_DOUBLE_EQ(t.Value(Objective::Return), 225.0); // 4.5 back on 2 staked
    EXPECT_DOUBLE_EQ(Tally().Value(Objective::Return), 0.0);
}

} // namespace
} // namespace pado::tune
