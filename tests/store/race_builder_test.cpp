// Races built from the store: the invented world's own files come back, nothing from the race day or later
// gets in, and runners without a placing and awkward names appear as decided.
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

#include "emit.h"
#include "model.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "source_data.h"
#include "store/importer.h"
#include "store/race_builder.h"
#include "support/pado_body.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::store;

namespace {

const sources::RaceKey kToday { 2026, 12, 27, 6, 11 };

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void Import(RaceStore& s, const std::string& file)
{
    FileImport r = ImportFile(s, file);
    ASSERT_TRUE(r.committed) << r.error;
    ASSERT_TRUE(r.problems.empty()) << r.problems.front();
}

Lines BodyFor(const Lines& pado, const Text& header)
{
    return pado::testing::PadoBodyFor(pado, header);
}

struct Emitted {
    TempDir dir;
    makerace::Options options;
    makerace::World world;
    std::string store = dir.File("races.sqlite");
    explicit Emitted(makerace::Options o = {})
        : options(o)
        , world(makerace::Simulate(o))
    {
        makerace::EmitCsv(makerace::ToSourceData(world), dir.File("csv"));
    }
};

} // namespace

TEST(RaceBuilder, CsvRoundTripGivesMakeRacesOwnFiles)
{
    Emitted e;
    RaceStore s(e.store);
    Import(s, e.dir.File("csv/results.csv"));
    Import(s, e.dir.File("csv/card.csv"));
    BuiltRace built = BuildRace(s, kToday, { e.options.pastRuns, 365 });
    makerace::RaceFiles own = makerace::Render(e.world);

    // The CSV carries every field of the card and the run lines: byte for byte.
    EXPECT_EQ(EncodeTextLines(built.files.r1), EncodeTextLines(own.r1));
    EXPECT_EQ(EncodeTextLines(built.files.rall), EncodeTextLines(own.rall));
    EXPECT_EQ(built.folderName, U"冬星記念");

    // make-race writes a selection of the races; the builder every race an entrant ran in. Each of make-race's
    // records is found, under its key, with the same body.
    std::size_t compared = 0;
    for (const Text& l : own.pado)
        if (StartsWith(l, U"◎")) {
            SCOPED_TRACE(ToUtf8(l));
            Lines mine = BodyFor(built.files.pado, l);
            ASSERT_FALSE(mine.empty());
            EXPECT_EQ(mine, BodyFor(own.pado, l));
            ++compared;
        }
    EXPECT_GT(compared, 30u);
    const auto headers = std::count_if(
        built.files.pado.begin(), built.files.pado.end(), [](const Text& l) { return StartsWith(l, U"◎"); });
    std::set<Text> raceKeys;
    for (const Text& l : own.rall)
        raceKeys.insert(Cols(l, 1, 12));
    EXPECT_EQ(static_cast<std::size_t>(headers), raceKeys.size());

    // make-race invents its jockey counts; the builder counts the stored results. Field by field: the same
    // keys in the same layout, every jockey of the card present, and the report says where the counts come from.
    ASSERT_FALSE(built.files.kisyu.empty());
    for (const Text& l : built.files.kisyu) {
        EXPECT_EQ(l.size(), own.kisyu.front().size());
        EXPECT_TRUE(
            std::any_of(own.kisyu.begin(), own.kisyu.end(), [&](const Text& o) { return Left(o, 3) == Left(l, 3); }));
    }
    ASSERT_EQ(built.report.notes.size(), 1u) << built.report.Lines().front();
    EXPECT_NE(built.report.notes.begin()->first.find("騎手成績"), std::string::npos);
}

