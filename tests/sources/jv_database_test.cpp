// A JV-Data database made in the test with SQLite's C library, in both layouts users have.
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "sources/collecting_sink.h"
#include "sources/jv_fields.h"
#include "sources/source_reader.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::sources;

namespace {

void Exec(sqlite3* db, const std::string& sql)
{
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY", nullptr, nullptr, nullptr); // no flushing
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "") << sql;
}

std::string RaceColumns()
{
    std::string c = "DataKubun CHAR(1), Year SMALLINT, MonthDay SMALLINT, JyoCD CHAR(2), Kaiji SMALLINT, Nichiji "
                    "SMALLINT, RaceNum SMALLINT, Hondai VARCHAR(60), GradeCD, SyubetuCD, JyuryoCD, JyokenCD5, Kyori "
                    "SMALLINT, TrackCD, HassoTime TIME, SyussoTosu SMALLINT, TenkoCD, SibaBabaCD, DirtBabaCD, "
                    "HaronTimeL3 DECIMAL(4,1), HaronTimeL4 DECIMAL(4,1)";
    for (int i = 1; i <= 25; ++i)
        c += ", LapTime" + std::to_string(i) + " DECIMAL(4,1)";
    for (int i = 1; i <= 5; ++i)
        c += ", Honsyokin" + std::to_string(i) + " INTEGER";
    for (int i = 1; i <= 5; ++i)
        c += ", Fukasyokin" + std::to_string(i) + " INTEGER";
    c += ", Nkai SMALLINT";
    for (int i = 1; i <= 4; ++i)
        c += ", Corner" + std::to_string(i) + ", Jyuni" + std::to_string(i);
    return c;
}

const char* kRunnerColumns = "DataKubun CHAR(1), Year SMALLINT, MonthDay SMALLINT, JyoCD CHAR(2), Kaiji SMALLINT, "
                             "Nichiji SMALLINT, RaceNum SMALLINT, Wakuban SMALLINT, Umaban SMALLINT, KettoNum "
                             "VARCHAR(10), Bamei, SexCD, Barei SMALLINT, Futan DECIMAL(4,1), KisyuCode, KisyuRyakusyo, "
                             "BaTaijyu SMALLINT, ZogenFugo, ZogenSa SMALLINT, IJyoCD, KakuteiJyuni SMALLINT, Time "
                             "DECIMAL(5,1), ChakusaCD, Jyuni1c SMALLINT, Jyuni2c SMALLINT, Jyuni3c SMALLINT, Jyuni4c "
                             "SMALLINT, Odds DECIMAL(6,1), Ninki SMALLINT, HaronTimeL3 DECIMAL(4,1)";

// The standard database: numbers stored by column type, some in the record's units, some converted.
std::string MakeStandard(const TempDir& dir)
{
    std::string path = dir.File("jvdata.db");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, "CREATE TABLE RACE (" + RaceColumns() + ")");
    Exec(db,
        "INSERT INTO RACE (DataKubun, Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum, Hondai, GradeCD, SyubetuCD, "
        "JyuryoCD, JyokenCD5, Kyori, TrackCD, HassoTime, SyussoTosu, TenkoCD, SibaBabaCD, DirtBabaCD, HaronTimeL3, "
        "HaronTimeL4, LapTime1, LapTime2, Honsyokin1, Corner1, Jyuni1, Fukasyokin1, Fukasyokin2, Nkai) VALUES ('7', "
        "2024, 1222, '06', 5, 8, 11, '有馬記念', 'A', '13', '4', '999', 2500, '17', '15:25', 16, '1', '1', '0', "
        "34.5, 46.9, 12.3, 11, 5000000, '4', '(*2,5)9', 65100, 18600, 69)");
    Exec(db,
        "INSERT INTO RACE (DataKubun, Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum) VALUES ('7', 2024, 1222, "
        "'44', 1, 1, 1)"); // a local race
    Exec(db, std::string("CREATE TABLE UMA_RACE (") + kRunnerColumns + ")");
    Exec(db,
        "INSERT INTO UMA_RACE VALUES ('7', 2024, 1222, '06', 5, 8, 11, 7, 13, '2021104567', 'テストホース', '1', 3, "
        "55.0, '01014', '横山武', 502, '+', 4, '0', 1, 151.7, '', 3, 3, 2, 1, 12.3, 2, 34.2)");
    Exec(db,
        "INSERT INTO UMA_RACE VALUES ('7', 2024, 1222, '06', 5, 8, 11, 1, 2, '2020104568', 'セカンド', '2', 4, "
        "'560', '01015', '戸崎圭', 470, '-', 10, '0', 2, 1519, '12', 2, 2, 3, 2, 45, 5, 345)");
    Exec(db, "CREATE TABLE KISYU (KisyuCode, KisyuName, KisyuRyakusyo)");
    Exec(db, "INSERT INTO KISYU VALUES ('01014', '横山　武史', '横山武')");
    Exec(db, "CREATE TABLE UMA (KettoNum, Bamei, SexCD, BirthDate DATE)");
    Exec(db, "INSERT INTO UMA VALUES ('2021104567', 'テストホース', '1', '2021-04-03')");
    sqlite3_close(db);
    return path;
}

} // namespace

