#include <gtest/gtest.h>

#include "members/form2.h"
#include "support/program_folder.h"

namespace pado {
namespace {

using StatisticsView = testing::ProgramFolderTest;

TEST_F(StatisticsView, CardWithoutTodaysSurfaceShowsEntrantsWithoutCells)
{
    Write(
        "R1.txt", { U"テスト", U"2026年12月27日", U"サラ系 2000m", U" ", U"アイ       牝4(55)", U"名前だけの行", U"" });
    // A short line reads as an empty horse name; it must not count for the line without ")".
    Write("Rall.txt", { U"260105 中山 11 芝2000m 良 03  1 1.33.5 35.2 01 480 アイ       牝4 騎手", U"260105" });
    app().form2().Click("Image8");
    EXPECT_EQ(
        app().form2().Text1.GetText(), U"テスト\n2026年12月27日\nサラ系 2000m\n \n 1 アイ       牝4(55)牝4\n 2   \n");
    app().form2().Click("Image1");
    const Text shown = app().form2().Text1.GetText();
    EXPECT_NE(shown.find(U"\n 1 アイ       牝4(55)牝4   1  0  0  0   0  0  0  0   0  0  0  0 \n"), Text::npos)
        << ToUtf8(shown);
    EXPECT_NE(shown.find(U"\n 2      0  0  0  0   0  0  0  0   0  0  0  0 \n"), Text::npos) << ToUtf8(shown);
    EXPECT_TRUE(shell.boxes.empty());
}

} // namespace
} // namespace pado
