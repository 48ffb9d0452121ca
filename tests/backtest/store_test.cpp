// The backtest on races of the race store, built by the race builder: only where both are built.
#ifdef PADO_IMPORT

#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "backtest/backtest_support.h"
#include "backtest/store_source.h"
#include "support/temp_dir.h"

namespace pado::testing {

namespace {

// make-race's invented world, emitted as data files and imported into a store of its own.
class StoreBacktest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = dir.File("races.sqlite");
        const std::string emit = "'" PADO_MAKE_RACE "' --emit csv '" + dir.File("world") + "' > /dev/null";
        const std::string add = "'" PADO_IMPORT "' add --store '" + store + "' '" + dir.File("world") + "' > /dev/null";
        ASSERT_EQ(std::system(emit.c_str()), 0);
        ASSERT_EQ(std::system(add.c_str()), 0);
    }

    std::unique_ptr<backtest::RaceSource> Open(const std::string& file)
    {
        std::string error;
        auto source = backtest::OpenStoreSource(file, error);
        EXPECT_TRUE(source) << error;
        return source;
    }

    backtest::BacktestRun Run(const std::string& file, const backtest::EngineOptions& options, const std::string& out)
    {
        auto listing = Open(file);
        return backtest::RunBacktestIntoFolder(options, *listing, [this, file] { return Open(file); }, out, {});
    }

    // Runs SQL on a store and returns the first column of the first row (empty when none).
    static std::string Sql(const std::string& file, const std::string& sql)
    {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        std::string out;
        if (sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0))
            out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return out;
    }

    TempDir dir;
    std::string store;
};

backtest::EngineOptions November(int mode)
{
    backtest::EngineOptions o = Options(mode, 2);
    o.query.from = { 2026, 11, 1 };
    o.query.to = { 2026, 11, 30 };
    return o;
}

} // namespace

// Races of the store: the marks the backtest records are those of the assist button on the same built files.
TEST_F(StoreBacktest, MarksAreThoseOfTheAssistButtonOnTheBuiltFiles)
{
    backtest::BacktestRun run = Run(store, November(2), dir.File(""));
    ASSERT_GT(run.report.done, 2u);
    EXPECT_EQ(run.report.failed, 0u);
    auto recorded = MarksByRace(dir.File("marks.csv"));
    auto source = Open(store);
    int compared = 0, marked = 0;
    for (const auto& [raceId, marks] : recorded) {
        if (++compared > 3)
            break;
        for (const auto& [number, m] : marks)
            marked += !m.empty();
        TempDir program;
        Date day { std::stoi(raceId.substr(0, 4)), std::stoi(raceId.substr(4, 2)), std::stoi(raceId.substr(6, 2)) };
        source->BuildMorning(raceId, day, program.Path(), 5);
        auto [before, after] = ReplayAssist(program.Path(), day, 2);
        EXPECT_EQ(ToUtf8(WithMarks(before, marks)), ToUtf8(after)) << raceId;
    }
    EXPECT_GT(marked, 0) << "no mark at all: the comparison proves nothing";
}

// A race's own result never reaches its build: two stores that differ only in that result (its finishing
// order reversed, its times slower) give the same files and the same marks, while a later race that one of
// its runners ran in does see the change.
TEST_F(StoreBacktest, OwnResultDoesNotReachTheMorningBuild)
{
    const std::string race = Sql(store,
        "SELECT r1.race_id FROM runners r1 JOIN runners r2 ON r1.horse_name = r2.horse_name "
        "JOIN races a ON a.id = r1.race_id JOIN races b ON b.id = r2.race_id "
        "WHERE a.date >= 20261101 AND b.date > a.date AND a.has_result = 1 AND b.has_result = 1 "
        "ORDER BY r1.race_id LIMIT 1");
    ASSERT_FALSE(race.empty());
    const std::string later = Sql(store,
        "SELECT r2.race_id FROM runners r1 JOIN runners r2 ON r1.horse_name = r2.horse_name "
        "JOIN races a ON a.id = r1.race_id JOIN races b ON b.id = r2.race_id WHERE r1.race_id = "
            + race + " AND b.date > a.date AND b.has_result = 1 ORDER BY r2.race_id LIMIT 1");
    const std::string changed = dir.File("changed.sqlite");
    std::filesystem::copy_file(store, changed);
    Sql(changed,
        "UPDATE runners SET finish = (SELECT max(finish) + 1 FROM runners WHERE race_id = " + race
            + ") - finish, time = time + 37 WHERE race_id = " + race + " AND finish > 0");
    ASSERT_NE(Sql(store, "SELECT group_concat(finish) FROM runners WHERE race_id = " + race),
        Sql(changed, "SELECT group_concat(finish) FROM runners WHERE race_id = " + race));

    auto build = [&](const std::string& file, const std::string& id) {
        TempDir folder;
        Date day { std::stoi(id.substr(0, 4)), std::stoi(id.substr(4, 2)), std::stoi(id.substr(6, 2)) };
        Open(file)->BuildMorning(id, day, folder.Path(), 5);
        return Slurp(folder.File("R1.txt")) + Slurp(folder.File("Rall.txt")) + Slurp(folder.File("pado.txt"))
            + Slurp(folder.File("kisyuE.txt"));
    };
    EXPECT_EQ(build(store, race), build(changed, race));
    EXPECT_NE(build(store, later), build(changed, later)) << "the change is visible to a race after it";

    backtest::EngineOptions options = November(4);
    options.query.from = options.query.to
        = { std::stoi(race.substr(0, 4)), std::stoi(race.substr(4, 2)), std::stoi(race.substr(6, 2)) };
    TempDir outA, outB;
    Run(store, options, outA.Path());
    Run(changed, options, outB.Path());
    auto a = MarksByRace(outA.File("marks.csv")), b = MarksByRace(outB.File("marks.csv"));
    ASSERT_TRUE(a.count(race));
    EXPECT_EQ(a[race], b[race]);
}

} // namespace pado::testing

#endif
