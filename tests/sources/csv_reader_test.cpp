// Race CSV files read by content: result tables in UTF-8 or CP932, the data set's corner file, a typed card.
#include <fstream>
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/textfile.h"
#include "sources/csv_columns.h"
#include "sources/source_reader.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::sources;

namespace {

struct Collect : RecordSink {
    std::vector<RaceRecord> races;
    std::vector<RunnerRecord> runners;
    std::vector<std::pair<long, std::string>> malformed;
    void Race(const RaceRecord& r) override { races.push_back(r); }
    void Runner(const RunnerRecord& r) override { runners.push_back(r); }
    void Jockey(const JockeyRecord&) override { }
    void Horse(const HorseRecord&) override { }
    void Malformed(const std::string&, long line, const std::string& reason) override
    {
        malformed.push_back({ line, reason });
    }
    void Skipped(const std::string&) override { }
    const ReadOptions& Options() const override { return options; }
    ReadOptions options;
};

std::string WriteBytes(const TempDir& dir, const std::string& name, const std::string& bytes)
{
    std::ofstream(dir.File(name), std::ios::binary) << bytes;
    return dir.File(name);
}

const char* const kTable = "日付,場,回,日,R,レース名,距離,天候,馬場,着順,枠番,馬番,馬名,性齢,斤量,騎手,タイム,"
                           "着差,通過,上り,単勝,人気,馬体重\r\n"
                           "2024/05/26,東京,2,12,11,若潮ステークス(ＧＩＩ),芝左2400,晴,良,1,3,5,ミナトアロー,牡3,57,"
                           "Ｆ．ロワゾー,2:24.3,,5-5-3-3,33.9,3.4,1,516(+4)\r\n"
                           "2024/05/26,東京,2,12,11,若潮ステークス(ＧＩＩ),芝左2400,晴,良,2,1,1,トワテール,牡3,57,"
                           "▲早 瀬,2:24.5,1 1/4,2-2-2-2,34.3,8.1,4,480(-2)\r\n"
                           "2024/05/26,東京,2,12,11,若潮ステークス(ＧＩＩ),芝左2400,晴,良,中止,2,2,フブキ,牝3,55,"
                           "真 柴,,,9-9,,40.1,9,470(0)\r\n";

} // namespace

TEST(CsvReader, ResultTableInUtf8WithBomOrCp932GivesTheSameRecords)
{
    TempDir dir;
    const std::string utf8 = WriteBytes(dir, "a.txt", std::string("\xEF\xBB\xBF") + kTable);
    Lines lines = SplitLines(FromUtf8(kTable));
    lines.pop_back();
    for (Text& l : lines)
        if (!l.empty() && l.back() == U'\r')
            l.pop_back();
    const std::string cp932 = WriteBytes(dir, "b.dat", EncodeTextLines(lines));

    for (const std::string& file : { utf8, cp932 }) {
        SCOPED_TRACE(file);
        EXPECT_STREQ(DetectSource(file)->name, "CSV"); // by the header, whatever the file's name
        Collect c;
        ASSERT_TRUE(ReadSource(file, c));
        EXPECT_TRUE(c.malformed.empty());
        ASSERT_EQ(c.races.size(), 1u); // one race for its three rows
        const RaceRecord& r = c.races[0];
        EXPECT_EQ(r.key, (RaceKey { 2024, 5, 26, 5, 11 }));
        EXPECT_EQ(r.meeting, 2);
        EXPECT_EQ(r.meetingDay, 12);
        EXPECT_EQ(r.grade, 2);
        EXPECT_EQ(r.surface, U'芝');
        EXPECT_EQ(r.direction, U'左');
        EXPECT_EQ(r.distance, 2400);
        EXPECT_TRUE(r.hasResult);
        ASSERT_EQ(c.runners.size(), 3u);
        const RunnerRecord& w = c.runners[0];
        EXPECT_EQ(w.horseName, U"ミナトアロー");
        EXPECT_EQ(w.jockeyName, U"Ｆ．ロワゾー"); // names keep their full-width marks
        EXPECT_EQ(w.timeTenths, 1443);
        EXPECT_EQ(w.corners[0], 5);
        EXPECT_EQ(w.winOddsTenths, 34);
        EXPECT_EQ(w.bodyWeight, 516);
        EXPECT_EQ(w.bodyWeightChange, 4);
        EXPECT_EQ(c.runners[1].margin, U"1 1/4");
        EXPECT_EQ(c.runners[1].bodyWeightChange, -2);
        const RunnerRecord& dnf = c.runners[2];
        EXPECT_EQ(dnf.abnormal, Abnormal::DidNotFinish);
        EXPECT_EQ(dnf.finish, 0);
        EXPECT_EQ(dnf.corners[2], 9); // passing at the corners it did run
        EXPECT_EQ(dnf.corners[3], 9);
        EXPECT_TRUE(dnf.bodyWeightChangeKnown);
    }
}

