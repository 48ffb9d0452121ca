#include <gtest/gtest.h>

#include "backtest/outputs.h"
#include "platform/fs.h"
#include "support/temp_dir.h"
#include "tune/outputs.h"
#include "tune/spread_source.h"

namespace pado::testing {
namespace {

using namespace pado::tune;

std::string Bytes(const std::string& path)
{
    std::string out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

backtest::EngineOptions Engine(int jobs)
{
    backtest::EngineOptions e;
    e.mode = 2;
    e.jobs = jobs;
    return e;
}

TuneOptions Search()
{
    TuneOptions o;
    o.from = { 2000, 1, 1 };
    o.to = { 2100, 12, 31 };
    o.holdout = SpreadSource::Day(5);
    o.start = DefaultAssistParameters();
    o.budget = 5;
    o.batch = 3;
    o.seed = 4;
    std::string error;
    // The factors: the parameters that decide most marks of these races.
    EXPECT_TRUE(o.space.Apply("1=0.2\n2=0.3\n3=0.5\n4=0.6\n5=0.7\n6=0.8\n7=0.2\n8=1.5\n9=0.7\n10=3.3\n11=1.9\n"
                              "12=1.2\n13=6\n14=300\n",
        error));
    return o;
}

std::string TuneInto(const std::string& dir, int jobs, TuneResult& result)
{
    SpreadSource listing;
    backtest::RaceSourceFactory factory = [] { return std::make_unique<SpreadSource>(); };
    auto evaluator = MakeRaceEvaluator(Engine(jobs), listing, factory);
    result = Tune(*evaluator, Search());
    RunDescription run;
    run.from = "2000-01-01";
    run.to = "2100-12-31";
    run.holdout = backtest::DateText(SpreadSource::Day(5));
    run.mode = 2;
    return WriteTuneOutputs(dir, result, run, nullptr);
}

// The store's races run through the backtest engine: the outputs do not depend on the number of jobs, and
// the chosen repara.txt gives in 検証 exactly the figures the tuner reported for the checking races.
TEST(TuneOnStore, SameOutputsForAnyJobsAndTheChosenFileGivesTheReportedFigures)
{
    TempDir one, two;
    TuneResult a, b;
    ASSERT_EQ(TuneInto(one.Path(), 1, a), "");
    ASSERT_EQ(TuneInto(two.Path(), 3, b), "");
    ASSERT_EQ(a.evaluations.size(), 5u);
    EXPECT_EQ(a.failed, 0u);
    EXPECT_EQ(a.Start().tuning.tally.races, 5u);
    EXPECT_EQ(a.Start().checking.tally.races, 3u);
    for (const char* f : { kTunedParamsFile, kTuningFile, kTuneSummaryFile }) {
        EXPECT_FALSE(Bytes(one.File(f)).empty()) << f;
        EXPECT_EQ(Bytes(one.File(f)), Bytes(two.File(f))) << f;
    }
    EXPECT_GT(a.Start().tuning.tally.marked, 0u) << "no marks: the comparison proves nothing";

    backtest::EngineOptions check = Engine(2);
    check.query.from = { 2000, 1, 1 };
    check.query.to = { 2100, 12, 31 };
    check.params = { { "best", one.File(kTunedParamsFile) } };
    // Only the checking races: a source that lists from the holdout on.
    class Checking : public SpreadSource {
    public:
        void ForEachRace(
            const backtest::RaceQuery& q, const std::function<bool(const backtest::RaceOutcome&)>& visit) override
        {
            SpreadSource::ForEachRace(
                q, [&](const backtest::RaceOutcome& r) { return r.date < SpreadSource::Day(5) || visit(r); });
        }
    } listing;
    TempDir out;
    backtest::BacktestRun run = backtest::RunBacktestIntoFolder(
        check, listing, [] { return std::make_unique<SpreadSource>(); }, out.Path(), {});
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(
        backtest::SummaryCsv({ "x" }, run.rows), backtest::SummaryCsv({ "x" }, { a.Best().checking.summary.Rows() }));
}

} // namespace
} // namespace pado::testing
