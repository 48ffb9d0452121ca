#include <gtest/gtest.h>

#include "formats/pado_db.h"
#include "passing/run_corners.h"

using namespace pado;

namespace {

const Text kHorse = U"アルファ     ";
const Text kRun = U"100105 中山 11 芝2500m 良";

Text Runner(const Text& number, const Text& name)
{
    return U" 1 " + number + U" " + name + U" 牡4 57.0kg 武　豊　 1.34.5";
}

Lines Record(const Text& key, Lines corners, Lines runners, bool closing = true, bool end = true)
{
    Lines lines { U"◎" + key, U"第5回中山1日目", U"2500ｍ・芝・右" };
    if (closing)
        lines.push_back(U"上り　3F 35.2");
    if (!corners.empty()) {
        lines.push_back(U"コーナー通過順位");
        lines.insert(lines.end(), corners.begin(), corners.end());
    }
    lines.push_back(U"着 馬 馬名");
    lines.insert(lines.end(), runners.begin(), runners.end());
    if (end)
        lines.push_back(U"-----");
    return lines;
}

Lines Concat(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Lines kOtherRace
    = Record(U"100105中山12", { U"1角  1,2,3,4,5", U"2角  1,2,3,4,5", U"3角  1,2,3,4,5", U"4角  1,2,3,4,5" },
        { Runner(U" 1", U"アルファ     ") });

} // namespace

TEST(PassingMarkers, PadsByTheFirstListedCorner)
{
    const Lines runners { Runner(U" 2", kHorse) };
    const Text five = U"2,1,3,4,5";
    RaceDatabase four(
        Record(U"100105中山11", { U"1コーナー  " + five, U"2  " + five, U"3  " + five, U"4  " + five }, runners));
    EXPECT_EQ(PassingMarkers(four, kRun, kHorse), U" o**** o**** o**** o****");
    RaceDatabase three(Record(U"100105中山11", { U"2コーナー  " + five, U"3  1,2", U"4  1,3,4,5,2" }, runners));
    EXPECT_EQ(PassingMarkers(three, kRun, kHorse), U"       o**** o**** ***o*");
    RaceDatabase two(Record(U"100105中山11", { U"Ｘコーナー  " + five, U"4コーナー  " + five }, runners));
    EXPECT_EQ(PassingMarkers(two, kRun, kHorse), U"             o**** o****");
    // A corner line without a double space is read from its second character.
    RaceDatabase tight(Record(U"100105中山11", { U"31,2,3,4,5", U"4 1,2,3,4,5" }, runners));
    EXPECT_EQ(PassingMarkers(tight, kRun, kHorse), U"             *o*** *o***");
}

TEST(PassingMarkers, AHorseMissingFromTheRunnerLinesKeepsCornersWithoutMarkers)
{
    RaceDatabase db(Record(
        U"100105中山11", { U"2  1,2,3,4,5", U"3  1,2,3,4,5", U"4  1,2,3,4,5" }, { Runner(U" 2", U"ブラボー     ") }));
    EXPECT_EQ(PassingMarkers(db, kRun, kHorse), U"         ");
}

TEST(PassingMarkers, NeverBorrowsTheNextRacesCorners)
{
    const Lines corners { U"3  1,2,3,4,5", U"4  1,2,3,4,5" };
    const Lines runners { Runner(U" 1", kHorse) };
    // No closing line, no corner heading, no corner lines, no end line: the next record ends the search.
    EXPECT_EQ(PassingMarkers(
                  RaceDatabase(Concat(Record(U"100105中山11", corners, runners, false), kOtherRace)), kRun, kHorse),
        U"");
    EXPECT_EQ(
        PassingMarkers(RaceDatabase(Concat(Record(U"100105中山11", {}, runners), kOtherRace)), kRun, kHorse), U"");
    EXPECT_EQ(
        PassingMarkers(RaceDatabase(Concat(
                           Lines { U"◎100105中山11", U"第5回", U"上り", U"コーナー", U"3  1,2,3,4,5" }, kOtherRace)),
            kRun, kHorse),
        U"");
    EXPECT_EQ(
        PassingMarkers(RaceDatabase(Concat(
                           Record(U"100105中山11", corners, { Runner(U" 9", U"ホース   ") }, true, false), kOtherRace)),
            kRun, kHorse),
        U"");
}

TEST(PassingMarkers, TheEndOfTheFileEndsTheSearchToo)
{
    EXPECT_EQ(PassingMarkers(
                  RaceDatabase({ U"◎100105中山11", U"第5回", U"上り", U"コーナー", U"3  1,2,3,4,5", U"4  1,2,3,4,5" }),
                  kRun, kHorse),
        U"");
    EXPECT_EQ(PassingMarkers(RaceDatabase({ U"◎100105中山11", U"第5回", U"上り" }), kRun, kHorse), U"");
    EXPECT_EQ(PassingMarkers(RaceDatabase({ U"◎100105中山12" }), kRun, kHorse), U""); // not in the database
}
