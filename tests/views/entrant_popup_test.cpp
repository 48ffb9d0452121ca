#include <gtest/gtest.h>

#include "support/views_harness.h"
#include "views/entrant_popup.h"

namespace pado::viewstest {
namespace {

struct EntrantPopup : ::testing::Test {
    ViewsHarness h;
    Lines runners;
    void SetUp() override
    {
        for (int i = 1; i <= 12; ++i)
            runners.push_back(PadRight(U"ウマ" + ToText(i), 9));
        h.Write("R10.txt", runners);
        h.Write("R11.txt", { runners[9], PadRight(U"ヨソ", 9), runners[2], runners[6] });
    }
};

TEST_F(EntrantPopup, FindsTodaysEntrantsInTableOrder)
{
    h.form().state.popupText = U"前回\n";
    FindEntrantsInRace(h.form());
    EXPECT_EQ(*h.Get("R12.txt"), (Lines { U"3 ウマ3      ", U"7 ウマ7      ", U"10 ウマ10     " }));
    EXPECT_EQ(h.form().state.coRunnerCount, 3.0f);
    EXPECT_EQ(h.form().state.popupText, U"前回\n3着 ウマ3      \n7着 ウマ7      \n10着 ウマ10     \n");
}

TEST_F(EntrantPopup, ButtonShowsTheBoxAndRemovesTheList)
{
    h.Run([&] { ShowEntrantPopup(h.form()); });
    ASSERT_EQ(h.shell.boxes.size(), 1u);
    EXPECT_EQ(h.shell.boxes[0].title, U"登録確認");
    EXPECT_EQ(h.shell.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(h.shell.boxes[0].text, U"3着 ウマ3      \n7着 ウマ7      \n10着 ウマ10     \n");
    EXPECT_EQ(h.form().state.popupText, U"");
    EXPECT_FALSE(h.Has("R12.txt"));
    EXPECT_TRUE(h.Has("R10.txt"));
}

TEST_F(EntrantPopup, RaceWithoutTodaysEntrantsSaysSo)
{
    h.Write("R11.txt", { PadRight(U"ヨソ", 9) });
    FindEntrantsInRace(h.form());
    EXPECT_EQ(*h.Get("R12.txt"), Lines {});
    EXPECT_EQ(h.form().state.coRunnerCount, 0.0f);

    h.Run([&] { ShowEntrantPopup(h.form()); });
    ASSERT_EQ(h.shell.boxes.size(), 1u);
    EXPECT_EQ(h.shell.boxes[0].title, U"登録確認");
    EXPECT_EQ(h.shell.boxes[0].text, U"このレースに出走した登録馬はいません。");
    EXPECT_FALSE(h.Has("R12.txt"));
}

TEST_F(EntrantPopup, NothingHappensWithoutALookedUpRace)
{
    std::remove((h.folder + "/R10.txt").c_str());
    h.Write("R12.txt", { U"1 前の表" });
    h.Run([&] { ShowEntrantPopup(h.form()); });
    EXPECT_TRUE(h.shell.boxes.empty());
    EXPECT_TRUE(h.Has("R12.txt"));
}

} // namespace
} // namespace pado::viewstest