TEST(JvDatabase, TheStandardLayoutReadsThroughTheRecordMappingWhateverUnitsItsNumbersAreIn)
{
    TempDir dir;
    std::string path = MakeStandard(dir);
    EXPECT_TRUE(LooksLikeJvDatabase(path));
    CollectingSink sink;
    ReadJvDatabase(path, sink);
    ASSERT_TRUE(sink.malformed.empty()) << sink.malformed[0].reason;
    EXPECT_EQ(sink.skipped["JV RA 地方・海外"], 1);
    ASSERT_EQ(sink.races.size(), 1u);
    const RaceRecord& r = sink.races[0];
    EXPECT_EQ(r.key, (RaceKey { 2024, 12, 22, 6, 11 }));
    EXPECT_EQ(r.name, U"有馬記念");
    EXPECT_EQ(r.startTime, 1525);
    EXPECT_EQ(r.surface, U'芝');
    EXPECT_EQ(r.direction, U'右');
    EXPECT_EQ(r.going, U'良');
    EXPECT_EQ(r.last3f, 345);
    EXPECT_EQ(r.last4f, 469);
    EXPECT_EQ(r.furlongTimes, U"123 110");
    EXPECT_EQ(r.prizes, U"50000 0 0 0 0");
    EXPECT_EQ(r.addedPrizes, U"651 186"); // the places without an added prize are not listed
    EXPECT_EQ(r.edition, 69);
    EXPECT_EQ(r.cornerOrders[3], U"(*2,5)9");
    EXPECT_TRUE(r.hasResult);

    ASSERT_EQ(sink.runners.size(), 2u);
    const RunnerRecord& w = sink.runners[0];
    EXPECT_EQ(w.number, 13);
    EXPECT_EQ(w.horseName, U"テストホース");
    EXPECT_EQ(w.carriedTenths, 550); // 55.0 kg
    EXPECT_EQ(w.timeTenths, 1117); // 151.7 is the digits 1517 divided by ten: 1:51.7
    EXPECT_EQ(w.winOddsTenths, 123);
    EXPECT_EQ(w.last3fTenths, 342);
    EXPECT_EQ(w.bodyWeightChange, 4);
    EXPECT_EQ(w.jockeyName, U"横山武");
    const RunnerRecord& second = sink.runners[1];
    EXPECT_EQ(second.carriedTenths, 560); // the record's own digits
    EXPECT_EQ(second.timeTenths, 1119); // 1:51.9 as m sss
    EXPECT_EQ(second.margin, U"1/2"); // " 12" with its space trimmed away
    EXPECT_EQ(second.bodyWeightChange, -10);
    EXPECT_EQ(second.last3fTenths, 345);

    ASSERT_EQ(sink.jockeys.size(), 1u);
    EXPECT_EQ(sink.jockeys[0].fullName, U"横山　武史");
    ASSERT_EQ(sink.horses.size(), 1u);
    EXPECT_EQ(sink.horses[0].birthYear, 2021);
}

