// JRDB files read field by field, from lines laid out by the published positions.
#include <fstream>
#include <gtest/gtest.h>

#include "sources/collecting_sink.h"
#include "sources/jrdb_codes.h"
#include "sources/jv_codes.h"
#include "sources/source_reader.h"
#include "store/importer.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::sources;

namespace {

// One SED runner: 中山 (06), 2024, 5回, day 10 written as 'a', race 11.
std::string Sed(const std::string& number, const std::string& finish, const std::string& abnormal,
    const std::string& time, const std::string& weight, const std::string& change)
{
    return FixedLine(374,
        { { 1, "0624" }, { 5, "5" }, { 6, "a" }, { 7, "11" }, { 9, number }, { 11, "21104567" }, { 19, "20241222" },
            { 27, "テストホース" }, { 63, "2500" }, { 67, "1" }, { 68, "1" }, { 69, "1" }, { 70, "21" }, { 72, "13" },
            { 74, "OP" }, { 79, "4" }, { 80, "1" }, { 81, "有馬記念" }, { 131, "16" }, { 141, finish },
            { 143, abnormal }, { 144, time }, { 148, "580" }, { 151, "武豊" }, { 175, "  12.3" }, { 181, "03" },
            { 262, "345" }, { 309, "0102" }, { 313, "0304" }, { 323, "00666" }, { 333, weight }, { 336, change },
            { 339, "3" }, { 371, "1525" } });
}

} // namespace

TEST(JrdbReader, ResultsGiveTheRaceOnceAndEveryRunnerWithItsAwkwardFields)
{
    TempDir dir;
    std::string file = WriteLines(dir, "results.txt",
        { Sed("01", "01", "0", "2317", "502", "+ 4"), Sed("02", "02", "5", "2318", "476", "-12"),
            Sed("03", "00", "1", "    ", "   ", "   ") });
    CollectingSink sink;
    ReadJrdb(file, sink);
    ASSERT_TRUE(sink.malformed.empty()) << sink.malformed[0].reason;
    ASSERT_EQ(sink.races.size(), 1u);
    const RaceRecord& race = sink.races[0];
    EXPECT_EQ(race.key, (RaceKey { 2024, 12, 22, 6, 11 }));
    EXPECT_EQ(race.meeting, 5);
    EXPECT_EQ(race.meetingDay, 10); // the hexadecimal day
    EXPECT_EQ(race.name, U"有馬記念");
    EXPECT_EQ(race.grade, 1);
    EXPECT_EQ(race.surface, U'芝');
    EXPECT_EQ(race.direction, U'右');
    EXPECT_EQ(race.distance, 2500);
    EXPECT_EQ(race.going, U'稍'); // 21: a fast 稍重
    EXPECT_EQ(race.weather, U"小雨"); // JRDB's 3, JV-Data's 4
    EXPECT_EQ(race.classText, U"オープン");
    EXPECT_EQ(race.conditions, U"3歳以上 定量");
    EXPECT_EQ(race.fieldSize, 16);
    EXPECT_EQ(race.startTime, 1525);
    EXPECT_TRUE(race.hasResult);

    ASSERT_EQ(sink.runners.size(), 3u);
    const RunnerRecord& winner = sink.runners[0];
    EXPECT_EQ(winner.horseId, "2021104567"); // the century put back
    EXPECT_EQ(winner.horseName, U"テストホース");
    EXPECT_EQ(winner.timeTenths, 1517); // 2:31.7
    EXPECT_EQ(winner.carriedTenths, 580);
    EXPECT_EQ(winner.jockeyName, U"武豊");
    EXPECT_EQ(winner.jockeyId, "00666");
    EXPECT_EQ(winner.winOddsTenths, 123);
    EXPECT_EQ(winner.popularity, 3);
    EXPECT_EQ(winner.last3fTenths, 345);
    EXPECT_EQ(std::vector<int>(winner.corners, winner.corners + 4), (std::vector<int> { 1, 2, 3, 4 }));
    EXPECT_EQ(winner.bodyWeight, 502);
    EXPECT_TRUE(winner.bodyWeightChangeKnown);
    EXPECT_EQ(winner.bodyWeightChange, 4);
    EXPECT_EQ(winner.frame, 0); // SED has no frame
    EXPECT_TRUE(winner.margin.empty()); // nor a margin text

    EXPECT_EQ(sink.runners[1].abnormal, Abnormal::Demoted);
    EXPECT_EQ(sink.runners[1].finish, 2); // a demoted runner keeps its placing
    EXPECT_EQ(sink.runners[1].bodyWeightChange, -12);

    const RunnerRecord& scratched = sink.runners[2];
    EXPECT_EQ(scratched.abnormal, Abnormal::Scratched);
    EXPECT_EQ(scratched.finish, 0);
    EXPECT_EQ(scratched.timeTenths, 0);
    EXPECT_EQ(scratched.bodyWeight, 0);
    EXPECT_FALSE(scratched.bodyWeightChangeKnown);
}

