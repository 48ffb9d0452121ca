#include <gtest/gtest.h>

#include "formats/pado_db.h"
#include "passing/run_corners.h"
#include "shape/running_style.h"

using namespace pado;

namespace {

const Text kHorse = U"アルファ     ";

Text Name(int n)
{
    return PadRight(U"ウマ" + ToText(n), 9);
}

// A runner line: the horse number in characters 4 to 5, the name in 7 to 15, "kg" in 24 to 25.
Text Runner(int number, const Text& name)
{
    Text num = ToText(number);
    if (num.size() < 2)
        num = U" " + num;
    return U" 1 " + num + U" " + name + U" 牡4 57.0kg 武　豊　 1.34.5";
}

// A race record keyed 1001dd中山11 whose runners are 1 .. n, the horse under test being number `self`.
Lines Record(int day, const Lines& corners, int n, int self)
{
    Text dd = ToText(day);
    if (dd.size() < 2)
        dd = U"0" + dd;
    Lines lines { U"◎1001" + dd + U"中山11", U"第5回中山1日目", U"2000ｍ・芝・右", U"上り　3F 35.2",
        U"コーナー通過順位" };
    lines.insert(lines.end(), corners.begin(), corners.end());
    lines.push_back(U"着 馬 馬名");
    for (int i = 1; i <= n; ++i)
        lines.push_back(Runner(i, i == self ? kHorse : Name(i)));
    lines.push_back(U"---");
    lines.push_back(U"単勝　1　200円");
    return lines;
}

Text RunOn(int day)
{
    Text dd = ToText(day);
    if (dd.size() < 2)
        dd = U"0" + dd;
    return U"1001" + dd + U" 中山 11 芝2000m 良";
}

std::optional<RunStyle> StyleIn(const Lines& corners, int n, int self)
{
    RaceDatabase db(Record(1, corners, n, self));
    return StyleOfRun(db, RunOn(1), kHorse);
}

Style StyleAt(const Lines& corners, int n, int self)
{
    const auto s = StyleIn(corners, n, self);
    return s ? s->style : Style::Unknown;
}

const Text kNine = U"1,2,3,4,5,6,7,8,9";

} // namespace

TEST(RunStyle, FourCornersUseCornerOneForTheLeadAndCornerFourForTheRest)
{
    // Nine runners: 先行 up to place 3 at corner 4, 差し up to 6, 追込 behind.
    const auto corners = [](const Text& c1, const Text& c4) {
        return Lines { U"1コーナー  " + c1, U"2コーナー  " + kNine, U"3コーナー  " + kNine, U"4コーナー  " + c4 };
    };
    EXPECT_EQ(StyleAt(corners(U"5,1,2,3,4,6,7,8,9", U"1,2,3,4,6,7,8,9,5"), 9, 5), Style::Nige); // led, then faded
    EXPECT_EQ(StyleAt(corners(kNine, U"1,2,5,3,4,6,7,8,9"), 9, 5), Style::Senko);
    EXPECT_EQ(StyleAt(corners(kNine, U"1,2,3,5,4,6,7,8,9"), 9, 5), Style::Sashi);
    EXPECT_EQ(StyleAt(corners(kNine, U"1,2,3,4,6,5,7,8,9"), 9, 5), Style::Sashi);
    EXPECT_EQ(StyleAt(corners(kNine, U"1,2,3,4,6,7,8,5,9"), 9, 5), Style::Oikomi);
    // Leading at corner 4 alone is no lead.
    EXPECT_EQ(StyleAt(corners(kNine, U"5,1,2,3,4,6,7,8,9"), 9, 5), Style::Senko);

    const auto s = StyleIn(corners(U"1,2,3,4,5,6,7,8,9", U"1,2,3,4,6,7,8,9,5"), 9, 5);
    ASSERT_TRUE(s);
    EXPECT_DOUBLE_EQ(s->firstCorner, 0.5);
    EXPECT_DOUBLE_EQ(s->lastCorner, 1.0);
}

