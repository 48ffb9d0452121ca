// JV-Data records read field by field, from lines laid out by the published positions, and the code tables.
#include <fstream>
#include <gtest/gtest.h>

#include "sources/collecting_sink.h"
#include "sources/jv_codes.h"
#include "sources/source_reader.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::sources;

namespace {

std::vector<Field> Id(const std::string& recordType, const std::string& kubun)
{
    return { { 1, recordType }, { 3, kubun }, { 4, "20241223" }, { 12, "2024" }, { 16, "1222" }, { 20, "06" },
        { 22, "05" }, { 24, "08" }, { 26, "11" } };
}

std::string Ra(const std::string& kubun, const std::string& jyoken = "999", const std::string& year = "2024")
{
    std::vector<Field> f = Id("RA", kubun);
    f[3].value = year;
    f.insert(f.end(),
        { { 33, "有馬記念" }, { 615, "A" }, { 617, "13" }, { 619, "N03" }, { 622, "4" }, { 635, jyoken },
            { 698, "2500" }, { 706, "18" }, { 714, "0500000002000000" }, { 874, "1525" }, { 884, "16" }, { 888, "4" },
            { 889, "2" }, { 890, "0" }, { 891, "069114121" }, { 976, "345470" }, { 982, "31" }, { 984, "(*2,5)9" },
            { 1054, "41" }, { 1056, "2-(5,9)" } });
    return FixedLine(1270, f);
}

std::string Se(const std::string& kubun, const std::string& abnormal, const std::string& finish,
    const std::string& margin, const std::string& weight, const std::string& sign, const std::string& change)
{
    std::vector<Field> f = Id("SE", kubun);
    f.insert(f.end(),
        { { 28, "7" }, { 29, "13" }, { 31, "2021104567" }, { 41, "テストホース　　" }, { 79, "2" }, { 83, "03" },
            { 289, "550" }, { 297, "01014" }, { 307, "横山武" }, { 325, weight }, { 328, sign }, { 329, change },
            { 332, abnormal }, { 335, finish }, { 339, "2317" }, { 343, margin }, { 352, "03030201" }, { 360, "0123" },
            { 364, "02" }, { 391, "342" } });
    return FixedLine(553, f);
}

} // namespace

TEST(JvRecords, RaceDetailsWithCornerSlotsLapsPrizesAndClass)
{
    TempDir dir;
    std::string file = WriteLines(dir, "ra.txt", { Ra("7"), Ra("2", "005", "2018") });
    CollectingSink sink;
    ReadJvRecords(file, sink);
    ASSERT_TRUE(sink.malformed.empty()) << sink.malformed[0].reason;
    ASSERT_EQ(sink.races.size(), 2u);
    const RaceRecord& r = sink.races[0];
    EXPECT_EQ(r.key, (RaceKey { 2024, 12, 22, 6, 11 }));
    EXPECT_EQ(r.meeting, 5);
    EXPECT_EQ(r.meetingDay, 8);
    EXPECT_EQ(r.name, U"有馬記念");
    EXPECT_EQ(r.grade, 1);
    EXPECT_EQ(r.classText, U"オープン");
    EXPECT_EQ(r.conditions, U"3歳以上 (国際)[指定] 定量"); // 競走記号 N03
    EXPECT_EQ(r.weightRule, WeightRule::Fixed);
    EXPECT_EQ(r.ageMin, 3);
    EXPECT_TRUE(r.ageAndOlder);
    EXPECT_TRUE(r.cornerOrdersOfficial); // final results: the slots say all there is
    EXPECT_FALSE(sink.races[1].cornerOrdersOfficial); // a card: not known yet
    EXPECT_EQ(r.surface, U'芝');
    EXPECT_EQ(r.direction, U'右'); // 18: 芝・右・外
    EXPECT_EQ(r.distance, 2500);
    EXPECT_EQ(r.going, U'稍'); // the turf going for a turf race
    EXPECT_EQ(r.weather, U"小雨"); // JV-Data's 4, JRDB's 3
    EXPECT_EQ(r.startTime, 1525);
    EXPECT_EQ(r.fieldSize, 16);
    EXPECT_EQ(r.prizes, U"50000 20000 0 0 0"); // in 10,000 yen, from 100 yen
    EXPECT_EQ(r.furlongTimes, U"69 114 121");
    EXPECT_EQ(r.last3f, 345);
    EXPECT_EQ(r.last4f, 470);
    EXPECT_TRUE(r.cornerOrders[0].empty());
    EXPECT_EQ(r.cornerOrders[2], U"(*2,5)9"); // the slot says which corner it is
    EXPECT_EQ(r.cornerOrders[3], U"2-(5,9)");
    EXPECT_TRUE(r.hasResult);

    EXPECT_FALSE(sink.races[1].hasResult); // data division 2: the card
    EXPECT_EQ(sink.races[1].classText, U"500万下");
}

