#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

#include "app/app.h"
#include "app/form1.h"
#include "app/workspace_plan.h"
#include "memo/form3.h"
#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "support/queue_shell.h"
#include "support/temp_dir.h"

using namespace pado;
using pado::testing::QueueShell;
namespace stdfs = std::filesystem;

namespace {

Lines Card(const Text& raceName)
{
    return {
        raceName,
        U"2009年12月27日",
        U"",
        U"アドマイヤテスト 牡3(57)",
        U"カレンチャン   牝3(53)",
        U"アドマイヤテスト 牡3(57)",
        U"◆-◆-◆ 過去走 ◆-◆-◆",
        U"日付",
        U"090405 阪神 11 芝1600m 良 03  1 1.33.5 35.2 01 480 アドマイヤテスト 牡3 武豊 ",
        U"090405 阪神 11 芝1600m 良 03  1 1.33.5 35.2 01 480 アドマイヤテスト 牡3 武豊 ",
        U"090601 東京 05 ダ1400m 不 09 10 1.25.1 35.2 01 480 ゴーストホース  牝3 池添 ",
        U"090601 東京 05 ダ1400m 不 09 10 1.25.1 35.2 01 480 カレンチャン   牝3 池添 ",
    };
}

// A program folder (under the given name) holding the small race of the tests' data.
struct ProgramFolder {
    explicit ProgramFolder(const std::string& name = "PADO")
        : path(dir.File(name))
    {
        stdfs::create_directories(path);
        stdfs::copy(PADO_TEST_DATA_DIR "/mini", path);
    }
    std::string File(const std::string& name) const { return fs::Join(path, name); }
    std::string Bytes(const std::string& name) const
    {
        std::string b;
        fs::ReadBytes(File(name), b);
        return b;
    }
    TempDir dir;
    std::string path;
};

struct Program {
    explicit Program(const std::string& folder) { app.emplace(folder, shell, clock); }
    QueueShell shell;
    SteppingClock clock { 0.05 };
    std::optional<App> app;
};

} // namespace

TEST(WorkspacePlan, EntrantsAndPastRunsComeFromTheCardAloneWithItsProblems)
{
    const WorkspacePlan plan = PlanWorkspace(Card(U"有馬記念"));
    EXPECT_TRUE(plan.refusal.empty());
    EXPECT_EQ(plan.entrants, (Lines { U"アドマイヤテスト ", U"カレンチャン   " }));
    ASSERT_EQ(plan.pastRuns.size(), 3u);
    EXPECT_FALSE(plan.pastRuns[0].repeated);
    EXPECT_TRUE(plan.pastRuns[1].repeated); // the same line twice: one folder, and the user is told
    EXPECT_EQ(plan.pastRuns[2].entrant, U"カレンチャン   ");
    EXPECT_EQ(plan.pastRuns[2].name.substr(0, 31), U"090601 東京 05 ダ1400m 不 09 10 1.2");
    ASSERT_EQ(plan.problems.size(), 2u);
    EXPECT_EQ(plan.problems[0], U"R1.txt 6行目: 馬名「アドマイヤテスト」が重複しています。");
    EXPECT_EQ(plan.problems[1], U"R1.txt 11行目: 出走馬にない馬「ゴーストホース」の過去走です。");
}

TEST(WorkspacePlan, ARaceNamedLikeAFileOfTheProgramIsRefusedWhateverItsCase)
{
    for (const Text& name : { Text(U"R11.txt"), Text(U"nowfolder.txt"), Text(U"f3.TXT"), Text(U"PADO.TXT"),
             Text(U"r12.txt"), Text(U".pado-lock") }) {
        const WorkspacePlan plan = PlanWorkspace(Card(name));
        EXPECT_NE(plan.refusal.find(U"PADO が使うファイル("), Text::npos) << ToUtf8(name);
        EXPECT_TRUE(plan.entrants.empty());
    }
    // Only whole names: a race may well start with one.
    EXPECT_TRUE(PlanWorkspace(Card(U"R1.txt杯")).refusal.empty());
    EXPECT_EQ(PlanWorkspace(Card(U"..")).refusal, U"「.」「..」は使えません。");
    EXPECT_EQ(PlanWorkspace({}).refusal, U"名前が空です。");
}

