#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "backtest/backtest_support.h"
#include "backtest/race_assist.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"

namespace pado::testing {

namespace {

using backtest::DateText;

MakeRaceSource::Config SmallRaces(int races)
{
    MakeRaceSource::Config c;
    c.races = races;
    c.entrants = 10;
    c.runs = 14;
    c.firstSeed = 21;
    return c;
}

} // namespace

// The marks the backtest records are the marks a user gets pressing the assist on the same race files:
// the memo pad the replay driver shows after the press is the memo before it with exactly those marks
// appended to each entrant's row.
TEST(Backtest, MarksAreThoseOfTheAssistButtonOnTheSameFiles)
{
    for (int mode : { 2, 4 }) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        MakeRaceSource::Config config = SmallRaces(3);
        TempDir out;
        backtest::BacktestRun run = Backtest(config, Options(mode, 2), out.Path());
        ASSERT_EQ(run.report.failed, 0u);
        auto recorded = MarksByRace(out.File("marks.csv"));
        ASSERT_EQ(recorded.size(), 3u);
        std::size_t marked = 0;
        for (int i = 0; i < config.races; ++i) {
            TempDir program;
            MakeRaceSource(config).BuildMorning(
                MakeRaceSource::RaceId(i), MakeRaceSource::RaceDate(i), program.Path(), 5);
            auto [before, after] = ReplayAssist(program.Path(), MakeRaceSource::RaceDate(i), mode);
            const auto& marks = recorded[MakeRaceSource::RaceId(i)];
            ASSERT_EQ(marks.size(), static_cast<std::size_t>(config.entrants));
            for (const auto& [number, m] : marks)
                marked += !m.empty();
            EXPECT_EQ(ToUtf8(WithMarks(before, marks)), ToUtf8(after)) << MakeRaceSource::RaceId(i);
        }
        EXPECT_GT(marked, 0u) << "no race got a mark: the comparison proves nothing";
    }
}

// Each race is built from what was known before its own day, never later.
TEST(Backtest, EveryRaceIsBuiltAsOfItsOwnMorning)
{
    TempDir out;
    MakeRaceSource::Config config = SmallRaces(5);
    config.cutOffLog = out.File("cut-offs.txt");
    backtest::EngineOptions options = Options(3, 2);
    options.query.from = MakeRaceSource::RaceDate(4);
    Backtest(config, options, out.Path());
    std::multiset<std::string> builds;
    for (const Text& line : ReadTextFile(config.cutOffLog))
        builds.insert(ToUtf8(line));
    std::multiset<std::string> expected;
    for (int i = 0; i < config.races; ++i)
        expected.insert(MakeRaceSource::RaceId(i) + " " + DateText(MakeRaceSource::RaceDate(i)));
    EXPECT_EQ(builds, expected);
}

// A race that cannot be built, or whose files start-up refuses, is listed with its reason and leaves
// nothing in marks.csv; the others go on.
TEST(Backtest, FailedRacesAreListedAndLeftOut)
{
    TempDir out;
    MakeRaceSource::Config config = SmallRaces(5);
    config.unbuildable = { 1 };
    config.badCard = { 3 };
    backtest::BacktestRun run = Backtest(config, Options(2, 2), out.Path());
    EXPECT_EQ(run.report.total, 5u);
    EXPECT_EQ(run.report.done, 5u);
    EXPECT_EQ(run.report.failed, 2u);
    auto failures = ReadCsv(out.File("failures.csv"));
    ASSERT_EQ(failures.size(), 3u);
    EXPECT_EQ(failures[1][0], MakeRaceSource::RaceId(1));
    EXPECT_NE(failures[1][4].find("過去走の記録が足りません"), std::string::npos) << failures[1][4];
    EXPECT_EQ(failures[2][0], MakeRaceSource::RaceId(3));
    EXPECT_NE(failures[2][4].find("起動時"), std::string::npos) << failures[2][4];
    auto marks = MarksByRace(out.File("marks.csv"));
    EXPECT_EQ(marks.size(), 3u);
    EXPECT_FALSE(marks.count(MakeRaceSource::RaceId(1)));
    EXPECT_FALSE(marks.count(MakeRaceSource::RaceId(3)));
}

// An interrupted run stops the races in flight, leaves no folder behind and keeps what was done.
TEST(Backtest, InterruptedRunLeavesNoFoldersAndKeepsWhatWasDone)
{
    TempDir out, temp;
    backtest::EngineOptions options = Options(2, 2);
    options.tempRoot = temp.Path();
    std::size_t seen = 0;
    backtest::EngineCallbacks callbacks;
    callbacks.race = [&](const backtest::RaceResult&) { ++seen; };
    callbacks.stop = [&] { return seen >= 2; };
    backtest::BacktestRun run = Backtest(SmallRaces(8), options, out.Path(), callbacks);
    EXPECT_TRUE(run.report.interrupted);
    EXPECT_GE(run.report.done, 2u);
    EXPECT_LT(run.report.done, 8u);
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
    EXPECT_EQ(MarksByRace(out.File("marks.csv")).size(), run.report.done);
    EXPECT_FALSE(std::filesystem::exists(out.File("marks.csv.part")));
}

