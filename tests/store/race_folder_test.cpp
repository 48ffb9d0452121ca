// Race folders named from hostile race names: nothing outside the folder the builder made is touched, the
// program starts on what was built, and nothing of the user's under the race's name is replaced.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

#include "app/app.h"
#include "app/form1.h"
#include "platform/clock.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "store/importer.h"
#include "store/race_builder.h"
#include "support/queue_shell.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::store;
namespace stdfs = std::filesystem;

namespace {

const sources::RaceKey kRace { 2026, 12, 6, 6, 10 };
const sources::RaceKey kOther { 2026, 12, 6, 8, 10 };

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A store with one small race at 中山 and one at 京都, named as the test says (bytes, NUL included).
struct Races {
    TempDir dir;
    std::string staging = dir.File("out/PADO-tdy");
    std::optional<RaceStore> store;
    Races()
    {
        for (const char* venue : { "中山", "京都" }) {
            const std::string file = dir.File(std::string(venue) + ".csv");
            WriteFile(file,
                std::string("日付,場,R,レース名,距離\n2026-12-06,") + venue
                    + ",10,仮,芝1800\n馬番,馬名,性齢,斤量,騎手\n1,ベータ,牡3,56,武 豊\n2,ガンマ,牝3,54,池 添\n");
            store.emplace(dir.File("s.sqlite"));
            FileImport r = ImportFile(*store, file);
            EXPECT_TRUE(r.committed) << r.error;
        }
        stdfs::create_directories(staging);
    }
    void Name(const sources::RaceKey& key, const std::string& bytes)
    {
        Stmt s(store->Database(), "UPDATE races SET name = ?1 WHERE id = ?2");
        s.Bind(1, bytes).Bind(2, static_cast<std::int64_t>(RaceId(key)));
        s.Step();
    }
    stdfs::path Build(const sources::RaceKey& key, BuildReport* report = nullptr)
    {
        BuiltRace b = BuildRace(*store, key);
        stdfs::path folder = WriteRaceFolder(b, staging);
        if (report)
            *report = b.report;
        return folder;
    }
};

// The program started on a built race folder as its program folder: true when it made its workspace.
bool StartsOn(const stdfs::path& folder, std::string& why)
{
    pado::testing::QueueShell shell;
    SteppingClock clock { 0.05 };
    bool made = false;
    {
        App app(folder.string(), shell, clock);
        app.Start();
        made = !app.form1().RaceFolder().empty() && stdfs::is_directory(app.form1().RaceFolder());
        for (const auto& box : shell.boxes)
            why += ToUtf8(box.text) + "\n";
        app.Close(app.form1());
    }
    return made;
}

} // namespace

TEST(RaceFolder, HostileRaceNamesStayInsideTheStagingFolderAndTheProgramStartsOnTheResult)
{
    using namespace std::string_literals;
    const std::string longName = [] {
        std::string s;
        for (int i = 0; i < 85; ++i)
            s += "あ"; // 255 bytes
        return s;
    }();
    const std::vector<std::string> names = { "\0"s, ".\0x"s, "keep\0x"s, "."s, ".."s, "../.."s, "/"s, "a/b"s,
        ".hidden"s, "line\nbreak"s, "\x1b]0;title\x07\x1b[31mred"s, "\t"s, "R1.txt"s, "nowfolder.txt"s, "PADO.TXT"s,
        ".pado-lock"s, longName, longName + "い"s, "   "s, "名前\r"s };
    for (const std::string& name : names) {
        SCOPED_TRACE(::testing::PrintToString(name));
        Races r;
        // What must survive: the folder around the staging folder, a hidden file in it, and a neighbour.
        WriteFile(r.dir.File("out/outside.txt"), "outside");
        WriteFile(r.staging + "/.keep", "keep");
        stdfs::create_directories(r.staging + "/other");
        WriteFile(r.staging + "/other/x.txt", "x");
        r.Name(kRace, name);

        BuildReport report;
        const stdfs::path folder = r.Build(kRace, &report);
        EXPECT_EQ(folder.parent_path(), stdfs::path(r.staging));
        const std::string leaf = folder.filename().string();
        EXPECT_FALSE(leaf.empty());
        EXPECT_NE(leaf.front(), '.');
        EXPECT_LE(leaf.size(), 255u);
        for (char c : leaf)
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '/');
        EXPECT_EQ(ReadTextFile((folder / "R1.txt").string())[0], FromUtf8(leaf));
        EXPECT_EQ(ReadFile(r.dir.File("out/outside.txt")), "outside");
        EXPECT_EQ(ReadFile(r.staging + "/.keep"), "keep");
        EXPECT_EQ(ReadFile(r.staging + "/other/x.txt"), "x");

        std::string why;
        EXPECT_TRUE(StartsOn(folder, why)) << why;
    }
}

TEST(RaceFolder, NamesAreMadeSafeOrGivenUpForTheRaceId)
{
    std::string note;
    EXPECT_EQ(RaceFolderName(U"有馬記念", note), U"有馬記念");
    EXPECT_TRUE(note.empty());
    EXPECT_EQ(RaceFolderName(U"..", note), U"．.");
    EXPECT_EQ(RaceFolderName(U"1/2勝", note), U"1／2勝");
    EXPECT_EQ(RaceFolderName(U"a\u202Eb", note), U"a？b"); // a mark that turns the text on screen
    EXPECT_EQ(RaceFolderName(U"  杯　", note), U"杯");
    EXPECT_EQ(RaceFolderName(Text(1, U'\0'), note), U"");
    EXPECT_EQ(RaceFolderName(U"r11.TXT", note), U"");
    EXPECT_EQ(RaceFolderName(U"R1.txt杯", note), U"R1.txt杯"); // only whole names are the program's

    Races r;
    r.Name(kRace, std::string("\0", 1));
    BuildReport report;
    EXPECT_EQ(r.Build(kRace, &report).filename(), "202612060610");
    EXPECT_TRUE(report.notes.count("レース名がフォルダー名に使えないため、レースIDをレース名・フォルダー名に使用"));
}