TEST(RaceBuilder, RaceBuiltAsOfItsMorningHoldsNothingFromThatDayOrLater)
{
    Emitted e;
    RaceStore s(e.store);
    Import(s, e.dir.File("csv/results.csv"));
    Import(s, e.dir.File("csv/card.csv"));
    BuiltRace morning = BuildRace(s, kToday);

    // Then the day's results come in, an earlier race of that day with two of the entrants, and a race a week on.
    const auto& horses = e.world.horses;
    auto name = [&](int i) { return ToUtf8(TrimSpaces(horses[i].name)); };
    // The day's result gives placings and times only; the card's fields stay as the entries had them.
    std::string result = "日付,場,回,日,R,着順,馬番,馬名,タイム\n";
    for (int i = 0; i < static_cast<int>(horses.size()); ++i)
        result += "2026-12-27,中山,5,8,11," + std::to_string(i + 1) + "," + std::to_string(i + 1) + "," + name(i)
            + ",2:31." + std::to_string(i % 10) + "\n";
    WriteFile(e.dir.File("result.csv"), result);
    Import(s, e.dir.File("result.csv"));
    std::string later
        = "日付,場,回,日,R,レース名,距離,天候,馬場,着順,馬番,馬名,性齢,斤量,騎手,タイム,上り,人気,馬体重\n";
    later += "2026-12-27,中山,5,8,3,,ダ1800,晴,良,1,1," + name(0) + ",牡6,57,真 柴,1:53.0,38.0,1,500\n";
    later += "2026-12-27,中山,5,8,3,,ダ1800,晴,良,2,2," + name(1) + ",牝5,55,真 柴,1:53.2,38.2,2,480\n";
    later += "2027-01-05,中山,1,1,11,金杯,芝2000,晴,良,1,4," + name(2) + ",牡6,57,鷲 尾,2:00.0,34.0,1,500\n";
    WriteFile(e.dir.File("later.csv"), later);
    Import(s, e.dir.File("later.csv"));
    ASSERT_TRUE(s.Race(kToday)->hasResult);

    BuiltRace again = BuildRace(s, kToday);
    EXPECT_EQ(again.files.r1, morning.files.r1);
    EXPECT_EQ(again.files.rall, morning.files.rall);
    EXPECT_EQ(again.files.pado, morning.files.pado);
    EXPECT_EQ(again.files.kisyu, morning.files.kisyu);
    for (const Text& l : again.files.rall)
        EXPECT_LT(Left(l, 6), U"261227") << ToUtf8(l);
    EXPECT_TRUE(again.report.notes.count("当日の結果は使わず出馬表として作成"));
}