TEST(JrdbReader, RaceOrdersAndEntrantsKeyedByMeetingTakeTheDateFromTheSameFileWhenItHasOne)
{
    TempDir dir;
    std::string corners = "(*2,5)9(3,13)8,1(12,11)-(4,7)6,10";
    std::string srb = FixedLine(850,
        { { 1, "0624" }, { 5, "5" }, { 6, "a" }, { 7, "11" }, { 9, "123110118" }, { 63, "1,2" }, { 255, corners } });
    std::string kyi = FixedLine(1022,
        { { 1, "0624" }, { 5, "5" }, { 6, "A" }, { 7, "11" }, { 9, "07" }, { 11, "21104567" }, { 19, "テストホース" },
            { 172, "ルメール" }, { 184, "570" }, { 324, "4" }, { 336, "05339" }, { 403, "1" }, { 404, "2" } });
    std::string alone = WriteLines(dir, "alone.txt", { srb, kyi });
    CollectingSink sink;
    ReadJrdb(alone, sink);
    ASSERT_TRUE(sink.malformed.empty()) << sink.malformed[0].reason;
    ASSERT_EQ(sink.races.size(), 1u);
    EXPECT_EQ(sink.races[0].key, (RaceKey { 2024, 0, 0, 6, 11 })); // the store resolves it by 回 and 日
    EXPECT_EQ(sink.races[0].meetingDay, 10);
    EXPECT_EQ(sink.races[0].furlongTimes, U"123 110 118");
    EXPECT_EQ(sink.races[0].cornerOrders[0], U"1,2");
    EXPECT_EQ(sink.races[0].cornerOrders[3], FromUtf8(corners));
    ASSERT_EQ(sink.runners.size(), 1u);
    const RunnerRecord& r = sink.runners[0];
    EXPECT_EQ(r.race, (RaceKey { 2024, 0, 0, 6, 11 }));
    EXPECT_EQ(r.meeting, 5);
    EXPECT_EQ(r.meetingDay, 10); // upper-case hex accepted
    EXPECT_EQ(r.number, 7);
    EXPECT_EQ(r.frame, 4);
    EXPECT_EQ(r.sex, U'牝');
    EXPECT_EQ(r.age, 0); // KYI has no age
    EXPECT_EQ(r.abnormal, Abnormal::Scratched);
    EXPECT_EQ(r.carriedTenths, 570);

    std::string withDate = WriteLines(dir, "dated.txt", { Sed("01", "01", "0", "2317", "502", "+ 4"), srb });
    CollectingSink dated;
    ReadJrdb(withDate, dated);
    ASSERT_EQ(dated.races.size(), 2u);
    EXPECT_EQ(dated.races[1].key, (RaceKey { 2024, 12, 22, 6, 11 }));
}

TEST(JrdbReader, HorsesComeFromUkcWithTheirBirthYear)
{
    TempDir dir;
    std::string file = WriteLines(dir, "horses.txt",
        { FixedLine(290, { { 1, "99104567" }, { 9, "オールドホース" }, { 45, "3" }, { 158, "19990405" } }) });
    CollectingSink sink;
    ReadJrdb(file, sink);
    ASSERT_EQ(sink.horses.size(), 1u);
    EXPECT_EQ(sink.horses[0].id, "1999104567"); // a horse of 1999: the century is 19
    EXPECT_EQ(sink.horses[0].name, U"オールドホース");
    EXPECT_EQ(sink.horses[0].sex, U'セ');
    EXPECT_EQ(sink.horses[0].birthYear, 1999);
}