TEST(RaceFolder, WhatTheUserKeepsUnderTheRacesNameSurvivesAndOnlyAnEarlierBuildIsReplaced)
{
    Races r;
    r.Name(kRace, "冬星記念");
    // The user's folder of the race's name, a plain file of its dated name, the old temporary-looking name.
    stdfs::create_directories(r.staging + "/冬星記念");
    WriteFile(r.staging + "/冬星記念/mine.txt", "mine");
    WriteFile(r.staging + "/冬星記念 2026-12-06 中山10R", "a file");
    stdfs::create_directories(r.staging + "/.冬星記念.old");
    WriteFile(r.staging + "/.冬星記念.old/kept.txt", "kept");

    BuildReport report;
    const stdfs::path first = r.Build(kRace, &report);
    EXPECT_EQ(first.filename(), "202612060610");
    ASSERT_EQ(report.notes.count("同じ名前のフォルダーかファイルが別にあるため、別の名前で作成"), 1u);
    EXPECT_EQ(ReadFile(r.staging + "/冬星記念/mine.txt"), "mine");
    EXPECT_EQ(ReadFile(r.staging + "/冬星記念 2026-12-06 中山10R"), "a file");
    EXPECT_EQ(ReadFile(r.staging + "/.冬星記念.old/kept.txt"), "kept");

    // The user moves their folder away: the next build takes the name; the one after replaces that build whole.
    stdfs::rename(r.staging + "/冬星記念", r.dir.File("moved"));
    const stdfs::path second = r.Build(kRace);
    EXPECT_EQ(second.filename(), "冬星記念");
    WriteFile((second / "stale.txt").string(), "from the build before");
    EXPECT_EQ(r.Build(kRace), second);
    EXPECT_FALSE(stdfs::exists(second / "stale.txt"));
    EXPECT_TRUE(stdfs::exists(second / "R1.txt"));
    // No temporary folder is left behind.
    for (const auto& e : stdfs::directory_iterator(r.staging))
        EXPECT_NE(e.path().filename().string().rfind(".pado-", 0), 0u) << e.path();

    // A folder whose marker names another race is not this race's to replace.
    stdfs::remove_all(second);
    stdfs::create_directories(second);
    WriteFile((second / kRaceFolderMark).string(), "202612060810\r\n");
    WriteFile((second / "theirs.txt").string(), "theirs");
    EXPECT_NE(r.Build(kRace), second);
    EXPECT_EQ(ReadFile((second / "theirs.txt").string()), "theirs");

    // A link of the race's name is never followed.
    stdfs::remove_all(second);
    stdfs::create_directories(r.dir.File("target"));
    stdfs::create_directory_symlink(r.dir.File("target"), second);
    EXPECT_NE(r.Build(kRace), second);
    EXPECT_TRUE(stdfs::is_empty(r.dir.File("target")));
}

TEST(RaceFolder, TwoRacesOfOneNameGetTwoFoldersAndEachKeepsItsOwn)
{
    Races r;
    r.Name(kRace, "未勝利");
    r.Name(kOther, "未勝利");
    BuildReport report;
    const stdfs::path a = r.Build(kRace);
    const stdfs::path b = r.Build(kOther, &report);
    EXPECT_EQ(a.filename(), "未勝利");
    // As open as the staging folder, like any folder made there.
    EXPECT_EQ(stdfs::status(a).permissions(), stdfs::status(r.staging).permissions());
    EXPECT_EQ(b.filename(), "未勝利 2026-12-06 京都10R");
    EXPECT_TRUE(report.notes.count("同じ名前のフォルダーかファイルが別にあるため、別の名前で作成"));
    // Built again, each race finds its own folder.
    EXPECT_EQ(r.Build(kOther), b);
    EXPECT_EQ(r.Build(kRace), a);
    EXPECT_NE(ReadFile((a / "R1.txt").string()), "");
    EXPECT_EQ(ReadFile((a / kRaceFolderMark).string()).substr(0, 12), RaceIdText(kRace));
    EXPECT_EQ(ReadFile((b / kRaceFolderMark).string()).substr(0, 12), RaceIdText(kOther));
}

TEST(RaceFolder, AKilledBuildsLeftoverGoesOnlyWhenItIsTheBuildersAndOld)
{
    Races r;
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
    auto leftover = [&](const std::string& name, bool marked, bool aged) {
        const std::string f = r.staging + "/" + name;
        stdfs::create_directories(f);
        WriteFile(f + "/R1.txt", "half");
        if (marked)
            WriteFile(f + "/" + kRaceFolderMark, "202612060610\r\n");
        if (aged)
            stdfs::last_write_time(f, old);
        return f;
    };
    const std::string stale = leftover(".pado-build-AAAAAA", true, true);
    const std::string fresh = leftover(".pado-build-BBBBBB", true, false); // perhaps a build running now
    const std::string unmarked = leftover(".pado-build-CCCCCC", false, true);
    const std::string users = leftover(".pado-buildings", true, true);
    r.Build(kRace);
    EXPECT_FALSE(stdfs::exists(stale));
    EXPECT_TRUE(stdfs::exists(fresh));
    EXPECT_TRUE(stdfs::exists(unmarked));
    EXPECT_TRUE(stdfs::exists(users));
}
