// What make-race emits as JRDB and JV-Data files reads back as the records it was made from, field by field
// wherever the format carries the field.
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

#include "emit.h"
#include "model.h"
#include "source_data.h"
#include "sources/collecting_sink.h"
#include "sources/fixed_record.h"
#include "sources/source_reader.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::sources;

namespace {

makerace::SourceData World()
{
    makerace::SourceData d;
    RaceRecord run;
    run.key = { 2024, 12, 22, 6, 11 };
    run.meeting = 5;
    run.meetingDay = 8;
    run.name = U"有馬記念";
    run.classText = U"オープン";
    run.conditions = U"3歳以上 定量";
    run.grade = 1;
    run.surface = U'芝';
    run.distance = 2500;
    run.direction = U'右';
    run.going = U'稍';
    run.weather = U"晴";
    run.startTime = 1525;
    run.fieldSize = 3;
    run.cornerOrders[2] = U"(*2,5)9";
    run.cornerOrders[3] = U"2-(5,9)";
    run.last3f = 345;
    run.last4f = 470;
    run.furlongTimes = U"69 114 121 120";
    run.prizes = U"50000 20000 13000 7500 5000";
    run.edition = 69;
    run.addedPrizes = U"651 186 93";
    run.hasResult = true;
    d.races.push_back(run);

    RaceRecord old;
    old.key = { 2018, 3, 4, 9, 3 };
    old.meeting = 1;
    old.meetingDay = 12;
    old.classText = U"500万下";
    old.conditions = U"3歳 馬齢";
    old.surface = U'ダ';
    old.distance = 1400;
    old.direction = U'左';
    old.going = U'重';
    old.weather = U"小雨";
    old.fieldSize = 1;
    old.hasResult = true;
    d.races.push_back(old);

    RaceRecord card;
    card.key = { 2025, 1, 5, 6, 11 };
    card.meeting = 1;
    card.meetingDay = 1;
    card.name = U"中山金杯";
    card.classText = U"オープン";
    card.conditions = U"4歳以上 ハンデ";
    card.grade = 3;
    card.surface = U'芝';
    card.distance = 2000;
    card.direction = U'右';
    card.startTime = 1545;
    card.fieldSize = 2;
    d.races.push_back(card);

    RunnerRecord w;
    w.race = run.key;
    w.frame = 7;
    w.number = 13;
    w.horseId = "2021104567";
    w.horseName = U"テストホース";
    w.sex = U'牡';
    w.age = 3;
    w.carriedTenths = 550;
    w.jockeyId = "01014";
    w.jockeyName = U"横山武";
    w.finish = 1;
    w.timeTenths = 1517;
    w.corners[0] = 3;
    w.corners[1] = 3;
    w.corners[2] = 2;
    w.corners[3] = 1;
    w.last3fTenths = 342;
    w.winOddsTenths = 123;
    w.popularity = 2;
    w.bodyWeight = 502;
    w.bodyWeightChange = 4;
    w.bodyWeightChangeKnown = true;
    d.runners.push_back(w);
    RunnerRecord demoted = w;
    demoted.frame = 1;
    demoted.number = 2;
    demoted.horseId = "2020104568";
    demoted.horseName = U"セカンド";
    demoted.sex = U'牝';
    demoted.age = 4;
    demoted.finish = 3;
    demoted.abnormal = Abnormal::Demoted;
    demoted.margin = U"1 1/2";
    demoted.timeTenths = 1520;
    demoted.bodyWeightChange = -12;
    d.runners.push_back(demoted);
    RunnerRecord scratched;
    scratched.race = run.key;
    scratched.frame = 5;
    scratched.number = 9;
    scratched.horseId = "2019104569";
    scratched.horseName = U"サード";
    scratched.sex = U'セ';
    scratched.age = 5;
    scratched.carriedTenths = 570;
    scratched.jockeyId = "05339";
    scratched.jockeyName = U"ルメール";
    scratched.abnormal = Abnormal::Scratched;
    d.runners.push_back(scratched);
    RunnerRecord oldRunner = w;
    oldRunner.race = old.key;
    oldRunner.frame = 1;
    oldRunner.number = 1;
    oldRunner.margin.clear();
    oldRunner.bodyWeightChange = 0; // unchanged, and known
    d.runners.push_back(oldRunner);
    for (int i = 0; i < 2; ++i) {
        RunnerRecord e;
        e.race = card.key;
        e.frame = i + 1;
        e.number = i + 1;
        e.horseId = i ? "2020104568" : "2021104567";
        e.horseName = i ? U"セカンド" : U"テストホース";
        e.sex = i ? U'牝' : U'牡';
        e.age = i ? 5 : 4;
        e.carriedTenths = 560 - 10 * i;
        e.jockeyId = "01014";
        e.jockeyName = U"横山武";
        d.runners.push_back(e);
    }
    d.jockeys.push_back({ "01014", U"横山武", U"横山　武史" });
    d.horses.push_back({ "2021104567", U"テストホース", U'牡', 2021 });
    d.horses.push_back({ "2020104568", U"セカンド", U'牝', 2020 });
    return d;
}

// Every line of the file, checking each is exactly as long as its record.
std::vector<std::string> RecordLines(const std::string& path, std::size_t length)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string l;
    while (std::getline(in, l)) {
        if (l.empty() || l.back() != '\r') {
            ADD_FAILURE() << path << " needs CR LF";
            continue;
        }
        l.pop_back();
        if (length) {
            EXPECT_EQ(l.size(), length) << path;
        }
        lines.push_back(l);
    }
    return lines;
}