TEST(RaceBuilder, RunnersWithoutAPlacingAndHorsesThatDidNotStart)
{
    TempDir dir;
    const std::string past = dir.File("past.csv"), card = dir.File("card.csv");
    WriteFile(past,
        "日付,場,回,日,R,レース名,クラス,条件,距離,回り,天候,馬場,着順,馬番,馬名,性齢,斤量,騎手,タイム,"
        "着差,通過,上り,単勝,人気,馬体重\n"
        "2026-11-01,東京,5,2,9,,1勝クラス,3歳以上 定量,芝左1600,左,晴,良,1,3,アルファ,牡3,56,鷲 "
        "尾,1:33.5,,2-2,33.9,2.5,1,480(+2)\n"
        "2026-11-01,東京,5,2,9,,1勝クラス,3歳以上 定量,芝左1600,左,晴,良,2(降),1,ベータ,牡3,56,真 "
        "柴,1:33.4,ハナ,1-1,34.0,,2,470(0)\n"
        "2026-11-01,東京,5,2,9,,1勝クラス,3歳以上 定量,芝左1600,左,晴,良,中止,2,ガンマ,牝3,54,一 色,,,3,,,3,460(-4)\n"
        "2026-11-01,東京,5,2,9,,1勝クラス,3歳以上 定量,芝左1600,左,晴,良,失格,4,デルタ,牡4,57,風 "
        "間,1:34.0,,4-3,35.0,,4,500(+8)\n"
        "2026-11-01,東京,5,2,9,,1勝クラス,3歳以上 定量,芝左1600,左,晴,良,取消,5,イプシロン,牡3,56,桐 生,,,,,,,\n");
    WriteFile(card,
        "日付,場,R,レース名,距離\n2026-12-06,中山,10,銀杏特別,芝1800\n馬番,馬名,性齢,斤量,騎手\n"
        "1,ベータ,牡3,56,真 柴\n2,ガンマ,牝3,54,一 色\n3,デルタ,牡4,57,風 間\n4,イプシロン,牡3,56,桐 生\n");
    RaceStore s(dir.File("s.sqlite"));
    Import(s, past);
    Import(s, card);
    BuiltRace b = BuildRace(s, { 2026, 12, 6, 6, 10 });

    // The scratched horse ran no race: no run line. The others each have theirs, in fixed columns.
    ASSERT_EQ(b.files.rall.size(), 3u);
    const Text& demoted = b.files.rall[0];
    EXPECT_EQ(Cols(demoted, 48, 56), PadRight(U"ベータ", 9));
    EXPECT_EQ(Cols(demoted, 26, 27), U"02");
    const Text& dnf = b.files.rall[1];
    EXPECT_EQ(Cols(dnf, 26, 27), U"中止");
    EXPECT_EQ(Cols(dnf, 29, 34), U"9.59.9"); // the slowest time: never a best time
    EXPECT_EQ(Cols(dnf, 60, 62), U"一色　");
    EXPECT_EQ(Cols(b.files.rall[2], 26, 27), U"失格");
    EXPECT_EQ(Cols(b.files.rall[2], 29, 34), U"1.34.0");

    // The result table: placings first, then the runners without one, the horse that did not start after the end.
    Lines body = BodyFor(b.files.pado, U"◎261101東京09");
    auto end = std::find(body.begin(), body.end(), U"---");
    ASSERT_NE(end, body.end());
    std::vector<Text> runners;
    for (const Text& l : body)
        if (Cols(l, 24, 25) == U"kg")
            runners.push_back(Left(l, 5));
    EXPECT_EQ(runners, (std::vector<Text> { U" 1  3", U" 2  1", U"中止  2", U"失格  4" }));
    EXPECT_EQ(body.back(), U"取消  5 イプシロン    ");
    EXPECT_TRUE(std::any_of(body.begin(), body.end(), [](const Text& l) { return StartsWith(l, U"単勝　3　250円"); }));
    // Corner orders derived from the runners' positions, said in the report with the other gaps.
    EXPECT_TRUE(std::find(body.begin(), body.end(), U"3コーナー  1-2-(2,4)") != body.end()
        || std::find(body.begin(), body.end(), U"3コーナー  1-3-4") != body.end());
    EXPECT_TRUE(b.report.notes.count("公式のコーナー通過順がないため各馬の通過順位から作成"));
    EXPECT_TRUE(b.report.notes.count("降着の馬 (降着後の着順で記入)"));
    EXPECT_TRUE(b.report.notes.count("中止 の馬 (着順の欄に記入)"));
    EXPECT_TRUE(b.report.notes.count("上り4F・3Fが不明 (0.0 と記入)"));
}

TEST(RaceBuilder, NamesAreShapedToNineCp932Characters)
{
    std::string note;
    EXPECT_EQ(NineCharacterName(U"フブキ", note), U"フブキ      ");
    EXPECT_TRUE(note.empty());
    EXPECT_EQ(NineCharacterName(U"アイウエオカキクケコ", note), U"アイウエオカキクケ");
    EXPECT_NE(note.find("切り詰め"), std::string::npos);
    const Text shaped = NineCharacterName(U"ホシ\U0001F40Eノ", note);
    EXPECT_EQ(shaped, U"ホシ？ノ     ");
    EXPECT_NE(note.find("CP932"), std::string::npos);
    EXPECT_FALSE(EncodeCp932(shaped).unencodable);
}

TEST(RaceBuilder, JockeyKeysAndRaceNames)
{
    EXPECT_EQ(JockeyKeyOf(U"▲早 瀬"), U"早瀬　");
    EXPECT_EQ(JockeyKeyOf(U"Ｆ．ロワゾー"), U"ロワゾ");
    EXPECT_EQ(JockeyKeyOf(U"勅使河原"), U"勅使河");
    EXPECT_EQ(JockeyKeyOf(U"☆如 月"), U"如月　");
    EXPECT_EQ(JockeyKeyOf(U""), U"");

    EXPECT_EQ(ParseRaceName("202612270611"), kToday);
    EXPECT_EQ(ParseRaceName("2026-12-27 中山 11"), kToday);
    EXPECT_EQ(ParseRaceName("2026/12/27 06 11R"), kToday);
    EXPECT_EQ(RaceIdText(kToday), "202612270611");
    EXPECT_FALSE(ParseRaceName("2026-12-27 月面 11"));
    EXPECT_FALSE(ParseRaceName("2026-12-27 中山 13"));
    EXPECT_FALSE(ParseRaceName("20261227061"));
    EXPECT_FALSE(ParseRaceName(""));
}

