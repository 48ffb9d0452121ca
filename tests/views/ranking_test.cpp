#include <gtest/gtest.h>

#include "support/views_harness.h"
#include "views/ranking.h"

namespace pado::viewstest {
namespace {

// Runs of the contestants: key date, name, surface, distance, finish.
struct Rall {
    Lines lines;
    Rall& Add(const Text& date, const Text& name, const Text& surface, const Text& distance, const Text& finish)
    {
        RunLine r;
        r.date = date;
        r.name = name;
        r.surface = surface;
        r.distance = distance;
        r.finish = finish;
        lines.push_back(r.line());
        return *this;
    }
};

const Text kHolder = PadRight(U"ホルダー", 9), kChallenger = PadRight(U"チャレンジ", 9);

bool Wins(const Rall& rall)
{
    return ChallengerWins(
        MakeContestant(kHolder, rall.lines, U"芝"), MakeContestant(kChallenger, rall.lines, U"芝"), 2000);
}

TEST(ChallengerWins, HeadToHeadDecidesWhenTheyMet)
{
    Rall once;
    once.Add(U"090101", kHolder, U"芝", U"2000", U" 3").Add(U"090101", kChallenger, U"芝", U"2000", U" 1");
    EXPECT_TRUE(Wins(once));

    // Meetings on the other surface count too, and beat a better usual distance.
    Rall dirt;
    dirt.Add(U"090101", kHolder, U"ダ", U"1200", U" 1").Add(U"090101", kChallenger, U"ダ", U"1200", U"12");
    dirt.Add(U"090201", kHolder, U"芝", U"1200", U" 9").Add(U"090301", kChallenger, U"芝", U"2000", U" 1");
    EXPECT_FALSE(Wins(dirt));

    // "10" against " 9": text order is finishing order.
    Rall tens;
    tens.Add(U"090101", kHolder, U"芝", U"2000", U"10").Add(U"090101", kChallenger, U"芝", U"2000", U" 9");
    EXPECT_TRUE(Wins(tens));
}

TEST(ChallengerWins, SplitMeetingsGoToTheStrictlyBetterMeanFinish)
{
    Rall r;
    r.Add(U"090101", kHolder, U"芝", U"2000", U" 2").Add(U"090101", kChallenger, U"芝", U"2000", U" 4");
    r.Add(U"090201", kHolder, U"芝", U"2000", U" 6").Add(U"090201", kChallenger, U"芝", U"2000", U" 4");
    EXPECT_FALSE(Wins(r)); // means 4 and 4
    r.Add(U"090301", kChallenger, U"芝", U"2000", U" 1");
    EXPECT_TRUE(Wins(r)); // 4 against 3
    r.Add(U"090401", kHolder, U"芝", U"2000", U" 1").Add(U"090501", kHolder, U"芝", U"2000", U" 1");
    EXPECT_FALSE(Wins(r)); // 2.4 against 3
}

TEST(ChallengerWins, NeverMetComparesDistanceGapAndMeanFinish)
{
    Rall closerButWorse;
    closerButWorse.Add(U"090101", kHolder, U"芝", U"1600", U" 2").Add(U"090201", kChallenger, U"芝", U"2000", U" 5");
    EXPECT_TRUE(Wins(closerButWorse)); // 3 points against 2

    Rall holderCloser;
    holderCloser.Add(U"090101", kHolder, U"芝", U"2000", U" 5").Add(U"090201", kChallenger, U"芝", U"1600", U" 2");
    EXPECT_FALSE(Wins(holderCloser));

    // Gaps of 200 on either side of the race distance are equal; so are the finishes.
    Rall even;
    even.Add(U"090101", kHolder, U"芝", U"1800", U" 4").Add(U"090201", kChallenger, U"芝", U"2200", U" 4");
    EXPECT_FALSE(Wins(even));
    even.Add(U"090301", kChallenger, U"芝", U"2200", U" 2");
    EXPECT_TRUE(Wins(even)); // 0 against 2

    // Runs on the other surface do not enter the means.
    Rall offSurface;
    offSurface.Add(U"090101", kHolder, U"芝", U"2000", U" 5").Add(U"090201", kChallenger, U"芝", U"2000", U" 6");
    offSurface.Add(U"090301", kChallenger, U"ダ", U"2000", U" 1");
    EXPECT_FALSE(Wins(offSurface));
}

struct RankingView : ::testing::Test {
    ViewsHarness h;
    Text a = PadRight(U"エース", 9), b = PadRight(U"ブラボー", 9), c = PadRight(U"チャーリー", 9),
         d = PadRight(U"ダート", 9), e = PadRight(U"エコー", 9), n = PadRight(U"ノーラン", 9);
    Rall rall;
    void SetUp() override
    {
        h.app().module1.raceSurface = Text(U"芝");
        h.app().module1.raceDistance = 2000;
        rall.Add(U"090101", a, U"芝", U"2000", U" 5").Add(U"090101", b, U"芝", U"1800", U" 1");
        rall.Add(U"090201", c, U"芝", U"2000", U" 2");
        rall.Add(U"090301", d, U"ダ", U"1600", U" 1");
        rall.Add(U"090401", e, U"芝", U"2400", U" 1");
        h.Write("Rall.txt", rall.lines);
        h.Write("R11.txt", { a, n, d, b, c, e });
        h.Write("Nodata.txt", { U"古い" });
        h.form().Text1.SetText(U"前\n");
    }
};

TEST_F(RankingView, ThreePicksThenTheEntrantsThatCannotBeCompared)
{
    h.Run([&] { ShowSameRaceRanking(h.form()); });
    EXPECT_TRUE(h.shell.boxes.empty());
    // Pass 1: B beats A where they met, C is closer to 2000 than B (3 against 2) and than E.
    // Pass 2: B beats A again and is closer than E. Pass 3: A is closer than E.
    EXPECT_EQ(h.form().Text1.GetText(),
        U"前\n勝馬予想No.1 " + c + U"\n勝馬予想No.2 " + b + U"\n勝馬予想No.3 " + a + U"\n"
            + U"\nＪＲＡ出走記録なしのため比較不可\n　" + n + U"\n"
            + U"\n出走はしてるけど芝コース出走記録なしのため比較不可\n　" + d + U"\n"
            + U"\n比較はしてるけどこの距離は初めて\n　" + b + U"\n　" + e + U"\n");
    EXPECT_EQ(*h.Get("R12.txt"), Lines { e });
    EXPECT_EQ(*h.Get("R13.txt"), Lines { e });
    EXPECT_EQ(*h.Get("himoto.txt"), Lines { rall.lines[0] });
    EXPECT_EQ(*h.Get("hisaki.txt"), Lines { rall.lines[4] });
    for (const char* f : { "Nodata.txt", "Nokoo.txt", "Nokyo.txt" })
        EXPECT_FALSE(h.Has(f)) << f;
}

TEST_F(RankingView, LastChallengerTakingOverLeavesNoChallengerFile)
{
    h.Write("R11.txt", { e, c });
    h.Write("hisaki.txt", { U"古い" });
    h.Run([&] { ShowSameRaceRanking(h.form()); });
    // Pass 1: C takes over from E, so its file became the holder's; pass 2 has no challenger.
    EXPECT_EQ(h.form().Text1.GetText(),
        U"前\n勝馬予想No.1 " + c + U"\n勝馬予想No.2 " + e + U"\n" + U"\nＪＲＡ出走記録なしのため比較不可\n　なし\n"
            + U"\n出走はしてるけど芝コース出走記録なしのため比較不可\n　なし\n"
            + U"\n比較はしてるけどこの距離は初めて\n　" + e + U"\n");
    EXPECT_FALSE(h.Has("hisaki.txt"));
    EXPECT_EQ(*h.Get("himoto.txt"), Lines { rall.lines[4] });
    EXPECT_EQ(*h.Get("R12.txt"), Lines {});
    EXPECT_EQ(*h.Get("R13.txt"), Lines {});
}

TEST_F(RankingView, NoCandidatesGivesNoPicksAndKeepsTheOlderFiles)
{
    h.Write("R11.txt", { n, d });
    h.Write("R13.txt", { U"表の行" });
    h.Run([&] { ShowSameRaceRanking(h.form()); });
    EXPECT_EQ(h.form().Text1.GetText(),
        U"前\n\nＪＲＡ出走記録なしのため比較不可\n　" + n + U"\n"
            + U"\n出走はしてるけど芝コース出走記録なしのため比較不可\n　" + d + U"\n"
            + U"\n比較はしてるけどこの距離は初めて\n　なし\n");
    EXPECT_EQ(*h.Get("R12.txt"), Lines {});
    EXPECT_EQ(*h.Get("R13.txt"), Lines { U"表の行" });
    EXPECT_FALSE(h.Has("himoto.txt"));
}

TEST_F(RankingView, MissingRallChangesNothing)
{
    std::remove((h.folder + "/Rall.txt").c_str());
    h.Write("R12.txt", { U"前の表" });
    h.Run([&] { ShowSameRaceRanking(h.form()); });
    ASSERT_EQ(h.shell.boxes.size(), 1u);
    EXPECT_EQ(Text(h.shell.boxes[0].text).rfind(U"ファイル(Rall.txt)がありません。\n探したフォルダー: ", 0),
        0u); // and what to do
    EXPECT_EQ(*h.Get("R12.txt"), Lines { U"前の表" });
    EXPECT_TRUE(h.Has("Nodata.txt"));
    EXPECT_EQ(h.form().Text1.GetText(), U"前\n");
}

} // namespace
} // namespace pado::viewstest