TEST(JvRecords, RunnersOfResultsAndOfCards)
{
    TempDir dir;
    std::string file = WriteLines(dir, "se.txt",
        { Se("7", "0", "01", "   ", "502", "+", "004"), Se("7", "7", "05", "112", "476", "-", "012"),
            Se("7", "1", "00", "   ", "000", " ", "   "), Se("7", "0", "02", " 34", "999", " ", "999"),
            Se("2", "0", "00", "   ", "480", " ", "000"), Se("2", "1", "00", "   ", "000", " ", "   "),
            Se("2", "4", "00", "   ", "000", " ", "   ") });
    CollectingSink sink;
    ReadJvRecords(file, sink);
    ASSERT_TRUE(sink.malformed.empty()) << sink.malformed[0].reason;
    ASSERT_EQ(sink.runners.size(), 7u);
    const RunnerRecord& w = sink.runners[0];
    EXPECT_EQ(w.race, (RaceKey { 2024, 12, 22, 6, 11 }));
    EXPECT_EQ(w.frame, 7);
    EXPECT_EQ(w.number, 13);
    EXPECT_EQ(w.horseId, "2021104567");
    EXPECT_EQ(w.horseName, U"テストホース"); // full-width padding removed
    EXPECT_EQ(w.sex, U'牝');
    EXPECT_EQ(w.age, 3);
    EXPECT_EQ(w.carriedTenths, 550);
    EXPECT_EQ(w.jockeyId, "01014");
    EXPECT_EQ(w.jockeyName, U"横山武");
    EXPECT_EQ(w.finish, 1);
    EXPECT_EQ(w.timeTenths, 1517);
    EXPECT_EQ(std::vector<int>(w.corners, w.corners + 4), (std::vector<int> { 3, 3, 2, 1 }));
    EXPECT_EQ(w.winOddsTenths, 123);
    EXPECT_EQ(w.popularity, 2);
    EXPECT_EQ(w.last3fTenths, 342);
    EXPECT_EQ(w.bodyWeight, 502);
    EXPECT_EQ(w.bodyWeightChange, 4);

    EXPECT_EQ(sink.runners[1].abnormal, Abnormal::Demoted);
    EXPECT_EQ(sink.runners[1].finish, 5);
    EXPECT_EQ(sink.runners[1].margin, U"1 1/2");
    EXPECT_EQ(sink.runners[1].bodyWeightChange, -12);

    EXPECT_EQ(sink.runners[2].abnormal, Abnormal::Scratched);
    EXPECT_EQ(sink.runners[2].finish, 0);
    EXPECT_EQ(sink.runners[2].bodyWeight, 0);
    EXPECT_FALSE(sink.runners[2].bodyWeightChangeKnown);

    EXPECT_EQ(sink.runners[3].margin, U"3/4");
    EXPECT_EQ(sink.runners[3].bodyWeight, 0); // 999: could not be weighed
    EXPECT_FALSE(sink.runners[3].bodyWeightChangeKnown);

    const RunnerRecord& card = sink.runners[4];
    EXPECT_EQ(card.finish, 0);
    EXPECT_EQ(card.timeTenths, 0); // a card carries no result even where the record has digits
    EXPECT_EQ(card.winOddsTenths, 0);
    EXPECT_EQ(card.bodyWeight, 480);
    EXPECT_TRUE(card.bodyWeightChangeKnown);
    EXPECT_EQ(sink.runners[5].abnormal, Abnormal::Scratched); // scratched after the card was drawn
    EXPECT_EQ(sink.runners[6].abnormal, Abnormal::None); // a card cannot say a runner did not finish
}

TEST(JvRecords, MastersBothUmLengthsWrongLengthsAndOtherTypes)
{
    TempDir dir;
    std::string ks = FixedLine(
        4171, { { 1, "KS1" }, { 4, "20241223" }, { 12, "01014" }, { 42, "横山　武史" }, { 140, "横山武" } });
    auto um = [](int length) {
        return FixedLine(length,
            { { 1, "UM1" }, { 4, "20241223" }, { 12, "2021104567" }, { 39, "20210403" }, { 47, "テストホース" },
                { 201, "1" } });
    };
    std::string hr = FixedLine(717, { { 1, "HR2" }, { 4, "20241223" } });
    std::string shortRa = Ra("7").substr(0, 1000);
    std::string file = WriteLines(dir, "masters.txt", { ks, um(1607), um(1575), hr, shortRa, "not a record", hr });
    CollectingSink sink;
    ReadJvRecords(file, sink);
    ASSERT_EQ(sink.jockeys.size(), 1u);
    EXPECT_EQ(sink.jockeys[0].id, "01014");
    EXPECT_EQ(sink.jockeys[0].fullName, U"横山　武史");
    EXPECT_EQ(sink.jockeys[0].shortName, U"横山武");
    ASSERT_EQ(sink.horses.size(), 2u); // the master before and after its 2023 change
    EXPECT_EQ(sink.horses[1].id, "2021104567");
    EXPECT_EQ(sink.horses[1].birthYear, 2021);
    EXPECT_EQ(sink.horses[1].sex, U'牡');
    EXPECT_EQ(sink.skipped["JV HR"], 2);
    ASSERT_EQ(sink.malformed.size(), 2u);
    EXPECT_EQ(sink.malformed[0].line, 5);
    EXPECT_NE(sink.malformed[0].reason.find("1272"), std::string::npos);
    EXPECT_EQ(sink.malformed[1].line, 6);
}