TEST(RaceBuilder, FolderIsReplacedWholeAndAMissingRaceIsAMessage)
{
    Emitted e({ .seed = 3, .entrants = 6, .runs = 10, .pastRuns = 3 });
    RaceStore s(e.store);
    Import(s, e.dir.File("csv/results.csv"));
    Import(s, e.dir.File("csv/card.csv"));
    const std::string staging = e.dir.File("PADO-tdy");
    BuiltRace built = BuildRace(s, kToday, { 3, 365 });
    std::filesystem::path folder = WriteRaceFolder(built, staging);
    EXPECT_EQ(folder, std::filesystem::path(staging) / "冬星記念");
    WriteFile(staging + "/冬星記念/stale.txt", "left from before");
    EXPECT_EQ(WriteRaceFolder(built, staging), folder);
    EXPECT_FALSE(std::filesystem::exists(folder / "stale.txt"));
    for (const char* f : { "R1.txt", "Rall.txt", "pado.txt", "kisyuE.txt" })
        EXPECT_FALSE(ReadTextFile((folder / f).string()).empty()) << f;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(staging), {}), 1); // no temporary folder left
    EXPECT_THROW(BuildRace(s, { 2026, 12, 27, 6, 12 }), UserError);
    EXPECT_EQ(DefaultStaging("/home/u/PADO"), std::filesystem::path("/home/u/PADO-tdy"));
}

TEST(RaceBuilder, JockeyCountsCoverTheDaysBeforeTheRaceAndOnlyRidesThatStarted)
{
    TempDir dir;
    // Races 366, 365 and 1 day before 2026-12-06, one on the day itself; 鷲尾 rides in each.
    WriteFile(dir.File("r.csv"),
        "日付,場,回,日,R,着順,馬番,馬名,騎手,タイム\n"
        "2025-12-05,中山,5,1,1,1,1,アルファ,鷲 尾,1:10.0\n" // 366 days before: outside
        "2025-12-06,中山,5,2,1,1,1,アルファ,鷲 尾,1:10.0\n" // 365 days before: the first day counted
        "2025-12-06,中山,5,2,1,2,2,ベータ,真 柴,1:10.2\n"
        "2026-12-05,東京,5,1,1,3,1,アルファ,鷲 尾,1:10.0\n"
        "2026-12-05,東京,5,1,1,中止,2,ベータ,真 柴,\n" // a ride that did not finish is out
        "2026-12-05,東京,5,1,1,取消,3,ガンマ,一 色,\n" // a scratched horse is no ride
        "2026-12-06,中山,5,3,1,1,1,ベータ,鷲 尾,1:10.0\n"); // the day itself: never
    WriteFile(dir.File("c.csv"),
        "日付,場,R,レース名,距離\n2026-12-06,中山,11,師走特別,芝1800\n馬番,馬名,性齢,斤量,騎手\n"
        "1,アルファ,牡3,56,鷲 尾\n2,ガンマ,牡3,56,一 色\n");
    RaceStore s(dir.File("s.sqlite"));
    Import(s, dir.File("r.csv"));
    Import(s, dir.File("c.csv"));
    BuiltRace b = BuildRace(s, { 2026, 12, 6, 6, 11 });
    auto line = [&](const Text& key) {
        for (const Text& l : b.files.kisyu)
            if (Left(l, 3) == key)
                return l;
        return Text();
    };
    // Venues in the jockey file's order: 京都 阪神 中京 小倉 東京 中山 …; each venue 15 characters from column 7.
    auto cell = [](const Text& l, int venue) { return Mid(l, 7 + 15 * venue, 12); };
    EXPECT_EQ(cell(line(U"鷲尾　"), 5), U"  1  0  0  0"); // 中山: the day 365 before, not 366, not the day itself
    EXPECT_EQ(cell(line(U"鷲尾　"), 4), U"  0  0  1  0"); // 東京
    EXPECT_EQ(cell(line(U"真柴　"), 4), U"  0  0  0  1");
    EXPECT_EQ(cell(line(U"真柴　"), 5), U"  0  1  0  0");
    EXPECT_EQ(cell(line(U"一色　"), 4), U"  0  0  0  0"); // on today's card, but its only ride was scratched
    EXPECT_EQ(Left(b.files.kisyu[0], 3), U"鷲尾　"); // today's jockeys first, in card order
    EXPECT_EQ(Left(b.files.kisyu[1], 3), U"一色　");

    BuildOptions week { 5, 7 };
    BuiltRace w = BuildRace(s, { 2026, 12, 6, 6, 11 }, week);
    for (const Text& l : w.files.kisyu)
        EXPECT_EQ(Mid(l, 7 + 15 * 5, 12), U"  0  0  0  0") << ToUtf8(l); // nothing at 中山 in the last week
}