TEST(CsvReader, MalformedLinesAreReportedAndTheRestIsRead)
{
    TempDir dir;
    std::string text = std::string(kTable)
        + "2024/05/26,東京,2,12,11,若潮ステークス(ＧＩＩ),芝左2400\r\n" // too few columns
        + "2024/05/26,東京,2,12,11,若潮ステークス(ＧＩＩ),芝左2400,晴,良,4,4,,ヒバリ,牡3,57,鳴 海,,,,,,,\r\n" // no
                                                                                                              // number
        + "2024/02/30x,月面,2,12,11,,芝2400,晴,良,5,4,6,ホシ,牡3,57,鳴 海,,,,,,,\r\n" // no venue
        + "\"unclosed,2024\r\n";
    const std::string file = WriteBytes(dir, "t.csv", text);
    Collect c;
    ReadCsv(file, c);
    EXPECT_EQ(c.runners.size(), 3u);
    ASSERT_EQ(c.malformed.size(), 4u);
    EXPECT_EQ(c.malformed[0].first, 5);
    EXPECT_EQ(c.malformed[1].first, 6);
    EXPECT_EQ(c.malformed[2].first, 7);
    EXPECT_EQ(c.malformed[3].first, 8);

    // Bytes that are neither UTF-8 nor CP932 on one line spoil that line only.
    const std::string bad
        = WriteBytes(dir, "bad.csv", std::string(kTable).insert(std::string(kTable).find("トワ"), "\xFF\xFE"));
    Collect b;
    ReadCsv(bad, b);
    EXPECT_EQ(b.runners.size(), 2u);
    ASSERT_EQ(b.malformed.size(), 1u);
    EXPECT_EQ(b.malformed[0].first, 3);
}

TEST(CsvReader, TypedCardOfAnUpcomingRace)
{
    TempDir dir;
    const std::string file = WriteBytes(dir, "card",
        "日付,場,R,レース名,距離,発走\n2026-12-27,中山,11,冬星記念(ＧＩ),芝2500,15:25\n"
        "馬番,馬名,性齢,斤量,騎手,記号\n1,カスミゲイル,牡6,58,▲早 瀬,\n2,ハヤテゲイル,牡6,58,葛 城,(外)\n\n");
    Collect c;
    ASSERT_STREQ(DetectSource(file)->name, "CSV");
    ReadCsv(file, c);
    EXPECT_TRUE(c.malformed.empty());
    ASSERT_EQ(c.races.size(), 1u);
    EXPECT_FALSE(c.races[0].hasResult);
    EXPECT_EQ(c.races[0].startTime, 1525);
    EXPECT_EQ(c.races[0].key, (RaceKey { 2026, 12, 27, 6, 11 }));
    ASSERT_EQ(c.runners.size(), 2u);
    EXPECT_EQ(c.runners[0].carriedTenths, 580);
    EXPECT_EQ(c.runners[0].jockeyName, U"▲早 瀬");
    EXPECT_EQ(c.runners[1].mark, U"外");
    EXPECT_EQ(c.runners[1].race, c.races[0].key);
}

TEST(CsvReader, CornerFileNamesRacesByTheirIdAndQuotesKeepCommas)
{
    TempDir dir;
    const std::string file = WriteBytes(dir, "corners.csv",
        "レースID,1コーナー,2コーナー,3コーナー,4コーナー\n"
        "202306050811,\"(*2,5)9\",\"2,5,9\",\"2-(5,9)\",\"2,5\n,9\"\n");
    Collect c;
    ReadCsv(file, c);
    ASSERT_EQ(c.races.size(), 1u);
    EXPECT_EQ(c.races[0].key.month, 0);
    EXPECT_EQ(c.races[0].meeting, 5);
    EXPECT_EQ(c.races[0].cornerOrders[0], U"(*2,5)9");
    EXPECT_EQ(c.races[0].cornerOrders[3], U"2,5\n,9"); // a quoted line break stays in its field
}