TEST(RunStyle, ThreeAndTwoCornerRecordsLeadFromTheirFirstListedCorner)
{
    // Three corners: the first listed is corner 2; corner 3 plays no part.
    EXPECT_EQ(
        StyleAt({ U"2コーナー  4,1,2,3,5,6", U"3コーナー  1,2,3,5,6", U"4コーナー  1,2,3,5,6,4" }, 6, 4), Style::Nige);
    EXPECT_EQ(StyleAt({ U"2コーナー  1,4,2,3,5,6", U"3コーナー  4,1,2,3,5,6", U"4コーナー  1,4,2,3,5,6" }, 6, 4),
        Style::Senko);
    // Two corners: corners 3 and 4, whatever character the first line starts with.
    EXPECT_EQ(StyleAt({ U"3コーナー  6,1,2,3,4,5", U"4コーナー  1,2,3,4,5,6" }, 6, 6), Style::Nige);
    EXPECT_EQ(StyleAt({ U"Ｘコーナー  1,6,2,3,4,5", U"4コーナー  1,2,3,4,5,6" }, 6, 6), Style::Oikomi);
    const auto s = StyleIn({ U"3コーナー  1,2,6,3,4,5", U"4コーナー  1,2,3,6,4,5" }, 6, 6);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->style, Style::Sashi);
    EXPECT_DOUBLE_EQ(s->firstCorner, 0.4);
    EXPECT_DOUBLE_EQ(s->lastCorner, 0.6);
}

TEST(RunStyle, HorsesAbreastCountEveryNumberListedBefore)
{
    // "(*3,5)" puts 5 second; "(1,2,4)" puts 4 third, whatever the separators.
    const Lines corners { U"3コーナー  (*3,5)-1-2=4,6", U"4コーナー  (1,2,4)-3,5,6" };
    const auto five = StyleIn(corners, 6, 5);
    ASSERT_TRUE(five);
    EXPECT_EQ(five->style, Style::Oikomi); // 5th of 6 at corner 4, behind ⌈12/3⌉ = 4
    EXPECT_DOUBLE_EQ(five->firstCorner, 0.2);
    EXPECT_EQ(StyleAt(corners, 6, 4), Style::Sashi); // 3rd at corner 4: behind 2, within 4
    EXPECT_EQ(StyleAt(corners, 6, 3), Style::Nige); // first listed, starred and in parentheses
    // Horse 1 is not horse 10 or 11: numbers are compared, not digits.
    EXPECT_EQ(StyleAt({ U"3コーナー  10,11,1,2,3,4,5,6,7,8,9,12", U"4コーナー  10,1,11,2,3,4,5,6,7,8,9,12" }, 12, 1),
        Style::Senko);
}

TEST(RunStyle, AHorseMissingFromEitherCornerOrFromTheRunnersHasNoStyle)
{
    EXPECT_FALSE(StyleIn({ U"3コーナー  1,2,3,4", U"4コーナー  1,2,3,4,5" }, 5, 5)); // not at the first corner
    EXPECT_FALSE(StyleIn({ U"3コーナー  1,2,3,4,5", U"4コーナー  1,2,3,4" }, 5, 5)); // not at corner 4
    // Missing from a middle corner does not matter.
    EXPECT_TRUE(StyleIn({ U"2コーナー  1,2,3,4,5", U"3コーナー  1,2,3", U"4コーナー  1,2,3,4,5" }, 5, 5));
    // Not among the runners: its number is unknown.
    RaceDatabase db(Record(1, { U"3コーナー  1,2,3", U"4コーナー  1,2,3" }, 3, 0));
    EXPECT_FALSE(StyleOfRun(db, RunOn(1), kHorse));
    // No corner block at all.
    Lines bare = Record(1, {}, 3, 1);
    bare.erase(bare.begin() + 4); // the corner heading
    EXPECT_FALSE(StyleOfRun(RaceDatabase(bare), RunOn(1), kHorse));
}

TEST(RunStyle, ARaceNotInTheDatabaseHasNoStyle)
{
    RaceDatabase db(Record(1, { U"3コーナー  1,2", U"4コーナー  1,2" }, 2, 1));
    EXPECT_FALSE(StyleOfRun(db, RunOn(2), kHorse));
    EXPECT_FALSE(StyleOfRun(db, U"100101 中山 12 芝2000m 良", kHorse)); // another race that day
    EXPECT_TRUE(StyleOfRun(db, RunOn(1), kHorse));
}

TEST(RunStyle, TwoRunnersSplitAtTheFrontAndTheBack)
{
    // ⌈2/3⌉ = 1 and ⌈4/3⌉ = 2: second at the first corner and first at corner 4 is 先行, second at
    // both is 差し; relative places are 0 and 1.
    const auto ahead = StyleIn({ U"3コーナー  1,2", U"4コーナー  2,1" }, 2, 2);
    ASSERT_TRUE(ahead);
    EXPECT_EQ(ahead->style, Style::Senko);
    EXPECT_DOUBLE_EQ(ahead->firstCorner, 1.0);
    EXPECT_DOUBLE_EQ(ahead->lastCorner, 0.0);
    EXPECT_EQ(StyleAt({ U"3コーナー  1,2", U"4コーナー  1,2" }, 2, 2), Style::Sashi);
    EXPECT_EQ(StyleAt({ U"3コーナー  2,1", U"4コーナー  1,2" }, 2, 2), Style::Nige);
}

