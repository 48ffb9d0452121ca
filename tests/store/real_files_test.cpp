// Real JRDB files of four race days, as users download them: every runner's result and every race's official
// passing order reach the built result tables as the files say, whatever order the files come in. The files are
// not the project's and are never copied into it; without them these tests skip.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

#include "platform/cp932.h"
#include "platform/number.h"
#include "sources/venue_codes.h"
#include "store/importer.h"
#include "store/race_builder.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::store;
namespace stdfs = std::filesystem;

namespace {

stdfs::path RealFolder()
{
    if (const char* env = std::getenv("PADO_REALDATA"); env && *env)
        return stdfs::path(env) / "jrdb-2017";
    // The shared folder beside the checkout, wherever the checkout lies.
    return stdfs::path(PADO_SOURCE_DIR).parent_path() / "shared" / "realdata" / "jrdb-2017";
}

std::vector<stdfs::path> RealFiles()
{
    std::vector<stdfs::path> out;
    std::error_code ec;
    for (const auto& e : stdfs::directory_iterator(RealFolder(), ec))
        if (e.is_regular_file())
            out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

#define REQUIRE_REAL_FILES(files)                                                                                      \
    const std::vector<stdfs::path> files = RealFiles();                                                                \
    if (files.empty())                                                                                                 \
    GTEST_SKIP() << "no real files at " << RealFolder()

// Records of one kind (the first three letters of the file name), each without its line end.
std::vector<std::string> Records(const std::vector<stdfs::path>& files, const std::string& kind)
{
    std::vector<std::string> out;
    for (const stdfs::path& f : files) {
        if (f.filename().string().rfind(kind, 0) != 0)
            continue;
        std::ifstream in(f, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                out.push_back(line);
        }
    }
    return out;
}

// A field by JRDB's 1-based byte position.
std::string Field(const std::string& rec, int pos, int len)
{
    return rec.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(len));
}
int Number(const std::string& rec, int pos, int len)
{
    const std::string f = Field(rec, pos, len);
    int n = 0;
    for (char c : f)
        if (c >= '0' && c <= '9')
            n = n * 10 + (c - '0');
    return n;
}
Text Cp932Field(const std::string& rec, int pos, int len)
{
    Text t = DecodeCp932(Field(rec, pos, len)).value_or(Text());
    while (!t.empty() && (t.back() == U' ' || t.back() == U'　'))
        t.pop_back();
    return t;
}

// The race of a SED record: its date is on the record, the rest in the race key.
sources::RaceKey SedRace(const std::string& rec)
{
    const int date = Number(rec, 19, 8);
    return { date / 10000, date / 100 % 100, date % 100, Number(rec, 1, 2), Number(rec, 7, 2) };
}

std::string Ascii(const char* format, int a, int b = 0, int c = 0)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

// Everything a store holds, row by row, for comparing two stores.
std::string Dump(RaceStore& s)
{
    std::string out;
    for (const char* table : { "races", "runners", "horses", "jockeys" }) {
        Stmt q(s.Database(), std::string("SELECT * FROM ") + table + " ORDER BY 1, 2");
        while (q.Step()) {
            for (int i = 0; i < q.ColumnCount(); ++i)
                out += (q.IsNull(i) ? std::string("∅") : q.Str(i)) + "|";
            out += "\n";
        }
    }
    return out;
}

std::vector<sources::RaceKey> AllRaces(RaceStore& s)
{
    std::vector<sources::RaceKey> keys;
    for (const sources::RaceRecord& r : s.Races(20170101, 20171231))
        keys.push_back(r.key);
    return keys;
}

// The result table of one race, by its runner line per horse number and its corner lines.
struct Table {
    std::map<int, Text> rows; // number -> row
    std::map<int, Text> nonRunners;
    std::map<int, Text> corners; // corner -> text after "Nコーナー  "
};

Table TableOf(RaceStore& s, const sources::RaceKey& key)
{
    BuildReport report;
    const Lines lines = BuildResultTables(s, { key }, report);
    Table t;
    bool rows = false, after = false;
    for (const Text& l : lines) {
        if (StartsWith(l, U"着 馬 馬名")) {
            rows = true;
            continue;
        }
        if (l == U"---") {
            rows = false;
            after = true;
            continue;
        }
        if (l.size() > 8 && l[0] >= U'1' && l[0] <= U'4' && Mid(l, 2, 6) == U"コーナー  ")
            t.corners[l[0] - U'0'] = Mid(l, 8);
        else if (rows && l.size() > 5)
            t.rows[static_cast<int>(LeadingInt(Mid(l, 4, 2)))] = l;
        else if (after && (StartsWith(l, U"取消") || StartsWith(l, U"除外")))
            t.nonRunners[static_cast<int>(LeadingInt(Mid(l, 4, 2)))] = l;
    }
    return t;
}

void ImportInOrder(RaceStore& s, const std::vector<stdfs::path>& files)
{
    for (const FileImport& r : ImportFiles(s, files))
        ASSERT_TRUE(r.committed) << r.file << ": " << r.error;
}

// Results first: every SED and SRB, then the programme, cards and horses.
std::vector<stdfs::path> ResultsFirst(std::vector<stdfs::path> files)
{
    std::stable_partition(files.begin(), files.end(), [](const stdfs::path& f) {
        const std::string n = f.filename().string();
        return n.rfind("SED", 0) == 0 || n.rfind("SRB", 0) == 0;
    });
    return files;
}

} // namespace