TEST(JrdbReader, AMalformedLineIsReportedWithItsNumberAndTheRestIsRead)
{
    TempDir dir;
    std::string badTime = Sed("02", "02", "0", "1699", "476", "-12"); // 69.9 seconds past the minute
    std::string badVenue = Sed("03", "03", "0", "2320", "476", "-12");
    badVenue.replace(0, 2, "99");
    std::string cut = Sed("04", "04", "0", "2320", "476", "-12").substr(0, 300);
    std::string negative = Sed("06", "06", "0", "2322", "476", "-12");
    negative.replace(147, 3, "-55"); // only the weight change has a sign
    std::string file = WriteLines(dir, "mixed.txt",
        { Sed("01", "01", "0", "2317", "502", "+ 4"), badTime, badVenue, "garbage", cut,
            Sed("05", "05", "0", "2321", "480", "  0"), negative });
    CollectingSink sink;
    ReadJrdb(file, sink);
    ASSERT_EQ(sink.malformed.size(), 5u);
    EXPECT_EQ(sink.malformed[4].line, 7);
    EXPECT_NE(sink.malformed[4].reason.find("斤量"), std::string::npos);
    EXPECT_EQ(sink.malformed[0].file, file);
    EXPECT_EQ(sink.malformed[0].line, 2);
    EXPECT_NE(sink.malformed[0].reason.find("タイム"), std::string::npos);
    EXPECT_EQ(sink.malformed[1].line, 3);
    EXPECT_NE(sink.malformed[1].reason.find("場コード"), std::string::npos);
    EXPECT_EQ(sink.malformed[2].line, 4);
    EXPECT_EQ(sink.malformed[3].line, 5); // a results file: a line of another length is damage, not another type
    EXPECT_NE(sink.malformed[3].reason.find("376バイト"), std::string::npos);
    ASSERT_EQ(sink.runners.size(), 2u);
    EXPECT_EQ(sink.runners[1].number, 5);
    EXPECT_TRUE(sink.runners[1].bodyWeightChangeKnown); // an unchanged weight is known, and 0
    EXPECT_EQ(sink.runners[1].bodyWeightChange, 0);
}

TEST(JrdbReader, KindsThisProgramDoesNotReadAreNamedOnceAndWrongLengthsAreDamage)
{
    TempDir dir;
    // A meeting-day record (keyed by venue, year, 回 and 日 only, then the date), as the day files have.
    std::string day = FixedLine(114, { { 1, "0624" }, { 5, "5" }, { 6, "a" }, { 7, "20241222" } });
    std::string file = WriteLines(dir, "kab.txt", { day, day, day });
    EXPECT_TRUE(LooksLikeJrdb(day + "\r\n" + day + "\r\n"));
    CollectingSink sink;
    ReadJrdb(file, sink);
    EXPECT_TRUE(sink.malformed.empty());
    EXPECT_TRUE(sink.skipped.empty());
    ASSERT_EQ(sink.notRead.size(), 1u);
    EXPECT_EQ(sink.notRead.begin()->second, 1); // the file, not each of its lines

    // A race-keyed kind this program knows of and does not read: named by its name.
    std::string sec = FixedLine(344, { { 1, "06171101011410271720170105" } });
    CollectingSink named;
    ReadJrdb(WriteLines(dir, "sec.txt", { sec, sec }), named);
    EXPECT_TRUE(named.malformed.empty());
    EXPECT_EQ(named.notRead["JRDB SEC"], 1);

    // Results records one byte short, every one: not a kind, damage, each line named.
    std::string cut = Sed("01", "01", "0", "2317", "502", "+ 4").substr(0, 373);
    CollectingSink damaged;
    ReadJrdb(WriteLines(dir, "cut.txt", { cut, cut, cut }), damaged);
    EXPECT_TRUE(damaged.skipped.empty());
    ASSERT_EQ(damaged.malformed.size(), 3u);
    EXPECT_NE(damaged.malformed[0].reason.find("375バイト"), std::string::npos) << damaged.malformed[0].reason;
}

TEST(JrdbReader, AFileOfWrongLengthRecordsIsAFailedImportNotOneOutOfScope)
{
    TempDir dir;
    std::string cut = Sed("01", "01", "0", "2317", "502", "+ 4").substr(0, 373);
    std::string file = WriteLines(dir, "SED.txt", { cut, cut });
    store::RaceStore store(dir.File("races.sqlite"));
    store::FileImport r = store::ImportFile(store, file);
    EXPECT_EQ(r.format, "JRDB");
    EXPECT_EQ(r.byType["不正な行"].malformed, 2); // what makes the command's exit status 1
    for (const auto& [type, counts] : r.byType)
        EXPECT_EQ(counts.skipped, 0) << type;
    EXPECT_EQ(store.CountRows("races"), 0);
}

