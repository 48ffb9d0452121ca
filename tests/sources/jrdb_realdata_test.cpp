// The JRDB reader on real published files of four race days, when they are at hand beside the source tree
// (they are not the project's and never enter the repository; without them these tests skip). Every field
// checked is cut from the raw bytes here, by the published positions, independently of the reader's tables.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

#include "platform/cp932.h"
#include "sources/collecting_sink.h"
#include "sources/source_reader.h"

using namespace pado;
using namespace pado::sources;
namespace fs = std::filesystem;

namespace {

fs::path RealData()
{
    for (const fs::path& p : { fs::path(PADO_SOURCE_DIR) / ".." / "shared" / "realdata" / "jrdb-2017",
             fs::path("/work/shared/realdata/jrdb-2017") }) {
        std::error_code ec;
        if (fs::is_directory(p, ec))
            return p;
    }
    return {};
}

std::vector<fs::path> Files(const fs::path& dir, const std::string& kind)
{
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind(kind, 0) == 0)
            out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> RecordLines(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        if (!l.empty())
            lines.push_back(l);
    }
    return lines;
}

// Bytes pos..pos+len-1 (1-based).
std::string Raw(const std::string& rec, int pos, int len)
{
    return rec.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(len));
}

int Num(const std::string& s)
{
    int n = 0;
    for (char c : s)
        if (c >= '0' && c <= '9')
            n = n * 10 + (c - '0');
    return n;
}

Text Name(const std::string& bytes)
{
    Text t = DecodeCp932(bytes).value_or(U"?");
    while (!t.empty() && (t.back() == U' ' || t.back() == U'\u3000'))
        t.pop_back();
    return t;
}

// m ss s digits as tenths of a second.
int Tenths(const std::string& digits)
{
    int n = Num(digits);
    return n / 1000 * 600 + n % 1000;
}

// A race named as the race-level records name it: venue, year, 回, 日 (hexadecimal), number.
using DayKey = std::tuple<int, int, int, int, int>;
DayKey KeyOf(const std::string& rec)
{
    return { Num(Raw(rec, 1, 2)), 2000 + Num(Raw(rec, 3, 2)), Num(Raw(rec, 5, 1)),
        static_cast<int>(std::stoi(Raw(rec, 6, 1), nullptr, 16)), Num(Raw(rec, 7, 2)) };
}

#define REAL_DATA_OR_SKIP(dir)                                                                                         \
    const fs::path dir = RealData();                                                                                   \
    if (dir.empty())                                                                                                   \
        GTEST_SKIP() << "no real JRDB files beside the source tree";

} // namespace

