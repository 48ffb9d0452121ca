// Injected faults of the file system: every one gets a Japanese message, and a memo, the settings
// and the input files are left wholly old or wholly new, never half-written.
#include <filesystem>

#include "app/form1.h"
#include "assist/form6.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "platform/cp932.h"
#include "support/program_folder.h"
#include "support/write_failure.h"

using namespace pado;

namespace {

class Faults : public pado::testing::ProgramFolderTest {
protected:
    void CopyMiniRace()
    {
        for (const char* f : { "R1.txt", "Rall.txt" })
            std::filesystem::copy_file(std::string(PADO_TEST_DATA_DIR) + "/mini/" + f, Path(f));
    }
    bool AnyTemporaryFileIn(const std::string& folder)
    {
        for (const auto& name : Entries(folder))
            if (name.rfind(".pado-tmp", 0) == 0)
                return true;
        return false;
    }
    bool ShownContaining(const Text& part)
    {
        for (const auto& b : shell.boxes)
            if (b.text.find(part) != Text::npos)
                return true;
        return false;
    }
};

bool Everything(const std::string&)
{
    return true;
}

bool MemoOnly(const std::string& path)
{
    return path.ends_with("/有馬記念.txt");
}

bool ParameterFile(const std::string& path)
{
    return path.ends_with("repara.txt");
}

bool RankingFiles(const std::string& path)
{
    return path.ends_with("/R12.txt");
}

} // namespace

TEST_F(Faults, AReadOnlyProgramFolderBuildsNothingAndTellsTheUser)
{
    CopyMiniRace();
    const std::string r1 = Bytes(Path("R1.txt"));
    pado::testing::WriteFailure failing(Everything);
    app().Start();
    failing.Off();
    ASSERT_FALSE(shell.boxes.empty());
    EXPECT_TRUE(ShownContaining(U"を書き込めません。"));
    EXPECT_FALSE(fs::Exists(Path("有馬記念")));
    EXPECT_EQ(Bytes(Path("R1.txt")), r1);
    EXPECT_TRUE(app().form3().IsVisible()); // the windows still open
}

TEST_F(Faults, AFullDiskWhileSavingKeepsTheOldMemoAndItsUnsavedMark)
{
    Write("有馬記念.txt", { U"有馬記念", U"古いメモ" });
    const std::string old = Bytes(Path("有馬記念.txt"));
    app().Show(app().form3());
    app().form3().Text1.SetText(U"有馬記念\n新しいメモ");
    shell.answers = { MsgAnswer::Yes }; // overwrite
    pado::testing::WriteFailure failing(MemoOnly);
    app().form3().Click("Image2");
    failing.Off();
    EXPECT_TRUE(ShownContaining(U"有馬記念.txt"));
    EXPECT_EQ(Bytes(Path("有馬記念.txt")), old);
    EXPECT_FALSE(AnyTemporaryFileIn(folder));
    // Still unsaved: closing asks first.
    shell.answers = { MsgAnswer::No };
    EXPECT_FALSE(app().Close(app().form3()));
}

TEST_F(Faults, AMemoReplacedByAFolderWhileTheQuestionIsOpenIsLeftAlone)
{
    Write("有馬記念.txt", { U"有馬記念" });
    app().Show(app().form3());
    app().form3().Text1.SetText(U"有馬記念\n本文");
    // The user (or another program) puts a folder where the memo was while we ask.
    struct Swapping : pado::testing::QueueShell {
        std::string memo;
        MsgAnswer MsgBox(const Text& t, const Text& title, MsgButtons b, MsgIcon i) override
        {
            if (b == MsgButtons::YesNo) {
                std::filesystem::remove(memo);
                std::filesystem::create_directory(memo);
                std::filesystem::create_directory(memo + "/中身");
            }
            QueueShell::MsgBox(t, title, b, i);
            return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        }
    } swapping;
    swapping.memo = Path("有馬記念.txt");
    App other(folder, swapping, clock);
    other.Show(other.form3());
    other.form3().Text1.SetText(U"有馬記念\n本文");
    other.form3().Click("Image2");
    ASSERT_GE(swapping.boxes.size(), 2u);
    EXPECT_NE(swapping.boxes.back().text.find(U"有馬記念.txt"), Text::npos);
    EXPECT_TRUE(fs::IsFolder(Path("有馬記念.txt") + "/中身"));
    EXPECT_FALSE(AnyTemporaryFileIn(folder));
}

TEST_F(Faults, SettingsThatCannotBeWrittenKeepTheOldFileAndTheNewValuesInMemory)
{
    Write("repara.txt", Lines(22, U"0.5"));
    const std::string old = Bytes("repara.txt");
    app().Show(app().form6());
    app().form6().Text[0].SetText(U"0.25");
    pado::testing::WriteFailure failing(ParameterFile);
    app().form6().Click("Command1");
    failing.Off();
    EXPECT_TRUE(ShownContaining(U"repara.txt"));
    EXPECT_EQ(Bytes("repara.txt"), old);
    EXPECT_EQ(app().module1.params[0], 0.25f);
}

TEST_F(Faults, AStagingFolderThatDisappearsMidTransferLeavesEachFileWholeAndNamesTheFailure)
{
    static std::string staging;
    staging = root + "/PADO-tdy";
    std::filesystem::create_directories(staging + "/有馬記念");
    for (const char* f : { "pado.txt", "R1.txt", "Rall.txt" }) {
        WriteTextFile(staging + "/有馬記念/" + f, { FromUtf8(std::string("new ") + f) });
        Write(f, { FromUtf8(std::string("old ") + f) });
    }
    shell.folders = { staging + "/有馬記念" };
    // The staging folder vanishes (a network drive drops, the user deletes it) after the first copy.
    pado::testing::WriteFailure failing([](const std::string& path) {
        if (path.ends_with("/pado.txt"))
            std::filesystem::remove_all(staging);
        return false;
    });
    app().Show(app().form2());
    app().form2().Click("Image2");
    failing.Off();
    EXPECT_TRUE(ShownContaining(U"R1.txt"));
    EXPECT_EQ(ReadTextFile(Path("pado.txt")), Lines { U"new pado.txt" });
    EXPECT_EQ(ReadTextFile(Path("R1.txt")), Lines { U"old R1.txt" });
    EXPECT_EQ(ReadTextFile(Path("Rall.txt")), Lines { U"old Rall.txt" });
    EXPECT_FALSE(AnyTemporaryFileIn(folder));
}

TEST_F(Faults, AWorkFileThatCannotBeWrittenAtTheEndOfAPressIsReportedAndLeftOld)
{
    CopyMiniRace();
    app().Start();
    Write("R12.txt", { U"前回の候補" });
    app().module1.raceSurface = U"芝";
    app().module1.raceDistance = 2500;
    shell.boxes.clear();
    pado::testing::WriteFailure failing(RankingFiles);
    app().form1().Click("Image10");
    failing.Off();
    EXPECT_TRUE(ShownContaining(U"R12.txt"));
    EXPECT_EQ(ReadTextFile(Path("R12.txt")), Lines { U"前回の候補" });
    EXPECT_FALSE(AnyTemporaryFileIn(folder));
    // The picks were still shown: only the file for the other views could not be kept.
    EXPECT_NE(app().form1().Text1.GetText().find(U"勝馬予想No.1"), Text::npos);
}
