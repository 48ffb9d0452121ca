#include <set>

#include "assist/form6.h"
#include "assist/parameters.h"
#include "assist_fixture.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "support/write_failure.h"

namespace pado::testing {
namespace {

// repara.txt is the program folder's, wherever the process runs.
using ParameterFile = AssistTest;

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

TEST_F(ParameterFile, DialogShowsShortestTextRefusesANonNumberAndWritesTheTypedNumbers)
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
    // Refused as a whole, by the box's name: nothing taken, nothing written, the dialog stays on it.
    EXPECT_TRUE(dlg.IsVisible());
    EXPECT_EQ(dlg.RefusedBox(), 6);
    EXPECT_NE(shell.LastText().find(U"「【ダートＲ】タイム差」の値「x」"), Text::npos);
    EXPECT_EQ(app().module1.params[0], 0.2f);
    EXPECT_FALSE(fs::Exists(Path("repara.txt")));

    dlg.Text[6].SetText(U"０．３");
    ASSERT_TRUE(dlg.Click("Command1"));
    EXPECT_FALSE(dlg.IsVisible());
    EXPECT_EQ(dlg.RefusedBox(), -1);
    EXPECT_EQ(app().module1.params[0], 0.25f);
    EXPECT_EQ(app().module1.params[6], 0.3f);
    Lines file = Read("repara.txt");
    ASSERT_EQ(file.size(), 22u);
    EXPECT_EQ(file[0], U"0.25");
    EXPECT_EQ(file[6], U"0.3"); // plain digits, so the next start reads the same value
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
    EXPECT_FALSE(fs::Exists(Path("repara.txt")));
}

} // namespace
} // namespace pado::testing

namespace pado::testing {
namespace {

TEST(TypedParameter, TakesWhatAJapaneseKeyboardTypesAndRefusesTheRest)
{
    const std::pair<Text, Text> taken[] = { { U"0.25", U"0.25" }, { U"０．２５", U"0.25" }, { U"0，25", U"0.25" },
        { U"0,25", U"0.25" }, { U"３００", U"300" }, { U"　1.5 ", U"1.5" }, { U".5", U".5" }, { U"7.", U"7." },
        { U"-1", U"-1" }, { U"－０．２", U"-0.2" } };
    for (const auto& [typed, plain] : taken) {
        const std::optional<Text> got = TypedParameter(typed);
        ASSERT_TRUE(got.has_value()) << ToUtf8(typed);
        EXPECT_EQ(*got, plain) << ToUtf8(typed);
        EXPECT_EQ(LeadingFloat(*got), LeadingFloat(plain)) << ToUtf8(typed);
    }
    for (const char32_t* typed :
        { U"", U"　", U"x", U"0.2x", U"1.5秒", U"0..2", U"0.2.5", U"1,000.5", U"-", U".", U"1 2", U"1e3", U"nan" })
        EXPECT_FALSE(TypedParameter(typed).has_value()) << ToUtf8(typed);
}

TEST(TypedParameter, EveryBoxHasAFieldNameForItsMessage)
{
    std::set<Text> names;
    for (std::size_t i = 0; i < assistParamCount; ++i)
        names.insert(ParameterFieldName(i));
    EXPECT_EQ(names.size(), std::size_t(assistParamCount));
    EXPECT_EQ(ParameterFieldName(dirtGap), U"【ダートＲ】タイム差");
    EXPECT_EQ(ParameterFieldName(exceptionInterval), U"【芝Ⅰ、芝Ⅱ】2桁着順例外 該当が2走目以降の時の前走間隔");
}

} // namespace
} // namespace pado::testing
