// The one SQLite layer under the race store: a busy store is named as such, a listing reads while an import
// writes, a read-only open stays read-only, and no statement is handed a value it silently dropped.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/errors.h"
#include "store/race_store.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::store;

namespace {

void AddRace(Db& db, long long id, const std::string& name)
{
    Stmt s(db, "INSERT INTO races(id, date, venue, number, name) VALUES(?1, ?2, ?3, ?4, ?5)");
    s.Bind(1, static_cast<std::int64_t>(id)).Bind(2, static_cast<std::int64_t>(id / 10000));
    s.Bind(3, static_cast<std::int64_t>(id / 100 % 100)).Bind(4, static_cast<std::int64_t>(id % 100)).Bind(5, name);
    s.Step();
}

} // namespace

TEST(SqliteLayer, ASecondWriterIsToldTheStoreIsInUse)
{
    TempDir dir;
    const std::string path = dir.File("races.sqlite");
    RaceStore first(path);
    Transaction holding(first.Database());
    RaceStore second(path); // opening waits for nothing: the first writer only holds the write lock
    sqlite3_busy_timeout(second.Database().Handle(), 50);
    try {
        Transaction t(second.Database());
        FAIL() << "a second writer got in";
    } catch (const UserError& e) {
        const std::string message = ToUtf8(e.Message());
        EXPECT_NE(message.find("使用中"), std::string::npos) << message;
        EXPECT_EQ(message.find("database is locked"), std::string::npos) << message;
    }
}

TEST(SqliteLayer, AListingReadsWhileAnImportWritesAndSeesOnlyWhatWasCommitted)
{
    TempDir dir;
    const std::string path = dir.File("races.sqlite");
    RaceStore writer(path);
    {
        Transaction t(writer.Database());
        AddRace(writer.Database(), 202401060601, "before");
        t.Commit();
    }
    // A large import: more than the writer's page cache holds, so its pages go to the file before it commits.
    writer.Database().Exec("PRAGMA cache_size = 2");
    Transaction import(writer.Database());
    for (int i = 0; i < 3000; ++i) // February 1 to 25, ten venues, twelve races
        AddRace(writer.Database(), 202402000000LL + (i / 120 + 1) * 10000 + (i / 12 % 10 + 1) * 100 + i % 12 + 1,
            std::string(200, 'x') + std::to_string(i));

    RaceStore listing(path, RaceStore::Access::ReadOnly);
    sqlite3_busy_timeout(listing.Database().Handle(), 50); // a wait would fail the test rather than hide
    std::vector<sources::RaceRecord> races = listing.Races(20240101, 20241231);
    ASSERT_EQ(races.size(), 1u);
    EXPECT_EQ(races[0].name, U"before");
    EXPECT_THROW(listing.Database().Exec("DELETE FROM races"), UserError);
    import.Commit();
    EXPECT_GT(listing.Races(20240101, 20241231).size(), 1u);
}

TEST(SqliteLayer, AReadOnlyOpenOfAStoreNotYetThereListsNothing)
{
    TempDir dir;
    RaceStore listing(dir.File("sub/races.sqlite"), RaceStore::Access::ReadOnly);
    EXPECT_TRUE(listing.Races(10000101, 99991231).empty());
}

TEST(SqliteLayer, AValueAStatementCannotTakeIsAFailureNotASilentNull)
{
    TempDir dir;
    Db db(dir.File("plain.sqlite"), Db::Mode::ReadWrite);
    Stmt s(db, "SELECT ?1");
    EXPECT_THROW(s.Bind(2, std::int64_t { 7 }), UserError); // there is no second parameter
    s.Bind(1, Value(2.5));
    ASSERT_TRUE(s.Step());
    EXPECT_TRUE(s.IsReal(0));
    EXPECT_DOUBLE_EQ(s.Real(0), 2.5);
}