TEST(CsvReader, FilesOfNoKnownKindAreLeftAlone)
{
    TempDir dir;
    Collect c;
    EXPECT_FALSE(ReadSource(WriteBytes(dir, "numbers.csv", "1,2,3\n4,5,6\n"), c));
    EXPECT_FALSE(ReadSource(WriteBytes(dir, "empty.csv", ""), c));
    EXPECT_FALSE(ReadSource(dir.Path(), c));
    EXPECT_TRUE(c.races.empty());
}

TEST(CsvReader, AHeaderThatCannotBePlacedIsRefusedNamingWhatIsWrong)
{
    TempDir dir;
    const std::string file = WriteBytes(dir, "notes.csv", "name,Colour,kg\nA,red,5\n");
    ASSERT_NE(DetectSource(file), nullptr); // a CSV all the same: refused with reasons, not as of no kind
    Collect c;
    try {
        ReadCsv(file, c);
        FAIL() << "read";
    } catch (const UserError& e) {
        const std::string m = ToUtf8(e.Message());
        EXPECT_NE(m.find("分からない列: name, Colour, kg"), std::string::npos) << m;
        EXPECT_NE(m.find("horse_number"), std::string::npos) << m;
        EXPECT_NE(m.find("race_id (または race_date, venue, race_number)"), std::string::npos) << m;
    }
    // Runners without anything that names their race are refused too, rather than failed row by row.
    EXPECT_THROW(ReadCsv(WriteBytes(dir, "r.csv", "馬番,馬名,着順\n1,ホシ,1\n"), c), UserError);
    EXPECT_TRUE(c.runners.empty());
}

TEST(CsvReader, EnglishHeadersOfScrapedDataSets)
{
    TempDir dir;
    const std::string file = WriteBytes(dir, "scraped.csv",
        "race_id,race_date,Race Name,distance,horse_name,horse_number,bracket_number,sex_age,jockey_name,"
        "finish_position,finish_time,passing_order_1,passing_order_2,passing_order_3,passing_order_4,last_3f_time,"
        "win_odds,popularity,horse_weight\n"
        "202306050811,2023-12-24,冬星記念,芝2500,ホシゾラ,2,1,牡4,鷲 尾,1,2:30.9,9,9,5,4,36.0,5.6,2,500(+4)\n");
    Collect c;
    ReadCsv(file, c);
    EXPECT_TRUE(c.malformed.empty());
    ASSERT_EQ(c.races.size(), 1u);
    EXPECT_EQ(c.races[0].key, (RaceKey { 2023, 12, 24, 6, 11 }));
    EXPECT_EQ(c.races[0].name, U"冬星記念");
    ASSERT_EQ(c.runners.size(), 1u);
    const RunnerRecord& x = c.runners[0];
    EXPECT_EQ(x.number, 2);
    EXPECT_EQ(x.frame, 1);
    EXPECT_EQ(x.age, 4);
    EXPECT_EQ(x.finish, 1);
    EXPECT_EQ(x.timeTenths, 1509);
    EXPECT_EQ(x.corners[0], 9);
    EXPECT_EQ(x.corners[3], 4);
    EXPECT_EQ(x.last3fTenths, 360);
    EXPECT_EQ(x.winOddsTenths, 56);
    EXPECT_EQ(x.popularity, 2);
    EXPECT_EQ(x.bodyWeight, 500);
}

TEST(CsvReader, AColumnMappingPlacesAnyHeader)
{
    TempDir dir;
    const std::string file = WriteBytes(dir, "own.csv", "rid,day,uma,no,pos\n202306050811,2023/12/24,ホシゾラ,2,3\n");
    const std::string mapping = WriteBytes(dir, "columns.txt",
        "# our scraper's names\nrid = "
        "race_id\r\nday=race_date\numa=horse_name\nno=horse_number\npos=finish_position\n");
    Collect c;
    c.options.csvColumns = ReadColumnMapping(mapping);
    ReadCsv(file, c);
    ASSERT_EQ(c.runners.size(), 1u);
    EXPECT_EQ(c.runners[0].horseName, U"ホシゾラ");
    EXPECT_EQ(c.runners[0].finish, 3);
    EXPECT_EQ(c.races[0].key.day, 24);

    // A field the manual does not list is refused with its line.
    try {
        ReadColumnMapping(WriteBytes(dir, "bad.txt", "rid=race_id\numa=horse_nmae\n"));
        FAIL();
    } catch (const UserError& e) {
        EXPECT_NE(ToUtf8(e.Message()).find("2行目"), std::string::npos);
        EXPECT_NE(ToUtf8(e.Message()).find("horse_nmae"), std::string::npos);
    }
}

