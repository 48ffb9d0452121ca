// The race store under re-imports, results after cards, injected failures, a full disk and other versions.
#include <fstream>
#include <gtest/gtest.h>

#include "emit.h"
#include "model.h"
#include "platform/errors.h"
#include "source_data.h"
#include "store/importer.h"
#include "store/schema.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::store;

namespace {

// Every row of every table, in key order: two stores with the same dump hold the same data.
std::string Dump(RaceStore& s)
{
    std::string out;
    for (const char* sql : { "SELECT * FROM races ORDER BY id", "SELECT * FROM runners ORDER BY race_id, number",
             "SELECT * FROM horses ORDER BY id", "SELECT * FROM jockeys ORDER BY id" }) {
        Stmt st(s.Database(), sql);
        while (st.Step()) {
            for (int c = 0; c < st.ColumnCount(); ++c)
                out += st.Str(c) + "|";
            out += "\n";
        }
    }
    return out;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The invented world's result and card CSV files, written once per test folder.
struct World {
    TempDir dir;
    std::string results = dir.File("csv/results.csv"), card = dir.File("csv/card.csv");
    std::string store = dir.File("store/races.sqlite");
    World()
    {
        makerace::Options o;
        o.runs = 24;
        makerace::EmitCsv(makerace::ToSourceData(makerace::Simulate(o)), dir.File("csv"));
    }
};

struct ThrowAfter : ImportObserver {
    long after;
    explicit ThrowAfter(long n)
        : after(n)
    {
    }
    void Progress(long records) override
    {
        if (records >= after)
            throw std::runtime_error("injected failure");
    }
};

struct CancelAfter : ImportObserver {
    long seen = 0;
    void Progress(long records) override { seen = records; }
    bool Cancelled() override { return seen >= 1024; }
};

} // namespace

TEST(RaceStore, ReimportChangesNothingAndCountsEveryRowAsUnchanged)
{
    World w;
    RaceStore s(w.store);
    FileImport first = ImportFile(s, w.results);
    ASSERT_TRUE(first.committed) << first.error;
    EXPECT_GT(first.byType["出走馬"].imported, 1000);
    EXPECT_EQ(first.byType["出走馬"].replaced, 0);
    const std::string before = Dump(s);
    FileImport again = ImportFile(s, w.results);
    ASSERT_TRUE(again.committed);
    EXPECT_EQ(again.byType["出走馬"].imported, 0);
    EXPECT_EQ(again.byType["出走馬"].replaced, 0);
    EXPECT_EQ(again.byType["出走馬"].unchanged, first.byType["出走馬"].imported);
    EXPECT_EQ(again.byType["レース"].unchanged, first.byType["レース"].imported);
    EXPECT_EQ(Dump(s), before);
}

TEST(RaceStore, ResultsReplaceACardAndKeepWhatOnlyTheCardKnew)
{
    TempDir dir;
    const std::string card = dir.File("card.csv"), result = dir.File("result.csv");
    WriteFile(card,
        "日付,場,R,レース名,距離,発走\n2025-01-05,中山,11,金杯,芝2000,15:45\n"
        "馬番,馬名,性齢,斤量,騎手,記号\n1,ミナトアロー,牡5,57,鷲 尾,(外)\n2,トワテール,牡4,56,真 柴,\n");
    WriteFile(result,
        "日付,場,R,レース名,距離,天候,馬場,着順,馬番,馬名,性齢,斤量,騎手,タイム\n"
        "2025-01-05,中山,11,金杯,芝2000,晴,良,1,2,トワテール,牡4,56,真 柴,2:00.1\n"
        "2025-01-05,中山,11,金杯,芝2000,晴,良,2,1,ミナトアロー,牡5,57,鷲 尾,2:00.3\n");
    RaceStore s(dir.File("s.sqlite"));
    ASSERT_TRUE(ImportFile(s, card).committed);
    sources::RaceKey key { 2025, 1, 5, 6, 11 };
    EXPECT_FALSE(s.Race(key)->hasResult);
    FileImport r = ImportFile(s, result);
    ASSERT_TRUE(r.committed);
    EXPECT_EQ(r.byType["出走馬"].replaced, 2);
    EXPECT_TRUE(s.Race(key)->hasResult);
    EXPECT_EQ(s.Race(key)->startTime, 1545); // the card's start time stays
    auto runners = s.Runners(key);
    ASSERT_EQ(runners.size(), 2u); // replaced, never duplicated
    EXPECT_EQ(runners[0].finish, 2);
    EXPECT_EQ(runners[0].mark, U"外");
    EXPECT_EQ(runners[1].timeTenths, 1201);
    // A card read again after the result does not take the result back.
    ASSERT_TRUE(ImportFile(s, card).committed);
    EXPECT_TRUE(s.Race(key)->hasResult);
    EXPECT_EQ(s.Runners(key)[1].finish, 1);
}

TEST(RaceStore, AFailureMidFileOrACancelLeavesTheStoreAsBefore)
{
    World w;
    RaceStore s(w.store);
    ASSERT_TRUE(ImportFile(s, w.card).committed);
    const std::string before = Dump(s);

    ThrowAfter fail(2048);
    FileImport failed = ImportFile(s, w.results, &fail);
    EXPECT_FALSE(failed.committed);
    EXPECT_NE(failed.error.find("injected failure"), std::string::npos);
    EXPECT_TRUE(failed.byType.empty()); // no counts for rows that did not stay
    EXPECT_EQ(Dump(s), before);

    CancelAfter cancel;
    FileImport cancelled = ImportFile(s, w.results, &cancel);
    EXPECT_FALSE(cancelled.committed);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(Dump(s), before);

    // The store still works afterwards.
    EXPECT_TRUE(ImportFile(s, w.results).committed);
    EXPECT_NE(Dump(s), before);
}

TEST(RaceStore, AFullDiskRollsTheFileBackWithAMessage)
{
    World w;
    RaceStore s(w.store);
    ASSERT_TRUE(ImportFile(s, w.card).committed);
    const std::string before = Dump(s);
    Stmt pages(s.Database(), "PRAGMA page_count");
    ASSERT_TRUE(pages.Step());
    s.Database().Exec("PRAGMA max_page_count = " + std::to_string(pages.Int(0) + 3));
    FileImport full = ImportFile(s, w.results);
    EXPECT_FALSE(full.committed);
    EXPECT_NE(full.error.find("ディスクがいっぱい"), std::string::npos) << full.error;
    EXPECT_EQ(Dump(s), before);
}

TEST(RaceStore, NewerSchemaIsRefusedOlderIsMigratedForeignFileIsLeftAlone)
{
    TempDir dir;
    const std::string newer = dir.File("newer.sqlite");
    {
        Db db(newer, Db::Mode::ReadWrite);
        CreateSchemaVersion(db, kSchemaVersion);
        db.Exec("PRAGMA user_version = 99");
    }
    try {
        RaceStore s(newer);
        FAIL() << "a newer store was opened";
    } catch (const UserError& e) {
        EXPECT_NE(ToUtf8(e.Message()).find("バージョン 99"), std::string::npos) << ToUtf8(e.Message());
    }

    const std::string older = dir.File("older.sqlite");
    {
        Db db(older, Db::Mode::ReadWrite);
        CreateSchemaVersion(db, 1);
        db.Exec("INSERT INTO races(id, date, venue, number, name, has_result) VALUES(202501050611, 20250105, 6, 11, "
                "'金杯', 1)");
    }
    {
        RaceStore s(older);
        auto race = s.Race({ 2025, 1, 5, 6, 11 });
        ASSERT_TRUE(race);
        EXPECT_EQ(race->name, U"金杯"); // kept through the migration
        EXPECT_EQ(race->edition, 0);
        Stmt v(s.Database(), "PRAGMA user_version");
        ASSERT_TRUE(v.Step());
        EXPECT_EQ(v.Int(0), kSchemaVersion);
    }

    const std::string foreign = dir.File("other.sqlite");
    {
        Db db(foreign, Db::Mode::ReadWrite);
        db.Exec("CREATE TABLE notes(x)");
    }
    EXPECT_THROW(RaceStore s(foreign), UserError);
    WriteFile(dir.File("text.sqlite"), "this is not a database at all, just some text that is long enough........");
    EXPECT_THROW(RaceStore s(dir.File("text.sqlite")), UserError);
}

TEST(RaceStore, CornerFileFindsItsRacesByMeetingAndDay)
{
    TempDir dir;
    WriteFile(dir.File("race.csv"), "日付,場,回,日,R,着順,馬番,馬名\n2023-12-24,中山,5,8,11,1,2,トワテール\n");
    WriteFile(dir.File("corner.csv"),
        "レースID,1コーナー,2コーナー,3コーナー,4コーナー\n"
        "202306050811,,,\"2,1\",\"(2,1)\"\n202306050812,,,1,1\n");
    RaceStore s(dir.File("s.sqlite"));
    ASSERT_TRUE(ImportFile(s, dir.File("race.csv")).committed);
    FileImport c = ImportFile(s, dir.File("corner.csv"));
    ASSERT_TRUE(c.committed);
    EXPECT_EQ(c.byType["レース"].replaced, 1);
    EXPECT_EQ(c.byType["レース"].skipped, 1); // race 12 of that day is not in the store
    ASSERT_EQ(c.problems.size(), 1u);
    auto race = s.Race({ 2023, 12, 24, 6, 11 });
    ASSERT_TRUE(race);
    EXPECT_EQ(race->cornerOrders[2], U"2,1");
    EXPECT_EQ(race->cornerOrders[3], U"(2,1)");
    EXPECT_TRUE(race->hasResult);
}

TEST(RaceStore, FoldersImportEveryFileAndUnknownFilesAreReported)
{
    World w;
    WriteFile(w.dir.File("csv/readme.txt"), "nothing to see");
    std::vector<std::filesystem::path> files = FilesToImport(w.dir.File("csv"));
    ASSERT_EQ(files.size(), 3u);
    RaceStore s(w.store);
    int committed = 0;
    for (const auto& f : files) {
        FileImport r = ImportFile(s, f);
        committed += r.committed;
        if (f.filename() == "readme.txt") {
            EXPECT_FALSE(r.committed);
            EXPECT_FALSE(r.error.empty());
        }
    }
    EXPECT_EQ(committed, 2);
}

TEST(RaceStore, AHorsesRunsByRegistrationNumberAndByNameWhereASourceHasNone)
{
    TempDir dir;
    WriteFile(dir.File("ids.csv"),
        "日付,場,R,着順,馬番,馬名,馬ID\n2026-01-05,中山,1,1,1,アルファ,2022100001\n"
        "2026-01-05,中山,1,2,2,アルファ,2015100009\n"); // an older horse of the same name
    WriteFile(dir.File("names.csv"),
        "日付,場,R,着順,馬番,馬名\n2026-02-01,東京,3,4,7,アルファ\n"
        "2026-03-01,東京,3,1,1,アルファ\n");
    RaceStore s(dir.File("s.sqlite"));
    ASSERT_TRUE(ImportFile(s, dir.File("ids.csv")).committed);
    ASSERT_TRUE(ImportFile(s, dir.File("names.csv")).committed);
    std::vector<StoredRun> runs = s.RunsBefore("2022100001", U"アルファ", 20260301);
    ASSERT_EQ(runs.size(), 2u); // its own numbered run and the unnumbered one, not the namesake, not 3/1 itself
    EXPECT_EQ(runs[0].race, (sources::RaceKey { 2026, 1, 5, 6, 1 }));
    EXPECT_EQ(runs[0].runner.number, 1);
    EXPECT_EQ(runs[1].race, (sources::RaceKey { 2026, 2, 1, 5, 3 }));
    EXPECT_EQ(s.RunsBefore("", U"アルファ", 20260302).size(), 4u); // by name alone every namesake counts
}

TEST(RaceStore, UndatedFilesFindTheirRacesWhicheverFileComesFirst)
{
    TempDir dir;
    makerace::Options o;
    o.runs = 12;
    makerace::EmitJrdb(makerace::ToSourceData(makerace::Simulate(o)), dir.File("jrdb"));
    auto path = [&](const char* name) { return std::filesystem::path(dir.File(std::string("jrdb/") + name)); };

    RaceStore dated(dir.File("dated.sqlite"));
    auto inOrder = ImportFiles(dated, { path("BAC.txt"), path("KYI.txt"), path("SED.txt"), path("SRB.txt") });
    for (const FileImport& r : inOrder) {
        EXPECT_TRUE(r.problems.empty()) << r.file << ": " << r.problems.front();
        EXPECT_FALSE(r.retried);
    }
    ASSERT_GT(inOrder[1].byType["出走馬"].imported, 0); // today's entrants, named by 回 and 日目 only

    RaceStore undated(dir.File("undated.sqlite"));
    auto reversed = ImportFiles(undated, { path("KYI.txt"), path("SRB.txt"), path("BAC.txt"), path("SED.txt") });
    EXPECT_EQ(Dump(undated), Dump(dated));
    // The entrant file was read again once the programme had dated its race; its report counts every row once.
    EXPECT_TRUE(reversed[0].retried);
    EXPECT_TRUE(reversed[0].problems.empty());
    EXPECT_EQ(reversed[0].byType["出走馬"].imported, inOrder[1].byType["出走馬"].imported);
    EXPECT_EQ(reversed[0].byType["出走馬"].unchanged, 0);
    EXPECT_EQ(reversed[0].byType["出走馬"].skipped, 0);
    EXPECT_TRUE(reversed[1].retried);
    EXPECT_EQ(reversed[1].byType["レース"].replaced, inOrder[3].byType["レース"].replaced);

    // Alone, the entrant file says what it could not place and leaves the store as it was.
    RaceStore alone(dir.File("alone.sqlite"));
    auto only = ImportFiles(alone, { path("KYI.txt") });
    EXPECT_FALSE(only[0].retried);
    EXPECT_GT(only[0].unresolved, 0);
    ASSERT_FALSE(only[0].problems.empty());
    EXPECT_NE(only[0].problems.front().find("まだ取り込まれていない"), std::string::npos);
    EXPECT_EQ(alone.CountRows("runners"), 0);
}

TEST(RaceStore, AMeetingAndDayTwoRaceDaysShareIsReportedNotGuessed)
{
    TempDir dir;
    WriteFile(dir.File("race.csv"),
        "日付,場,回,日,R,着順,馬番,馬名\n2023-01-22,中京,1,8,9,1,2,トワテール\n2023-03-26,中京,1,8,9,1,3,フブキ\n");
    WriteFile(dir.File("corner.csv"), "レースID,1コーナー,2コーナー,3コーナー,4コーナー\n202307010809,,,\"2,1\",1\n");
    RaceStore s(dir.File("s.sqlite"));
    ASSERT_TRUE(ImportFile(s, dir.File("race.csv")).committed);
    FileImport c = ImportFile(s, dir.File("corner.csv"));
    ASSERT_TRUE(c.committed);
    EXPECT_EQ(c.byType["レース"].replaced, 0);
    EXPECT_EQ(c.byType["レース"].skipped, 1);
    EXPECT_EQ(c.unresolved, 0); // reading it again would not help
    ASSERT_EQ(c.problems.size(), 1u);
    EXPECT_NE(c.problems.front().find("二つ以上"), std::string::npos) << c.problems.front();
    EXPECT_TRUE(s.Race({ 2023, 1, 22, 7, 9 })->cornerOrders[2].empty());
    EXPECT_TRUE(s.Race({ 2023, 3, 26, 7, 9 })->cornerOrders[2].empty());
}

TEST(RaceStore, ACardNeverReplacesWhatAResultGaveWhicheverComesFirst)
{
    TempDir dir;
    const std::string card = dir.File("card.csv"), result = dir.File("result.csv");
    // The card declared 鷲 尾 at 57 kg; 真 柴 rode at 56 kg. Only the card knows the horse mark.
    WriteFile(card,
        "日付,場,R,レース名,距離,発走\n2025-01-05,中山,11,金杯,芝2000,15:45\n"
        "馬番,馬名,性齢,斤量,騎手,記号\n1,ミナトアロー,牡5,57,鷲 尾,(外)\n2,トワテール,牡4,56,真 柴,\n");
    WriteFile(result,
        "日付,場,R,着順,馬番,馬名,斤量,騎手,タイム,馬体重\n"
        "2025-01-05,中山,11,1,1,ミナトアロー,56,真 柴,2:00.1,480(+2)\n"
        "2025-01-05,中山,11,取消,2,トワテール,,,,\n");
    std::string dumps[2];
    for (int order = 0; order < 2; ++order) {
        RaceStore s(dir.File("s" + std::to_string(order) + ".sqlite"));
        for (const std::string& f : order ? std::vector { result, card } : std::vector { card, result })
            ASSERT_TRUE(ImportFile(s, f).committed);
        const auto runners = s.Runners({ 2025, 1, 5, 6, 11 });
        ASSERT_EQ(runners.size(), 2u);
        EXPECT_EQ(runners[0].jockeyName, U"真 柴");
        EXPECT_EQ(runners[0].carriedTenths, 560);
        EXPECT_EQ(runners[0].mark, U"外"); // what only the card knew fills in
        EXPECT_EQ(runners[0].bodyWeight, 480);
        EXPECT_EQ(runners[1].abnormal, sources::Abnormal::Scratched);
        EXPECT_EQ(runners[1].jockeyName, U"真 柴"); // the result gave no rider: the declared one stands
        EXPECT_EQ(s.Race({ 2025, 1, 5, 6, 11 })->startTime, 1545);
        // Read again in the other order, nothing moves.
        for (const std::string& f : { card, result })
            EXPECT_TRUE(ImportFile(s, f).committed);
        dumps[order] = Dump(s);
    }
    EXPECT_EQ(dumps[0], dumps[1]);
}

TEST(RaceStore, TheMorningSeesNoLaterRaceTheDaysCardsOnlyAndAGeldingOnlyOnceGelded)
{
    TempDir dir;
    // A colt in January, gelded by March; the horse file, read last, says gelding.
    WriteFile(dir.File("runs.csv"),
        "日付,場,R,着順,馬番,馬名,性齢,馬ID,タイム\n2026-01-05,中山,1,1,1,アルファ,牡3,2023100001,1:10.0\n"
        "2026-03-01,中山,1,2,1,アルファ,セ3,2023100001,1:10.5\n");
    WriteFile(dir.File("nosex.csv"),
        "日付,場,R,着順,馬番,馬名,馬ID,タイム\n2026-02-01,東京,2,3,4,アルファ,2023100001,1:11.0\n");
    RaceStore s(dir.File("s.sqlite"));
    ASSERT_TRUE(ImportFile(s, dir.File("runs.csv")).committed);
    ASSERT_TRUE(ImportFile(s, dir.File("nosex.csv")).committed);
    s.Database().Exec("INSERT INTO horses(id, name, sex, birth_year) VALUES('2023100001', 'アルファ', 'セ', 2023)");
    s.Database().Exec("INSERT INTO horses(id, name, sex, birth_year) VALUES('2023100002', 'ベータ', 'セ', 2023)");
    {
        MorningView morning(s, 20260301);
        EXPECT_FALSE(morning.Race({ 2026, 3, 2, 6, 1 }));
        bool withheld = false;
        auto today = morning.Race({ 2026, 3, 1, 6, 1 }, &withheld);
        ASSERT_TRUE(today);
        EXPECT_TRUE(withheld);
        EXPECT_FALSE(today->hasResult);
        const auto card = morning.Runners({ 2026, 3, 1, 6, 1 });
        ASSERT_EQ(card.size(), 1u);
        EXPECT_EQ(card[0].finish, 0);
        EXPECT_EQ(card[0].timeTenths, 0);
        EXPECT_EQ(card[0].sex, U'セ');
        EXPECT_EQ(morning.RunsBefore("2023100001", U"アルファ").size(), 2u);
        // The February race, whose source gave no sex: a colt then, as January showed.
        EXPECT_EQ(morning.Horse("2023100001", { 2026, 2, 1, 5, 2 })->sex, U'牡');
        EXPECT_EQ(morning.Horse("2023100001", { 2026, 3, 1, 6, 1 })->sex, U'セ');
        // A gelding with no run to date it by: unknown, never a guess.
        EXPECT_EQ(morning.Horse("2023100002", { 2026, 2, 1, 5, 2 })->sex, U'\0');
    }
    // The view's read transaction ended with it: an import goes on.
    EXPECT_TRUE(ImportFile(s, dir.File("nosex.csv")).committed);
}

namespace {

// The tallies as one SQL statement groups and orders them: what the store's counting must equal.
std::vector<JockeyTally> TalliesInSql(RaceStore& s, int fromDate, int toDate)
{
    Stmt q(s.Database(),
        "SELECT r.jockey_id, coalesce(r.jockey_name, j.short_name) AS rider, ra.venue,"
        " sum(r.finish = 1), sum(r.finish = 2), sum(r.finish = 3), sum(coalesce(r.finish, 0) NOT IN (1, 2, 3))"
        " FROM runners r JOIN races ra ON ra.id = r.race_id LEFT JOIN jockeys j ON j.id = r.jockey_id"
        " WHERE r.race_id BETWEEN ?1 AND ?2 AND ra.has_result = 1 AND coalesce(r.abnormal, 0) NOT IN (1, 2)"
        " GROUP BY r.jockey_id, rider, ra.venue ORDER BY rider, ra.venue, r.jockey_id");
    q.Bind(1, static_cast<std::int64_t>(fromDate) * 10000).Bind(2, static_cast<std::int64_t>(toDate) * 10000 + 9999);
    std::vector<JockeyTally> out;
    while (q.Step()) {
        JockeyTally t;
        t.jockeyId = q.Str(0);
        t.jockeyName = FromUtf8(q.Str(1));
        t.venue = static_cast<int>(q.Int(2));
        for (int i = 0; i < 4; ++i)
            t.counts[i] = static_cast<int>(q.Int(3 + i));
        out.push_back(t);
    }
    return out;
}

std::string Show(const std::vector<JockeyTally>& tallies)
{
    std::string out;
    for (const JockeyTally& t : tallies)
        out += t.jockeyId + "|" + ToUtf8(t.jockeyName) + "|" + std::to_string(t.venue) + "|"
            + std::to_string(t.counts[0]) + "," + std::to_string(t.counts[1]) + "," + std::to_string(t.counts[2]) + ","
            + std::to_string(t.counts[3]) + "\n";
    return out;
}

} // namespace

// Rides counted per jockey and venue: a name from the jockey file where the runner has none, the same name
// under two ids, rides that did not start and races without a result left out, a missing placing counted as
// out; in the order of rider, venue and id, as one SQL statement would give them.
TEST(RaceStore, JockeyTalliesCountEveryRideThatStartedOncePerJockeyAndVenue)
{
    TempDir dir;
    RaceStore s(dir.File("races.sqlite"));
    Db& db = s.Database();
    db.Exec("INSERT INTO jockeys VALUES ('J1', '早瀬', '早瀬 一郎'), ('J2', '鷲尾', NULL)");
    db.Exec("INSERT INTO races(id, date, venue, number, has_result) VALUES (202501050601, 20250105, 6, 1, 1),"
            " (202501050901, 20250105, 9, 1, 1), (202501120602, 20250112, 6, 2, 0), (202502010601, 20250201, 6, 1, 1)");
    db.Exec("INSERT INTO runners(race_id, number, jockey_id, jockey_name, finish, abnormal) VALUES"
            " (202501050601, 1, 'J1', NULL, 1, NULL), (202501050601, 2, 'J2', '鷲尾', 2, 0),"
            " (202501050601, 3, NULL, '鷲尾', 3, NULL), (202501050601, 4, NULL, NULL, NULL, NULL),"
            " (202501050601, 5, 'J3', NULL, 7, 3), (202501050601, 6, 'J1', NULL, NULL, 1),"
            " (202501050601, 7, 'J1', NULL, 4, 2), (202501050901, 1, 'J1', '早瀬', 2, NULL),"
            " (202501050901, 2, 'J2', NULL, 11, NULL), (202501050901, 3, 'J1', '早瀬', NULL, NULL),"
            " (202501120602, 1, 'J1', NULL, 1, NULL), (202502010601, 1, 'J1', NULL, 1, NULL)");
    const std::vector<JockeyTally> counted = s.JockeyTallies(20250101, 20250131);
    EXPECT_EQ(Show(counted), Show(TalliesInSql(s, 20250101, 20250131)));
    EXPECT_EQ(Show(counted),
        "||6|0,0,0,1\n"
        "J3||6|0,0,0,1\n"
        "J1|早瀬|6|1,0,0,0\n"
        "J1|早瀬|9|0,1,0,1\n"
        "|鷲尾|6|0,0,1,0\n"
        "J2|鷲尾|6|0,1,0,0\n"
        "J2|鷲尾|9|0,0,0,1\n");
    EXPECT_TRUE(s.JockeyTallies(20250106, 20250111).empty());
}

// A whole invented season imported: the counts over any window equal the statement's.
TEST(RaceStore, JockeyTalliesOfAnImportedSeasonEqualTheStatements)
{
    World w;
    {
        RaceStore s(w.store);
        ImportFiles(s, { w.results });
    }
    RaceStore s(w.store, RaceStore::Access::ReadOnly);
    for (auto [from, to] : { std::pair { 19000101, 21001231 }, std::pair { 20260101, 20261130 } }) {
        const std::vector<JockeyTally> counted = s.JockeyTallies(from, to);
        EXPECT_EQ(Show(counted), Show(TalliesInSql(s, from, to)));
    }
    EXPECT_FALSE(s.JockeyTallies(19000101, 21001231).empty());
}
