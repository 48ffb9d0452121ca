#include <gtest/gtest.h>

#include "shape/field_picture.h"

using namespace pado;

namespace {

EntrantStyle Horse(int number, Style style, double first, double last)
{
    EntrantStyle e;
    e.number = number;
    e.name = PadRight(U"ウマ" + ToText(number), 9);
    e.style = style;
    e.runsUsed = style == Style::Unknown ? 0 : 1;
    e.meanFirstCorner = first;
    e.meanLastCorner = last;
    return e;
}

struct Spot {
    int number;
    int row;
    int lane;
    double depth;
    bool operator==(const Spot&) const = default;
};

std::vector<Spot> Spots(const PictureField& f)
{
    std::vector<Spot> out;
    for (const PictureMark& m : f.marks)
        out.push_back({ m.number, m.row, m.lane, m.depth });
    return out;
}

void PrintTo(const Spot& s, std::ostream* os)
{
    *os << "{" << s.number << " row " << s.row << " lane " << s.lane << " depth " << s.depth << "}";
}

} // namespace

// Six entrants, one of unknown style: rows form front to back, abreast horses inside to outside by
// number, the unknown one aside.
TEST(RacePicture, PlacesASmallFieldByMeanPlaceAndHorseNumber)
{
    const std::vector<EntrantStyle> field {
        Horse(1, Style::Senko, 0.05, 0.10),
        Horse(2, Style::Nige, 0.00, 0.00),
        Horse(3, Style::Sashi, 0.50, 0.40),
        Horse(4, Style::Oikomi, 0.90, 0.45),
        Horse(5, Style::Unknown, 0, 0),
        Horse(6, Style::Senko, 0.08, 0.15),
    };
    const RacePicture p = PictureOf(field);

    // First corner: 2 leads with 1 and 6 abreast (within 0.1 of it), 1 on the inside of 2.
    EXPECT_EQ(Spots(p.firstCorner),
        (std::vector<Spot> {
            { 1, 0, 0, 0.0 }, { 2, 0, 1, 0.0 }, { 6, 0, 2, 0.0 }, { 3, 1, 0, 0.5 }, { 4, 2, 0, 0.9 } }));
    EXPECT_EQ(p.firstCorner.rows, 3);
    EXPECT_EQ(p.firstCorner.lanes, 3);
    // Final turn: 1 exactly 0.1 behind 2 runs abreast of it; 6 is further back and leads a row of
    // its own; 4 closes up to within 0.1 of 3 and runs outside it.
    EXPECT_EQ(Spots(p.finalTurn),
        (std::vector<Spot> {
            { 1, 0, 0, 0.0 }, { 2, 0, 1, 0.0 }, { 6, 1, 0, 0.15 }, { 3, 2, 0, 0.4 }, { 4, 2, 1, 0.4 } }));
    EXPECT_EQ(p.finalTurn.marks[0].style, Style::Senko);
    EXPECT_DOUBLE_EQ(p.finalTurn.marks[0].place, 0.10); // its own place, though drawn in the row of 2
    ASSERT_EQ(p.aside.size(), 1u);
    EXPECT_EQ(p.aside[0].number, 5);
    EXPECT_FALSE(p.Empty());
}

TEST(RacePicture, CrowdedRowsSpillBackwardsAndStayInsideTheField)
{
    // Twelve horses all at the back: rows of five, pushed apart, then drawn back within 0 to 1.
    std::vector<EntrantStyle> field;
    for (int n = 12; n >= 1; --n)
        field.push_back(Horse(n, Style::Oikomi, 1.0, 1.0));
    const PictureField f = PictureOf(field).firstCorner;
    ASSERT_EQ(f.marks.size(), 12u);
    EXPECT_EQ(f.rows, 3);
    EXPECT_EQ(f.lanes, kMaxLanes);
    const double last = f.marks.back().depth;
    EXPECT_DOUBLE_EQ(last, 1.0);
    const double step = (1.0 + kRowGap) - 1.0;
    EXPECT_NEAR(f.marks[5].depth - f.marks[0].depth, step / (1.0 + 2 * kRowGap), 1e-12);
    // Rows fill with the smaller numbers first, each inside to outside.
    EXPECT_EQ(f.marks[0].number, 1);
    EXPECT_EQ(f.marks[4].number, 5);
    EXPECT_EQ(f.marks[4].lane, 4);
    EXPECT_EQ(f.marks[5].number, 6);
    EXPECT_EQ(f.marks[5].lane, 0);
    EXPECT_EQ(f.marks[11].row, 2);
}

TEST(RacePicture, AFieldOfUnknownsIsAllAside)
{
    const RacePicture p = PictureOf({ Horse(3, Style::Unknown, 0, 0), Horse(8, Style::Unknown, 0, 0) });
    EXPECT_TRUE(p.firstCorner.marks.empty());
    EXPECT_EQ(p.firstCorner.rows, 0);
    EXPECT_EQ(p.aside.size(), 2u);
    EXPECT_TRUE(PictureOf({}).Empty());
    // The transcript form names every mark and every entrant aside.
    const Text text = PictureText(p);
    EXPECT_TRUE(Contains(text, U"脚質不明 2頭\n 3 ウマ3")) << ToUtf8(text);
}
