#include <filesystem>

#include "members/form2.h"
#include "support/program_folder.h"
#include "support/write_failure.h"

using namespace pado;

namespace {

class Transfer : public pado::testing::ProgramFolderTest {
protected:
    std::string Staging() { return root + "/PADO-tdy"; }
    std::string Race(const std::string& name, std::initializer_list<const char*> files)
    {
        std::string folder = Staging() + "/" + name;
        std::filesystem::create_directories(folder);
        for (const char* f : files)
            WriteTextFile(folder + "/" + f, { FromUtf8(name + " " + f) });
        return folder;
    }
    void Press()
    {
        app().Show(app().form2());
        app().form2().Click("Image2");
    }
    void OldFiles()
    {
        for (const char* f : { "pado.txt", "R1.txt", "Rall.txt" })
            Write(f, { FromUtf8(std::string("old ") + f) });
    }
};

bool FailRall(const std::string& path)
{
    return path.ends_with("/Rall.txt");
}

} // namespace

TEST_F(Transfer, CopiesTheThreeFilesOfThePickedRace)
{
    OldFiles();
    shell.folders = { Race("有馬記念", { "pado.txt", "R1.txt", "Rall.txt", "extra.txt" }) };
    Press();
    ASSERT_EQ(shell.pickerRoots, std::vector<std::string> { Staging() });
    EXPECT_EQ(shell.LastText(), U"３ファイルコピーしました。PADOを起動し直すと反映されます。");
    EXPECT_EQ(Read("R1.txt"), Lines { U"有馬記念 R1.txt" });
    EXPECT_EQ(Read("pado.txt"), Lines { U"有馬記念 pado.txt" });
    EXPECT_EQ(Read("Rall.txt"), Lines { U"有馬記念 Rall.txt" });
    for (const auto& name : Entries(folder))
        EXPECT_NE(name[0], '.') << name; // no temporary file left behind
}

TEST_F(Transfer, CancelOrAnIncompleteFolderCopiesNothing)
{
    OldFiles();
    Race("有馬記念", { "R1.txt", "Rall.txt" });
    Press(); // cancelled picker
    EXPECT_TRUE(shell.boxes.empty());
    shell.folders = { Staging() + "/有馬記念" };
    Press();
    EXPECT_EQ(shell.LastText(), U"必要なファイル(pado.txt/R1.txt/Rall.txt)が\n存在しないようです。転送を中止します。");
    EXPECT_EQ(Read("R1.txt"), Lines { U"old R1.txt" });
}

TEST_F(Transfer, MissingStagingFolderIsNamedWithoutOpeningThePicker)
{
    Press();
    EXPECT_TRUE(shell.pickerRoots.empty());
    EXPECT_EQ(shell.LastText().find(U"転送元のフォルダー(" + FromUtf8(Staging()) + U")がありません。"), 0u);
}

TEST_F(Transfer, AFailedCopyNamesTheFileAndLeavesNoHalfWrittenFile)
{
    OldFiles();
    shell.folders = { Race("有馬記念", { "pado.txt", "R1.txt", "Rall.txt" }) };
    pado::testing::WriteFailure failing(FailRall);
    Press();
    failing.Off();
    EXPECT_EQ(shell.LastText(),
        U"ファイル(Rall.txt)をコピーできませんでした。転送を中止します。\n"
        U"(pado.txt/R1.txt はコピー済みです。)");
    EXPECT_EQ(Read("R1.txt"), Lines { U"有馬記念 R1.txt" });
    EXPECT_EQ(Read("Rall.txt"), Lines { U"old Rall.txt" });
    for (const auto& name : Entries(folder))
        EXPECT_NE(name[0], '.') << name;
}

TEST_F(Transfer, TheJockeyFileOfTheRaceComesAlongAndAFailureThereNamesTheOthers)
{
    OldFiles();
    Write("kisyuE.txt", { U"old jockeys" });
    shell.folders = { Race("有馬記念", { "pado.txt", "R1.txt", "Rall.txt", "kisyuE.txt" }) };
    Press();
    ASSERT_EQ(shell.boxes.size(), 2u);
    EXPECT_EQ(shell.boxes[0].text.find(U"４ファイルコピーしました。\n今すぐ読み込み直しますか？"), 0u);
    EXPECT_EQ(shell.LastText(), U"４ファイルコピーしました。PADOを起動し直すと反映されます。");
    EXPECT_EQ(Read("kisyuE.txt"), Lines { U"有馬記念 kisyuE.txt" });

    Write("kisyuE.txt", { U"old jockeys" });
    shell.folders = { Staging() + "/有馬記念" };
    pado::testing::WriteFailure failing([](const std::string& path) { return path.ends_with("/kisyuE.txt"); });
    Press();
    failing.Off();
    EXPECT_EQ(shell.LastText(),
        U"ファイル(kisyuE.txt)をコピーできませんでした。転送を中止します。\n"
        U"(pado.txt/R1.txt/Rall.txt はコピー済みです。)");
    EXPECT_EQ(Read("kisyuE.txt"), Lines { U"old jockeys" });
}