// The same races with one job and with three give the same files.
TEST(Backtest, OutputsDoNotDependOnTheNumberOfJobs)
{
    TempDir one, three;
    Backtest(SmallRaces(5), Options(2, 1), one.Path());
    Backtest(SmallRaces(5), Options(2, 3), three.Path());
    EXPECT_EQ(Slurp(one.File("marks.csv")), Slurp(three.File("marks.csv")));
    EXPECT_EQ(Slurp(one.File("summary.csv")), Slurp(three.File("summary.csv")));
}

// A store that fails while listing ends the run with its message and leaves no folder behind.
TEST(Backtest, ListingFailureIsReportedNotThrown)
{
    struct Broken : MakeRaceSource {
        using MakeRaceSource::MakeRaceSource;
        bool countFails = true;
        std::size_t CountRaces(const backtest::RaceQuery& q) override
        {
            if (countFails)
                throw UserError(U"競馬場「東都」がありません。");
            return MakeRaceSource::CountRaces(q);
        }
        void ForEachRace(
            const backtest::RaceQuery& q, const std::function<bool(const backtest::RaceOutcome&)>& visit) override
        {
            int n = 0;
            MakeRaceSource::ForEachRace(q, [&](const backtest::RaceOutcome& r) {
                if (++n == 3)
                    throw UserError(U"データベースが壊れています。");
                return visit(r);
            });
        }
    };
    TempDir out, temp;
    backtest::EngineOptions options = Options(2, 2);
    options.tempRoot = temp.Path();
    MakeRaceSource::Config config = SmallRaces(5);
    for (bool countFails : { true, false }) {
        Broken listing(config);
        listing.countFails = countFails;
        backtest::EngineReport report = backtest::RunBacktest(
            options, listing, [config] { return std::make_unique<MakeRaceSource>(config); }, {});
        EXPECT_NE(report.error.find(countFails ? "東都" : "壊れています"), std::string::npos) << report.error;
        EXPECT_EQ(report.done, countFails ? 0u : 2u);
        EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
    }
}

// Nothing planted in the output folder is written through: a link at an output's old temporary name, or
// at the output itself, leaves the file it points to as it was, and the output is a file of its own.
TEST(Backtest, LinksPlantedInTheOutputFolderAreNotFollowed)
{
    TempDir out, elsewhere;
    const std::string victim = elsewhere.File("victim.txt");
    fs::WriteBytesAtomic(victim, "keep");
    for (const char* name : { "marks.csv.part", "summary.csv.part", "failures.csv.part", "failures.csv" })
        ASSERT_EQ(::symlink(victim.c_str(), out.File(name).c_str()), 0) << name;
    backtest::BacktestRun run = Backtest(SmallRaces(2), Options(2, 1), out.Path());
    EXPECT_TRUE(run.written);
    EXPECT_EQ(Slurp(victim), "keep");
    for (const char* name : { "marks.csv", "summary.csv", "failures.csv" }) {
        EXPECT_TRUE(fs::IsFile(out.File(name)) && !fs::IsLink(out.File(name))) << name;
        EXPECT_NE(Slurp(out.File(name)), "keep") << name;
    }
}

// A run killed outright (SIGKILL: out of memory, a closed session) cannot clear up; the next run removes
// what it left, and only that: a folder of the same kind of name without the marker, and the temporary
// file of a process still running, stay.
TEST(Backtest, TheNextRunRemovesWhatAKilledRunLeft)
{
    TempDir out, temp;
    const pid_t child = ::fork();
    if (child == 0) {
        backtest::WorkFolder work(temp.Path());
        fs::AtomicFile part(out.File("marks.csv"));
        part.Write("half a file");
        ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), {}), 1);

    const std::string unmarked = temp.File("pado-backtest-" + std::to_string(child) + "-mine");
    ASSERT_TRUE(fs::CreateFolder(unmarked));
    const std::string live = out.File(".pado-tmp-" + std::to_string(::getpid()) + "-live");
    fs::WriteBytesAtomic(live, "in use");

    backtest::EngineOptions options = Options(2, 1);
    options.tempRoot = temp.Path();
    backtest::BacktestRun run = Backtest(SmallRaces(2), options, out.Path());
    EXPECT_EQ(run.report.failed, 0u);
    std::set<std::string> left, written;
    for (const auto& e : std::filesystem::directory_iterator(temp.Path()))
        left.insert(e.path().string());
    EXPECT_EQ(left, std::set<std::string> { unmarked });
    for (const auto& e : std::filesystem::directory_iterator(out.Path()))
        written.insert(e.path().filename().string());
    EXPECT_EQ(written, (std::set<std::string> { "failures.csv", "marks.csv", "summary.csv", fs::FileName(live) }));
}

// A race whose build throws something other than a message for the user is listed with what it threw,
// and the races after it still run.
TEST(Backtest, ARaceThatThrowsIsListedAndTheRunGoesOn)
{
    TempDir out;
    MakeRaceSource::Config config = SmallRaces(4);
    config.throwing = { 1 };
    backtest::BacktestRun run = Backtest(config, Options(3, 2), out.Path());
    EXPECT_EQ(run.report.done, 4u);
    EXPECT_EQ(run.report.failed, 1u);
    auto failures = ReadCsv(out.File("failures.csv"));
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[1][0], MakeRaceSource::RaceId(1));
    EXPECT_NE(failures[1][4].find("invented fault"), std::string::npos) << failures[1][4];
    EXPECT_EQ(MarksByRace(out.File("marks.csv")).size(), 3u);
}

} // namespace pado::testing