TEST(Startup, AWorkFileNamedRaceLeavesTheWorkFilesAlone)
{
    ProgramFolder prog;
    Lines card = ReadTextFile(prog.File("R1.txt"));
    card[0] = U"nowfolder.txt";
    WriteTextFile(prog.File("R1.txt"), card);
    WriteTextFile(prog.File("nowfolder.txt"), { U"前の記録" });
    Program p(prog.path);
    p.app->Start();
    EXPECT_NE(p.shell.boxes.at(0).text.find(U"nowfolder.txt"), Text::npos);
    EXPECT_TRUE(fs::IsFile(prog.File("nowfolder.txt")));
    EXPECT_EQ(p.app->form1().RaceFolder(), "");
    EXPECT_TRUE(p.app->form3().IsVisible());
}

// A program folder whose path CP932 cannot hold, in UTF-8 and in another encoding.
TEST(Startup, APathCp932CannotHoldStillGetsItsWorkspace)
{
    for (const std::string& name : { std::string("café/PADO"), std::string("caf\xe9/PADO") }) {
        ProgramFolder prog(name);
        Program p(prog.path);
        p.app->Start();
        // Only the small race's own remark (a past run listed twice); no complaint about a character.
        for (const auto& box : p.shell.boxes)
            EXPECT_EQ(box.text.find(U"次のファイルはダブって存在します。"), 0u) << ToUtf8(box.text);
        const std::string race = prog.File("有馬記念");
        EXPECT_EQ(p.app->form1().RaceFolder(), race);
        EXPECT_TRUE(fs::IsFolder(fs::Join(race, "カレンチャン   ")));
        EXPECT_EQ(ReadTextFile(prog.File("R11.txt")).size(), 3u);
        // The record keeps what it can.
        const Lines record = ReadTextFile(prog.File("nowfolder.txt"));
        ASSERT_EQ(record.size(), 1u);
        EXPECT_NE(record[0].find(U"caf?/PADO/有馬記念"), Text::npos);
        // The views find the workspace through the same path.
        p.app->form1().Dir1.SetPath(race);
        EXPECT_EQ(p.app->form1().Dir1.Entries().back(), fs::Join(race, "ヴィクトリー   "));
        p.app->Close(p.app->form1());
        EXPECT_FALSE(fs::Exists(race));
    }
}

TEST(Startup, ShutDownKeepsAFolderThatIsNoLongerTheMarkedWorkspace)
{
    ProgramFolder prog;
    Program p(prog.path);
    p.app->Start();
    const std::string race = prog.File("有馬記念");
    ASSERT_TRUE(fs::IsFile(fs::Join(race, files::kWorkspaceMark)));
    // The user replaced the workspace by a folder of their own while the program ran.
    ASSERT_TRUE(fs::DeleteTree(race));
    ASSERT_TRUE(fs::CreateFolder(race));
    ASSERT_TRUE(fs::WriteBytesAtomic(fs::Join(race, "mine.txt"), "mine"));
    p.app->Close(p.app->form1());
    EXPECT_EQ(prog.Bytes("有馬記念/mine.txt"), "mine");
}

TEST(ProgramFolderLock, ASecondProgramInTheFolderStopsWithoutTouchingAnything)
{
    ProgramFolder prog;
    Program first(prog.path);
    first.app->Start();
    ASSERT_TRUE(first.shell.boxes.empty() || first.shell.LastText().find(U"ダブって") != Text::npos);
    const std::string r11 = prog.Bytes("R11.txt"), now = prog.Bytes("nowfolder.txt");
    ASSERT_TRUE(fs::WriteBytesAtomic(prog.File("有馬記念/ヴィクトリー   /note"), "first's"));

    Program second(prog.path);
    second.app->Start();
    ASSERT_EQ(second.shell.boxes.size(), 1u);
    EXPECT_EQ(second.shell.LastText(),
        U"このフォルダー(" + FromUtf8(prog.path)
            + U")は、起動中の別の PADO が使っています。\n"
              U"同じフォルダーで二つの PADO を同時に使うことはできません。起動を中止します。");
    EXPECT_TRUE(second.shell.events.empty());
    EXPECT_FALSE(second.app->Running());
    second.app.reset();
    EXPECT_EQ(prog.Bytes("有馬記念/ヴィクトリー   /note"), "first's");
    EXPECT_EQ(prog.Bytes("R11.txt"), r11);
    EXPECT_EQ(prog.Bytes("nowfolder.txt"), now);

    // The first one ends: the lock goes with it, and the next program starts normally.
    first.app->Close(first.app->form1());
    first.app.reset();
    EXPECT_FALSE(fs::Exists(prog.File(files::kProgramLock)));
    Program third(prog.path);
    third.app->Start();
    EXPECT_TRUE(third.app->form1().IsVisible());
    EXPECT_TRUE(fs::IsFolder(prog.File("有馬記念")));
}
