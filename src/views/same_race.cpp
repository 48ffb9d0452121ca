#include "views/same_race.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/run_line.h"
#include "platform/fs.h"
#include "platform/work_files.h"

namespace pado {

Text SameRaceHeading(const Text& runLine)
{
    const std::vector<Text> tokens = SplitAt(runline::Tail(runLine), U' ');
    Text heading = Cols(runLine, 1, 22) + tokens.front();
    // The class is always token 0 and the race name the last token; a tail of more than three
    // tokens keeps the same two, so a long race name does not push the class out.
    if (tokens.size() > 1)
        heading += U" " + tokens.back();
    return ShortenRaceWords(ReplaceAll(std::move(heading), U"オープン", U"Ｏp"));
}

void ShowEntrantsInPastSameRace(Form1& f)
{
    App& app = f.GetApp();
    const Lines rall = ReadRall(app.FilePath(files::kPastRuns));
    if (!f.TakeHorseSelection())
        return;

    // Sentaku.txt and Pickdoji.txt only live while the view runs, so the runs and the horses of
    // each race are kept in memory; what is left on disk afterwards is the same.
    const Lines runs = RunsOf(rall, f.selectedHorseName);
    if (runs.empty()) {
        fs::DeleteFile(app.FilePath("Sentaku.txt"));
        app.Message(f.selectedHorseName + U" にはＪＲＡでの出走記録がありません。");
        return;
    }

    f.Text1.Clear();
    for (const Text& run : runs) {
        const Text key = runline::RaceKeyText(run);
        Lines horses;
        for (const Text& line : rall)
            if (runline::RaceKeyText(line) == key)
                horses.push_back(runline::FinishField(line) + U" " + runline::HorseName(line));
        if (horses.size() <= 1)
            continue;

        Text block = SameRaceHeading(run) + U"\n";
        // The sorted list box puts the horses in finishing order.
        f.List1.Clear();
        for (const Text& h : horses)
            f.List1.AddItem(h);
        for (const Text& item : f.List1.Items())
            block += U"  " + item + U"\n";
        f.Text1.InsertAtCaret(block);
    }
    fs::DeleteFile(app.FilePath("Sentaku.txt"));
    fs::DeleteFile(app.FilePath("Pickdoji.txt"));
}

} // namespace pado