TEST(JrdbRealFiles, EverySedRunnerIsReadAsItsBytesSay)
{
    REAL_DATA_OR_SKIP(dir);
    int checked = 0;
    for (const fs::path& file : Files(dir, "SED")) {
        ASSERT_STREQ(DetectSource(file)->name, "JRDB") << file;
        CollectingSink sink;
        ReadJrdb(file, sink);
        ASSERT_TRUE(sink.malformed.empty()) << file << ": " << sink.malformed[0].reason;
        std::map<std::tuple<DayKey, int>, const RunnerRecord*> byNumber;
        for (const RunnerRecord& r : sink.runners)
            byNumber[{ DayKey { r.race.venue, r.race.year, r.meeting, r.meetingDay, r.race.number }, r.number }] = &r;
        const std::vector<std::string> lines = RecordLines(file);
        ASSERT_EQ(sink.runners.size(), lines.size()) << file;
        for (const std::string& rec : lines) {
            auto it = byNumber.find({ KeyOf(rec), Num(Raw(rec, 9, 2)) });
            ASSERT_NE(it, byNumber.end()) << rec.substr(0, 10);
            const RunnerRecord& r = *it->second;
            const std::string where = file.filename().string() + " " + rec.substr(0, 10);
            EXPECT_EQ(r.race.year * 10000 + r.race.month * 100 + r.race.day, Num(Raw(rec, 19, 8))) << where;
            EXPECT_EQ(r.horseName, Name(Raw(rec, 27, 36))) << where;
            EXPECT_EQ(r.timeTenths, Tenths(Raw(rec, 144, 4))) << where;
            EXPECT_EQ(r.carriedTenths, Num(Raw(rec, 148, 3))) << where;
            EXPECT_EQ(r.jockeyName, Name(Raw(rec, 151, 12))) << where;
            EXPECT_EQ(r.last3fTenths, Num(Raw(rec, 262, 3))) << where;
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(r.corners[c], Num(Raw(rec, 309 + 2 * c, 2))) << where << " corner " << c + 1;
            EXPECT_EQ(r.bodyWeight, Num(Raw(rec, 333, 3))) << where;
            if (Raw(rec, 143, 1) == "0") {
                EXPECT_EQ(r.finish, Num(Raw(rec, 141, 2))) << where;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(JrdbRealFiles, SrbCornerTextsReachTheRaceAsTheyStandAndAreMarkedOfficial)
{
    REAL_DATA_OR_SKIP(dir);
    int races = 0, withoutFirstCorners = 0;
    for (const fs::path& file : Files(dir, "SRB")) {
        CollectingSink sink;
        ReadJrdb(file, sink);
        ASSERT_TRUE(sink.malformed.empty()) << file << ": " << sink.malformed[0].reason;
        const std::vector<std::string> lines = RecordLines(file);
        ASSERT_EQ(sink.races.size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const RaceRecord& r = sink.races[i];
            EXPECT_EQ((DayKey { r.key.venue, r.key.year, r.meeting, r.meetingDay, r.key.number }), KeyOf(lines[i]));
            EXPECT_TRUE(r.cornerOrdersOfficial);
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(r.cornerOrders[c], Name(Raw(lines[i], 63 + 64 * c, 64)))
                    << file.filename() << " race " << i << " corner " << c + 1;
            withoutFirstCorners += r.cornerOrders[0].empty() && r.cornerOrders[1].empty();
            ++races;
        }
    }
    EXPECT_EQ(races, 108);
    EXPECT_GT(withoutFirstCorners, 0); // sprints list corners 3 and 4 only, and must stay so
}

TEST(JrdbRealFiles, ProgrammeMarksAndTheJockeyWhoRodeAreReadFromTheirOwnFiles)
{
    REAL_DATA_OR_SKIP(dir);
    CollectingSink bac;
    for (const fs::path& file : Files(dir, "BAC"))
        ReadJrdb(file, bac);
    ASSERT_TRUE(bac.malformed.empty()) << bac.malformed[0].reason;
    const RaceRecord* fillies = nullptr;
    for (const RaceRecord& r : bac.races) {
        EXPECT_TRUE(r.marks.known);
        EXPECT_NE(r.weightRule, WeightRule::Unknown);
        if (r.key == RaceKey { 2017, 1, 14, 8, 8 })
            fillies = &r;
    }
    ASSERT_NE(fillies, nullptr);
    EXPECT_EQ(fillies->marks.sex, SexLimit::Fillies); // 競走記号 022
    EXPECT_EQ(fillies->marks.designation, Designation::DesignatedSquare);
    EXPECT_NE(fillies->conditions.find(U"(牝)[指定]"), Text::npos);

    // The card names who was declared, the results who rode: both read as they are.
    CollectingSink card, results;
    for (const fs::path& file : Files(dir, "KYI"))
        ReadJrdb(file, card);
    for (const fs::path& file : Files(dir, "SED"))
        ReadJrdb(file, results);
    ASSERT_TRUE(card.malformed.empty()) << card.malformed[0].reason;
    // 京都 1回 3日 (January 8) and 4日 (January 14), by 回 and 日 as the card names its races.
    auto jockey = [](const CollectingSink& s, int meetingDay, int race, int number) {
        for (const RunnerRecord& r : s.runners)
            if (r.race.venue == 8 && r.meeting == 1 && r.meetingDay == meetingDay && r.race.number == race
                && r.number == number)
                return r.jockeyName;
        return Text(U"(none)");
    };
    int changed = 0;
    for (auto [day, race, number] : { std::tuple { 3, 5, 15 }, { 3, 11, 14 }, { 3, 12, 8 }, { 4, 8, 4 } }) {
        EXPECT_NE(jockey(card, day, race, number), U"(none)");
        changed += jockey(card, day, race, number) != jockey(results, day, race, number);
    }
    EXPECT_EQ(changed, 4);
}

TEST(JrdbRealFiles, KindsNotReadAreNamedOnceAndNeverDamage)
{
    REAL_DATA_OR_SKIP(dir);
    for (const char* kind : { "SEC", "SRA", "KYG", "KYH" })
        for (const fs::path& file : Files(dir, kind)) {
            ASSERT_STREQ(DetectSource(file)->name, "JRDB") << file;
            CollectingSink sink;
            ReadJrdb(file, sink);
            EXPECT_TRUE(sink.malformed.empty()) << file;
            EXPECT_TRUE(sink.runners.empty() && sink.races.empty()) << file;
            EXPECT_EQ(sink.notRead["JRDB " + std::string(kind)], 1) << file;
        }
    for (const char* kind : { "UKC" })
        for (const fs::path& file : Files(dir, kind)) {
            CollectingSink sink;
            ReadJrdb(file, sink);
            EXPECT_TRUE(sink.malformed.empty()) << file << ": " << sink.malformed[0].reason;
            EXPECT_EQ(sink.horses.size(), RecordLines(file).size());
        }
}
