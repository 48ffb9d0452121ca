#include <sys/stat.h>
#include <unistd.h>

#include "assist/assist_fixture.h"
#include "assist/form6.h"
#include "assist/parameters.h"
#include "platform/fs.h"

namespace pado::testing {
namespace {

// The settings file is the user's: saved through its link, refused when marked read-only.
class SettingsFile : public AssistTest {
protected:
    void SaveSecondValue(const Text& value)
    {
        LoadAssistParameters(app());
        app().ShowModal(app().form6());
        app().form6().Text[1].SetText(value);
        app().form6().Click("Command1");
    }
};

TEST_F(SettingsFile, AReadOnlySettingsFileIsLeftAsItWasAndTheUserIsTold)
{
    Write("repara.txt", Lines(22, U"9"));
    ASSERT_EQ(::chmod(Path("repara.txt").c_str(), 0444), 0);
    SaveSecondValue(U"0.4");
    EXPECT_EQ(app().module1.params[1], 0.4f); // the values are still taken for this run
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].text.find(U"ファイル(repara.txt)は書き込みが許可されていないため保存できません。\n"), 0u);
    EXPECT_EQ(Read("repara.txt"), Lines(22, U"9"));
}

TEST_F(SettingsFile, ASettingsFileThatIsALinkStaysOne)
{
    const std::string shared = Path("shared-settings.txt");
    Write("shared-settings.txt", Lines(22, U"9"));
    ASSERT_EQ(::symlink(shared.c_str(), Path("repara.txt").c_str()), 0);
    SaveSecondValue(U"0.4");
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_TRUE(fs::IsLink(Path("repara.txt")));
    EXPECT_EQ(Read("shared-settings.txt")[1], U"0.4");
}

} // namespace
} // namespace pado::testing
