#include <gtest/gtest.h>

#include "members/form2.h"
#include "memo/form3.h"
#include "support/program_folder.h"
#include "timeorder/form4.h"

namespace pado {
namespace {

using FormLoad = testing::ProgramFolderTest;

TEST_F(FormLoad, LastMeetingAndDistanceLinesGiveTheRaceAttributes)
{
    Write("R1.txt",
        { U"テスト", U"2026年11月29日（日）　5回阪神9日目", U"2026年12月27日（日）　5回中山10日目",
            U"第1回テスト(L)  1600m・芝", U"サラ系３歳以上  2000m・ダ", U"参考1200m・芝", U"", U"アイ 牝4(55)", U"",
            U"見出し", U"◆-◆-◆" });
    app().form2().Form_Load();
    const Module1& m = app().module1;
    EXPECT_EQ(m.raceVenue, U"中山");
    EXPECT_EQ(m.raceMonth, 12);
    EXPECT_EQ(m.raceDistance, 2000);
    EXPECT_EQ(m.raceSurface, U"ダ");
}

TEST_F(FormLoad, LinesWithoutTheirFieldsLeaveTheAttributesAlone)
{
    // No "月" on the meeting line, no digits before the "m": nothing of them is taken.
    Write("R1.txt", { U"テスト", U"1回東京9日目", U"障害まで ｍｍ  ｍm・芝", U"", U"アイ 牝4(55)", U"" });
    app().form2().Form_Load();
    const Module1& m = app().module1;
    EXPECT_EQ(m.raceVenue, U"東京");
    EXPECT_EQ(m.raceMonth, 0);
    EXPECT_EQ(m.raceDistance, 0);
    EXPECT_EQ(m.raceSurface, U"芝");
}

TEST_F(FormLoad, RunBlockStopsAtTheFirstDiamondLineAndTheRestGoesToTheTimeOrderWindow)
{
    Write("R1.txt",
        { U"テスト", U"", U"アイ 牝4(55)", U"", U"見出し", U"◆先頭行", U"走1", U"走2", U"◆-◆-◆ 過去走", U"残り1",
            U"残り2" });
    app().form2().Form_Load();
    EXPECT_EQ(Read("F3.txt"), (Lines { U"◆先頭行", U"走1", U"走2" }));
    EXPECT_EQ(app().form4().Text1.GetText(), U"残り1\n残り2\n");
    EXPECT_EQ(app().form2().Text1.Caret(), app().form2().Text1.GetText().size());
}

TEST_F(FormLoad, WithoutTheRaceCardNothingIsShownTwice)
{
    app().form2().Text1.SetText(U"古い表示");
    app().form2().Form_Load();
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_EQ(app().form2().Text1.GetText(), U"");
    EXPECT_EQ(app().form3().Text1.GetText(), U"");
    EXPECT_EQ(app().module1.raceVenue, U"");
}

TEST_F(FormLoad, RestoreShowsTheFirstDisplayFromItsStart)
{
    Write("R1.txt", { U"テスト", U"1回東京9日目", U" ", U"アイ 牝4(55)", U"＝＝", U"", U"見出し" });
    app().form2().Form_Load();
    app().form2().Text1.SetText(U"統計");
    app().form2().Click("Image6");
    EXPECT_EQ(app().form2().Text1.GetText(), U"テスト\n1回東京9日目\n \n 1 アイ 牝4(55)\n 2 ＝＝\n");
    EXPECT_EQ(app().form2().Text1.Caret(), 0u);
}

} // namespace
} // namespace pado
