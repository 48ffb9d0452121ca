#include <gtest/gtest.h>

#include "members/entrant_stats.h"
#include "members/jockey_file.h"

namespace pado {
namespace {

Text RunWithFinish(const Text& finish)
{
    return U"250105 中山 11 芝1600m 良 03 " + finish + U" 1.33.5";
}

TEST(EntrantStats, FinishColumnsAndRunsThatCountNowhere)
{
    EXPECT_EQ(FinishColumn(RunWithFinish(U" 1")), 0);
    EXPECT_EQ(FinishColumn(RunWithFinish(U" 3")), 2);
    EXPECT_EQ(FinishColumn(RunWithFinish(U" 4")), 3);
    EXPECT_EQ(FinishColumn(RunWithFinish(U"18")), 3);
    EXPECT_EQ(FinishColumn(RunWithFinish(U" 0")), -1);
    EXPECT_EQ(FinishColumn(RunWithFinish(U"中 ")), -1);
    EXPECT_EQ(FinishColumn(U"250105 中山"), -1); // a line too short to hold a position
}

TEST(EntrantStats, CellsKeepTwoCharactersExceptLargeWins)
{
    EXPECT_EQ(CountCell(0, false), U" 0");
    EXPECT_EQ(CountCell(12, true), U"12");
    EXPECT_EQ(CountCell(100, false), U"100");
    EXPECT_EQ(CountCell(100, true), U"99");
    EXPECT_EQ(CountCell(1234, true), U"99");
    EXPECT_EQ(CountGroup({ 1, 20, 300, 400 }), U" 1 20 300 99");
    EXPECT_EQ(ThreeGroups({ 1, 0, 0, 0 }, {}, { 0, 0, 0, 5 }), U"   1  0  0  0   0  0  0  0   0  0  0  5 ");
}

TEST(EntrantStats, AgeShowsOneCharacterForTwoDigitAges)
{
    EXPECT_EQ(AgeCell(4), U"4");
    EXPECT_EQ(AgeCell(10), U"1");
    EXPECT_EQ(AgeCell(-6), U"-"); // a card without a year line
}

TEST(JockeyKey, SpellingsOfOneJockeyMeetOnOneKey)
{
    EXPECT_EQ(JockeyKey(U"武 豊"), U"武豊　");
    EXPECT_EQ(JockeyKey(U"武豊"), U"武豊　");
    EXPECT_EQ(JockeyKey(U"▲池添"), U"池添　");
    EXPECT_EQ(JockeyKey(U"☆ 池 添"), U"池添　");
    EXPECT_EQ(JockeyKey(U"△横山典弘"), U"横山典");
    EXPECT_EQ(JockeyKey(U"横山典"), U"横山典");
    EXPECT_EQ(JockeyKey(U"Ｍ．デムーロ"), U"デムー");
    EXPECT_EQ(JockeyKey(U"Ｃ． ルメール"), U"ルメー");
    // A full-width space is part of the name as printed.
    EXPECT_EQ(JockeyKey(U"武　豊"), U"武　豊");
}

TEST(JockeyFile, FirstMatchingLineAndTheVenueBlock)
{
    auto line = [](const Text& key, int venue, int a, int b, int c, int d) {
        Text s = key + U"   ";
        for (int k = 0; k < 10; ++k) {
            Counts v = k == venue ? Counts { a, b, c, d } : Counts {};
            for (int n : v) {
                Text t = ToText(n);
                s += Text(3 - t.size(), U' ') + t;
            }
            s += U"   ";
        }
        return s;
    };
    const Lines file
        = { line(U"池添　", 9, 1, 2, 3, 4), line(U"武豊　", 5, 3, 2, 1, 14), line(U"武豊　", 5, 9, 9, 9, 9) };
    EXPECT_EQ(FindJockeyCounts(file, U"武豊　", VenueIndex(U"中山")), (Counts { 3, 2, 1, 14 }));
    EXPECT_EQ(FindJockeyCounts(file, U"池添　", VenueIndex(U"札幌")), (Counts { 1, 2, 3, 4 }));
    EXPECT_EQ(FindJockeyCounts(file, U"池添　", VenueIndex(U"京都")), (Counts { 0, 0, 0, 0 }));
    EXPECT_EQ(FindJockeyCounts(file, U"田辺　", 0), std::nullopt);
    EXPECT_EQ(VenueIndex(U"香港"), -1);
}

TEST(JockeyFile, RecordAndRatesRoundHalfToEven)
{
    EXPECT_EQ(JockeyRecord({ 3, 2, 1, 14 }), U" 3  2  1  14");
    EXPECT_EQ(JockeyRecord({ 120, 0, 10, 5 }), U"99  0 10   5");
    EXPECT_EQ(JockeyRecord({ 0, 0, 0, 1234 }), U" 0  0  0 1234");
    EXPECT_EQ(RatePercent(1, 8), 12); // 12.5
    EXPECT_EQ(RatePercent(27, 200), 14); // 13.5
    EXPECT_EQ(RatePercent(3, 20), 15); // not 15.000000000000002
    EXPECT_EQ(RatePercent(2, 3), 67);
    EXPECT_EQ(RatePercent(0, 0), 0);
    EXPECT_EQ(RateCell(RatePercent(3, 20)), U"15%");
    EXPECT_EQ(RateCell(7), U" 7%");
    EXPECT_EQ(RateCell(0), U" 0%");
    EXPECT_EQ(RateCell(100), U"99%");
}

} // namespace
} // namespace pado
