#include <gtest/gtest.h>
#include <string>

#include "passing/corner_markers.h"

using namespace pado;

TEST(CornerList, ReadsNumbersAndDropsEverythingElse)
{
    using L = std::vector<unsigned long long>;
    EXPECT_EQ(CornerList(U"(*3,5)-1-12=4"), (L { 3, 5, 1, 12, 4 }));
    EXPECT_EQ(CornerList(U"10 11(1)"), (L { 10, 11, 1 }));
    EXPECT_EQ(CornerList(U"１２,7"), (L { 7 })); // only ASCII digits are numbers
    EXPECT_TRUE(CornerList(U"(*-=)").empty());
    EXPECT_EQ(CornerList(U"99999999999999999999999,2").size(), 2u);
}

// The marker table as runs of places: for each field size, how many places get each marker.
TEST(PositionMarker, FollowsTheTableForFieldsOfFiveToEighteen)
{
    const char* expected[] = { "1211", "1221", "1321", "1322", "1332", "1333", "1433", "1443", "1453", "1454", "1554",
        "1555", "1565", "1566" };
    const Text markers[] = { U"o****", U"*o***", U"**o**", U"***o*" };
    for (std::size_t count = 5; count <= 18; ++count) {
        std::string runs;
        std::size_t place = 1;
        for (const auto& m : markers) {
            int n = 0;
            while (place <= count && PositionMarker(place, count) == m) {
                ++n;
                ++place;
            }
            runs += std::to_string(n);
        }
        EXPECT_EQ(runs, expected[count - 5]) << "count " << count;
        EXPECT_EQ(place, count + 1) << "count " << count;
    }
    EXPECT_EQ(PositionMarker(5, 18), U"*o***");
    EXPECT_EQ(PositionMarker(18, 18), U"***o*");
}

TEST(PositionMarker, GivesNothingOutsideTheTable)
{
    EXPECT_EQ(PositionMarker(1, 4), U"");
    EXPECT_EQ(PositionMarker(1, 19), U"");
    EXPECT_EQ(PositionMarker(0, 10), U"");
    EXPECT_EQ(PositionMarker(11, 10), U""); // the place after the last runner gets no fifth marker
}

TEST(NextMarker, ComparesNumbersAndKeepsThePreviousMarkerWhenUngraded)
{
    const Text field = U"(*10,11)-1-2-3-4-5-6-7-8-9,12";
    EXPECT_EQ(NextMarker(field, 1, true, U""), U"*o***");
    EXPECT_EQ(NextMarker(field, 10, true, U""), U"o****");
    EXPECT_EQ(NextMarker(U"(*3,5)-1-2", 1, true, U"**o**"), U"**o**"); // four listed
    EXPECT_EQ(NextMarker(field, 13, true, U"o****"), U"o****"); // not listed
    EXPECT_EQ(NextMarker(field, 0, false, U""), U""); // number never found
    EXPECT_EQ(NextMarker(U"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19", 1, true, U"x"), U"x");
}