TEST(JvDatabase, TheNlLayoutIsReadTooAndMissingColumnsAreNamed)
{
    TempDir dir;
    std::string path = dir.File("nl.sqlite");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, "CREATE TABLE NL_RA (" + RaceColumns() + ")");
    Exec(db,
        "INSERT INTO NL_RA (DataKubun, Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum, Kyori, TrackCD, "
        "SyussoTosu) VALUES ('2', '2024', '0105', '06', '01', '01', '01', '1200', '24', '16')");
    // Text columns with the record's digits, and no corner positions at all.
    Exec(db,
        "CREATE TABLE NL_SE (DataKubun, Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum, Wakuban, Umaban, KettoNum, "
        "Bamei, SexCD, Barei, Futan, KisyuCode, KisyuRyakusyo, BaTaijyu, ZogenFugo, ZogenSa, IJyoCD, KakuteiJyuni, "
        "Time, ChakusaCD, Odds, Ninki, HaronTimeL3)");
    Exec(db,
        "INSERT INTO NL_SE VALUES ('2', '2024', '0105', '06', '01', '01', '01', '3', 5.0, '2021104567', "
        "'カードホース', '2', '03', '540', '01014', '横山武', '000', ' ', '   ', '0', '00', '0000', '   ', "
        "'0000', '00', '000')");
    sqlite3_close(db);

    CollectingSink sink;
    ReadJvDatabase(path, sink);
    ASSERT_EQ(sink.malformed.size(), 1u);
    EXPECT_EQ(sink.malformed[0].line, 0);
    EXPECT_EQ(sink.malformed[0].file, path);
    EXPECT_NE(sink.malformed[0].reason.find("NL_SE"), std::string::npos);
    EXPECT_NE(sink.malformed[0].reason.find("Jyuni1c"), std::string::npos);
    ASSERT_EQ(sink.races.size(), 1u);
    EXPECT_FALSE(sink.races[0].hasResult);
    EXPECT_EQ(sink.races[0].surface, U'ダ');
    ASSERT_EQ(sink.runners.size(), 1u);
    EXPECT_EQ(sink.runners[0].number, 5); // stored as 5.0 in a column without a type
    EXPECT_EQ(sink.runners[0].carriedTenths, 540);
    EXPECT_EQ(sink.runners[0].bodyWeight, 0);
}

TEST(JvDatabase, AMissingKeyColumnStopsThatTableAndOtherDatabasesAreNotTaken)
{
    TempDir dir;
    std::string path = dir.File("nokey.sqlite");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, "CREATE TABLE RACE (" + RaceColumns() + ")");
    Exec(db, "CREATE TABLE UMA_RACE (Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum, Bamei)");
    Exec(db, "INSERT INTO UMA_RACE VALUES (2024, 105, '06', 1, 1, 1, 'どこかの馬')");
    Exec(db, "CREATE TABLE races (id INTEGER PRIMARY KEY)");
    sqlite3_close(db);
    CollectingSink sink;
    ReadJvDatabase(path, sink);
    EXPECT_TRUE(sink.runners.empty());
    ASSERT_FALSE(sink.malformed.empty());
    EXPECT_NE(sink.malformed.back().reason.find("Umaban"), std::string::npos);

    std::string other = dir.File("store.sqlite");
    sqlite3_open(other.c_str(), &db);
    Exec(db, "CREATE TABLE races (id INTEGER PRIMARY KEY)");
    sqlite3_close(db);
    EXPECT_FALSE(LooksLikeJvDatabase(other)); // the race store itself, say
    CollectingSink none;
    ReadJvDatabase(other, none);
    ASSERT_EQ(none.malformed.size(), 1u);
    EXPECT_NE(none.malformed[0].reason.find("RACE"), std::string::npos);
    EXPECT_FALSE(LooksLikeJvDatabase(dir.File("missing.db")));

    std::string damaged = dir.File("damaged.db");
    {
        std::ofstream out(damaged, std::ios::binary);
        out << std::string("SQLite format 3\0", 16) << std::string(4080, '\x5a');
    }
    EXPECT_FALSE(LooksLikeJvDatabase(damaged));
    CollectingSink broken;
    ReadJvDatabase(damaged, broken);
    ASSERT_EQ(broken.malformed.size(), 1u);
    EXPECT_NE(broken.malformed[0].reason.find("読めません"), std::string::npos);
}