void ExpectSameRace(const RaceRecord& a, const RaceRecord& e, bool levelFields)
{
    EXPECT_EQ(a.key, e.key);
    EXPECT_EQ(a.meeting, e.meeting);
    EXPECT_EQ(a.meetingDay, e.meetingDay);
    EXPECT_EQ(a.name, e.name);
    EXPECT_EQ(a.classText, e.classText);
    EXPECT_EQ(a.conditions, e.conditions);
    EXPECT_EQ(a.grade, e.grade);
    EXPECT_EQ(a.surface, e.surface);
    EXPECT_EQ(a.distance, e.distance);
    EXPECT_EQ(a.direction, e.direction);
    EXPECT_EQ(a.startTime, e.startTime);
    EXPECT_EQ(a.fieldSize, e.fieldSize);
    EXPECT_EQ(a.hasResult, e.hasResult);
    if (!levelFields)
        return;
    EXPECT_EQ(a.going, e.going);
    EXPECT_EQ(a.weather, e.weather);
    EXPECT_EQ(a.prizes, e.prizes);
    EXPECT_EQ(a.last3f, e.last3f);
    EXPECT_EQ(a.last4f, e.last4f);
    EXPECT_EQ(a.furlongTimes, e.furlongTimes);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a.cornerOrders[i], e.cornerOrders[i]);
    EXPECT_EQ(a.edition, e.edition);
    EXPECT_EQ(a.addedPrizes, e.addedPrizes);
}

// The fields both formats carry for a runner; frame, sex and age where `entry` says the record has them.
void ExpectSameRunner(const RunnerRecord& a, const RunnerRecord& e, bool results, bool entry)
{
    EXPECT_EQ(a.number, e.number);
    EXPECT_EQ(a.horseId, e.horseId);
    EXPECT_EQ(a.horseName, e.horseName);
    EXPECT_EQ(a.carriedTenths, e.carriedTenths);
    EXPECT_EQ(a.jockeyId, e.jockeyId);
    EXPECT_EQ(a.jockeyName, e.jockeyName);
    EXPECT_EQ(a.abnormal, e.abnormal);
    if (entry) {
        EXPECT_EQ(a.frame, e.frame);
        EXPECT_EQ(a.sex, e.sex);
    }
    if (!results)
        return;
    EXPECT_EQ(a.finish, e.finish);
    EXPECT_EQ(a.timeTenths, e.timeTenths);
    EXPECT_EQ(a.last3fTenths, e.last3fTenths);
    EXPECT_EQ(a.winOddsTenths, e.winOddsTenths);
    EXPECT_EQ(a.popularity, e.popularity);
    EXPECT_EQ(a.bodyWeight, e.bodyWeight);
    EXPECT_EQ(a.bodyWeightChangeKnown, e.bodyWeightChangeKnown);
    EXPECT_EQ(a.bodyWeightChange, e.bodyWeightChange);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a.corners[i], e.corners[i]);
}

} // namespace

TEST(EmitRoundTrip, JvDataRecordsGiveBackEveryField)
{
    TempDir dir;
    makerace::SourceData world = World();
    makerace::EmitJvData(world, dir.Path());
    std::string file = dir.File("JVDATA.txt");
    for (const std::string& l : RecordLines(file, 0)) {
        std::string recordType = l.substr(0, 2);
        std::size_t expected = recordType == "RA" ? 1270 : recordType == "SE" ? 553 : recordType == "KS" ? 4171 : 1607;
        EXPECT_EQ(l.size(), expected) << recordType;
    }
    EXPECT_TRUE(LooksLikeJvRecords(FileHead(file)));
    CollectingSink sink;
    ReadJvRecords(file, sink);
    ASSERT_TRUE(sink.malformed.empty()) << sink.malformed[0].reason;
    ASSERT_EQ(sink.races.size(), world.races.size());
    for (std::size_t i = 0; i < world.races.size(); ++i)
        ExpectSameRace(sink.races[i], world.races[i], true);
    ASSERT_EQ(sink.runners.size(), world.runners.size());
    for (std::size_t i = 0; i < world.runners.size(); ++i) {
        SCOPED_TRACE(i);
        const RunnerRecord& r = sink.runners[i];
        const RunnerRecord& e = world.runners[i];
        ExpectSameRunner(r, e, true, true);
        EXPECT_EQ(r.race, e.race);
        EXPECT_EQ(r.age, e.age);
        EXPECT_EQ(r.margin, e.margin);
    }
    ASSERT_EQ(sink.jockeys.size(), 1u);
    EXPECT_EQ(sink.jockeys[0].shortName, U"横山武");
    EXPECT_EQ(sink.jockeys[0].fullName, U"横山　武史");
    ASSERT_EQ(sink.horses.size(), 2u);
    EXPECT_EQ(sink.horses[1].id, "2020104568");
    EXPECT_EQ(sink.horses[1].sex, U'牝');
    EXPECT_EQ(sink.horses[1].birthYear, 2020);
}

