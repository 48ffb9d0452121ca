#include <gtest/gtest.h>
#include <unistd.h>

#include "assist/form6.h"
#include "platform/fs.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "tune/space.h"

namespace pado::tune {
namespace {

TEST(SearchSpace, EveryDefaultIsOnItsGridAndEveryValueReadsBackExactly)
{
    const SearchSpace s = SearchSpace::Default();
    EXPECT_EQ(s.FreeCount(), 22u);
    for (std::size_t i = 0; i < assistParamCount; ++i) {
        const Dimension& d = s[i];
        EXPECT_EQ(d.Value(d.Nearest(DefaultAssistParameters()[i])), DefaultAssistParameters()[i]) << i + 1;
        for (int k = 0; k < d.Count(); ++k) {
            const Text t = ParameterText(d.Value(k));
            // The text the dialog shows has no binary tail: 0.3, not 0.30000001.
            EXPECT_LE(t.size(), 5u) << i + 1 << " " << ToUtf8(t);
            EXPECT_EQ(d.Nearest(d.Value(k)), k);
        }
    }
    EXPECT_EQ(s[exceptionInterval].Count(), 24);
    EXPECT_EQ(s[turfGapUnder1200].Value(3), 0.3f);
}

TEST(SearchSpace, FileNarrowsAndFixesAndAWrongLineChangesNothing)
{
    SearchSpace s = SearchSpace::Default();
    std::string error;
    ASSERT_TRUE(s.Apply("\xEF\xBB\xBF# comment\r\n\n1=0.2\r\n 15 = 5:12:1\n14=60:90:15\n", error)) << error;
    EXPECT_EQ(s[0].Count(), 1);
    EXPECT_EQ(s[0].Value(0), 0.2f);
    EXPECT_EQ(s[14].Count(), 8);
    EXPECT_EQ(s[14].Value(7), 12.0f);
    EXPECT_EQ(s[13].Count(), 3);
    EXPECT_EQ(s.FreeCount(), 21u);

    for (const char* bad : { "23=1", "0=1", "1.5=2", "x=1", "3", "3=1:2", "3=2:1:0.1", "3=0:1:0", "3=0:1:-1",
             "3=0:1000000:0.0001", "3=nan", "3=1e300", "3=1:2:3:4", "3=" }) {
        SearchSpace t = s;
        std::string why;
        EXPECT_FALSE(t.Apply(std::string("2=0.5\n") + bad + "\n", why)) << bad;
        EXPECT_NE(why.find("2 行目"), std::string::npos) << why;
        EXPECT_EQ(t[1].Count(), s[1].Count()) << "the good line before it was taken: " << bad;
    }
    // Control characters of a hostile file never reach the message raw.
    std::string why;
    EXPECT_FALSE(s.Apply("\x1b[31m=1\n", why));
    EXPECT_EQ(why.find('\x1b'), std::string::npos);
}

// A space file is read whole up to a megabyte; a larger file, a folder or a missing file is refused by name.
TEST(SearchSpace, AFileIsReadUpToAMegabyteAndNamedWhenItCannotBe)
{
    TempDir dir;
    const std::string good = dir.File("space.txt"), large = dir.File("large.txt");
    ASSERT_TRUE(fs::WriteBytesAtomic(good, "3=0.5\n"));
    ASSERT_TRUE(fs::WriteBytesAtomic(large, "3=0.5\n" + std::string((1u << 20) - 6, '#')));
    SearchSpace s = SearchSpace::Default();
    std::string why;
    ASSERT_TRUE(s.ApplyFile(good, why)) << why;
    EXPECT_EQ(s[2].Count(), 1);
    for (const std::string& bad : { large, dir.Path(), dir.File("missing.txt") }) {
        SearchSpace t = SearchSpace::Default();
        EXPECT_FALSE(t.ApplyFile(bad, why)) << bad;
        EXPECT_NE(why.find(bad), std::string::npos) << why;
        EXPECT_EQ(t.FreeCount(), SearchSpace::Default().FreeCount());
    }
    ASSERT_TRUE(fs::WriteBytesAtomic(large, "3=0.5\n" + std::string((1u << 20) - 7, '#')));
    EXPECT_TRUE(SearchSpace::Default().ApplyFile(large, why)) << why;
}

// The file the tuner writes is the one the parameter dialog reads: every tuned value shows and is taken as is.
class TunedFile : public pado::testing::ProgramFolderTest { };

TEST_F(TunedFile, OpensInTheParameterDialogWithExactlyTheTunedValues)
{
    ParamValues tuned = DefaultAssistParameters();
    const SearchSpace s = SearchSpace::Default();
    for (std::size_t i = 0; i < assistParamCount; ++i)
        tuned[i] = s[i].Value(static_cast<int>(i * 7 % static_cast<std::size_t>(s[i].Count())));
    WriteParameterFile(Path("repara.txt"), tuned);
    EXPECT_EQ(ReadParameterFile(Path("repara.txt")), tuned);

    LoadAssistParameters(app());
    EXPECT_EQ(app().module1.params, tuned);
    Form6& dlg = app().form6();
    app().ShowModal(dlg);
    for (std::size_t i = 0; i < assistParamCount; ++i)
        EXPECT_EQ(dlg.Text[i].GetText(), ParameterText(tuned[i])) << i + 1;
    ASSERT_TRUE(dlg.Click("Command1"));
    EXPECT_EQ(app().module1.params, tuned);
    EXPECT_EQ(ReadParameterFile(Path("repara.txt")), tuned);
}

TEST(ParameterFile, WritingThroughALinkKeepsTheLink)
{
    TempDir dir;
    const std::string target = dir.File("real.txt"), link = dir.File("repara.txt");
    WriteParameterFile(target, DefaultAssistParameters());
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ParamValues v = DefaultAssistParameters();
    v[3] = 1.1f;
    WriteParameterFile(link, v);
    EXPECT_TRUE(fs::IsLink(link));
    EXPECT_EQ(ReadParameterFile(target), v);
}

} // namespace
} // namespace pado::tune
