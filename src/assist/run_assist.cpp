#include "assist/run_assist.h"

#include <optional>

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

AssistMode AssistModeOf(int dialogChoice)
{
    return dialogChoice >= 1 && dialogChoice <= 4 ? static_cast<AssistMode>(dialogChoice) : AssistMode::None;
}

AssistSummary RunAssist(Form1& f, const Text& raceFolder, AssistMode mode)
{
    AssistRun run(f);
    MainAssistState& s = f.state;
    AssistSummary summary;
    std::optional<Lines> entrants; // read at the first past race found
    for (const std::string& entrant : fs::SubFolders(ToUtf8(raceFolder))) {
        s.currentEntrant = Right(FromUtf8(entrant), 9);
        for (const std::string& pastRun : fs::SubFolders(entrant)) {
            run.pastRunFolder = FromUtf8(pastRun);
            s.gradedFlag = 0;
            ++summary.pastRaces;
            // A race missing from pado.txt would leave the previous race's work files behind;
            // judging this run by them would mark the wrong horses.
            // The factor pass does not look at the past race, so it runs all the same.
            if (ShowRaceDetail(f, run.pastRunFolder, RaceDisplay::Silent)) {
                FindEntrantsInRace(f, entrants);
                s.popupText.clear();
            } else {
                ++summary.notFound;
                if (mode != AssistMode::Factors)
                    continue;
            }
            const float c = s.coRunnerCount;
            if (mode == AssistMode::TurfGraded && c > 1 && s.gradedFlag != 0)
                ScoreTurfRace(run);
            else if (mode == AssistMode::TurfAll && c > 1)
                ScoreTurfRace(run);
            else if (mode == AssistMode::Dirt && c > 1)
                ScoreDirtRace(run);
            else if (mode == AssistMode::Dirt && c == 1)
                ScoreDirtSolo(run);
            else if (mode == AssistMode::Factors) {
                ScoreFactors(run);
                break;
            }
        }
        f.Text1.Clear();
    }
    return summary;
}

} // namespace pado