TEST(RaceBuilder, ResultTablesAloneAndClosingTimesFromLaps)
{
    TempDir dir;
    WriteFile(dir.File("r.csv"),
        "日付,場,回,日,R,距離,ラップ,着順,馬番,馬名,騎手,タイム,通過\n"
        "2026-11-01,東京,5,2,9,芝1200,\"12.0 11.0 11.5 11.8 12.0 12.2\",1,1,アルファ,鷲 尾,1:10.5,1-1\n"
        "2026-11-01,東京,5,2,9,芝1200,\"12.0 11.0 11.5 11.8 12.0 12.2\",2,2,ベータ,真 柴,1:10.7,2-2\n");
    RaceStore s(dir.File("s.sqlite"));
    Import(s, dir.File("r.csv"));
    BuildReport report;
    Lines tables = BuildResultTables(s, { { 2026, 11, 1, 5, 9 }, { 2026, 11, 1, 5, 10 } }, report);
    ASSERT_FALSE(tables.empty());
    EXPECT_EQ(tables[0], U"◎261101東京09");
    EXPECT_EQ(std::count_if(tables.begin(), tables.end(), [](const Text& l) { return StartsWith(l, U"◎"); }), 1);
    EXPECT_TRUE(std::find(tables.begin(), tables.end(), U"上り　4F 47.5　3F 36.0") != tables.end());
    EXPECT_TRUE(std::find(tables.begin(), tables.end(), U"3コーナー  1-2") != tables.end());
    EXPECT_TRUE(report.notes.count("上り4F・3Fをラップから算出"));
    EXPECT_TRUE(report.notes.count("結果のないレース (省略)")); // race 10 is not in the store
}

TEST(RaceBuilder, CharactersTheFilesCannotHoldAreReplacedNotFatal)
{
    TempDir dir;
    WriteFile(dir.File("c.csv"),
        "日付,場,R,レース名,距離\n2026-12-06,中山,10,Ωmega杯\xF0\x9F\x8F\x87,芝1800\n"
        "馬番,馬名,性齢,斤量,騎手\n1,ベータ,牡3,56,Ł．ヴァウェンサ\n");
    RaceStore s(dir.File("s.sqlite"));
    Import(s, dir.File("c.csv"));
    BuiltRace b = BuildRace(s, { 2026, 12, 6, 6, 10 });
    EXPECT_EQ(b.folderName, U"Ωmega杯？");
    EXPECT_TRUE(b.report.notes.count("CP932 にない文字を？に置換"));
    std::filesystem::path folder = WriteRaceFolder(b, dir.File("tdy"));
    EXPECT_EQ(ReadTextFile((folder / "R1.txt").string())[0], U"Ωmega杯？");
}

