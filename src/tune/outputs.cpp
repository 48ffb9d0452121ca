#include "tune/outputs.h"

#include "platform/errors.h"
#include "platform/fs.h"

namespace pado::tune {

using backtest::Fixed;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string TallyFields(const Tally& t, Objective o)
{
    return Fixed(t.Value(o), 4) + "," + std::to_string(t.races) + "," + std::to_string(t.markedRaces) + ","
        + std::to_string(t.marked) + "," + std::to_string(t.wins) + "," + std::to_string(t.top3) + ","
        + Fixed(t.winOddsSum, 1);
}

std::string Line(const std::string& label, const Tally& t, Objective o)
{
    return label + ": " + ObjectiveLabel(o) + " " + Fixed(t.Value(o), 1) + "%  (印のあるレース "
        + std::to_string(t.markedRaces) + "/" + std::to_string(t.races) + "、印の馬 " + std::to_string(t.marked) + ")";
}

std::string Write(const std::string& path, const std::string& bytes)
{
    if (fs::WriteBytesAtomic(path, bytes))
        return {};
    return "ファイル(" + path + ")を書き込めません。\n";
}

} // namespace

RunDescription DescribeRun(
    const TuneOptions& options, const backtest::EngineOptions& engine, const std::string& startFile)
{
    RunDescription run;
    run.from = backtest::DateText(options.from);
    run.to = backtest::DateText(options.to);
    run.holdout = backtest::DateText(options.holdout);
    run.venue = engine.query.venue;
    run.surface = engine.query.surface;
    run.mode = engine.mode;
    run.objective = options.objective;
    if (!startFile.empty())
        run.startLabel = "開始(" + fs::FileName(startFile) + ")";
    return run;
}

ChartSeries SeriesOf(const TuneResult& result, Objective o)
{
    ChartSeries s;
    std::size_t bestIndex = 0;
    for (const Evaluation& e : result.evaluations) {
        s.tuning.push_back(e.tuning.tally.Value(o));
        s.checking.push_back(e.checking.tally.Value(o));
        const Evaluation& held = result.evaluations[bestIndex];
        if (e.tuning.tally.markedRaces >= result.minRaces
            && (held.tuning.tally.markedRaces < result.minRaces || Better(e, held, o)))
            bestIndex = e.index;
        s.bestSoFar.push_back(result.evaluations[bestIndex].tuning.tally.Value(o));
        s.bestChecking.push_back(result.evaluations[bestIndex].checking.tally.Value(o));
    }
    return s;
}

std::string TuningCsv(const TuneResult& result, Objective o)
{
    std::string out = kBom + "evaluation,phase";
    for (std::size_t i = 1; i <= assistParamCount; ++i)
        out += ",p" + std::to_string(i);
    for (const char* period : { "tuning", "checking" })
        for (const char* field : { "objective", "races", "marked_races", "marked", "wins", "top3", "win_odds_sum" })
            out += std::string(",") + period + "_" + field;
    out += ",best\r\n";
    for (const Evaluation& e : result.evaluations) {
        out += std::to_string(e.index) + "," + e.phase;
        for (float v : e.values)
            out += "," + ToUtf8(ParameterText(v));
        out += "," + TallyFields(e.tuning.tally, o) + "," + TallyFields(e.checking.tally, o) + ","
            + (e.index == result.best ? "1" : "0") + "\r\n";
    }
    return out;
}

std::string TuneSummaryCsv(const TuneResult& result, const RunDescription& run)
{
    std::vector<std::string> labels;
    std::vector<std::vector<backtest::GroupStats>> rows;
    const Evaluation& start = result.Start();
    const Evaluation& best = result.Best();
    labels.push_back(run.startLabel + " 調整期間");
    rows.push_back(start.tuning.summary.Rows());
    labels.push_back("最良 調整期間");
    rows.push_back(best.tuning.summary.Rows());
    labels.push_back(run.startLabel + " 確認期間");
    rows.push_back(start.checking.summary.Rows());
    labels.push_back("最良 確認期間");
    rows.push_back(best.checking.summary.Rows());
    return kBom + backtest::SummaryCsv(labels, rows);
}

