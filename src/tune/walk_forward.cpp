#include "tune/walk_forward.h"

#include "platform/clock.h"
#include "platform/fs.h"

namespace pado::tune {

namespace {

int DayNumber(const Date& d)
{
    return DaysFromCivil(d.year, d.month, d.day);
}

Date DateOfDay(int day)
{
    Date d;
    CivilFromDays(day, d.year, d.month, d.day);
    return d;
}

} // namespace

int CheckingDays(const TuneOptions& options)
{
    return DayNumber(options.to) - DayNumber(options.holdout) + 1;
}

bool FoldsFit(const TuneOptions& options, int folds)
{
    return folds >= 0 && folds <= CheckingDays(options);
}

WalkForward RunWalkForward(Evaluator& evaluator, const TuneOptions& options, int folds, const TuneCallbacks& callbacks,
    const std::function<void(int)>& started)
{
    WalkForward walk;
    if (folds <= 0)
        return walk;
    if (!FoldsFit(options, folds)) {
        walk.cutShort = true;
        walk.error = "前へ進む検証の期間の数が確認期間の日数より多くなっています。";
        return walk;
    }
    const int first = DayNumber(options.holdout);
    const int days = CheckingDays(options);
    // Part k starts on the day k/folds of the way through the checking period; the last ends on options.to.
    auto start = [&](int part) { return first + static_cast<int>(static_cast<long long>(days) * part / folds); };
    for (int k = 0; k < folds; ++k) {
        if (callbacks.stop && callbacks.stop()) {
            walk.cutShort = true;
            break;
        }
        if (started)
            started(k);
        TuneOptions f = options;
        f.holdout = DateOfDay(start(k));
        f.to = DateOfDay(start(k + 1) - 1);
        const TuneResult r = Tune(evaluator, f, callbacks);
        if (!r.error.empty() || r.evaluations.empty() || r.interrupted) {
            walk.cutShort = true;
            walk.error = r.error;
            break;
        }
        FoldResult fr;
        fr.checkFrom = IsoDateText(f.holdout);
        fr.checkTo = IsoDateText(f.to);
        fr.evaluations = r.evaluations.size();
        fr.startTuning = r.Start().tuning.tally;
        fr.bestTuning = r.Best().tuning.tally;
        fr.startChecking = r.Start().checking.tally;
        fr.bestChecking = r.Best().checking.tally;
        fr.best = r.Best().values;
        walk.folds.push_back(fr);
    }
    return walk;
}

std::string CutShortNote(const WalkForward& walk, int folds)
{
    if (folds <= 0 || static_cast<int>(walk.folds.size()) >= folds)
        return {};
    return "前へ進む検証は " + std::to_string(walk.folds.size()) + "/" + std::to_string(folds)
        + " 期間で中断しました。\n";
}

std::string WriteWalkForward(const std::string& dir, const WalkForward& walk, Objective o)
{
    if (walk.folds.empty())
        return {};
    const std::string path = fs::Join(dir, kFoldsFile);
    if (!fs::WriteBytesAtomic(path, FoldsCsv(walk.folds, o)))
        return "ファイル(" + path + ")を書き込めません。\n";
    return {};
}

} // namespace pado::tune
