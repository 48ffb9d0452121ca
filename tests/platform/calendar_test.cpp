// The one calendar: days that exist, weekdays, and the yyyy-mm-dd form read back only for real days.
#include <gtest/gtest.h>

#include "platform/clock.h"

using namespace pado;

TEST(Calendar, DaysWeekdaysAndTheIsoFormAgree)
{
    EXPECT_TRUE(IsCivilDate(2024, 2, 29));
    EXPECT_FALSE(IsCivilDate(2023, 2, 29));
    EXPECT_FALSE(IsCivilDate(1900, 2, 29));
    EXPECT_TRUE(IsCivilDate(2000, 2, 29));
    EXPECT_FALSE(IsCivilDate(2026, 4, 31));
    EXPECT_FALSE(IsCivilDate(2026, 13, 1));
    EXPECT_FALSE(IsCivilDate(2026, 0, 1));
    EXPECT_EQ(WeekdayOf(2026, 12, 27), 0); // a Sunday
    EXPECT_EQ(WeekdayOf(2017, 1, 14), 6); // a Saturday
    EXPECT_EQ(WeekdayOf(1969, 12, 31), 3); // before the epoch too

    Date d;
    EXPECT_TRUE(ParseIsoDate("2017-01-05", d));
    EXPECT_EQ(IsoDateText(d), "2017-01-05");
    EXPECT_EQ(YmdOf(d), 20170105);
    for (const char* bad : { "2017-02-30", "2017-1-05", "2017/01/05", "２017-01-05", "", "2017-01-05x" })
        EXPECT_FALSE(ParseIsoDate(bad, d)) << bad;
    EXPECT_EQ(IsoDateText(d), "2017-01-05"); // untouched by a failed parse
}
