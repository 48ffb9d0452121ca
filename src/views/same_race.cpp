#include "views/same_race.h"

#include <algorithm>
#include <unordered_map>

#include "app/app.h"
#include "app/form1.h"
#include "formats/run_line.h"
#include "platform/fs.h"
#include "platform/textfile.h"
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
        DeleteTextFile(app.FilePath(files::kSelectedRuns));
        app.Message(f.selectedHorseName + U" にはＪＲＡでの出走記録がありません。");
        return;
    }

    // The horses of each of its races, gathered in one pass over Rall.txt and sorted once: a
    // Rall.txt with every line repeated (a data tool that appends instead of replacing) would
    // otherwise be rescanned for every run and each list sorted an item at a time.
    std::unordered_map<Text, Lines> horsesByRace;
    for (const Text& run : runs)
        horsesByRace.try_emplace(runline::RaceKeyText(run));
    for (const Text& line : rall) {
        auto it = horsesByRace.find(runline::RaceKeyText(line));
        if (it != horsesByRace.end())
            it->second.push_back(runline::FinishField(line) + U" " + runline::HorseName(line));
    }
    for (auto& entry : horsesByRace)
        std::stable_sort(entry.second.begin(), entry.second.end()); // finishing order, as the sorted list box

    Text shown;
    const Lines* lastListed = nullptr;
    for (const Text& run : runs) {
        const Lines& horses = horsesByRace.at(runline::RaceKeyText(run));
        if (horses.size() <= 1)
            continue;
        shown += SameRaceHeading(run) + U"\n";
        for (const Text& h : horses)
            shown += U"  " + h + U"\n";
        lastListed = &horses;
    }
    // The list box ends as the last race left it; the pane gets the whole view in one insert.
    if (lastListed)
        f.List1.SetItems(*lastListed);
    f.Text1.Clear();
    if (!shown.empty())
        f.Text1.InsertAtCaret(shown);
    DeleteTextFile(app.FilePath(files::kSelectedRuns));
    DeleteTextFile(app.FilePath(files::kPickedRunners));
}

} // namespace pado