TEST(JrdbReader, DetectionLooksAtRecordLengthAndRaceKey)
{
    std::string sed = Sed("01", "01", "0", "2317", "502", "+ 4") + "\r\n";
    EXPECT_TRUE(LooksLikeJrdb(sed + sed));
    EXPECT_FALSE(LooksLikeJrdb("着順,枠番,馬番,馬名\r\n1,2,3,テスト\r\n"));
    EXPECT_FALSE(LooksLikeJrdb(std::string("RA720241222") + std::string(1259, ' ') + "\r\n"));
    EXPECT_FALSE(LooksLikeJrdb(sed.substr(0, 100))); // no complete line
}

TEST(JrdbCodes, YearsDaysAndTheClassNamesThatChangedIn2019)
{
    EXPECT_EQ(JrdbFullYear(99), 1999);
    EXPECT_EQ(JrdbFullYear(5), 2005);
    EXPECT_EQ(JrdbDay('9'), 9);
    EXPECT_EQ(JrdbDay('c'), 12);
    EXPECT_EQ(JrdbDay('g'), 0);
    EXPECT_EQ(JrdbDayCode(12), 'c');
    EXPECT_EQ(JrdbClass("05", 2018), U"500万下");
    EXPECT_EQ(JrdbClass("05", 2019), U"1勝クラス");
    EXPECT_EQ(JrdbClass("16", 2020), U"3勝クラス");
    EXPECT_EQ(JrdbClass("A3", 2020), U"未勝利");
    EXPECT_EQ(JrdbClassCode(U"1600万下"), "16");
    EXPECT_EQ(JrdbClassCode(U"2勝クラス"), "10");
    EXPECT_EQ(JrdbClassCode(U"新馬"), "A1");
    EXPECT_EQ(JrdbGoing("42"), U'不');
    EXPECT_EQ(JrdbGoing("4x"), 0);
    EXPECT_EQ(JrdbAbnormal('6'), Abnormal::None); // 再騎乗 finished the race
}

TEST(JrdbReader, AFileWithoutLineBreaksIsReportedNotLoadedWhole)
{
    TempDir dir;
    std::string path = dir.File("blob.bin");
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string(300000, 'x') << "\n"
            << Sed("01", "01", "0", "2317", "502", "+ 4") << "\n"
            << std::string(70000, 'y'); // the last line, without a break
    }
    CollectingSink sink;
    ReadJrdb(path, sink);
    ASSERT_EQ(sink.malformed.size(), 2u);
    EXPECT_EQ(sink.malformed[0].line, 1);
    EXPECT_NE(sink.malformed[0].reason.find("65538バイト"), std::string::npos); // what was kept of it
    EXPECT_EQ(sink.malformed[1].line, 3);
    EXPECT_EQ(sink.runners.size(), 1u);
}

TEST(RaceMarks, EachSourceReadsItsOwnTableAndBothWriteTheSampleRacesWords)
{
    // The third digit differs between the tables: JRDB's 2 is □指 and 3 ○特指, JV-Data's 3 is [指定].
    RaceMarks jrdb = JrdbRaceMarks("022"), jv = JvRaceMarks("023");
    EXPECT_TRUE(jrdb.known && jv.known);
    EXPECT_EQ(jrdb, jv);
    EXPECT_EQ(jrdb.sex, SexLimit::Fillies);
    EXPECT_EQ(MarksText(jrdb), U"(牝)[指定]");
    EXPECT_EQ(JrdbRaceMarks("003").designation, Designation::SpecialDesignated);
    EXPECT_EQ(JvRaceMarks("003").designation, Designation::DesignatedSquare);
    EXPECT_EQ(JvRaceMarks("002").designation, Designation::None); // young jockeys: nothing about the horses

    RaceMarks international = JrdbRaceMarks("501");
    EXPECT_TRUE(international.international && international.mixed);
    EXPECT_EQ(international, JvRaceMarks("N01"));
    EXPECT_EQ(ConditionText(U"3歳以上", international, WeightRule::Fixed), U"3歳以上 (国際)(指定) 定量");
    EXPECT_EQ(ConditionText(U"2歳", JvRaceMarks("A00"), WeightRule::ForAge), U"2歳 (混) 馬齢");

    for (const char* bad : { "   ", "6", "0x2", "A00" }) // blank, short, not digits, JV-Data's letters
        EXPECT_FALSE(JrdbRaceMarks(bad).known) << bad;
    EXPECT_FALSE(JvRaceMarks("Z00").known);
    EXPECT_EQ(ConditionText(U"3歳", RaceMarks {}, WeightRule::Unknown), U"3歳");
}