TEST(RealFiles, EveryRunnersResultAndEveryOfficialPassingOrderReachTheResultTables)
{
    REQUIRE_REAL_FILES(files);
    for (const auto& order : { files, ResultsFirst(files) }) {
        TempDir dir;
        RaceStore s(dir.File("s.sqlite"));
        ImportInOrder(s, order);
        std::map<long long, Table> tables;
        auto table = [&](const sources::RaceKey& k) -> const Table& {
            auto it = tables.find(RaceId(k));
            if (it == tables.end())
                it = tables.emplace(RaceId(k), TableOf(s, k)).first;
            return it->second;
        };

        std::size_t runners = 0;
        for (const std::string& rec : Records(files, "SED")) {
            ASSERT_EQ(rec.size(), 374u);
            const sources::RaceKey key = SedRace(rec);
            const int number = Number(rec, 9, 2);
            SCOPED_TRACE(RaceIdText(key) + " #" + std::to_string(number));
            const Table& t = table(key);
            std::string note;
            const Text name = NineCharacterName(Cp932Field(rec, 27, 36), note);
            const int abnormal = Number(rec, 143, 1);
            if (abnormal == 1 || abnormal == 2) { // did not start: listed after the table
                ASSERT_TRUE(t.nonRunners.count(number));
                EXPECT_EQ(t.nonRunners.at(number),
                    Text(abnormal == 1 ? U"取消 " : U"除外 ") + FromUtf8(Ascii("%2d ", number)) + name);
                continue;
            }
            ASSERT_TRUE(t.rows.count(number));
            const Text row = t.rows.at(number);
            const Text placing = abnormal == 3 ? Text(U"中止")
                : abnormal == 4                ? Text(U"失格")
                                               : FromUtf8(Ascii("%2d", Number(rec, 141, 2)));
            const int time = Number(rec, 144, 4);
            const int tenths = time ? time / 1000 * 600 + time / 10 % 100 * 10 + time % 10 : 5999;
            const int carried = Number(rec, 148, 3);
            // Placing, number, name, then (after the sex and age) weight carried, jockey and time, then the closing
            // time, popularity and body weight.
            EXPECT_EQ(Left(row, 16), placing + U" " + FromUtf8(Ascii("%2d ", number)) + name + U" ");
            const Text middle = FromUtf8(Ascii(" %2d.%dkg ", carried / 10, carried % 10))
                + JockeyKeyOf(Cp932Field(rec, 151, 12))
                + FromUtf8(Ascii("  %d.%02d.%d", tenths / 600, tenths / 10 % 60, tenths % 10));
            const std::size_t at = row.find(middle);
            EXPECT_TRUE(at == 18 || at == 19) << ToUtf8(row) << " / " << ToUtf8(middle);
            // A runner without a placing keeps the row's width: the slowest closing time where none was run.
            const int last = Number(rec, 262, 3) || placing[0] == U' ' || (placing[0] >= U'0' && placing[0] <= U'9')
                ? Number(rec, 262, 3)
                : 999;
            EXPECT_TRUE(EndsWith(row,
                FromUtf8(Ascii(" %d.%d", last / 10, last % 10)
                    + Ascii(" %2d %d", Number(rec, 181, 2), Number(rec, 333, 3)))))
                << ToUtf8(row);
            EXPECT_NE(Mid(row, 17, 2), U"牡0");
            ++runners;
        }
        EXPECT_GT(runners, 1000u);

        // The official passing order: exactly its lines, none added from the runners' positions.
        std::size_t races = 0;
        for (const std::string& rec : Records(files, "SRB")) {
            ASSERT_EQ(rec.size(), 850u);
            // SRB names its race by key only; the SED records of the same key give the date.
            const std::string key8 = rec.substr(0, 8);
            std::optional<sources::RaceKey> key;
            for (const std::string& sed : Records(files, "SED"))
                if (sed.compare(0, 8, key8) == 0) {
                    key = SedRace(sed);
                    break;
                }
            ASSERT_TRUE(key) << key8;
            SCOPED_TRACE(RaceIdText(*key));
            std::map<int, Text> official;
            for (int c = 0; c < 4; ++c) {
                std::string text = Field(rec, 63 + 64 * c, 64);
                while (!text.empty() && text.back() == ' ')
                    text.pop_back();
                if (!text.empty())
                    official[c + 1] = FromUtf8(text);
            }
            std::map<int, Text> shown;
            for (const auto& [corner, text] : table(*key).corners)
                if (!text.empty())
                    shown[corner] = text;
            EXPECT_EQ(shown, official);
            ++races;
        }
        EXPECT_EQ(races, 108u);
    }
}