TEST(EmitRoundTrip, JrdbFilesGiveBackWhatTheirLayoutsCarry)
{
    TempDir dir;
    makerace::SourceData world = World();
    makerace::EmitJrdb(world, dir.Path());
    const std::pair<const char*, std::size_t> files[]
        = { { "BAC.txt", 182 }, { "KYI.txt", 1022 }, { "SED.txt", 374 }, { "SRB.txt", 850 }, { "UKC.txt", 290 } };
    std::map<std::string, CollectingSink> read;
    for (auto [name, length] : files) {
        RecordLines(dir.File(name), length);
        EXPECT_TRUE(LooksLikeJrdb(FileHead(dir.File(name)))) << name;
        ReadJrdb(dir.File(name), read[name]);
        ASSERT_TRUE(read[name].malformed.empty()) << name << ": " << read[name].malformed[0].reason;
    }

    const std::vector<RaceRecord>& programme = read["BAC.txt"].races;
    ASSERT_EQ(programme.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        RaceRecord e = world.races[i];
        e.hasResult = false; // the programme is the card
        ExpectSameRace(programme[i], e, false);
        EXPECT_EQ(programme[i].prizes, e.prizes);
    }
    const std::vector<RaceRecord>& results = read["SED.txt"].races;
    ASSERT_EQ(results.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        ExpectSameRace(results[i], world.races[i], false);
        EXPECT_EQ(results[i].going, world.races[i].going);
        EXPECT_EQ(results[i].weather, world.races[i].weather);
    }
    const std::vector<RaceRecord>& orders = read["SRB.txt"].races;
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(orders[0].key, (RaceKey { 2024, 0, 0, 6, 11 }));
    EXPECT_EQ(orders[0].meetingDay, 8);
    EXPECT_EQ(orders[0].furlongTimes, world.races[0].furlongTimes);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(orders[0].cornerOrders[i], world.races[0].cornerOrders[i]);
    EXPECT_EQ(orders[1].meetingDay, 12); // written as 'c'

    const std::vector<RunnerRecord>& ran = read["SED.txt"].runners;
    ASSERT_EQ(ran.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ExpectSameRunner(ran[i], world.runners[i], true, false);
        EXPECT_EQ(ran[i].race, world.runners[i].race);
    }
    const std::vector<RunnerRecord>& entered = read["KYI.txt"].runners;
    ASSERT_EQ(entered.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        ExpectSameRunner(entered[i], world.runners[4 + i], false, true);
        EXPECT_EQ(entered[i].meeting, 1);
        EXPECT_EQ(entered[i].meetingDay, 1);
    }
    const std::vector<HorseRecord>& horses = read["UKC.txt"].horses;
    ASSERT_EQ(horses.size(), 2u);
    EXPECT_EQ(horses[0].id, "2021104567");
    EXPECT_EQ(horses[0].name, U"テストホース");
    EXPECT_EQ(horses[0].birthYear, 2021);
}

TEST(EmitRoundTrip, EachMeetingAndDayOfAVenueAndYearIsOneRaceDay)
{
    // Sources that name races by venue, year, 回 and 日目 alone (JRDB's corner and entrant files) need this.
    const makerace::SourceData world = makerace::ToSourceData(makerace::Simulate(makerace::Options()));
    std::map<std::tuple<int, int, int, int>, std::pair<int, int>> dayOf;
    for (const RaceRecord& r : world.races) {
        auto [it, fresh]
            = dayOf.insert({ { r.key.year, r.key.venue, r.meeting, r.meetingDay }, { r.key.month, r.key.day } });
        EXPECT_TRUE(fresh || it->second == std::make_pair(r.key.month, r.key.day))
            << r.key.year << " venue " << r.key.venue << " " << r.meeting << "回" << r.meetingDay << "日";
    }
}
