#include "assist/factor_pass.h"

#include <functional>

#include "app/app.h"
#include "app/form1.h"
#include "assist/assist_run.h"
#include "assist/memo_marks.h"
#include "assist/parameters.h"
#include "formats/run_line.h"
#include "platform/number.h"

namespace pado {

namespace {

long Finish(const Text& run)
{
    return LeadingInt(runline::FinishField(run));
}

// A distance field without a number never matches, not even a race distance of 0.
bool DistanceIs(const Text& run, int distance)
{
    Text field = runline::DistanceField(run);
    std::size_t i = field.find_first_not_of(U' ');
    if (i == Text::npos || field[i] < U'0' || field[i] > U'9')
        return false;
    return LeadingInt(field) == distance;
}

struct Judge {
    AssistRun& run;
    MemoWork& memo;
    const Lines& runs;

    // Two counting runs at least; a poor average is discounted, a good one gets the letter.
    void operator()(
        const std::function<bool(const Text&)>& counts, AssistParam bad, AssistParam good, const Text& letter)
    {
        long sum = 0, count = 0;
        for (const Text& r : runs)
            if (counts(r)) {
                sum += Finish(r);
                ++count;
            }
        if (count < 2)
            return;
        const Module1& m = run.app.module1;
        MainAssistState& s = run.f.state;
        const float average = static_cast<float>(static_cast<double>(sum) / static_cast<double>(count));
        s.markText = letter;
        if (average >= Param(m, bad))
            MarkEntrantDash(memo, s.otherEntrant);
        if (average <= Param(m, good))
            MarkCurrentEntrant(memo, s.currentEntrant, s.markText);
    }
};

} // namespace

void ScoreFactors(AssistRun& run)
{
    MainAssistState& s = run.f.state;
    const Module1& m = run.app.module1;
    const Lines runs = RunsOf(run.Rall(), s.currentEntrant);
    MemoWork memo = SaveMemoToWorkFile(run);
    s.otherEntrant = s.currentEntrant;
    s.markText.clear();
    Judge judge { run, memo, runs };

    const Text& surface = m.raceSurface;
    auto onSurface = [&](const Text& r) { return runline::Surface(r) == surface; };
    judge(onSurface, factorSurfaceBad, factorSurfaceGood, U"k");

    if (surface == U"芝" && runs.size() > 5) {
        const Date today = run.app.today();
        const long todayYymm = (today.year % 100) * 100L + today.month;
        long recent = 0, recentDirt = 0;
        // Without a recent turf run the latest turf run of all stands in, as it did for the
        // surface count above.
        long lastTurfFinish = 0;
        for (const Text& r : runs)
            if (onSurface(r))
                lastTurfFinish = Finish(r);
        for (const Text& r : runs) {
            if (todayYymm - LeadingInt(Left(r, 4)) > 101)
                continue;
            ++recent;
            if (runline::Surface(r) == U"ダ")
                ++recentDirt;
            if (runline::Surface(r) == U"芝")
                lastTurfFinish = Finish(r);
        }
        if (recentDirt == recent)
            MarkEntrantDash(memo, s.otherEntrant);
        if (recent - recentDirt == 1 && lastTurfFinish > 10)
            MarkEntrantDash(memo, s.otherEntrant);
    }

    s.markText.clear();
    judge([&](const Text& r) { return onSurface(r) && DistanceIs(r, m.raceDistance); }, factorDistanceBad,
        factorDistanceGood, U"d");

    s.markText.clear();
    judge([&](const Text& r) { return runline::Venue(r) == m.raceVenue && onSurface(r); }, factorVenueBad,
        factorVenueGood, U"p");

    s.markText.clear();
    const int month = m.raceMonth;
    const int first = month >= 1 && month <= 12 ? (month - 1) / 3 * 3 + 1 : 0;
    const int last = month >= 1 && month <= 12 ? first + 2 : 0;
    judge(
        [&](const Text& r) {
            long runMonth = LeadingInt(Cols(r, 3, 4));
            return runMonth >= first && runMonth <= last && onSurface(r);
        },
        factorSeasonBad, factorSeasonGood, U"s");

    LoadMemoFromWorkFile(run, memo);
}

} // namespace pado
