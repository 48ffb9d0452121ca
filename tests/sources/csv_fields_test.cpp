// The awkward fields of race CSV files.
#include <gtest/gtest.h>

#include "sources/csv_fields.h"

using namespace pado;
using namespace pado::sources;
using namespace pado::sources::csv;

TEST(CsvFields, DatesInTheirCommonSpellings)
{
    int y = 0, m = 0, d = 0;
    for (const Text t :
        { U"2026-12-27", U"2026/12/27", U"2026年12月27日", U"20261227", U"２０２６－１２－２７", U"26/12/27" }) {
        ASSERT_TRUE(ParseDate(t, y, m, d)) << ToUtf8(t);
        EXPECT_EQ(y * 10000 + m * 100 + d, 20261227) << ToUtf8(t);
    }
    EXPECT_FALSE(ParseDate(U"2026-13-01", y, m, d));
    EXPECT_FALSE(ParseDate(U"昨日", y, m, d));
    EXPECT_FALSE(ParseDate(U"", y, m, d));
}

TEST(CsvFields, RaceTimesInEverySeparatorStyle)
{
    EXPECT_EQ(ParseTimeTenths(U"2:27.1"), 1471);
    EXPECT_EQ(ParseTimeTenths(U"2.27.1"), 1471);
    EXPECT_EQ(ParseTimeTenths(U"1345"), 945); // m ss f without separators: 1:34.5
    EXPECT_EQ(ParseTimeTenths(U"59.8"), 598);
    EXPECT_EQ(ParseTimeTenths(U"１：３４．５"), 945);
    EXPECT_EQ(ParseTimeTenths(U""), 0);
    EXPECT_EQ(ParseTimeTenths(U"1:75.0"), 0); // no minute has 75 seconds
    EXPECT_EQ(ParseTimeTenths(U"中止"), 0);
}

TEST(CsvFields, PlacingsAbnormalResultsAndDemotions)
{
    Finish f = ParseFinish(U"3");
    EXPECT_TRUE(f.known);
    EXPECT_EQ(f.place, 3);
    EXPECT_EQ(f.abnormal, Abnormal::None);
    f = ParseFinish(U"4(降)");
    EXPECT_EQ(f.place, 4);
    EXPECT_EQ(f.abnormal, Abnormal::Demoted);
    for (auto [text, kind] : { std::pair { U"取消", Abnormal::Scratched }, { U"除外", Abnormal::Excluded },
             { U"中止", Abnormal::DidNotFinish }, { U"失格", Abnormal::Disqualified } }) {
        f = ParseFinish(text);
        EXPECT_TRUE(f.known);
        EXPECT_EQ(f.place, 0) << ToUtf8(text);
        EXPECT_EQ(f.abnormal, kind) << ToUtf8(text);
    }
    EXPECT_FALSE(ParseFinish(U"").known);
    EXPECT_FALSE(ParseFinish(U"99").known);
}

TEST(CsvFields, BodyWeightWithItsChangeSign)
{
    int w = 0, c = 0;
    bool known = false;
    ParseBodyWeight(U"516(+4)", w, c, known);
    EXPECT_EQ(w, 516);
    EXPECT_EQ(c, 4);
    EXPECT_TRUE(known);
    ParseBodyWeight(U"480(-12)", w, c, known);
    EXPECT_EQ(c, -12);
    ParseBodyWeight(U"480（－２）", w, c, known);
    EXPECT_EQ(c, -2);
    ParseBodyWeight(U"502(0)", w, c, known);
    EXPECT_TRUE(known);
    EXPECT_EQ(c, 0);
    ParseBodyWeight(U"502", w, c, known);
    EXPECT_EQ(w, 502);
    EXPECT_FALSE(known); // no change given is not a change of 0
    ParseBodyWeight(U"計不", w, c, known);
    EXPECT_EQ(w, 0);
    EXPECT_FALSE(known);
    EXPECT_TRUE(ParseWeightChange(U"±0", c));
    EXPECT_EQ(c, 0);
    EXPECT_FALSE(ParseWeightChange(U"", c));
}

TEST(CsvFields, SexAgeCourseGoingAndGrade)
{
    char32_t sex = 0;
    int age = 0;
    ParseSexAge(U"牡6", sex, age);
    EXPECT_EQ(sex, U'牡');
    EXPECT_EQ(age, 6);
    ParseSexAge(U"騸5", sex, age);
    EXPECT_EQ(sex, U'セ');
    ParseSexAge(U"(外)", sex, age);
    EXPECT_EQ(sex, 0);
    EXPECT_EQ(age, 0);

    char32_t surface = 0, direction = 0;
    int distance = 0;
    ParseCourse(U"芝右2500", surface, direction, distance);
    EXPECT_EQ(surface, U'芝');
    EXPECT_EQ(direction, U'右');
    EXPECT_EQ(distance, 2500);
    ParseCourse(U"障害・芝3200m", surface, direction, distance);
    EXPECT_EQ(surface, U'障'); // a jump race is run on turf but is a jump race
    ParseCourse(U"ダ1800", surface, direction, distance);
    EXPECT_EQ(surface, U'ダ');
    EXPECT_EQ(distance, 1800);

    EXPECT_EQ(ParseGoing(U"稍重"), U'稍');
    EXPECT_EQ(ParseGoing(U"不良"), U'不');
    EXPECT_EQ(ParseGoing(U"晴"), 0);
    EXPECT_EQ(GradeOfName(U"雪原ステークス(ＧＩＩＩ)"), 3);
    EXPECT_EQ(GradeOfName(U"北斗スポーツ杯(ＧＩＩ)"), 2);
    EXPECT_EQ(GradeOfName(U"冬嶺ジャンプステークス(ＪＧＩ)"), 1);
    EXPECT_EQ(GradeOfName(U"鈴蘭特別"), 0);
}

TEST(CsvFields, PassingPositionsFillTheLastCorners)
{
    int four[4] = { 0, 0, 0, 0 };
    ParsePassing(U"5-5-3-3", four);
    EXPECT_EQ(four[0], 5);
    EXPECT_EQ(four[3], 3);
    int two[4] = { 0, 0, 0, 0 };
    ParsePassing(U"12-10", two);
    EXPECT_EQ(two[0], 0);
    EXPECT_EQ(two[1], 0);
    EXPECT_EQ(two[2], 12);
    EXPECT_EQ(two[3], 10);
}

TEST(CsvFields, RaceIdCarriesVenueMeetingDayAndNumber)
{
    RaceKey k;
    int meeting = 0, day = 0;
    ASSERT_TRUE(ParseRaceId(U"202306050811", k, meeting, day));
    EXPECT_EQ(k.year, 2023);
    EXPECT_EQ(k.venue, 6);
    EXPECT_EQ(meeting, 5);
    EXPECT_EQ(day, 8);
    EXPECT_EQ(k.number, 11);
    EXPECT_EQ(k.month, 0); // resolved against the stored races
    EXPECT_FALSE(ParseRaceId(U"202399050811", k, meeting, day));
    EXPECT_FALSE(ParseRaceId(U"2023060508", k, meeting, day));
}

TEST(CsvFields, TimesStartAndTenths)
{
    EXPECT_EQ(ParseStartTime(U"15:25"), 1525);
    EXPECT_EQ(ParseStartTime(U"0950"), 950);
    EXPECT_EQ(ParseStartTime(U"25:00"), -1);
    EXPECT_EQ(ParseTenths(U"55.5"), 555);
    EXPECT_EQ(ParseTenths(U"▲54"), 540);
    EXPECT_EQ(ParseTenths(U""), 0);
}
