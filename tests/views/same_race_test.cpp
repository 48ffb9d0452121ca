#include <gtest/gtest.h>

#include "support/views_harness.h"
#include "views/same_race.h"

namespace pado::viewstest {
namespace {

TEST(SameRaceHeading, ShowsClassAndLastTokenOfTheTail)
{
    RunLine r;
    r.name = U"テスト";
    const Text head = U"090405 阪神 11 芝1600m 良 ";
    r.tail = U"新馬";
    EXPECT_EQ(SameRaceHeading(r.line()), head + U"新馬");
    r.tail = U"オープン 阪神カップ";
    EXPECT_EQ(SameRaceHeading(r.line()), head + U"Ｏp 阪神Ｃ");
    r.tail = U"ＧＩＩ 第5回 京都ステークス(ＧＩＩ)";
    EXPECT_EQ(SameRaceHeading(r.line()), head + U"ＧＩＩ 京都Ｓ(G2)");
    r.tail = U"ＧＩ 第5回 京都 大賞典";
    EXPECT_EQ(SameRaceHeading(r.line()), head + U"ＧＩ 大賞典");
    EXPECT_EQ(SameRaceHeading(U"0904"), U"0904");
}

struct SameRaceView : ::testing::Test {
    ViewsHarness h;
    Text a = U"アドマイヤ", b = U"ブエナ", c = U"カレン";
    Lines rall;
    void Add(const Text& date, const Text& name, const Text& finish, const Text& tail = U"ＧＩ 桜花賞")
    {
        RunLine r;
        r.date = date;
        r.name = name;
        r.finish = finish;
        r.tail = tail;
        rall.push_back(r.line());
    }
    void SetUp() override
    {
        for (Text* n : { &a, &b, &c })
            *n = PadRight(*n, 9);
        h.form().Text1.SetText(U"前の表示\n");
        h.Write("Sentaku.txt", { U"古い" });
        h.Write("Pickdoji.txt", { U"古い" });
    }
};

TEST_F(SameRaceView, ListsEachSharedRaceWithItsHorsesInFinishingOrder)
{
    Add(U"090405", c, U"12");
    Add(U"090405", a, U" 3");
    Add(U"090405", b, U"10");
    Add(U"090501", a, U" 1", U"500万下"); // ran alone among today's entrants
    Add(U"090601", b, U" 2", U"オープン 第1回 テレビ東京杯 x");
    Add(U"090601", a, U" 1", U"オープン 第1回 テレビ東京杯 x");
    h.Write("Rall.txt", rall);
    h.SelectHorse(a);
    h.Run([&] { ShowEntrantsInPastSameRace(h.form()); });

    EXPECT_TRUE(h.shell.boxes.empty());
    EXPECT_EQ(h.form().Text1.GetText(),
        U"090405 阪神 11 芝1600m 良 ＧＩ 桜花賞\n"
        U"   3 "
            + a
            + U"\n"
              U"  10 "
            + b
            + U"\n"
              U"  12 "
            + c
            + U"\n"
              U"090601 阪神 11 芝1600m 良 Ｏp x\n"
              U"   1 "
            + a
            + U"\n"
              U"   2 "
            + b + U"\n");
    EXPECT_EQ(h.form().List1.Items(), (Lines { U" 1 " + a, U" 2 " + b }));
    EXPECT_FALSE(h.Has("Sentaku.txt"));
    EXPECT_FALSE(h.Has("Pickdoji.txt"));
}

TEST_F(SameRaceView, EntrantThatNeverMetAnotherLeavesThePaneEmpty)
{
    Add(U"090405", a, U" 3");
    Add(U"090501", b, U" 3");
    h.Write("Rall.txt", rall);
    h.SelectHorse(a);
    h.Run([&] { ShowEntrantsInPastSameRace(h.form()); });
    EXPECT_EQ(h.form().Text1.GetText(), U"");
    EXPECT_FALSE(h.Has("Pickdoji.txt"));
}

TEST_F(SameRaceView, EntrantWithoutRunsIsToldByNameAndThePaneStays)
{
    Add(U"090405", a, U" 3");
    h.Write("Rall.txt", rall);
    h.SelectHorse(c);
    h.Run([&] { ShowEntrantsInPastSameRace(h.form()); });
    ASSERT_EQ(h.shell.boxes.size(), 1u);
    EXPECT_EQ(h.shell.boxes[0].text, U"カレン       にはＪＲＡでの出走記録がありません。");
    EXPECT_EQ(h.shell.boxes[0].title, U"PADO");
    EXPECT_EQ(h.form().Text1.GetText(), U"前の表示\n");
    EXPECT_FALSE(h.Has("Sentaku.txt"));
    EXPECT_TRUE(h.Has("Pickdoji.txt")); // never rewritten in this case

    h.SelectRaceFolder();
    h.Run([&] { ShowEntrantsInPastSameRace(h.form()); });
    EXPECT_EQ(h.shell.boxes.back().text, U"馬名のフォルダーを選択してください。");
}

TEST_F(SameRaceView, RepeatedRallLinesRepeatEachRaceAndEachHorseInOrder)
{
    // A data tool that appended Rall.txt to itself: every run twice, so every shared race is shown
    // twice with each horse twice, still in finishing order, the list box as the last one left it.
    Add(U"090405", c, U"12");
    Add(U"090405", a, U" 3");
    Add(U"090601", b, U" 2", U"オープン 第1回 テレビ東京杯 x");
    Add(U"090601", a, U" 1", U"オープン 第1回 テレビ東京杯 x");
    Lines twice = rall;
    twice.insert(twice.end(), rall.begin(), rall.end());
    h.Write("Rall.txt", twice);
    h.SelectHorse(a);
    h.Run([&] { ShowEntrantsInPastSameRace(h.form()); });

    const Text first = U"090405 阪神 11 芝1600m 良 ＧＩ 桜花賞\n   3 " + a + U"\n   3 " + a + U"\n  12 " + c
        + U"\n  12 " + c + U"\n";
    const Text second
        = U"090601 阪神 11 芝1600m 良 Ｏp x\n   1 " + a + U"\n   1 " + a + U"\n   2 " + b + U"\n   2 " + b + U"\n";
    EXPECT_EQ(h.form().Text1.GetText(), first + second + first + second);
    EXPECT_EQ(h.form().List1.Items(), (Lines { U" 1 " + a, U" 1 " + a, U" 2 " + b, U" 2 " + b }));
}

TEST(ListBoxItems, SettingAllAtOnceLeavesWhatAddingOneByOneLeaves)
{
    const Lines items { U"12 c", U" 3 a", U"10 b", U" 3 a", U"" };
    for (bool sorted : { true, false }) {
        ListBox one(sorted), all(sorted);
        for (const Text& t : items)
            one.AddItem(t);
        int notified = 0;
        all.Subscribe([&] { ++notified; });
        all.SetItems(items);
        EXPECT_EQ(all.Items(), one.Items()) << sorted;
        EXPECT_EQ(notified, 1);
    }
}

} // namespace
} // namespace pado::viewstest
