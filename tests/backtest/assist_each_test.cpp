#include <filesystem>
#include <gtest/gtest.h>

#include "backtest/make_race_source.h"
#include "backtest/race_assist.h"
#include "platform/fs.h"
#include "tune/space.h"

namespace pado::testing {

namespace {

// Sets far apart in the search space, so that the marks differ from set to set.
backtest::RaceQuery AllDays()
{
    backtest::RaceQuery q;
    q.from = { 2000, 1, 1 };
    q.to = { 2100, 1, 1 };
    return q;
}

std::vector<backtest::AssistParameters> SpreadSets(std::size_t n)
{
    std::vector<backtest::AssistParameters> sets;
    const tune::SearchSpace space = tune::SearchSpace::Default();
    for (std::size_t k = 0; k < n; ++k) {
        backtest::AssistParameters v = DefaultAssistParameters();
        for (std::size_t i = 0; i < assistParamCount; ++i)
            v[i] = space[i].Value(static_cast<int>((k * 7 + 1) * (i + 3) % static_cast<std::size_t>(space[i].Count())));
        sets.push_back(v);
    }
    return sets;
}

// The program folders of presses still under folder.
std::size_t ProgramFolders(const std::string& folder)
{
    std::size_t n = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        n += e.is_directory() && e.path().filename().string().rfind("p-", 0) == 0;
    return n;
}

} // namespace

// One started program pressed once per set gives, set by set, what a fresh start for each set gives:
// nothing a press leaves behind (marks on the memo pad, work files, the views' state) reaches the next.
TEST(AssistEach, SameOutcomesAsAFreshStartForEverySet)
{
    MakeRaceSource::Config config;
    config.races = 3;
    config.entrants = 9;
    config.runs = 12;
    config.firstSeed = 7;
    MakeRaceSource source(config);
    std::vector<backtest::RaceOutcome> races;
    source.ForEachRace(AllDays(), [&](const backtest::RaceOutcome& r) {
        races.push_back(r);
        return true;
    });
    ASSERT_EQ(races.size(), 3u);
    // Where the backtest works (a memory file system when there is one): on a disk each press waits for it.
    backtest::WorkFolder work;
    const auto sets = SpreadSets(4);
    std::size_t differing = 0;
    for (const auto& race : races) {
        backtest::MorningRace morning(source, race, 12, work);
        for (int mode = 1; mode <= 4; ++mode) {
            const auto each = morning.AssistEach(mode, sets);
            ASSERT_EQ(each.size(), sets.size()) << race.raceId << " mode " << mode;
            for (std::size_t k = 0; k < sets.size(); ++k) {
                const backtest::AssistOutcome fresh = morning.Assist(mode, sets[k]);
                EXPECT_EQ(each[k].ok, fresh.ok) << race.raceId << " mode " << mode << " set " << k;
                EXPECT_EQ(each[k].reason, fresh.reason) << race.raceId << " mode " << mode << " set " << k;
                EXPECT_EQ(each[k].marks, fresh.marks) << race.raceId << " mode " << mode << " set " << k;
                differing += k > 0 && each[k].marks != each[0].marks;
            }
            EXPECT_EQ(ProgramFolders(work.Path()), 0u);
        }
    }
    // Otherwise the sets would not show a press leaking into the next.
    EXPECT_GT(differing, 0u);
}

// A race the program refuses at start-up fails once with the start-up's reason, as a fresh start would.
TEST(AssistEach, AFailedStartEndsTheSets)
{
    MakeRaceSource::Config config;
    config.races = 1;
    config.badCard = { 0 };
    MakeRaceSource source(config);
    backtest::RaceOutcome race;
    source.ForEachRace(AllDays(), [&](const backtest::RaceOutcome& r) {
        race = r;
        return false;
    });
    // Where the backtest works (a memory file system when there is one): on a disk each press waits for it.
    backtest::WorkFolder work;
    backtest::MorningRace morning(source, race, 12, work);
    const auto each = morning.AssistEach(3, SpreadSets(3));
    ASSERT_EQ(each.size(), 1u);
    EXPECT_FALSE(each[0].ok);
    EXPECT_EQ(each[0].reason, morning.Assist(3, SpreadSets(1)[0]).reason);
    EXPECT_FALSE(each[0].reason.empty());
    EXPECT_TRUE(morning.AssistEach(3, {}).empty());
}

} // namespace pado::testing
