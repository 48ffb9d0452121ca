#include <gtest/gtest.h>

#include "support/views_harness.h"
#include "views/career_lines.h"

namespace pado::viewstest {
namespace {

Text Abbrev(RunLine r)
{
    r.name = U"テスト";
    return AbbreviatedCareerLine(r.line());
}

TEST(AbbreviatedCareerLine, FinishLinesUpSingleDigitsUnderTwoDigits)
{
    RunLine r;
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m  1 01 480 牡3 武豊Ｔ ＧＩ 桜花賞");
    r.finish = U"12";
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m 12 01 480 牡3 武豊Ｔ ＧＩ 桜花賞");
    r.finish = U"10";
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m 10 01 480 牡3 武豊Ｔ ＧＩ 桜花賞");
}

TEST(AbbreviatedCareerLine, ClassAndRaceNameAreShortened)
{
    RunLine r;
    r.tail = U"オープン 阪神カップ";
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m  1 01 480 牡3 武豊Ｔ Ｏp 阪神Ｃ");
    r.tail = U"ＧＩＩ 京都ステークス(ＧＩＩ)";
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m  1 01 480 牡3 武豊Ｔ ＧＩＩ 京都Ｓ(G2)");
    r.tail = U"ＧＩ ロイヤルスポーツテレビトロフィー(ＧＩＩＩ)(ＧＩ)";
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m  1 01 480 牡3 武豊Ｔ ＧＩ ＲoＳpＴvＴ(G3)(G1)");
}

TEST(AbbreviatedCareerLine, TailOfOneToFourTokens)
{
    RunLine r;
    r.tail = U"新馬";
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m  1 01 480 牡3 武豊Ｔ 新馬");
    r.tail = U"500万下 第2回 若葉ステークス";
    EXPECT_EQ(Abbrev(r), U"090405 阪神 芝1600m  1 01 480 牡3 武豊Ｔ 500万下 若葉Ｓ");
    r.tail = U"500万下 a b c";
    EXPECT_EQ(Abbrev(r), U"");
}

TEST(AbbreviatedCareerLine, ShortLineIsShownWithoutTheName)
{
    const Text line = U"090405 阪神 11 芝1600m 良 05 01 1.33.5 35.2 01 480 テスト   ";
    EXPECT_EQ(AbbreviatedCareerLine(line), U"090405 阪神 11 芝1600m 良 05 01 1.33.5 35.2 01 480 ");
    EXPECT_EQ(AbbreviatedCareerLine(U""), U"");
}

struct CareerLinesView : ::testing::Test {
    ViewsHarness h;
    Text a = U"アドマイヤ　テスト", b = U"カレン      ";
    void SetUp() override
    {
        RunLine r;
        r.name = a;
        Lines rall { r.line() };
        r.date = U"090601";
        r.tail = U"オープン ステークス";
        rall.push_back(r.line() + U"  "); // trailing spaces belong to the run line
        r.name = b;
        rall.push_back(r.line());
        r.name = a;
        r.date = U"091025";
        r.finish = U"11";
        r.tail = U"ＧＩ";
        rall.push_back(r.line());
        h.Write("Rall.txt", rall);
        h.form().Text1.SetText(U"前\n");
    }
};

TEST_F(CareerLinesView, FullLinesDropOnlyTheNameAndCountTheRuns)
{
    h.SelectHorse(a);
    h.Run([&] { ShowCareerLines(h.form(), false); });
    EXPECT_EQ(h.form().Text1.GetText(),
        U"前\n"
        U"090405 阪神 11 芝1600m 良 05 01 1.33.5 35.2 01 480 牡3 武豊Ｔ ＧＩ 桜花賞\n"
        U"090601 阪神 11 芝1600m 良 05 01 1.33.5 35.2 01 480 牡3 武豊Ｔ オープン ステークス  \n"
        U"091025 阪神 11 芝1600m 良 05 11 1.33.5 35.2 01 480 牡3 武豊Ｔ ＧＩ\n"
            + Text(29, U' ') + U"アドマイヤ　テストはＪＲＡで3走しています。\n");
    EXPECT_TRUE(h.shell.boxes.empty());
}

TEST_F(CareerLinesView, AbbreviatedLinesAndSummaryWithoutIndent)
{
    h.SelectHorse(b);
    h.Run([&] { ShowCareerLines(h.form(), true); });
    EXPECT_EQ(h.form().Text1.GetText(),
        U"前\n090601 阪神 芝1600m  1 01 480 牡3 武豊Ｔ Ｏp Ｓ\nカレンはＪＲＡで1走しています。\n");
}

TEST_F(CareerLinesView, HorseWithoutRunsGetsTheSummaryOnly)
{
    h.SelectHorse(U"ヴィクトリー   ");
    h.Run([&] { ShowCareerLines(h.form(), true); });
    EXPECT_EQ(h.form().Text1.GetText(), U"前\nヴィクトリーはＪＲＡで0走しています。\n");
}

TEST_F(CareerLinesView, WrongSelectionOrMissingRallWritesNothing)
{
    h.SelectRaceFolder();
    h.Run([&] { ShowCareerLines(h.form(), false); });
    ASSERT_EQ(h.shell.boxes.size(), 1u);
    EXPECT_EQ(h.shell.boxes[0].text, U"馬名のフォルダーを選択してください。");

    h.SelectHorse(a);
    std::remove((h.folder + "/Rall.txt").c_str());
    h.Run([&] { ShowCareerLines(h.form(), true); });
    ASSERT_EQ(h.shell.boxes.size(), 2u);
    EXPECT_EQ(Text(h.shell.boxes[1].text).rfind(U"ファイル(Rall.txt)がありません。\n探したフォルダー: ", 0),
        0u); // and what to do
    EXPECT_EQ(h.form().Text1.GetText(), U"前\n");
}

} // namespace
} // namespace pado::viewstest
