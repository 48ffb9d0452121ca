// The assist button on a whole race: it runs wherever the race folder really is, and it never says
// it finished when it could not work.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/form1.h"
#include "assist/form5.h"
#include "memo/form3.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "support/queue_shell.h"

namespace pado::testing {
namespace {

// A shell whose assist dialog is answered with a mode and OK.
class DialogShell : public QueueShell {
public:
    int mode = 2;
    void ShowModal(Form& f) override
    {
        if (f.Name() != "Form5")
            return;
        f.Click("Option" + std::to_string(mode));
        f.Click("Command1");
    }
};

// The assist test race in a program folder of a chosen name, started.
class AssistStart : public ::testing::Test {
protected:
    void Start(const std::string& programName, const Text& raceName = U"")
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pado-start-XXXXXX").string();
        root_ = mkdtemp(tmpl.data());
        program_ = root_ + "/" + programName;
        std::filesystem::create_directory(program_);
        for (const char* name : { "R1.txt", "Rall.txt", "pado.txt" })
            std::filesystem::copy_file(std::string(PADO_TEST_DATA_DIR) + "/assist/" + name, program_ + "/" + name);
        if (!raceName.empty()) {
            Lines card = ReadTextFile(program_ + "/R1.txt");
            card[0] = raceName;
            WriteTextFile(program_ + "/R1.txt", card);
        }
        app_.emplace(program_, shell, clock);
        app_->Start();
        memoBefore_ = Memo();
    }
    ~AssistStart() override
    {
        app_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    // Highlights the race folder and presses the assist button.
    void PressAssist(int mode)
    {
        Form1& f = app_->form1();
        f.Dir1.SetPath(f.RaceFolder());
        shell.mode = mode;
        shell.boxes.clear();
        shell.popups.clear();
        app_->form3().Text1.SetText(memoBefore_);
        f.Click("Image6");
    }
    Text Memo() { return app_->form3().Text1.GetText(); }
    bool MemoMarked() { return Memo() != memoBefore_; }

    std::string root_, program_;
    Text memoBefore_;
    DialogShell shell;
    SteppingClock clock;
    std::optional<App> app_;
};

TEST_F(AssistStart, RunsInAProgramFolderOfAnyNameAndOnARaceNamedLikeIt)
{
    Start("ワーク");
    PressAssist(2);
    EXPECT_TRUE(shell.boxes.empty()) << ToUtf8(shell.LastText());
    ASSERT_EQ(shell.popups.size(), 1u);
    EXPECT_TRUE(MemoMarked());
}

TEST_F(AssistStart, RunsOnARaceNamedLikeTheProgramFolder)
{
    Start("PADO", U"PADO");
    PressAssist(2);
    EXPECT_TRUE(shell.boxes.empty()) << ToUtf8(shell.LastText());
    ASSERT_EQ(shell.popups.size(), 1u);
    EXPECT_TRUE(MemoMarked());
}

TEST_F(AssistStart, AMissingOrUnreadableDatabaseIsReportedBeforeAnyMark)
{
    Start("PADO");
    fs::DeleteFile(program_ + "/pado.txt");
    for (int mode : { 1, 2, 3 }) {
        PressAssist(mode);
        ASSERT_EQ(shell.boxes.size(), 1u) << mode;
        EXPECT_EQ(shell.boxes[0].text.rfind(U"ファイル(pado.txt)がありません。", 0), 0u);
        EXPECT_TRUE(shell.popups.empty());
        EXPECT_FALSE(MemoMarked());
    }
    // The factor pass needs no past race.
    PressAssist(4);
    EXPECT_TRUE(shell.boxes.empty());
    ASSERT_EQ(shell.popups.size(), 1u);
    EXPECT_EQ(shell.popups[0], U"アシストおわりました。");

    for (const char* bytes : { "\x82", "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88" }) { // a stray byte; UTF-8
        fs::WriteBytesAtomic(program_ + "/pado.txt", bytes);
        PressAssist(2);
        ASSERT_EQ(shell.boxes.size(), 1u);
        EXPECT_NE(shell.boxes[0].text.find(U"ファイル(pado.txt)はShift-JIS"), Text::npos);
        EXPECT_TRUE(shell.popups.empty());
        EXPECT_FALSE(MemoMarked());
    }
}

TEST_F(AssistStart, AVanishedRaceFolderIsNamed)
{
    Start("PADO");
    Form1& f = app_->form1();
    f.Dir1.SetPath(f.RaceFolder());
    std::filesystem::remove_all(f.RaceFolder());
    shell.mode = 2;
    f.Click("Image6");
    ASSERT_FALSE(shell.boxes.empty());
    EXPECT_NE(shell.boxes.back().text.find(FromUtf8(fs::FileName(f.RaceFolder()))), Text::npos);
    EXPECT_TRUE(shell.popups.empty());
}

TEST_F(AssistStart, AMemoCharacterShiftJisCannotHoldIsNamedWithTheMemoAndItsWorkFile)
{
    Start("PADO");
    memoBefore_ += U"😀";
    PressAssist(2);
    ASSERT_EQ(shell.boxes.size(), 1u);
    const Text& text = shell.boxes[0].text;
    EXPECT_NE(text.find(U"メモ帳"), Text::npos);
    EXPECT_NE(text.find(U"R2.txt"), Text::npos);
    EXPECT_NE(text.find(U"😀"), Text::npos);
    EXPECT_FALSE(MemoMarked());
    EXPECT_TRUE(shell.popups.empty());
}

} // namespace
} // namespace pado::testing
