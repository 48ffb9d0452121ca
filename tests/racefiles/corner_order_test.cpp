// Passing orders read into positions and written back from them.
#include <gtest/gtest.h>

#include "racefiles/corner_order.h"

using namespace pado;
using namespace pado::racefiles;

TEST(CornerOrder, HorsesAbreastShareTheFirstPositionOfTheirGroup)
{
    // (*2,5)9(3,13)8,1: 2 and 5 lead together, 9 third, 3 and 13 fourth, 8 sixth, 1 seventh.
    std::vector<int> p = PositionsFromOrder(U"(*2,5)9(3,13)8,1");
    ASSERT_GE(p.size(), 14u);
    EXPECT_EQ(p[2], 1);
    EXPECT_EQ(p[5], 1);
    EXPECT_EQ(p[9], 3);
    EXPECT_EQ(p[3], 4);
    EXPECT_EQ(p[13], 4);
    EXPECT_EQ(p[8], 6);
    EXPECT_EQ(p[1], 7);
    EXPECT_EQ(p[4], 0); // not named
    // Gaps written as - and = carry no position, and two-digit numbers stay whole.
    std::vector<int> q = PositionsFromOrder(U"12=*1-(10,11)");
    EXPECT_EQ(q[12], 1);
    EXPECT_EQ(q[1], 2);
    EXPECT_EQ(q[10], 3);
    EXPECT_EQ(q[11], 3);
    EXPECT_TRUE(PositionsFromOrder(U"").empty());
}

TEST(CornerOrder, OrderIsWrittenFromPositionsWithSharedPlacesInParentheses)
{
    EXPECT_EQ(OrderFromPositions({ { 3, 2 }, { 7, 1 }, { 5, 2 }, { 1, 4 } }), U"7-(3,5)-1");
    EXPECT_EQ(OrderFromPositions({ { 3, 0 }, { 7, 0 } }), U""); // nothing known: no order at all
    EXPECT_EQ(OrderFromPositions({ { 4, 1 }, { 2, 0 } }), U"4"); // a horse without a position is left out
    // What the reader makes of a derived order gives the same positions back.
    std::vector<std::pair<int, int>> at = { { 1, 4 }, { 2, 1 }, { 3, 1 }, { 4, 3 }, { 16, 5 } };
    std::vector<int> back = PositionsFromOrder(OrderFromPositions(at));
    for (auto [number, position] : at)
        EXPECT_EQ(back[number], position) << number;
}
