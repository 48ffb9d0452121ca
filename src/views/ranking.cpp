#include "views/ranking.h"

#include <cmath>
#include <optional>
#include <unordered_map>

#include "app/app.h"
#include "app/form1.h"
#include "formats/run_line.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

namespace {

// What a press leaves in one work file: untouched, rewritten, or removed.
struct WorkFile {
    bool touched = false;
    std::optional<Lines> lines; // nullopt: removed

    void Write(Lines l)
    {
        touched = true;
        lines = std::move(l);
    }
    void Remove()
    {
        touched = true;
        lines.reset();
    }
    void Apply(App& app, const char* name) const
    {
        if (!touched)
            return;
        if (lines)
            WriteTextFile(app.FilePath(name), *lines);
        else
            DeleteTextFile(app.FilePath(name));
    }
};

Text NameList(const Lines& names)
{
    if (names.empty())
        return U"　なし\n";
    Text out;
    for (const Text& n : names)
        out += U"　" + n + U"\n";
    return out;
}

} // namespace

Contestant MakeContestant(const Text& name, const Lines& rall, const Text& raceSurface)
{
    Contestant c { name, RunsOf(rall, name) };
    double finishSum = 0, distanceSum = 0;
    long surfaceCount = 0;
    for (const Text& run : c.runs) {
        if (runline::Surface(run) != raceSurface)
            continue;
        ++surfaceCount;
        finishSum += LeadingNumber(runline::FinishField(run));
        distanceSum += LeadingNumber(runline::DistanceField(run));
    }
    if (surfaceCount > 0) {
        c.meanFinish = finishSum / surfaceCount;
        c.meanDistance = distanceSum / surfaceCount;
    }
    return c;
}

bool ChallengerWins(const Contestant& holder, const Contestant& challenger, int raceDistance)
{
    // Every pair of runs in the same race scores; the holder's runs are grouped by race first, so a
    // career of a hundred runs is not compared with every run of the other, pair by pair.
    std::unordered_map<Text, Lines> holderFinishes;
    for (const Text& h : holder.runs)
        holderFinishes[runline::RaceKeyText(h)].push_back(runline::FinishField(h));
    int holderScore = 0, challengerScore = 0;
    for (const Text& c : challenger.runs) {
        auto met = holderFinishes.find(runline::RaceKeyText(c));
        if (met == holderFinishes.end())
            continue;
        const Text cf = runline::FinishField(c);
        for (const Text& hf : met->second) {
            // Right-aligned two-character fields: text order is finishing order.
            if (hf < cf)
                holderScore += 10;
            else if (cf < hf)
                challengerScore += 10;
        }
    }
    if (holderScore >= 10 || challengerScore >= 10) {
        if (holderScore == challengerScore)
            return challenger.meanFinish < holder.meanFinish;
        return challengerScore > holderScore;
    }

    const double holderGap = std::fabs(holder.meanDistance - raceDistance);
    const double challengerGap = std::fabs(challenger.meanDistance - raceDistance);
    int holderPoints = 0, challengerPoints = 0;
    if (holderGap < challengerGap)
        holderPoints += 3;
    else if (challengerGap < holderGap)
        challengerPoints += 3;
    if (holder.meanFinish < challenger.meanFinish)
        holderPoints += 2;
    else if (challenger.meanFinish < holder.meanFinish)
        challengerPoints += 2;
    return challengerPoints > holderPoints;
}

void ShowSameRaceRanking(Form1& f)
{
    App& app = f.GetApp();
    const Text& surface = app.module1.raceSurface;
    const int distance = app.module1.raceDistance;
    // Both inputs are read before any work file is touched, so a missing one changes nothing.
    const Lines entrants = ReadTextFile(app.FilePath(files::kEntrantList));
    const Lines rall = ReadRall(app.FilePath(files::kPastRuns));

    Lines candidates, noRuns, noSurface, noDistance;
    for (const Text& name : entrants) {
        long runs = 0, onSurface = 0, atDistance = 0;
        for (const Text& line : rall) {
            if (runline::HorseName(line) != name)
                continue;
            ++runs;
            if (runline::Surface(line) != surface)
                continue;
            ++onSurface;
            if (LeadingNumber(runline::DistanceField(line)) == distance)
                ++atDistance;
        }
        if (runs == 0)
            noRuns.push_back(name);
        else if (onSurface == 0)
            noSurface.push_back(name);
        else {
            candidates.push_back(name);
            if (atDistance == 0)
                noDistance.push_back(name);
        }
    }

    WorkFile r13, himoto, hisaki;
    Text out;
    // With fewer than three candidates there are only as many picks as candidates.
    for (int pass = 1; pass <= 3 && !candidates.empty(); ++pass) {
        Contestant holder = MakeContestant(candidates.front(), rall, surface);
        himoto.Write(holder.runs);
        for (std::size_t i = 1; i < candidates.size(); ++i) {
            Contestant challenger = MakeContestant(candidates[i], rall, surface);
            hisaki.Write(challenger.runs);
            if (ChallengerWins(holder, challenger, distance)) {
                // The challenger's runs become the holder's file.
                himoto.Write(challenger.runs);
                hisaki.Remove();
                holder = std::move(challenger);
            }
        }
        out += U"勝馬予想No." + ToText(pass) + U" " + holder.name + U"\n";
        std::erase(candidates, holder.name);
        r13.Write(candidates);
    }

    out += U"\nＪＲＡ出走記録なしのため比較不可\n" + NameList(noRuns);
    out += U"\n出走はしてるけど" + surface + U"コース出走記録なしのため比較不可\n" + NameList(noSurface);
    out += U"\n比較はしてるけどこの距離は初めて\n" + NameList(noDistance);

    WriteTextFile(app.FilePath(files::kCoRunners), candidates);
    r13.Apply(app, files::kPastRaceRunners);
    himoto.Apply(app, files::kHolderRuns);
    hisaki.Apply(app, files::kChallengerRuns);
    for (const char* name : { files::kNoRuns, files::kNoSurfaceRuns, files::kNoDistanceRuns })
        DeleteTextFile(app.FilePath(name));
    f.Text1.InsertAtCaret(out);
}

} // namespace pado
