#include "assist/dirt_passes.h"
#include "assist/factor_pass.h"
#include "assist/turf_pass.h"
#include "assist_fixture.h"
#include "platform/fs.h"

namespace pado::testing {
namespace {

const Text kA = PadRight(U"アルファ", 9);
const Text kB = PadRight(U"ブラボー", 9);
const Text kC = PadRight(U"チャーリー", 9);

// Today's three entrants on the memo pad, and the past race being visited through kA's folder.
class PassTest : public AssistTest {
protected:
    PassTest()
    {
        SetMemo(U"テスト記念\n\n 1 " + kA + U"牡4(57)\n 2 " + kB + U"牝5(55)\n 3 " + kC + U"牡3(56)\n");
        f().state.currentEntrant = kA;
        visited = U"/x/PADO/テスト記念/" + kA + U"/" + Left(race, 29) + U"." + Mid(race, 31, 32);
    }
    // R12.txt and R13.txt as the race lookup leaves them: {position, horse, age, time} per runner.
    void PastRace(int distance, std::vector<std::tuple<int, Text, char32_t, Text>> runners)
    {
        Lines r12, r13;
        for (auto& [pos, horse, age, time] : runners) {
            r13.push_back(R13Line(pos, horse, age, time));
            if (horse == kA || horse == kB || horse == kC)
                r12.push_back(ToText(pos) + U" " + horse);
        }
        Write("R12.txt", r12);
        Write("R13.txt", r13);
        f().state.coRunnerCount = static_cast<float>(r12.size());
        f().state.pastDistance = distance;
    }
    Text Row(int n) { return SplitLines(Memo())[static_cast<std::size_t>(n) + 1]; }
    Text Marks(int n) { return Mid(Row(n), InStr(Row(n), U")") + 1); }

