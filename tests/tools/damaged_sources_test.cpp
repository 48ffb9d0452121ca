// Emitted source files with bytes damaged at random: no reader crashes, and every line is either used or
// reported (malformed, or counted as a type that is skipped); none is lost without a word.
#include <fstream>
#include <gtest/gtest.h>
#include <random>

#include "emit.h"
#include "sources/collecting_sink.h"
#include "sources/source_reader.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::sources;

namespace {

makerace::SourceData SmallWorld()
{
    makerace::SourceData d;
    for (int n = 1; n <= 3; ++n) {
        RaceRecord race;
        race.key = { 2023, 5, 28, 5, n };
        race.meeting = 2;
        race.meetingDay = 12;
        race.name = U"東京優駿";
        race.classText = U"オープン";
        race.conditions = U"3歳 定量";
        race.surface = n == 3 ? U'ダ' : U'芝';
        race.direction = U'左';
        race.distance = 2400;
        race.going = U'良';
        race.weather = U"晴";
        race.startTime = 1540;
        race.fieldSize = 4;
        race.cornerOrders[3] = U"(*2,5)9(3,13)8,1";
        race.furlongTimes = U"125 108 117";
        race.prizes = U"30000 12000 7500 4500 3000";
        race.hasResult = n != 3;
        d.races.push_back(race);
        for (int i = 1; i <= 4; ++i) {
            RunnerRecord r;
            r.race = race.key;
            r.frame = i;
            r.number = i;
            r.horseId = "202010456" + std::to_string(i);
            r.horseName = U"ダメージテスト";
            r.sex = U'牡';
            r.age = 3;
            r.carriedTenths = 570;
            r.jockeyId = "0101" + std::to_string(i);
            r.jockeyName = U"騎手";
            if (race.hasResult) {
                r.finish = i;
                r.timeTenths = 1440 + i;
                r.margin = U"クビ";
                r.corners[3] = i;
                r.winOddsTenths = 35 * i;
                r.popularity = i;
                r.last3fTenths = 335 + i;
                r.bodyWeight = 480;
                r.bodyWeightChangeKnown = true;
                r.bodyWeightChange = 2 - i;
            }
            d.runners.push_back(r);
        }
    }
    d.jockeys.push_back({ "01011", U"騎手", U"騎手　一郎" });
    d.horses.push_back({ "2020104561", U"ダメージテスト", U'牡', 2020 });
    return d;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
        lines.push_back(l.substr(0, l.size() - 1));
    return lines;
}

// Replaces a few bytes of about half the lines; never with a line break, so the lines stay the lines.
std::string Damage(const std::vector<std::string>& lines, std::mt19937& random, const TempDir& dir)
{
    const std::string bytes = std::string("0123456789 -+.*AZaf") + "\x81\x82\x9f\xe0\xfc\xff\x40\x7f";
    std::string path = dir.File("damaged.txt");
    std::ofstream out(path, std::ios::binary);
    for (std::string l : lines) {
        if (random() % 2)
            for (unsigned n = random() % 3 + 1; n > 0; --n)
                l[random() % l.size()] = bytes[random() % bytes.size()];
        out << l << "\r\n";
    }
    return path;
}

} // namespace

TEST(DamagedSources, EveryDamagedJrdbLineIsReadOrReported)
{
    TempDir dir;
    makerace::EmitJrdb(SmallWorld(), dir.Path());
    std::mt19937 random(20240601);
    for (const char* name : { "SED.txt", "SRB.txt", "BAC.txt", "KYI.txt", "UKC.txt" }) {
        std::vector<std::string> lines = ReadLines(dir.File(name));
        ASSERT_FALSE(lines.empty()) << name;
        for (int round = 0; round < 12; ++round) {
            CollectingSink sink;
            ReadJrdb(Damage(lines, random, dir), sink);
            bool racesPerLine = std::string(name) == "SRB.txt" || std::string(name) == "BAC.txt";
            std::size_t used = racesPerLine      ? sink.races.size()
                : std::string(name) == "UKC.txt" ? sink.horses.size()
                                                 : sink.runners.size();
            int skipped = 0;
            for (const auto& [type, count] : sink.skipped)
                skipped += count;
            EXPECT_EQ(used + sink.malformed.size() + static_cast<std::size_t>(skipped), lines.size()) << name;
            for (const CollectingSink::Problem& p : sink.malformed)
                EXPECT_TRUE(p.line >= 1 && p.line <= static_cast<long>(lines.size())) << p.reason;
        }
    }
}

TEST(DamagedSources, EveryDamagedJvDataLineIsReadOrReported)
{
    TempDir dir;
    makerace::EmitJvData(SmallWorld(), dir.Path());
    std::vector<std::string> lines = ReadLines(dir.File("JVDATA.txt"));
    std::mt19937 random(20240602);
    for (int round = 0; round < 30; ++round) {
        CollectingSink sink;
        ReadJvRecords(Damage(lines, random, dir), sink);
        std::size_t accounted = sink.races.size() + sink.runners.size() + sink.jockeys.size() + sink.horses.size()
            + sink.malformed.size();
        for (const auto& [type, count] : sink.skipped)
            accounted += static_cast<std::size_t>(count);
        EXPECT_EQ(accounted, lines.size());
    }
}
