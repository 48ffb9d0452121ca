#include <cmath>

#include "assist/dirt_passes.h"
#include "assist/parameters.h"
#include "assist/race_compare.h"
#include "assist/turf_pass.h"
#include "assist_fixture.h"
#include "platform/number.h"
#include "timeorder/form4.h"

// A horse exactly a limit behind is within it; a tenth more is not. Whether the single-precision
// gap lands above or below the limit used to depend on the binary digits of the two absolute
// times, so every limit is tried at many times, at its default and at edited values.
namespace pado::testing {
namespace {

const Text kA = PadRight(U"アルファ", 9);
const Text kB = PadRight(U"ブラボー", 9);
const Text kC = PadRight(U"チャーリー", 9);

// m.ss.f from tenths of a second.
Text TimeText(long tenths)
{
    Text secs = ToText(tenths % 600 / 10);
    if (secs.size() < 2)
        secs = U"0" + secs;
    return ToText(tenths / 600) + U"." + secs + U"." + ToText(tenths % 10);
}

// 60.0 s to 180.0 s in uneven steps, so the fractions and the binary exponents both vary.
std::vector<long> ReferenceTimes()
{
    std::vector<long> t;
    for (long tenths = 600; tenths <= 1800; tenths += 71)
        t.push_back(tenths);
    return t;
}

// Limits in tenths: each default of its parameter plus some edited values.
std::vector<long> LimitsInTenths(AssistParam p)
{
    std::vector<long> l { std::lround(DefaultAssistParameters()[static_cast<std::size_t>(p)] * 10) };
    for (long edited : { 1L, 3L, 4L, 9L, 13L, 27L })
        l.push_back(edited);
    return l;
}

float Limit(long tenths)
{
    return LeadingFloat(ToText(tenths / 10) + U"." + ToText(tenths % 10));
}

class TimeGapLimits : public AssistTest {
protected:
    TimeGapLimits()
    {
        // Both co-runners ran a month before the visited race, so the exception never saves them.
        Write("F3.txt",
            { RunLine(U"260901", U"中山", U"ダ", 1400, 3, kB), RunLine(U"261004", U"中山", U"芝", 1600, 4, kB),
                RunLine(U"260901", U"中山", U"ダ", 1400, 3, kC), RunLine(U"261004", U"中山", U"芝", 1600, 2, kC),
                RunLine(U"261004", U"中山", U"芝", 1600, 1, kA) });
        visited = U"/x/PADO/テスト記念/" + kA + U"/" + Left(race, 29) + U"." + Mid(race, 31, 32);
        f().state.currentEntrant = kA;
    }

    // kA won at t0; kB came 2nd exactly `limit` behind, kC 3rd a tenth more behind. Returns the
    // marks of kB and kC.
    std::pair<Text, Text> VisitRace(int distance, long t0, long limit, void (*pass)(AssistRun&))
    {
        SetMemo(U" 1 " + kA + U"\n 2 " + kB + U"\n 3 " + kC + U"\n");
        Write("R12.txt", { U"1 " + kA, U"2 " + kB, U"3 " + kC });
        Write("R13.txt",
            { R13Line(1, kA, U'4', TimeText(t0)), R13Line(2, kB, U'4', TimeText(t0 + limit)),
                R13Line(3, kC, U'4', TimeText(t0 + limit + 1)) });
        f().state.coRunnerCount = 3;
        f().state.pastDistance = distance;
        AssistRun run(f(), visited);
        pass(run);
        const Lines rows = SplitLines(Memo());
        return { Mid(rows[1], 13), Mid(rows[2], 13) };
    }