namespace {

// The layout the Linux bridge writes: NL_RA and NL_SE with typed columns, numbers as it converts them.
std::string MakeBridgeLayout(
    const TempDir& dir, const std::string& timeType, const std::string& timeValue, const std::string& secondsValue)
{
    std::string path = dir.File("bridge-" + timeType + ".db");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, "CREATE TABLE NL_RA (" + RaceColumns() + ", KigoCD TEXT)");
    Exec(db,
        "INSERT INTO NL_RA (DataKubun, Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum, Kyori, TrackCD, SyussoTosu, "
        "SyubetuCD, KigoCD, JyuryoCD, LapTime1, LapTime2, HaronTimeL3, Corner1, Jyuni1, Corner2, Jyuni2) VALUES "
        "('7', 2017, 114, '08', 1, 5, 8, 1600, '17', 14, '12', 'A24', '3', 12.4, 11.0, 35.1, '3', '1,2(3,4)', '4', "
        "'1-2,3')");
    Exec(db,
        "CREATE TABLE NL_SE (DataKubun TEXT, Year INTEGER, MonthDay INTEGER, JyoCD TEXT, Kaiji INTEGER, Nichiji "
        "INTEGER, RaceNum INTEGER, Wakuban INTEGER, Umaban INTEGER, KettoNum TEXT, Bamei TEXT, SexCD TEXT, Barei "
        "INTEGER, Futan REAL, KisyuCode TEXT, KisyuRyakusyo TEXT, BaTaijyu REAL, ZogenFugo TEXT, ZogenSa REAL, "
        "IJyoCD TEXT, KakuteiJyuni INTEGER, Time "
            + timeType
            + ", ChakusaCD TEXT, Jyuni1c INTEGER, Jyuni2c INTEGER, Jyuni3c INTEGER, Jyuni4c INTEGER, Odds REAL, Ninki "
              "INTEGER, HaronTimeL3 REAL, RaceTimeSeconds REAL)");
    Exec(db,
        "INSERT INTO NL_SE VALUES ('7', 2017, 114, '08', 1, 5, 8, 2, 3, '2014105555', 'ジカンノウマ', '2', 3, 54.0, "
        "'01126', '松山', 462.0, '-', -6.0, '0', 1, "
            + timeValue + ", '   ', 0, 0, 2, 1, 3.5, 1, 34.5, " + secondsValue + ")");
    sqlite3_close(db);
    return path;
}

} // namespace

TEST(JvDatabase, ATimeColumnHoldsMinuteSecondsTenthsDigitsWhateverItsStorage)
{
    TempDir dir;
    // The same 1:49.7 as the record's text, as an integer and as the bridge's digits divided by ten; the
    // seconds beside it agree.
    for (auto [type, value] :
        { std::pair { "TEXT", "'1497'" }, std::pair { "INTEGER", "1497" }, std::pair { "REAL", "149.7" } }) {
        CollectingSink sink;
        ReadJvDatabase(MakeBridgeLayout(dir, type, value, "109.7"), sink);
        ASSERT_TRUE(sink.malformed.empty()) << type << ": " << sink.malformed[0].reason;
        ASSERT_EQ(sink.runners.size(), 1u) << type;
        const RunnerRecord& r = sink.runners[0];
        EXPECT_EQ(r.timeTenths, 1097) << type;
        // Every other converted column: the provider's digits, then the unit.
        EXPECT_EQ(r.carriedTenths, 540) << type;
        EXPECT_EQ(r.winOddsTenths, 35) << type;
        EXPECT_EQ(r.last3fTenths, 345) << type;
        EXPECT_EQ(r.bodyWeight, 462) << type;
        EXPECT_TRUE(r.bodyWeightChangeKnown);
        EXPECT_EQ(r.bodyWeightChange, -6) << type; // signed in the column and in ZogenFugo: once, not twice
    }
    CollectingSink race;
    ReadJvDatabase(MakeBridgeLayout(dir, "NUMERIC", "149.7", "NULL"), race);
    ASSERT_EQ(race.races.size(), 1u);
    const RaceRecord& r = race.races[0];
    EXPECT_EQ(r.furlongTimes, U"124 110");
    EXPECT_EQ(r.last3f, 351);
    EXPECT_TRUE(r.cornerOrdersOfficial);
    EXPECT_EQ(r.cornerOrders[1], U"");
    EXPECT_EQ(r.cornerOrders[2], U"1,2(3,4)");
    // A24: (混合), fillies only, (特指); weight by age; 3-year-olds.
    EXPECT_TRUE(r.marks.known && r.marks.mixed && !r.marks.international);
    EXPECT_EQ(r.marks.sex, SexLimit::Fillies);
    EXPECT_EQ(r.marks.designation, Designation::SpecialDesignated);
    EXPECT_EQ(r.weightRule, WeightRule::ForAge);
    EXPECT_EQ(r.ageMin, 3);
    EXPECT_FALSE(r.ageAndOlder);
    EXPECT_EQ(r.conditions, U"3歳 (混)(牝)(特指) 馬齢");
}