    const Text race = RunLine(U"261004", U"中山", U"芝", 1600, 1, kA);
};

TEST_F(PassTest, TurfGapAtTheLimitKeepsAndAboveItMarks)
{
    Write("F3.txt", { race });
    PastRace(1600, { { 1, kA, U'4', U"1.34.5" }, { 2, U"ソト", U'4', U"1.34.7" }, { 3, kB, U'5', U"1.35.0" } });
    AssistRun run(f(), visited);
    ScoreTurfRace(run);
    EXPECT_EQ(Marks(2), U"");

    PastRace(1600, { { 1, kA, U'4', U"1.34.5" }, { 3, kB, U'5', U"1.35.1" }, { 4, kC, U'3', U"1.35.1" } });
    ScoreTurfRace(run);
    EXPECT_EQ(Marks(2), U"-");
    EXPECT_EQ(Marks(3), U"-");
    EXPECT_EQ(Marks(1), U"");
    // The same race seen from a horse that was not the best placed: no time-gap step.
    SetMemo(U" 1 " + kA + U"\n 2 " + kB + U"\n");
    f().state.currentEntrant = kB;
    ScoreTurfRace(run);
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n 2 " + kB + U"\n");
}

TEST_F(PassTest, TurfDoubleFiguresUseTheException)
{
    // kB's visited race was its debut: a next run 4th saves it; kC ran only this race.
    Write("F3.txt",
        { race, RunLine(U"261004", U"中山", U"芝", 1600, 12, kB), RunLine(U"261101", U"東京", U"芝", 1600, 4, kB),
            RunLine(U"261004", U"中山", U"芝", 1600, 14, kC) });
    PastRace(1600, { { 1, kA, U'4', U"1.34.5" }, { 12, kB, U'5', U"1.36.5" }, { 14, kC, U'3', U"1.37.0" } });
    AssistRun run(f(), visited);
    ScoreTurfRace(run);
    EXPECT_EQ(Marks(2), U"");
    EXPECT_EQ(Marks(3), U"-");

    // The current entrant's own double-figure finish is never marked in its own pass.
    SetMemo(U" 1 " + kA + U"\n 2 " + kB + U"\n");
    PastRace(1600, { { 11, kB, U'5', U"1.36.5" }, { 12, kA, U'4', U"1.36.6" } });
    Write("F3.txt",
        { RunLine(U"261004", U"中山", U"芝", 1600, 12, kA), RunLine(U"261004", U"中山", U"芝", 1600, 11, kB) });
    AssistRun fresh(f(), visited);
    ScoreTurfRace(fresh);
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n 2 " + kB + U"-\n");
}

TEST_F(PassTest, DirtGapAgainstTheBestPlaced)
{
    // Both ran a month before the visited race, so the exception saves neither.
    Write("F3.txt",
        { RunLine(U"260901", U"中山", U"ダ", 1400, 3, kB), RunLine(U"261004", U"中山", U"芝", 1600, 4, kB),
            RunLine(U"260901", U"中山", U"ダ", 1400, 3, kC), RunLine(U"261004", U"中山", U"芝", 1600, 2, kC) });
    PastRace(1400, { { 1, kA, U'4', U"1.25.0" }, { 2, kC, U'3', U"1.25.2" }, { 4, kB, U'5', U"1.25.3" } });
    AssistRun run(f(), visited);
    ScoreDirtRace(run);
    EXPECT_EQ(Marks(2), U"-"); // 0.3 s behind
    EXPECT_EQ(Marks(3), U""); // 0.2 s behind

    // The same race seen from kC, which kA beat: gaps count from the best placed entrant only, so
    // kB, a second behind kC, is left alone.
    SetMemo(U" 1 " + kA + U"\n 2 " + kB + U"\n 3 " + kC + U"\n");
    PastRace(1400, { { 1, kA, U'4', U"1.25.0" }, { 2, kC, U'3', U"1.25.2" }, { 4, kB, U'5', U"1.26.2" } });
    f().state.currentEntrant = kC;
    ScoreDirtRace(run);
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n 2 " + kB + U"\n 3 " + kC + U"\n");
}

TEST_F(PassTest, ARecordRepeatingItsRunnersMarksAsTheRecordDoesOnce)
{
    Write("F3.txt",
        { RunLine(U"260901", U"中山", U"ダ", 1400, 3, kB), RunLine(U"261004", U"中山", U"芝", 1600, 4, kB),
            RunLine(U"260901", U"中山", U"ダ", 1400, 3, kC), RunLine(U"261004", U"中山", U"芝", 1600, 2, kC) });
    std::vector<std::tuple<int, Text, char32_t, Text>> runners;
    for (int copy = 0; copy < 50; ++copy)
        for (auto [pos, horse, time] :
            { std::tuple { 1, kA, U"1.25.0" }, std::tuple { 2, kC, U"1.25.2" }, std::tuple { 4, kB, U"1.25.3" } })
            runners.emplace_back(pos + 3 * copy, horse, U'4', time);
    PastRace(1400, runners);
    AssistRun run(f(), visited);
    ScoreDirtRace(run);
    EXPECT_EQ(Marks(2), U"-");
    EXPECT_EQ(Marks(3), U"");
}

class DirtSolo : public PassTest {
protected:
    void Run(const Text& raceDate, char32_t age, const Text& time)
    {
        SetMemo(U" 1 " + kA + U"\n");
        PastRace(1400, { { 3, kA, age, time } });
        auto& s = f().state;
        s.venue = U"中山";
        s.surface = U"ダ";
        s.trackCondition = U"良";
        s.raceKeyLine = U"◎" + raceDate + U"中山11";
        AssistRun run(f(), visited);
        ScoreDirtSolo(run);
    }
};

TEST_F(DirtSolo, AgeAllowanceAndMonthsBack)
{
    // The window's first line under the same conditions is the best time; the others do not match.
    app().form4().Text1.SetText(RunLine(U"250101", U"中山", U"ダ", 1400, 1, kB, U"1.22.0", U"稍") + U"\n"
        + RunLine(U"250101", U"中山", U"ダ", 1200, 1, kB, U"1.10.0") + U"\n"
        + RunLine(U"250101", U"中山", U"ダ", 1400, 1, kB, U"1.23.0") + U"\n"
        + RunLine(U"250101", U"中山", U"ダ", 1400, 1, kB, U"1.23.5") + U"\n");
    Run(U"261007", U'3', U"1.25.0"); // 2 months back: 2.0 - 0.7 = 1.3 > 1.2
    EXPECT_EQ(Memo(), U" 1 " + kA + U"-\n");
    Run(U"260407", U'3', U"1.25.0"); // 8 months back: 1.3 <= 3.3
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n");
    Run(U"261201", U'4', U"1.30.0"); // this month: never
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n");
    Run(U"261007", U'4', U"1.24.1"); // 1.1 s, no allowance: within 1.2
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n");
    Run(U"261007", U'2', U"1.25.6"); // 2.6 - 1.5 = 1.1
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n");
    EXPECT_FALSE(fs::Exists(Path("R14.txt")));

    app().form4().Text1.Clear();
    Run(U"261007", U'3', U"1.30.0");
    EXPECT_EQ(Memo(), U" 1 " + kA + U"\n");
}

class Factors : public PassTest {
protected:
    Factors()
    {
        app().module1.raceSurface = U"芝";
        app().module1.raceDistance = 2000;
        app().module1.raceVenue = U"中山";
        app().module1.raceMonth = 4;
    }
    Text Score(const Lines& rall)
    {
        Write("Rall.txt", rall);
        SetMemo(U" 1 " + kA + U"\n");
        AssistRun run(f(), visited);
        ScoreFactors(run);
        return Mid(SplitLines(Memo())[0], 13);
    }
    Text Run(const Text& date, const Text& surface, int finish, const Text& venue = U"東京", int distance = 1800)
    {
        return RunLine(date, venue, surface, distance, finish, kA);
    }
};

TEST_F(Factors, AveragesGiveLetterOrDash)
{
    // Surface average 3.0 gives k; the single 2000 m run and the single 中山 run give nothing.
    EXPECT_EQ(Score({ Run(U"261003", U"芝", 3), Run(U"261103", U"芝", 5, U"中山"),
                  Run(U"261110", U"芝", 1, U"東京", 2000), Run(U"261120", U"ダ", 9) }),
        U"k");
    EXPECT_EQ(Score({ Run(U"261003", U"芝", 12), Run(U"261103", U"芝", 9) }), U"-");
    EXPECT_EQ(Score({ Run(U"261003", U"芝", 1) }), U"");
    // Distance, venue and season each need two runs on today's surface.
    EXPECT_EQ(Score({ Run(U"260401", U"芝", 1, U"中山", 2000), Run(U"260601", U"芝", 2, U"中山", 2000),
                  Run(U"260701", U"ダ", 1, U"中山", 2000) }),
        U"kdps");
    // Only April to June count for an April race; the two summer runs do not make a season.
    EXPECT_EQ(Score({ Run(U"260301", U"芝", 9), Run(U"260701", U"芝", 9), Run(U"260501", U"芝", 1),
                  Run(U"260601", U"芝", 1) }),
        U"s");
}

TEST_F(Factors, TurfCheckOnRecentRuns)
{
    Lines old { Run(U"240101", U"芝", 5), Run(U"240201", U"芝", 5), Run(U"240301", U"芝", 5),
        Run(U"240401", U"芝", 5) };
    Lines allDirt = old;
    for (const char32_t* d : { U"260301", U"260601", U"260901", U"261101" })
        allDirt.push_back(Run(d, U"ダ", 5));
    EXPECT_EQ(Score(allDirt), U"-");

    Lines oneBadTurf = allDirt;
    oneBadTurf.push_back(Run(U"261120", U"芝", 14));
    EXPECT_EQ(Score(oneBadTurf), U"-");
    oneBadTurf.back() = Run(U"261120", U"芝", 9);
    EXPECT_EQ(Score(oneBadTurf), U"");

    // A dirt race has no turf check.
    app().module1.raceSurface = U"ダ";
    EXPECT_EQ(Score(allDirt), U"");
}

} // namespace
} // namespace pado::testing