TEST(RaceBuilder, UnknownSexAndAgeComeFromTheRaceOrStayUnknownNeverMalesOfAgeZero)
{
    TempDir dir;
    // Results without sex and age: a fillies' race for two-year-olds, and an open race.
    WriteFile(dir.File("r.csv"),
        "日付,場,回,日,R,クラス,条件,距離,天候,馬場,着順,馬番,馬名,斤量,騎手,タイム\n"
        "2026-11-01,東京,5,2,3,未勝利,2歳 (牝) 馬齢,芝左1600,晴,良,1,1,アルファ,54,鷲 尾,1:35.0\n"
        "2026-11-01,東京,5,2,3,未勝利,2歳 (牝) 馬齢,芝左1600,晴,良,2,2,ベータ,54,真 柴,1:35.2\n"
        "2026-11-01,東京,5,2,9,1勝クラス,3歳以上 定量,芝左1600,晴,良,1,3,ガンマ,57,鷲 尾,1:33.5\n");
    RaceStore s(dir.File("s.sqlite"));
    Import(s, dir.File("r.csv"));
    BuildReport report;
    const Lines tables = BuildResultTables(s, { { 2026, 11, 1, 5, 3 }, { 2026, 11, 1, 5, 9 } }, report);
    auto row = [&](const Text& name) {
        for (const Text& l : tables)
            if (l.find(name) != Text::npos)
                return l;
        return Text();
    };
    EXPECT_NE(row(U"アルファ").find(PadRight(U"アルファ", 9) + U" 牝2 54.0kg"), Text::npos) << ToUtf8(row(U"アルファ"));
    EXPECT_NE(row(U"ガンマ").find(PadRight(U"ガンマ", 9) + U" －－ 57.0kg"), Text::npos) << ToUtf8(row(U"ガンマ"));
    for (const Text& l : tables)
        EXPECT_EQ(l.find(U"牡0"), Text::npos) << ToUtf8(l);
    ASSERT_TRUE(report.notes.count("性別が不明、牝馬限定戦のため牝と記入"));
    EXPECT_EQ(report.notes.at("性別が不明、牝馬限定戦のため牝と記入").size(), 2u);
    EXPECT_TRUE(report.notes.count("馬齢が不明、2歳限定戦のため 2 と記入"));
    ASSERT_TRUE(report.notes.count("性別が不明 (－と記入)"));
    EXPECT_NE(report.notes.at("性別が不明 (－と記入)").front().find("ガンマ"), std::string::npos);
}

TEST(RaceBuilder, AnOfficialPassingOrderIsShownAsItIsAndNeverExtendedFromPositions)
{
    TempDir dir;
    // Every runner has a position at corners 2, 3 and 4; the official order lists corners 3 and 4 only.
    WriteFile(dir.File("r.csv"),
        "日付,場,回,日,R,距離,天候,馬場,着順,馬番,馬名,性齢,斤量,騎手,タイム,通過\n"
        "2026-11-01,中山,5,2,1,ダ右1200,晴,良,1,1,アルファ,牡3,56,鷲 尾,1:11.0,2-2-1\n"
        "2026-11-01,中山,5,2,1,ダ右1200,晴,良,2,2,ベータ,牡3,56,真 柴,1:11.2,1-1-2\n"
        "2026-11-01,中山,5,2,2,ダ右1200,晴,良,1,1,アルファ,牡3,56,鷲 尾,1:11.0,2-2-1\n"
        "2026-11-01,中山,5,2,2,ダ右1200,晴,良,2,2,ベータ,牡3,56,真 柴,1:11.2,1-1-2\n");
    WriteFile(
        dir.File("c.csv"), "レースID,1コーナー,2コーナー,3コーナー,4コーナー\n202606050201,,,\"2,1\",\"(1,2)\"\n");
    RaceStore s(dir.File("s.sqlite"));
    Import(s, dir.File("r.csv"));
    Import(s, dir.File("c.csv"));
    BuildReport report;
    const Lines official = BuildResultTables(s, { { 2026, 11, 1, 6, 1 } }, report);
    Lines corners;
    for (const Text& l : official)
        if (l.find(U"コーナー  ") != Text::npos)
            corners.push_back(l);
    EXPECT_EQ(corners, (Lines { U"3コーナー  2,1", U"4コーナー  (1,2)" }));
    EXPECT_FALSE(report.notes.count("公式のコーナー通過順がないため各馬の通過順位から作成"));
    // The race without an official order gets lines from the positions, and the report names it.
    const Lines derived = BuildResultTables(s, { { 2026, 11, 1, 6, 2 } }, report);
    EXPECT_TRUE(std::any_of(derived.begin(), derived.end(),
        [](const Text& l) { return l.find(U"コーナー  ") != Text::npos && !EndsWith(l, U"コーナー  "); }));
    EXPECT_TRUE(report.notes.count("公式のコーナー通過順がないため各馬の通過順位から作成"));
}
