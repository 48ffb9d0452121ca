#include <filesystem>

#include "app/form1.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "support/program_folder.h"
#include "timeorder/form4.h"

using namespace pado;

namespace {

class CloseAll : public pado::testing::ProgramFolderTest {
protected:
    void StartWithWorkFiles()
    {
        std::filesystem::copy(std::string(PADO_TEST_DATA_DIR) + "/mini", folder);
        app().Start();
        for (const char* f : { "R12.txt", "R13.txt", "F3.txt", "R2.txt", "R14.txt" })
            Write(f, { U"work" });
        app().form3().Text1.SetText(U"有馬記念\n 1 アドマイヤ");
        shell.events.clear();
    }
    void Press() { app().form2().Click("Image3"); }
};

} // namespace

TEST_F(CloseAll, RemovesTheSharedWorkFilesAndClosesEveryWindowInOrder)
{
    StartWithWorkFiles();
    shell.answers = { MsgAnswer::Yes };
    Press();
    EXPECT_EQ(shell.LastText(), U"[メモ用紙]の内容を保存していませんが、閉じますか?");
    EXPECT_EQ(shell.events,
        (std::vector<std::string> {
            "show Form3", "hide Form1", "show Form3", "hide Form3", "hide Form4", "hide Form2" })); // in front to ask
    EXPECT_FALSE(app().Running());
    for (const char* f : { "R12.txt", "R13.txt", "F3.txt", "R2.txt", "R11.txt" })
        EXPECT_FALSE(fs::Exists(Path(f))) << f;
    EXPECT_TRUE(fs::Exists(Path("R14.txt"))); // not a work file of the views that close-all clears
}

TEST_F(CloseAll, AMemoPadToldToStayOutlivesTheOtherWindows)
{
    StartWithWorkFiles();
    shell.answers = { MsgAnswer::No };
    Press();
    EXPECT_EQ(shell.events,
        (std::vector<std::string> { "show Form3", "hide Form1", "show Form3", "hide Form4", "hide Form2" }));
    EXPECT_TRUE(app().form3().IsVisible());
    EXPECT_EQ(app().form3().Text1.GetText(), U"有馬記念\n 1 アドマイヤ");
    EXPECT_TRUE(app().Running());

    shell.answers = { MsgAnswer::Yes };
    EXPECT_TRUE(app().Close(app().form3()));
    EXPECT_FALSE(app().Running());
}