std::string TuneReport(const TuneResult& result, const RunDescription& run)
{
    const Objective o = run.objective;
    std::string out;
    if (result.evaluations.empty())
        return "評価できたパラメーターがありません。\n";
    const Evaluation& start = result.Start();
    const Evaluation& best = result.Best();
    out += "調整期間 " + run.from + "〜" + run.holdout + "の前日、確認期間 " + run.holdout + "〜" + run.to + "\n";
    out += "評価したパラメーター: " + std::to_string(result.evaluations.size())
        + " 組  (候補になる条件: 調整期間で印のあるレース " + std::to_string(result.minRaces) + " 以上)\n";
    out += Line(run.startLabel + " 調整期間", start.tuning.tally, o) + "\n";
    out += Line("最良 調整期間", best.tuning.tally, o) + "\n";
    out += Line(run.startLabel + " 確認期間", start.checking.tally, o) + "\n";
    out += Line("最良 確認期間", best.checking.tally, o) + "\n";
    if (result.best == 0)
        out += "開始のパラメーターより良い組は見つかりませんでした。\n";
    else {
        out += "変えたパラメーター:\n";
        for (std::size_t i = 0; i < assistParamCount; ++i)
            if (best.values[i] != start.values[i])
                out += "  " + std::to_string(i + 1) + " " + ToUtf8(ParameterFieldName(i)) + ": "
                    + ToUtf8(ParameterText(start.values[i])) + " → " + ToUtf8(ParameterText(best.values[i])) + "\n";
    }
    if (start.checking.tally.races == 0)
        out += "確認期間にレースがないため、確かめられていません。\n";
    else if (result.Overfit(o))
        out += std::string(kOverfitWarning) + ": 最良の組は確認期間で開始の組より悪い成績です。\n";
    else if (result.best != 0)
        out += "確認期間でも開始の組以上の成績です。\n";
    return out;
}

std::string FoldsCsv(const std::vector<FoldResult>& folds, Objective o)
{
    std::string out = kBom + "fold,checking_from,checking_to,evaluations";
    for (const char* part : { "start_tuning", "best_tuning", "start_checking", "best_checking" })
        for (const char* field : { "objective", "races", "marked_races", "marked", "wins", "top3", "win_odds_sum" })
            out += std::string(",") + part + "_" + field;
    for (std::size_t i = 1; i <= assistParamCount; ++i)
        out += ",p" + std::to_string(i);
    out += "\r\n";
    Tally start, best;
    for (std::size_t k = 0; k < folds.size(); ++k) {
        const FoldResult& f = folds[k];
        out += std::to_string(k + 1) + "," + f.checkFrom + "," + f.checkTo + "," + std::to_string(f.evaluations) + ","
            + TallyFields(f.startTuning, o) + "," + TallyFields(f.bestTuning, o) + "," + TallyFields(f.startChecking, o)
            + "," + TallyFields(f.bestChecking, o);
        for (float v : f.best)
            out += "," + ToUtf8(ParameterText(v));
        out += "\r\n";
        start.Merge(f.startChecking);
        best.Merge(f.bestChecking);
    }
    // The tuning columns of the total would add up overlapping periods: they stay empty.
    out += "合計" + std::string(18, ',') + TallyFields(start, o) + "," + TallyFields(best, o)
        + std::string(assistParamCount, ',') + "\r\n";
    return out;
}

std::string FoldsReport(const std::vector<FoldResult>& folds, Objective o)
{
    std::string out = "前へ進む検証 (各期間をその前の全レースで調整):\n";
    Tally start, best;
    for (std::size_t k = 0; k < folds.size(); ++k) {
        const FoldResult& f = folds[k];
        out += "  " + std::to_string(k + 1) + " " + f.checkFrom + "〜" + f.checkTo + ": 開始 "
            + Fixed(f.startChecking.Value(o), 1) + "% → 最良 " + Fixed(f.bestChecking.Value(o), 1)
            + "%  (印のあるレース " + std::to_string(f.bestChecking.markedRaces) + "/"
            + std::to_string(f.bestChecking.races) + ")\n";
        start.Merge(f.startChecking);
        best.Merge(f.bestChecking);
    }
    out += Line("  合計 開始", start, o) + "\n" + Line("  合計 最良", best, o) + "\n";
    if (best.Value(o) < start.Value(o))
        out += std::string("  ") + kOverfitWarning
            + ": 各期間で選んだ組は、その後のレースで開始の組より悪い成績です。\n";
    return out;
}

std::string WriteTuneOutputs(const std::string& dir, const TuneResult& result, const RunDescription& run,
    const std::function<std::string(const std::string&, const std::string&)>& drawChart)
{
    std::string problems;
    if (result.evaluations.empty())
        return "評価できたパラメーターがないため、何も書き出していません。\n";
    try {
        WriteParameterFile(fs::Join(dir, kTunedParamsFile), result.Best().values);
    } catch (const UserError& e) {
        problems += ToUtf8(e.Message()) + "\n";
    }
    problems += Write(fs::Join(dir, kTuningFile), TuningCsv(result, run.objective));
    problems += Write(fs::Join(dir, kTuneSummaryFile), TuneSummaryCsv(result, run));
    if (drawChart) {
        const std::string e = drawChart(fs::Join(dir, kTuneChartSvg), fs::Join(dir, kTuneChartPng));
        if (!e.empty())
            problems += e + "\n";
    }
    return problems;
}

} // namespace pado::tune