TEST(CsvReader, AStrayQuoteSpoilsOneRowOfAThousands)
{
    TempDir dir;
    std::string text = "日付,場,R,レース名,馬番,馬名,着順\r\n";
    for (int race = 1; race <= 12; ++race)
        for (int n = 1; n <= 16; ++n)
            text += "2024/05/26,東京," + std::to_string(race) + ",\"名,前\"," + std::to_string(n) + ","
                + (race == 1 && n == 3 ? "\"ホシ" : "ホシ") + std::to_string(n) + "," + std::to_string(n) + "\r\n";
    Collect c;
    ReadCsv(WriteBytes(dir, "t.csv", text), c);
    EXPECT_EQ(c.races.size(), 12u);
    EXPECT_EQ(c.runners.size(), 12u * 16 - 1);
    ASSERT_EQ(c.malformed.size(), 1u);
    EXPECT_EQ(c.malformed[0].first, 4);
    EXPECT_EQ(c.races[0].name, U"名,前");
}

TEST(CsvReader, OldMacLineEndsAndHugeLines)
{
    TempDir dir;
    std::string text = kTable;
    std::string cr;
    for (char ch : text)
        if (ch != '\n')
            cr += ch; // CR alone ends each line
    Collect c;
    ReadCsv(WriteBytes(dir, "mac.csv", cr), c);
    EXPECT_TRUE(c.malformed.empty());
    EXPECT_EQ(c.runners.size(), 3u);

    // A 100 MB line between two good rows: cut, reported with its line, the rows around it read.
    const std::string path = dir.File("huge.csv");
    {
        std::string rows = kTable;
        const std::size_t second = rows.find("\r\n", rows.find("\r\n") + 2) + 2;
        std::ofstream out(path, std::ios::binary);
        out << rows.substr(0, second);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i)
            out << block;
        out << "\r\n" << rows.substr(second);
    }
    Collect h;
    ReadCsv(path, h);
    EXPECT_EQ(h.runners.size(), 3u);
    ASSERT_EQ(h.malformed.size(), 1u);
    EXPECT_EQ(h.malformed[0].first, 3);
    EXPECT_NE(h.malformed[0].second.find("長すぎます"), std::string::npos);
}

TEST(CsvReader, DataSetRowsTakeTheRaceNumberFromTheIdAndPositionsPerCorner)
{
    TempDir dir;
    const std::string file = WriteBytes(dir, "dataset.csv",
        "レースID,レース日付,開催回数,競馬場名,開催日数,レース名,芝・ダート,距離,天気,馬場状態,着順,枠番,馬番,馬名,"
        "性別,"
        "馬齢,斤量,騎手,走破時間,着差,1コーナー,2コーナー,3コーナー,4コーナー,上り,単勝,人気,馬体重,場体重増減\n"
        "202306050811,2023年12月24日,5回,中山,8日,冬星記念,芝,2500,晴,良,1,1,2,ホシゾラ,牡,4,58,鷲 尾,2:30.9,,9,"
        "9,5,4,36.0,5.6,2,500,+4\n");
    Collect c;
    ASSERT_STREQ(DetectSource(file)->name, "CSV");
    ReadCsv(file, c);
    EXPECT_TRUE(c.malformed.empty());
    ASSERT_EQ(c.races.size(), 1u);
    EXPECT_EQ(c.races[0].key, (RaceKey { 2023, 12, 24, 6, 11 }));
    EXPECT_EQ(c.races[0].meeting, 5);
    EXPECT_EQ(c.races[0].meetingDay, 8);
    EXPECT_EQ(c.races[0].surface, U'芝');
    ASSERT_EQ(c.runners.size(), 1u);
    const RunnerRecord& x = c.runners[0];
    EXPECT_EQ(x.sex, U'牡');
    EXPECT_EQ(x.age, 4);
    EXPECT_EQ(x.corners[0], 9);
    EXPECT_EQ(x.corners[3], 4);
    EXPECT_EQ(x.timeTenths, 1509);
    EXPECT_TRUE(x.bodyWeightChangeKnown);
    EXPECT_EQ(x.bodyWeightChange, 4);
}
