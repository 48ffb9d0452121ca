#include <unistd.h>

#include "assist/form6.h"
#include "assist/parameters.h"
#include "assist_fixture.h"
#include "platform/fs.h"
#include "support/write_failure.h"

namespace pado::testing {
namespace {

// repara.txt is looked up in the current directory, so each test works inside its program folder.
class ParameterFile : public AssistTest {
protected:
    ParameterFile()
    {
        char buf[4096];
        old_ = getcwd(buf, sizeof buf);
        EXPECT_EQ(chdir(folder.c_str()), 0);
    }
    ~ParameterFile() override { EXPECT_EQ(chdir(old_.c_str()), 0); }
    std::string old_;
};

TEST_F(ParameterFile, FileOverridesDefaultsLineByLine)
{
    LoadAssistParameters(app());
    EXPECT_EQ(app().module1.params, DefaultAssistParameters());

    // Letters read as 0, trailing text is ignored, missing lines keep their defaults.
    Write("repara.txt", { U"0.25", U"abc", U"1.5秒", U" 2", U"-1" });
    LoadAssistParameters(app());
    EXPECT_EQ(app().module1.params[0], 0.25f);
    EXPECT_EQ(app().module1.params[1], 0.0f);
    EXPECT_EQ(app().module1.params[2], 1.5f);
    EXPECT_EQ(app().module1.params[3], 2.0f);
    EXPECT_EQ(app().module1.params[4], -1.0f);
    EXPECT_EQ(app().module1.params[5], 0.8f);
    EXPECT_EQ(app().module1.params[13], 300.0f);
}

TEST_F(ParameterFile, DialogShowsShortestTextAndWritesWhatWasTyped)
{
    LoadAssistParameters(app());
    Form6& dlg = app().form6();
    app().ShowModal(dlg);
    EXPECT_EQ(dlg.Text[0].GetText(), U"0.2");
    EXPECT_EQ(dlg.Text[13].GetText(), U"300");
    EXPECT_EQ(dlg.Text[7].GetText(), U"1.5");

    dlg.Text[0].SetText(U"0.25");
    dlg.Text[6].SetText(U"x");
    ASSERT_TRUE(dlg.Click("Command1"));
    EXPECT_FALSE(dlg.IsVisible());
    EXPECT_EQ(app().module1.params[0], 0.25f);
    EXPECT_EQ(app().module1.params[6], 0.0f);
    Lines file = Read("repara.txt");
    ASSERT_EQ(file.size(), 22u);
    EXPECT_EQ(file[0], U"0.25");
    EXPECT_EQ(file[6], U"x");
    EXPECT_EQ(file[13], U"300");
}

TEST_F(ParameterFile, DefaultsThenCancelKeepTheFile)
{
    Write("repara.txt", Lines(22, U"9"));
    LoadAssistParameters(app());
    Form6& dlg = app().form6();
    app().ShowModal(dlg);
    dlg.Click("Command3");
    EXPECT_EQ(dlg.Text[13].GetText(), U"300");
    dlg.Click("Command2");
    EXPECT_EQ(app().module1.params, DefaultAssistParameters());
    EXPECT_EQ(Read("repara.txt"), Lines(22, U"9"));
}

TEST_F(ParameterFile, UnwritableFileIsReportedAndValuesAreStillTaken)
{
    pado::testing::WriteFailure failing([](const std::string& p) { return p.find("repara") != std::string::npos; });
    LoadAssistParameters(app());
    Form6& dlg = app().form6();
    app().ShowModal(dlg);
    dlg.Text[1].SetText(U"0.4");
    dlg.Click("Command1");
    failing.Off();
    EXPECT_EQ(app().module1.params[1], 0.4f);
    EXPECT_FALSE(dlg.IsVisible());
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_NE(shell.boxes[0].text.find(U"repara.txt"), Text::npos);
    EXPECT_FALSE(fs::Exists("repara.txt"));
}

} // namespace
} // namespace pado::testing
