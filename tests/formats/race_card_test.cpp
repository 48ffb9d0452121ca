#include <gtest/gtest.h>

#include "formats/race_card.h"

namespace pado {
namespace {

TEST(CardCursor, SectionEndsAtBlankLineOrAtTheLastLineOfTheFile)
{
    CardCursor c({ U"a", U"b", U" ", U"c", U"", U"d", U"e" });
    auto head = c.ReadSection();
    EXPECT_EQ(head.lines, (Lines { U"a", U"b" }));
    EXPECT_EQ(head.terminator, U" ");
    auto next = c.ReadSection();
    EXPECT_EQ(next.lines, (Lines { U"c" }));
    EXPECT_EQ(next.terminator, U"");
    // The last line of the file ends the section without belonging to it.
    auto last = c.ReadSection();
    EXPECT_EQ(last.lines, (Lines { U"d" }));
    EXPECT_EQ(last.terminator, U"e");
    EXPECT_TRUE(c.AtEnd());
    // Reading on past the end gives empty sections instead of failing.
    EXPECT_TRUE(c.ReadSection().lines.empty());
}

TEST(CardHead, MeetingLineGivesVenueInFrontOfTheDayNumber)
{
    EXPECT_EQ(cardhead::MeetingVenue(U"2009年12月27日（日）　5回中山8日目"), U"中山");
    EXPECT_EQ(cardhead::MeetingVenue(U"2009年12月27日（日）　5回中山10日目"), U"中山");
    EXPECT_EQ(cardhead::MeetingVenue(U"2009年12月27日（日）　５回阪神１２日目"), U"阪神");
    EXPECT_EQ(cardhead::MeetingVenue(U"中山日目"), U"中山");
    EXPECT_EQ(cardhead::MeetingVenue(U"8日目"), U"");
    EXPECT_EQ(cardhead::MeetingVenue(U"5回中山8日"), U"");
}

TEST(CardHead, MonthIsTheNumberFromTheSixthCharacterToTheFirstMonthSign)
{
    EXPECT_EQ(cardhead::MeetingMonth(U"2009年12月27日（日）　5回中山8日目"), 12);
    EXPECT_EQ(cardhead::MeetingMonth(U"2009年 3月 1日"), 3);
    EXPECT_EQ(cardhead::MeetingMonth(U"2009年の開催"), std::nullopt);
    EXPECT_EQ(cardhead::MeetingMonth(U"12月"), std::nullopt);
}

TEST(CardHead, DistanceNeedsDigitsBeforeTheM)
{
    const Text line = U"第54回有馬記念(ＧＩ)  2500m・芝";
    long p = cardhead::FirstM(line);
    EXPECT_EQ(p, 19);
    EXPECT_EQ(cardhead::DistanceBefore(line, p), 2500);
    EXPECT_EQ(cardhead::DistanceBefore(U"サラ系 1000m", 9), 1000);
    EXPECT_EQ(cardhead::DistanceBefore(U"ｍａｘ  ｍｍｍm", 10), std::nullopt);
}

TEST(CardHead, YearLineNamesTheLastVenueOfTheFixedOrder)
{
    EXPECT_TRUE(cardhead::IsYearLine(U"2009年12月"));
    EXPECT_FALSE(cardhead::IsYearLine(U"09年12月"));
    EXPECT_EQ(cardhead::YearText(U"2009年12月"), U"09");
    EXPECT_EQ(cardhead::VenueNamed(U"2009年 5回中山8日目"), U"中山");
    // 札幌 is tried after 京都, so it wins wherever it stands.
    EXPECT_EQ(cardhead::VenueNamed(U"2009年 札幌から京都へ"), U"札幌");
    EXPECT_EQ(cardhead::VenueNamed(U"2009年 海外"), U"");
}

TEST(EntrantLine, NumberTakesThreeCharacters)
{
    EXPECT_EQ(entrant::Number(1), U" 1 ");
    EXPECT_EQ(entrant::Number(9), U" 9 ");
    EXPECT_EQ(entrant::Number(10), U"10 ");
    EXPECT_EQ(entrant::Number(18), U"18 ");
}

TEST(EntrantLine, EntrantTextRunsToTheFirstParenthesisWideningTwelfthPlace)
{
    EXPECT_EQ(entrant::EntrantText(U"アドマイヤテスト 牡3(57)武　豊"), U"アドマイヤテスト 牡3(57)");
    // ")" 12th: three spaces before it put it in 15th place.
    EXPECT_EQ(entrant::EntrantText(U"タイキシャトル　(57)横山典"), U"タイキシャトル　(57   )");
    EXPECT_EQ(entrant::EntrantText(U"ヴィクトリー   牝4"), U"");
    EXPECT_EQ(entrant::JockeyText(U"ヴィクトリー   牝4(55)Ｍ．デムーロ"), U"Ｍ．デムーロ");
    EXPECT_EQ(entrant::JockeyText(U"ヴィクトリー   牝4(55)"), U"");
    EXPECT_EQ(entrant::JockeyText(U"ヴィクトリー   牝4"), U"");
    EXPECT_TRUE(entrant::IsSeparator(U"＝＝＝"));
}

} // namespace
} // namespace pado
