#include "assist/dirt_passes.h"

#include "app/app.h"
#include "app/form1.h"
#include "assist/assist_run.h"
#include "assist/memo_marks.h"
#include "assist/parameters.h"
#include "assist/race_compare.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

void ScoreDirtRace(AssistRun& run)
{
    MainAssistState& s = run.f.state;
    MemoWork memo = SaveMemoToWorkFile(run);
    const int c = static_cast<int>(s.coRunnerCount);
    const std::vector<Text> slots = ReadCoRunnerTable(run);
    if (c < 1 || SlotHorse(slots[c]) != s.currentEntrant) {
        WriteMemoWorkFile(run, memo);
        return;
    }
    const R13Lines r13(ReadTextFile(run.app.FilePath(files::kPastRaceRunners)));
    const Text* own = r13.First(s.currentEntrant);
    if (!own) {
        LoadMemoFromWorkFile(run, memo);
        return;
    }
    const double t0 = R13Time(*own);
    const float limit = Param(run.app.module1, dirtGap);
    TwoDigitExceptions exceptions(run);
    for (int i = 1; i <= c - 1; ++i) {
        if (SlotPosition(slots[i]) < 2)
            continue;
        const Text horse = SlotHorse(slots[i]);
        if (r13.AnyBehindBy(horse, t0, limit)) {
            s.otherEntrant = horse;
            if (exceptions.Check(horse) == U"-")
                MarkEntrantDash(memo, horse);
        }
    }
    exceptions.Finish();
    LoadMemoFromWorkFile(run, memo);
}

void ScoreDirtSolo(AssistRun& run)
{
    MainAssistState& s = run.f.state;
    const Module1& m = run.app.module1;
    MemoWork memo = SaveMemoToWorkFile(run);
    const R13Lines r13(ReadTextFile(run.app.FilePath(files::kPastRaceRunners)));
    const Text* own = r13.First(s.currentEntrant);
    // The window's text goes through R14.txt only to be read back line by line; reading the pane
    // itself gives the same lines, and the file is gone again when the pass ends either way. The
    // window lists its runs fastest first, so the first line under the past race's conditions holds
    // the best time.
    const Text* best = own ? run.FirstWindowLine(s.venue, s.surface, s.pastDistance, s.trackCondition) : nullptr;
    DeleteTextFile(run.app.FilePath(files::kTimeOrderText));
    if (!own || !best) {
        WriteMemoWorkFile(run, memo);
        return;
    }
    s.otherEntrant = s.currentEntrant;

    // The allowance is taken off as the decimal the user set, before the one rounding to single
    // precision: 4.8f - 1.5f is 3.3000002, above a 3.3 limit it exactly meets.
    double allowance = 0;
    const char32_t age = CharAt(*own, 18);
    if (age == U'2')
        allowance = ParameterDecimal(Param(m, dirtAllowanceAge2));
    else if (age == U'3')
        allowance = ParameterDecimal(Param(m, dirtAllowanceAge3));
    const float gap = TimeGap(R13Time(*own) - allowance, RaceTimeSeconds(Cols(*best, 29, 34)));

    const Date today = run.app.today();
    const long monthsBack = ((today.year % 100) * 12L + today.month)
        - (LeadingInt(Cols(s.raceKeyLine, 2, 3)) * 12 + LeadingInt(Cols(s.raceKeyLine, 4, 5)));
    const bool discount = (monthsBack > 6 && gap > Param(m, dirtLimitOver6Months))
        || (monthsBack > 3 && monthsBack <= 6 && gap > Param(m, dirtLimit3To6Months))
        || (monthsBack > 0 && monthsBack <= 3 && gap > Param(m, dirtLimitUpTo3Months));
    if (!discount) {
        WriteMemoWorkFile(run, memo);
        return;
    }
    MarkEntrantDash(memo, s.otherEntrant);
    LoadMemoFromWorkFile(run, memo);
}

} // namespace pado
