#include "assist/run_assist.h"

#include "app/app.h"
#include "app/form1.h"
#include "assist/assist_run.h"
#include "assist/dirt_passes.h"
#include "assist/factor_pass.h"
#include "assist/turf_pass.h"
#include "platform/fs.h"
#include "views/entrant_popup.h"
#include "views/race_detail.h"

namespace pado {

void RunAssist(Form1& f)
{
    AssistRun run(f);
    MainAssistState& s = f.state;
    const int mode = run.app.module1.assistMode;
    f.TakeSelection();
    const std::string raceFolder = ToUtf8(f.selectedFolder);
    for (const std::string& entrant : fs::SubFolders(raceFolder)) {
        f.selectedFolder = FromUtf8(entrant);
        s.currentEntrant = Right(f.selectedFolder, 9);
        for (const std::string& pastRun : fs::SubFolders(entrant)) {
            f.selectedFolder = FromUtf8(pastRun);
            s.gradedFlag = 0;
            s.displayFlag = 0;
            // A race missing from pado.txt would leave the previous race's work files behind;
            // judging this run by them would mark the wrong horses.
            // The factor pass does not look at the past race, so it runs all the same.
            if (ShowRaceDetail(f)) {
                FindEntrantsInRace(f);
                s.popupText.clear();
            } else if (mode != 4) {
                continue;
            }
            const float c = s.coRunnerCount;
            if (mode == 1 && c > 1 && s.gradedFlag != 0)
                ScoreTurfRace(run);
            else if (mode == 2 && c > 1)
                ScoreTurfRace(run);
            else if (mode == 3 && c > 1)
                ScoreDirtRace(run);
            else if (mode == 3 && c == 1)
                ScoreDirtSolo(run);
            else if (mode == 4) {
                ScoreFactors(run);
                break;
            }
        }
        f.Text1.Clear();
    }
}

} // namespace pado