TEST(RunStyle, TheFieldSizeIsTheRunnerLinesNotTheCornerList)
{
    // Twelve runners, the corner lists name only six: 5th at corner 4 is behind ⌈12/3⌉ = 4 but within
    // ⌈24/3⌉ = 8, so 差し; counted among six runners it would be 追込.
    const auto s = StyleIn({ U"3コーナー  1,2,3,4,5,6", U"4コーナー  1,2,3,4,6,5" }, 12, 6);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->style, Style::Sashi);
    EXPECT_DOUBLE_EQ(s->lastCorner, 4.0 / 11);
    RaceDatabase db(Record(1, { U"3コーナー  1,2,3", U"4コーナー  1,2,3" }, 12, 2));
    const auto run = ReadRunCorners(db, RunOn(1), kHorse);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->runnerCount, 12u); // counted on past the horse's own line, up to the end line
    EXPECT_EQ(run->horseNumber, 2);
}

TEST(EntrantStyle, TheCommonestOfTheLatestFiveStyledRunsTiesGoingToTheFront)
{
    // Nine runners per race; the horse is number 5. Corner lines for each style.
    const Lines nige { U"3コーナー  5,1,2,3,4,6,7,8,9", U"4コーナー  1,2,3,4,6,7,8,9,5" };
    const Lines senko { U"3コーナー  1,5,2,3,4,6,7,8,9", U"4コーナー  1,5,2,3,4,6,7,8,9" };
    const Lines sashi { U"3コーナー  1,2,3,4,6,7,5,8,9", U"4コーナー  1,2,3,4,5,6,7,8,9" };
    const Lines oikomi { U"3コーナー  1,2,3,4,6,7,8,9,5", U"4コーナー  1,2,3,4,6,7,8,9,5" };
    const Lines missing { U"3コーナー  1,2,3,4,6,7,8,9", U"4コーナー  1,2,3,4,6,7,8,9" };
    const std::vector<Lines> byDay { nige, sashi, missing, oikomi, nige, sashi, oikomi, oikomi };
    Lines file;
    Lines runs; // newest first: day 1 is the newest
    for (std::size_t i = 0; i < byDay.size(); ++i) {
        const Lines r = Record(static_cast<int>(i + 1), byDay[i], 9, 5);
        file.insert(file.end(), r.begin(), r.end());
        runs.push_back(RunOn(static_cast<int>(i + 1)));
    }
    runs.push_back(U"100131 中山 11 芝2000m 良"); // not in the database
    RaceDatabase db(file);

    // The first five styled runs: days 1, 2, 4, 5, 6 (day 3 has none): 逃げ 2, 差し 2, 追込 1; 逃げ wins the tie.
    EntrantStyle e = StyleOfEntrant(db, 7, kHorse, runs);
    EXPECT_EQ(e.number, 7);
    EXPECT_EQ(e.style, Style::Nige);
    EXPECT_EQ(e.counts, (std::array<int, 4> { 2, 0, 2, 1 }));
    EXPECT_EQ(e.runsUsed, 5);
    EXPECT_DOUBLE_EQ(e.meanFirstCorner, (0 + 0.75 + 1 + 0 + 0.75) / 5);
    EXPECT_DOUBLE_EQ(e.meanLastCorner, (1 + 0.5 + 1 + 1 + 0.5) / 5);

    // Without the newest run, the later 追込 runs come in: 差し 2, 追込 2, 逃げ 1 gives 差し.
    e = StyleOfEntrant(db, 7, kHorse, Lines(runs.begin() + 1, runs.end()));
    EXPECT_EQ(e.counts, (std::array<int, 4> { 1, 0, 2, 2 }));
    EXPECT_EQ(e.style, Style::Sashi);

    // Only the unstyled runs: 不明, nothing counted.
    e = StyleOfEntrant(db, 7, kHorse, { RunOn(3), U"100131 中山 11 芝2000m 良" });
    EXPECT_EQ(e.style, Style::Unknown);
    EXPECT_EQ(e.runsUsed, 0);
    EXPECT_EQ(e.counts, (std::array<int, 4> {}));
    EXPECT_EQ(StyleOfEntrant(db, 7, kHorse, {}).style, Style::Unknown);
}
