#include <gtest/gtest.h>

#include "support/program_folder.h"
#include "timeorder/form4.h"
#include "timeorder/run_listing.h"

using namespace pado;

namespace {

const Text kHead = U"090405 阪神 11 芝1600m 良 03 12 1.33.5 35.2 01 "; // padded to 47 below

Text RunLine(const Text& name, const Text& tail)
{
    return PadRight(kHead, 47) + PadRight(name, 9) + U"牡3 武豊 " + tail;
}

} // namespace

TEST(TimeOrderListing, ListsWhatFollowsTheSecondMarkerLine)
{
    // Line 1 never counts as a marker, and the line after the first marker is passed over even
    // when it holds one.
    EXPECT_EQ(TimeOrderListing({ U"◆レース", U"a", U"◆-◆-◆ 過去走", U"◆見出し", U"b", U"◆-◆-◆", U"L1", U"", U"L2" }),
        (Lines { U"L1", U"", U"L2" }));
    EXPECT_EQ(TimeOrderListing({ U"R", U"◆", U"h", U"b", U"◆" }), Lines {}); // second marker is the last line
    EXPECT_EQ(TimeOrderListing({ U"R", U"◆", U"h", U"b" }), Lines {}); // no second marker
    EXPECT_EQ(TimeOrderListing({ U"R", U"a", U"b" }), Lines {}); // no marker at all
    EXPECT_EQ(TimeOrderListing({ U"R", U"◆" }), Lines {});
}

TEST(RunListing, EachGroupOfConsecutiveRunsGetsAHeading)
{
    const Lines rall = { RunLine(U"アドマイヤ", U"ＧＩ 桜花賞"), RunLine(U"アドマイヤ", U"ＧＩ 菊花賞"),
        RunLine(U"カレン", U"500万"), RunLine(U"アドマイヤ", U"ＧＩ 有馬記念") };
    const Text run1 = PadRight(kHead, 47) + U"牡3 武豊 ＧＩ 桜花賞";
    const Text full = FullRunListing(rall);
    const Lines lines = SplitLines(full);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], Text(29, U' ') + U"アドマイヤ    ");
    EXPECT_EQ(lines[1], run1);
    EXPECT_EQ(lines[3], Text(29, U' ') + U"カレン      ");
    EXPECT_EQ(lines[5], Text(29, U' ') + U"アドマイヤ    ");
    EXPECT_EQ(lines[7], U"");

    const Lines shortLines = SplitLines(ShortRunListing(rall));
    ASSERT_EQ(shortLines.size(), 8u);
    EXPECT_EQ(shortLines[0], U"アドマイヤ    ");
    EXPECT_EQ(shortLines[1], SimpleRunLine(run1));
}

TEST(SimpleRunLine, PlaceTextAndTrailingParts)
{
    // 15 parts: part 14 is appended; a one-digit place gets a leading space.
    EXPECT_EQ(SimpleRunLine(U"090405 阪神 11 芝1600m 良 03 3 1.33.5 35.2 01 480 牡3 武豊 ＧＩ 桜花賞"),
        U"090405 阪神 芝1600m  301 480 牡3 武豊 ＧＩＧＩ 桜花賞");
    // 14 parts: nothing appended; a two-digit place stays as it is.
    EXPECT_EQ(SimpleRunLine(U"090405 阪神 11 芝1600m 良 03 12 1.33.5 35.2 01 480 牡3 武豊 ＧＩ"),
        U"090405 阪神 芝1600m 12 01 480 牡3 武豊 ＧＧＩ");
    // 16 parts: part 15 is appended and part 14 left out; a place that is no number reads as 0.
    EXPECT_EQ(SimpleRunLine(U"090405 阪神 11 芝1600m 良 03 中止 1.33.5 35.2 01 480 牡3 武豊 ＧＩ 桜花 賞"),
        U"090405 阪神 芝1600m  止 01 480 牡3 武豊 ＧＧＩ 賞");
    // 17 parts and more give an empty line; fewer than 14 leave the run text as it is.
    EXPECT_EQ(SimpleRunLine(U"090405 阪神 11 芝1600m 良 03 3 1.33.5 35.2 01 480 牡3 武豊 ＧＩ 桜花 賞 外"), U"");
    EXPECT_EQ(SimpleRunLine(U"090405 阪神 11 芝1600m"), U"090405 阪神 11 芝1600m");
}

TEST(SimpleRunLine, AbbreviatesEveryOccurrenceInTableOrder)
{
    const Text line = SimpleRunLine(U"090405 阪神 11 芝1600m 良 03 3 1.33.5 35.2 01 480 牡3 武豊 オープン "
                                    U"ステークスＳステークス(ＧＩＩＩ)");
    EXPECT_TRUE(EndsWith(line, U"Ｏp ＳＳＳ(G3)")) << ToUtf8(line);
    EXPECT_EQ(
        SimpleRunLine(U"090405 阪神 11 芝1600m 良 03 3 1.33.5 35.2 01 480 牡3 武豊 ＧＩ ロイヤルカップ(ＧＩＩ)(ＧＩ)"),
        U"090405 阪神 芝1600m  301 480 牡3 武豊 ＧＩＧＩ ＲoＣ(G2)(G1)");
}

class DistanceTimeWindow : public pado::testing::ProgramFolderTest { };

TEST_F(DistanceTimeWindow, MissingFileLeavesTheListingPaneEmpty)
{
    Form4& f = app().form4();
    app().Show(f);
    f.Text1.SetText(U"起動時の表示");
    f.Click("Image3");
    EXPECT_EQ(
        Text(shell.LastText()).rfind(U"ファイル(Rall.txt)がありません。\n探したフォルダー: ", 0), 0u); // and what to do
    EXPECT_EQ(f.Text1.GetText(), U"");
    f.Click("Image1");
    EXPECT_EQ(
        Text(shell.LastText()).rfind(U"ファイル(R1.txt)がありません。\n探したフォルダー: ", 0), 0u); // and what to do

    Write("R1.txt", { U"R", U"◆", U"h", U"◆", U"L1", U"L2" });
    f.Click("Image1");
    EXPECT_EQ(f.Text1.GetText(), U"L1\nL2\n");
    EXPECT_EQ(f.Text1.Caret(), 0u); // the pane shows its first line
    EXPECT_EQ(f.Image1.Picture(), 123);
}