TEST(RealFiles, AnyImportOrderGivesTheSameStoreAndTheSameFiles)
{
    REQUIRE_REAL_FILES(files);
    std::vector<stdfs::path> shuffled = files;
    std::mt19937 random(20170114);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::vector<std::string> dumps, tables, builds;
    for (const auto& order : { files, ResultsFirst(files), shuffled }) {
        TempDir dir;
        RaceStore s(dir.File("s.sqlite"));
        ImportInOrder(s, order);
        dumps.push_back(Dump(s));
        BuildReport report;
        tables.push_back(EncodeCp932(Join(BuildResultTables(s, AllRaces(s), report), U"\n")).bytes);
        BuiltRace b = BuildRace(s, { 2017, 1, 14, 8, 11 });
        builds.push_back(EncodeCp932(Join(b.files.r1, U"\n") + Join(b.files.rall, U"\n") + Join(b.files.pado, U"\n")
            + Join(b.files.kisyu, U"\n"))
                             .bytes);
    }
    for (std::size_t i = 1; i < dumps.size(); ++i) {
        EXPECT_TRUE(dumps[i] == dumps[0]) << "store of order " << i;
        EXPECT_TRUE(tables[i] == tables[0]) << "result tables of order " << i;
        EXPECT_TRUE(builds[i] == builds[0]) << "built race of order " << i;
    }
}

TEST(RealFiles, TheJockeyWhoRodeStaysWhenTheCardComesAfterTheResults)
{
    REQUIRE_REAL_FILES(files);
    TempDir dir;
    RaceStore s(dir.File("s.sqlite"));
    ImportInOrder(s, ResultsFirst(files));
    // The four runners whose jockey changed after the card was drawn.
    const std::vector<std::pair<sources::RaceKey, int>> changed = { { { 2017, 1, 8, 8, 5 }, 15 },
        { { 2017, 1, 8, 8, 11 }, 14 }, { { 2017, 1, 8, 8, 12 }, 8 }, { { 2017, 1, 14, 8, 8 }, 4 } };
    for (const auto& [key, number] : changed) {
        SCOPED_TRACE(RaceIdText(key) + " #" + std::to_string(number));
        Text rode, declared;
        for (const std::string& rec : Records(files, "SED"))
            if (SedRace(rec) == key && Number(rec, 9, 2) == number)
                rode = Cp932Field(rec, 151, 12);
        for (const std::string& rec : Records(files, "KYI"))
            if (rec.compare(0, 2, Ascii("%02d", key.venue)) == 0 && Number(rec, 7, 2) == key.number
                && Number(rec, 9, 2) == number && Number(rec, 3, 2) == key.year % 100)
                declared = Cp932Field(rec, 172, 12);
        ASSERT_FALSE(rode.empty());
        ASSERT_NE(rode, declared); // the files do show a change here
        const auto runners = s.Runners(key);
        auto x = std::find_if(runners.begin(), runners.end(), [&](const auto& r) { return r.number == number; });
        ASSERT_NE(x, runners.end());
        EXPECT_EQ(x->jockeyName, rode);
        EXPECT_NE(TableOf(s, key).rows.at(number).find(U"kg " + JockeyKeyOf(rode)), Text::npos);
    }
}

TEST(RealFiles, AFilliesRaceWithoutHorseFilesShowsFilliesNotMalesOfAgeZero)
{
    REQUIRE_REAL_FILES(files);
    std::vector<stdfs::path> results;
    for (const stdfs::path& f : files) {
        const std::string n = f.filename().string();
        if (n.rfind("SED", 0) == 0 || n.rfind("SRB", 0) == 0 || n.rfind("BAC", 0) == 0)
            results.push_back(f);
    }
    TempDir dir;
    RaceStore s(dir.File("s.sqlite"));
    ImportInOrder(s, results);
    const sources::RaceKey fillies { 2017, 1, 14, 8, 8 };
    const Table t = TableOf(s, fillies);
    ASSERT_GT(t.rows.size(), 5u);
    for (const auto& [number, row] : t.rows) {
        EXPECT_EQ(Mid(row, 17, 1), U"牝") << ToUtf8(row);
        EXPECT_EQ(row.find(U"牡0"), Text::npos);
    }
    // The card of the race carries the programme's mark as the sample race writes its conditions.
    const BuiltRace card = BuildRace(s, fillies);
    ASSERT_GT(card.files.r1.size(), 3u);
    EXPECT_NE(card.files.r1[2].find(U"(牝)"), Text::npos) << ToUtf8(card.files.r1[2]);
    for (const Text& l : card.files.r1)
        EXPECT_EQ(l.find(U"牡0"), Text::npos) << ToUtf8(l);
    // Elsewhere, without a horse file, the sex is the filler that no view reads as one.
    for (const auto& [number, row] : TableOf(s, { 2017, 1, 14, 8, 11 }).rows)
        EXPECT_EQ(Mid(row, 17, 1), U"－") << ToUtf8(row);
}