TEST(JvDatabase, ATimeThatDisagreesWithItsSecondsIsReportedAndTheDigitsKept)
{
    TempDir dir;
    CollectingSink sink;
    // 149.7 read as seconds would be 2:29.7: exactly the mistake the check is there to catch.
    std::string path = MakeBridgeLayout(dir, "REAL", "149.7", "149.7");
    ReadJvDatabase(path, sink);
    ASSERT_EQ(sink.malformed.size(), 1u);
    EXPECT_EQ(sink.malformed[0].line, 1);
    EXPECT_NE(sink.malformed[0].reason.find("1:49.7"), std::string::npos) << sink.malformed[0].reason;
    EXPECT_NE(sink.malformed[0].reason.find("2:29.7"), std::string::npos) << sink.malformed[0].reason;
    ASSERT_EQ(sink.runners.size(), 1u);
    EXPECT_EQ(sink.runners[0].timeTenths, 1097);

    CollectingSink onlySeconds; // blank digits, seconds given: the seconds are the time
    ReadJvDatabase(MakeBridgeLayout(dir, "TEXT", "NULL", "109.7"), onlySeconds);
    ASSERT_EQ(onlySeconds.runners.size(), 1u);
    EXPECT_EQ(onlySeconds.runners[0].timeTenths, 1097);
}

TEST(JvDatabase, AnEndlessViewIsCutOffWithAMessage)
{
    TempDir dir;
    std::string path = dir.File("endless.db");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, std::string("CREATE TABLE UMA_RACE (") + kRunnerColumns + ")");
    // Rows without end, each a race that reads.
    Exec(db,
        "CREATE VIEW RACE AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT '7' AS "
        "DataKubun, 2024 AS Year, 1222 AS MonthDay, '06' AS JyoCD, 5 AS Kaiji, 8 AS Nichiji, 1 + x % 12 AS RaceNum, "
        "'"
        "\xe3\x81\x82"
        "' AS Hondai, '13' AS SyubetuCD, '999' AS JyokenCD5, 2000 AS Kyori, '17' AS TrackCD, "
        "16 AS SyussoTosu FROM n");
    // And a query that runs without ever giving a row.
    Exec(db,
        "CREATE VIEW NL_RA AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x AS Year, 1 AS "
        "MonthDay, '06' AS JyoCD, 1 AS Kaiji, 1 AS Nichiji, 1 AS RaceNum FROM n WHERE x < 0");
    sqlite3_close(db);

    const auto start = std::chrono::steady_clock::now();
    CollectingSink sink;
    ReadJvDatabase(path, sink);
    ASSERT_FALSE(sink.malformed.empty());
    bool cut = false;
    for (const auto& p : sink.malformed)
        cut = cut || p.reason.find("打ち切りました") != std::string::npos;
    EXPECT_TRUE(cut);
    EXPECT_LT(sink.races.size(), 200000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(2));

    // The rowless query: only the wait bounds it (shortened here; a minute in use).
    sqlite3_open(path.c_str(), &db);
    Exec(db, "DROP VIEW RACE");
    Exec(db, "CREATE TABLE NL_SE (Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum, Umaban)");
    sqlite3_close(db);
    CollectingSink quiet;
    ReadJvDatabaseBounded(path, quiet, 1000000, std::chrono::milliseconds(300));
    bool waited = false;
    for (const auto& p : quiet.malformed)
        waited = waited || p.reason.find("次の行が得られません") != std::string::npos;
    EXPECT_TRUE(waited);
}