    const Text race = RunLine(U"261004", U"中山", U"芝", 1600, 1, kA);
};

TEST_F(TimeGapLimits, TurfBandsMarkOnlyAboveTheLimit)
{
    const std::vector<std::pair<AssistParam, int>> bands { { turfGapUnder1200, 1000 }, { turfGap1200, 1400 },
        { turfGap1600, 1800 }, { turfGap2000, 2200 }, { turfGap2400, 2600 }, { turfGap3000, 3200 } };
    for (auto [param, distance] : bands)
        for (long limit : LimitsInTenths(param))
            for (long t0 : ReferenceTimes()) {
                app().module1.params[param] = Limit(limit);
                auto [atLimit, above] = VisitRace(distance, t0, limit, ScoreTurfRace);
                EXPECT_EQ(atLimit, U"") << "parameter " << param + 1 << " = " << limit << " tenths, T0 " << t0;
                EXPECT_EQ(above, U"-") << "parameter " << param + 1 << " = " << limit << " tenths, T0 " << t0;
            }
}

TEST_F(TimeGapLimits, DirtRaceMarksOnlyAboveTheLimit)
{
    for (long limit : LimitsInTenths(dirtGap))
        for (long t0 : ReferenceTimes()) {
            app().module1.params[dirtGap] = Limit(limit);
            auto [atLimit, above] = VisitRace(1400, t0, limit, ScoreDirtRace);
            EXPECT_EQ(atLimit, U"") << limit << " tenths, T0 " << t0;
            EXPECT_EQ(above, U"-") << limit << " tenths, T0 " << t0;
        }
}

// The solo pass judges the gap to the window's best time, less the age allowance, against the
// limit of how long ago the race was run.
class SoloLimits : public TimeGapLimits {
protected:
    bool Marked(const Text& raceDate, char32_t age, long best, long time)
    {
        SetMemo(U" 1 " + kA + U"\n");
        app().form4().Text1.SetText(RunLine(U"250101", U"中山", U"ダ", 1400, 1, kB, TimeText(best)) + U"\n");
        Write("R13.txt", { R13Line(3, kA, age, TimeText(time)) });
        auto& s = f().state;
        s.pastDistance = 1400;
        s.venue = U"中山";
        s.surface = U"ダ";
        s.trackCondition = U"良";
        s.raceKeyLine = U"◎" + raceDate + U"中山11";
        AssistRun run(f(), visited);
        ScoreDirtSolo(run);
        return EndsWith(Memo(), U"-\n");
    }
};

TEST_F(SoloLimits, AllowanceAndLimitMeetExactly)
{
    // Race dates 8, 5 and 2 months before today (2026-12-07).
    const std::vector<std::pair<AssistParam, Text>> limits { { dirtLimitOver6Months, U"260407" },
        { dirtLimit3To6Months, U"260707" }, { dirtLimitUpTo3Months, U"261007" } };
    const std::vector<std::pair<char32_t, long>> ages { { U'2', 15 }, { U'3', 7 }, { U'4', 0 }, { U'2', 4 },
        { U'3', 12 } };
    for (auto [param, date] : limits)
        for (long limit : LimitsInTenths(param))
            for (auto [age, allowance] : ages)
                for (long best = 600; best <= 1800; best += 227) {
                    app().module1.params[param] = Limit(limit);
                    app().module1.params[dirtAllowanceAge2] = age == U'2' ? Limit(allowance) : 1.5f;
                    app().module1.params[dirtAllowanceAge3] = age == U'3' ? Limit(allowance) : 0.7f;
                    const long atLimit = best + limit + allowance;
                    EXPECT_FALSE(Marked(date, age, best, atLimit))
                        << "parameter " << param + 1 << " = " << limit << ", age " << static_cast<char>(age)
                        << " allowance " << allowance << ", best " << best;
                    EXPECT_TRUE(Marked(date, age, best, atLimit + 1))
                        << "parameter " << param + 1 << " = " << limit << ", age " << static_cast<char>(age)
                        << " allowance " << allowance << ", best " << best;
                }
}

TEST(RaceTimes, GapsAreTakenBeforeRounding)
{
    // 85.3f - 85.0f is 0.3000031, above 0.3f; the exact gap is not.
    EXPECT_EQ(TimeGap(RaceTimeSeconds(U"1.25.3"), RaceTimeSeconds(U"1.25.0")), 0.3f);
    EXPECT_DOUBLE_EQ(RaceTimeSeconds(U"2.59.9"), 179.9);
    EXPECT_LT(TimeGap(RaceTimeSeconds(U"1.10.0"), RaceTimeSeconds(U"1.10.2")), 0.f);
    EXPECT_DOUBLE_EQ(ParameterDecimal(0.7f), 0.7);
    EXPECT_DOUBLE_EQ(ParameterDecimal(1e30f), 1e30);
}

} // namespace
} // namespace pado::testing
