// pado-import tune: searches the assist's parameters on the stored races before a day and checks the best
// set on the races from that day on.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>

#include "backtest/store_source.h"
#include "command_args.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "tune/outputs.h"
#include "tune/walk_forward.h"
#ifndef PADO_BACKTEST_NO_CHART
#include "gui/tune_chart.h"
#endif

using namespace pado;
using namespace pado::backtest;
using namespace pado::tune;
using namespace pado::import;

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int)
{
    interrupted = 1;
}

const char* const kUsage
    = "使い方: pado-import tune [--store F] --from YYYY-MM-DD --to YYYY-MM-DD --holdout YYYY-MM-DD [--venue 中山]\n"
      "                        [--surface 芝|ダ|障] [--mode 1|2|3|4] [--objective top3|win|return] [--params START]\n"
      "                        [--space FILE] [--budget N | --minutes M] [--seed S] [--min-races N] [--jobs N]\n"
      "                        [--folds K] [--past-runs N] [--out DIR]\n"
      "       pado-import tune --print-space [--space FILE]\n";

int UsageError(const std::string& message)
{
    std::cerr << "pado-import tune: " << message << "\n" << kUsage;
    return 2;
}

} // namespace

int RunTuneCommand(int argc, char** argv)
{
    EngineOptions engine;
    engine.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    TuneOptions options;
    options.start = DefaultAssistParameters();
    std::string store = DefaultStorePath(), from, to, holdout, out, spaceFile, paramsFile;
    bool printSpace = false, budgetGiven = false;
    int folds = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--print-space") {
            printSpace = true;
            continue;
        }
        if (i + 1 >= argc)
            return UsageError(a + " に値がありません。");
        const std::string v = argv[++i];
        long long n = 0;
        std::string error;
        if (a == "--store")
            store = v;
        else if (a == "--from")
            from = v;
        else if (a == "--to")
            to = v;
        else if (a == "--holdout")
            holdout = v;
        else if (ParseRaceFilter(a, v, engine.query, error)) {
            if (!error.empty())
                return UsageError(error);
        } else if (a == "--mode") {
            if (!ParseCount(v, 1, 4, n))
                return UsageError("--mode は 1〜4 です。");
            engine.mode = static_cast<int>(n);
        } else if (a == "--objective") {
            if (!ParseObjective(v, options.objective))
                return UsageError("--objective は top3・win・return のどれかです。");
        } else if (a == "--params")
            paramsFile = v;
        else if (a == "--space")
            spaceFile = v;
        else if (a == "--budget") {
            if (!ParseCount(v, 1, 1000000, n))
                return UsageError("--budget は 1〜1000000 です。");
            options.budget = static_cast<std::size_t>(n);
            budgetGiven = true;
        } else if (a == "--minutes") {
            char* end = nullptr;
            const double m = std::strtod(v.c_str(), &end);
            if (v.empty() || *end || !(m > 0) || m > 100000)
                return UsageError("--minutes は正の数です。");
            options.minutes = m;
        } else if (a == "--seed") {
            if (!ParseCount(v, 0, 999999999999, n))
                return UsageError("--seed は 0 以上の整数です。");
            options.seed = static_cast<std::uint64_t>(n);
        } else if (a == "--min-races") {
            if (!ParseCount(v, 1, 10000000, n))
                return UsageError("--min-races は 1 以上です。");
            options.minRaces = static_cast<std::size_t>(n);
        } else if (a == "--folds") {
            if (!ParseCount(v, 1, 50, n))
                return UsageError("--folds は 1〜50 です。");
            folds = static_cast<int>(n);
        } else if (a == "--jobs") {
            if (!ParseCount(v, 1, 256, n))
                return UsageError("--jobs は 1〜256 です。");
            engine.jobs = static_cast<int>(n);
        } else if (a == "--past-runs") {
            if (!ParseCount(v, 1, 60, n))
                return UsageError("--past-runs は 1〜60 です。");
            engine.pastRuns = static_cast<int>(n);
        } else if (a == "--out")
            out = v;
        else
            return UsageError("知らないオプションです: " + a);
    }
    if (!spaceFile.empty()) {
        std::string why;
        if (!options.space.ApplyFile(spaceFile, why)) {
            std::cerr << "pado-import tune: " << why << "\n";
            return 2;
        }
    }
    if (printSpace) {
        std::cout << options.space.Describe();
        return 0;
    }
    Date fromDate, toDate, holdoutDate;
    if (!ParseDate(from, fromDate) || !ParseDate(to, toDate))
        return UsageError("--from と --to に YYYY-MM-DD の日付を指定してください。");
    if (toDate < fromDate)
        return UsageError("--to が --from より前です。");
    if (!ParseDate(holdout, holdoutDate))
        return UsageError("--holdout に YYYY-MM-DD の日付を指定してください。");
    if (!(fromDate < holdoutDate) || toDate < holdoutDate)
        return UsageError("--holdout は --from より後、--to 以前の日付です。");
    options.from = fromDate;
    options.to = toDate;
    options.holdout = holdoutDate;
    if (!FoldsFit(options, folds))
        return UsageError("--folds が確認期間の日数より多くなっています。");
    if (budgetGiven && options.minutes > 0)
        return UsageError("--budget と --minutes はどちらか一方です。");
    if (!budgetGiven && options.minutes > 0)
        options.budget = 1000000;
    if (!paramsFile.empty()) {
        try {
            options.start = ReadParameterFile(paramsFile);
        } catch (const UserError& e) {
            std::cerr << "pado-import tune: " << ToUtf8(e.Message()) << "\n";
            return 2;
        }
    }
    const RunDescription run = DescribeRun(options, engine, paramsFile);

    std::string error;
    std::unique_ptr<RaceSource> listing = OpenStoreSource(store, error);
    if (!listing) {
        std::cerr << "pado-import tune: " << error << "\n";
        return 1;
    }
    if (out.empty())
        out = "tune-" + from + "-" + to;
    if (!MakeFolders(out)) {
        std::cerr << "pado-import tune: 出力フォルダー(" << out << ")を作成できません。\n";
        return 1;
    }
    RaceSourceFactory factory = StoreSourceFactory(store);
    std::unique_ptr<Evaluator> evaluator = MakeRaceEvaluator(engine, *listing, factory);

    const bool terminal = ::isatty(STDERR_FILENO);
    TuneCallbacks callbacks;
    callbacks.stop = [] { return interrupted != 0; };
    callbacks.progress = [&](const std::vector<Evaluation>& evals, std::size_t best) {
        if (!terminal)
            return;
        char buf[200];
        std::snprintf(buf, sizeof buf, "\r\x1b[K%zu/%zu 組  最良 %s %.1f%%", evals.size(), options.budget,
            ObjectiveLabel(options.objective), evals[best].tuning.tally.Value(options.objective));
        std::cerr << buf << std::flush;
    };
    struct sigaction sa { };
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    const int signals[] = { SIGINT, SIGTERM, SIGHUP };
    struct sigaction previous[3] {};
    for (int i = 0; i < 3; ++i)
        sigaction(signals[i], &sa, &previous[i]);
    TuneResult result = Tune(*evaluator, options, callbacks);
    if (terminal)
        std::cerr << "\r\x1b[K";
    for (std::string f : result.failures) {
        // A reason may quote the race's own text: nothing of it reaches the terminal as a control sequence.
        for (char& c : f)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                c = '?';
        std::cerr << "失敗 " << f << "\n";
    }
    if (!result.error.empty()) {
        std::cerr << "pado-import tune: " << result.error << "\n";
        return 1;
    }
    if (result.evaluations.empty()) {
        std::cerr << "pado-import tune: 中断しました。評価できた組がないため、何も書き出していません。\n";
        return 1;
    }
    auto chart = [&](const std::string& svg, const std::string& png) -> std::string {
#ifndef PADO_BACKTEST_NO_CHART
        return gui::WriteTuneChart(gui::TuneChartDataOf(result, options.objective, gui::TuneChartTitle(run)), svg, png);
#else
        (void)svg;
        (void)png;
        return "このビルドにはグラフを描く機能がありません(tuning.svg と tuning.png は書きません)。";
#endif
    };
    std::string problems = WriteTuneOutputs(out, result, run, chart);
    WalkForward walk;
    if (!result.interrupted)
        walk = RunWalkForward(*evaluator, options, folds, callbacks);
    evaluator.reset();
    if (terminal)
        std::cerr << "\r\x1b[K";
    problems += CutShortNote(walk, folds) + WriteWalkForward(out, walk, options.objective);
    if (!walk.error.empty())
        problems += "前へ進む検証: " + walk.error + "\n";
    std::cout << TuneReport(result, run);
    std::cout << "レース: 調整 " << result.Start().tuning.tally.races << "  確認 "
              << result.Start().checking.tally.races << "  失敗 " << result.failed << "\n";
    for (int i = 0; i < 3; ++i)
        sigaction(signals[i], &previous[i], nullptr);
    if (!walk.folds.empty())
        std::cout << FoldsReport(walk.folds, options.objective);
    std::cout << "出力: " << out << "/\n";
    int status = 0;
    if (!problems.empty()) {
        std::cerr << "pado-import tune: " << problems;
        status = 1;
    }
    if (result.interrupted) {
        std::cerr << "中断しました: " << result.evaluations.size() << " 組の結果を書き出しました。\n";
        status = 1;
    }
    if (result.failed)
        status = 1;
    if (result.Start().tuning.tally.races == 0) {
        std::cerr << "pado-import tune: 調整期間に結果のあるレースがありません。\n";
        status = 1;
    }
    return status;
}