TEST(JvRecords, DeletedLocalAndMalformedRacesAreToldApart)
{
    TempDir dir;
    std::string local = Ra("7");
    local.replace(19, 2, "44"); // 大井
    std::string badDistance = Ra("7");
    badDistance.replace(697, 4, "2x00");
    std::string file = WriteLines(dir, "ra.txt", { Ra("0"), local, Ra("A"), badDistance, Ra("7") });
    CollectingSink sink;
    ReadJvRecords(file, sink);
    EXPECT_EQ(sink.skipped["JV RA 削除"], 1);
    EXPECT_EQ(sink.skipped["JV RA 地方・海外"], 2);
    ASSERT_EQ(sink.malformed.size(), 1u);
    EXPECT_EQ(sink.malformed[0].line, 4);
    EXPECT_NE(sink.malformed[0].reason.find("距離"), std::string::npos);
    EXPECT_EQ(sink.races.size(), 1u);
    EXPECT_TRUE(LooksLikeJvRecords(Ra("7") + "\r\n"));
    EXPECT_TRUE(LooksLikeJvRecords(Ra("7").substr(0, 200))); // a head cut inside the first record
    EXPECT_FALSE(LooksLikeJvRecords("0624511012104567\r\n"));
}

TEST(JvCodes, MarginsBothWays)
{
    const std::pair<const char*, const char32_t*> cases[] = { { "H  ", U"ハナ" }, { "A  ", U"アタマ" },
        { "K  ", U"クビ" }, { "D  ", U"同着" }, { "T  ", U"大差" }, { "Z  ", U"10" }, { " 12", U"1/2" },
        { " 34", U"3/4" }, { "1  ", U"1" }, { "112", U"1 1/2" }, { "134", U"1 3/4" }, { "9  ", U"9" } };
    for (auto [code, text] : cases) {
        EXPECT_EQ(JvMargin(code), text) << code;
        EXPECT_EQ(JvMarginCode(text), code) << code;
    }
    EXPECT_EQ(JvMargin("   "), U"");
    EXPECT_EQ(JvMargin("K12"), U""); // a word takes no fraction
    EXPECT_EQ(JvMarginCode(U"よくわからない"), "   ");
}

TEST(JvCodes, TracksGoingWeatherAbnormalAndTimes)
{
    char32_t surface = 0, direction = 0;
    EXPECT_TRUE(JvTrack(10, surface, direction));
    EXPECT_EQ(surface, U'芝');
    EXPECT_EQ(direction, U'直');
    EXPECT_TRUE(JvTrack(24, surface, direction));
    EXPECT_EQ(surface, U'ダ');
    EXPECT_EQ(direction, U'右');
    EXPECT_TRUE(JvTrack(57, surface, direction));
    EXPECT_EQ(surface, U'障');
    EXPECT_FALSE(JvTrack(0, surface, direction));
    EXPECT_EQ(surface, 0);
    for (char32_t s : { U'芝', U'ダ' })
        for (char32_t d : { U'右', U'左', U'直' }) {
            JvTrack(JvTrackCode(s, d), surface, direction);
            EXPECT_EQ(surface, s);
            EXPECT_EQ(direction, d);
        }
    EXPECT_EQ(JvGoing(JvGoingCode(U'不')), U'不');
    EXPECT_EQ(JvWeather('3'), U"雨");
    EXPECT_EQ(JvWeatherCode(U"小雪"), '6');
    EXPECT_EQ(JvAbnormal('3'), Abnormal::Excluded); // 競走除外
    EXPECT_EQ(JvAbnormal('6'), Abnormal::None); // 落馬再騎乗 finished
    EXPECT_EQ(TimeTenths(1345), 945);
    EXPECT_EQ(TimeTenths(589), 589);
    EXPECT_EQ(TimeTenths(1699), -1);
    EXPECT_EQ(TimeField(945), 1345);
    EXPECT_EQ(ConditionFromClass(U"500万下"), 5);
    EXPECT_EQ(ClassFromCondition(10, 2020), U"2勝クラス");
}

TEST(JvCodes, JumpClassesCarryTheirWordThroughTheConditionCodes)
{
    // The codes name the class only; the jump word comes back from the track.
    EXPECT_EQ(ConditionFromClass(U"障害未勝利"), 703);
    EXPECT_EQ(ConditionFromClass(U"障害オープン"), 999);
    EXPECT_EQ(JumpClass(ClassFromCondition(703, 2023), U'障'), U"障害未勝利");
    EXPECT_EQ(JumpClass(U"障害オープン", U'障'), U"障害オープン");
    EXPECT_EQ(JumpClass(U"未勝利", U'芝'), U"未勝利");
    EXPECT_EQ(JumpClass(U"", U'障'), U""); // unknown stays unknown
}
