#include "assist/turf_pass.h"

#include "app/app.h"
#include "app/form1.h"
#include "assist/assist_run.h"
#include "assist/memo_marks.h"
#include "assist/race_compare.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

void ScoreTurfRace(AssistRun& run)
{
    MainAssistState& s = run.f.state;
    MemoWork memo = SaveMemoToWorkFile(run);
    const int c = static_cast<int>(s.coRunnerCount);
    const std::vector<Text> slots = ReadCoRunnerTable(run);

    TwoDigitExceptions exceptions(run);
    for (int i = 1; i <= c; ++i) {
        s.otherEntrant = SlotHorse(slots[i]);
        if (SlotPosition(slots[i]) >= 10 && s.otherEntrant != s.currentEntrant
            && exceptions.Check(s.otherEntrant) == U"-")
            MarkEntrantDash(memo, s.otherEntrant);
    }
    exceptions.Finish();

    if (c >= 1 && SlotHorse(slots[c]) == s.currentEntrant) {
        const R13Lines r13(ReadTextFile(run.app.FilePath(files::kPastRaceRunners)));
        if (const Text* own = r13.First(s.currentEntrant)) {
            const double t0 = R13Time(*own);
            const float limit = TurfGapLimit(run, s.pastDistance);
            for (int i = 1; i <= c - 1; ++i) {
                int p = SlotPosition(slots[i]);
                if (p < 2 || p > 9)
                    continue;
                const Text horse = SlotHorse(slots[i]);
                if (r13.AnyBehindBy(horse, t0, limit)) {
                    s.otherEntrant = horse;
                    MarkEntrantDash(memo, horse);
                }
            }
        }
    }
    LoadMemoFromWorkFile(run, memo);
}

} // namespace pado
