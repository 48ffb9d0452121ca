// pado-import backtest: replays the assist on every stored race of a period and compares its marks with
// the results.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "backtest/outputs.h"
#include "backtest/store_source.h"
#include "backtest/summary.h"
#ifndef PADO_BACKTEST_NO_CHART
#include "gui/backtest_chart.h"
#endif
#include "command_args.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"

using namespace pado;
using namespace pado::backtest;
using namespace pado::import;

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int)
{
    interrupted = 1;
}

const char* const kUsage
    = "使い方: pado-import backtest [--store F] --from YYYY-MM-DD --to YYYY-MM-DD [--venue 中山] [--surface 芝|ダ|障]\n"
      "                            [--mode 1|2|3|4] [--params FILE]... [--past-runs N] [--jobs N] [--out DIR]\n";

int UsageError(const std::string& message)
{
    std::cerr << "pado-import backtest: " << message << "\n" << kUsage;
    return 2;
}

std::string Duration(double seconds)
{
    long s = static_cast<long>(seconds + 0.5);
    char buf[32];
    if (s >= 3600)
        std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
    return buf;
}

} // namespace

int RunBacktestCommand(int argc, char** argv)
{
    EngineOptions options;
    options.params.clear();
    options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::string store = DefaultStorePath(), from, to, out;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
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
        else if (ParseRaceFilter(a, v, options.query, error)) {
            if (!error.empty())
                return UsageError(error);
        } else if (a == "--mode") {
            if (!ParseCount(v, 1, 4, n))
                return UsageError("--mode は 1〜4 です。");
            options.mode = static_cast<int>(n);
        } else if (a == "--params")
            options.params.push_back({ fs::FileName(v), v });
        else if (a == "--past-runs") {
            if (!ParseCount(v, 1, 60, n))
                return UsageError("--past-runs は 1〜60 です。");
            options.pastRuns = static_cast<int>(n);
        } else if (a == "--jobs") {
            if (!ParseCount(v, 1, 256, n))
                return UsageError("--jobs は 1〜256 です。");
            options.jobs = static_cast<int>(n);
        } else if (a == "--out")
            out = v;
        else
            return UsageError("知らないオプションです: " + a);
    }
    if (!ParseDate(from, options.query.from) || !ParseDate(to, options.query.to))
        return UsageError("--from と --to に YYYY-MM-DD の日付を指定してください。");
    if (options.query.to < options.query.from)
        return UsageError("--to が --from より前です。");
    if (options.params.empty())
        options.params.push_back({ "既定", "" });
    // Each file is read now, so that a typo ends the run before hours of work rather than after.
    for (std::size_t i = 0; i < options.params.size(); ++i) {
        ParamSet& p = options.params[i];
        if (p.file.empty())
            continue;
        try {
            ReadTextFile(p.file);
        } catch (const UserError& e) {
            std::cerr << "pado-import backtest: " << ToUtf8(e.Message()) << "\n";
            return 2;
        }
        for (std::size_t k = 0; k < i; ++k)
            if (options.params[k].label == p.label)
                p.label += "(" + std::to_string(i + 1) + ")";
    }
    std::string error;
    std::unique_ptr<RaceSource> listing = OpenStoreSource(store, error);
    if (!listing) {
        std::cerr << "pado-import backtest: " << error << "\n";
        return 1;
    }
    if (out.empty())
        out = "backtest-" + from + "-" + to;
    if (!MakeFolders(out)) {
        std::cerr << "pado-import backtest: 出力フォルダー(" << out << ")を作成できません。\n";
        return 1;
    }

    RaceSourceFactory factory = StoreSourceFactory(store);

    const bool terminal = ::isatty(STDERR_FILENO);
    bool progressShown = false;
    double lastShown = -1;
    auto clearProgress = [&] {
        if (progressShown)
            std::cerr << "\r\x1b[K";
        progressShown = false;
    };
    EngineCallbacks callbacks;
    callbacks.stop = [] { return interrupted != 0; };
    callbacks.race = [&](const RaceResult& r) {
        if (r.ok)
            return;
        clearProgress();
        std::cerr << "失敗 " << r.race.raceId << ": " << r.reason << "\n";
    };
    callbacks.progress = [&](const Progress& p) {
        if (!terminal || (p.seconds - lastShown < 0.2 && p.done != p.total))
            return;
        lastShown = p.seconds;
        const double rate = p.seconds > 0 ? static_cast<double>(p.done) / p.seconds : 0;
        const double left = rate > 0 && p.total > p.done ? static_cast<double>(p.total - p.done) / rate : 0;
        char buf[160];
        std::snprintf(buf, sizeof buf, "\r\x1b[K%zu/%zu レース  %.1f レース/秒  残り %s", p.done, p.total, rate,
            Duration(left).c_str());
        std::cerr << buf << std::flush;
        progressShown = true;
    };

    struct sigaction sa { };
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    // Ctrl+C, a closed terminal and a polite kill all end the run the same way: no folder left behind.
    const int signals[] = { SIGINT, SIGTERM, SIGHUP };
    struct sigaction previous[3] {};
    for (int i = 0; i < 3; ++i)
        sigaction(signals[i], &sa, &previous[i]);
    BacktestRun run = RunBacktestIntoFolder(options, *listing, factory, out, callbacks);
    const EngineReport& report = run.report;
    const auto& labels = run.labels;
    const auto& rows = run.rows;
    bool written = run.written;
    for (int i = 0; i < 3; ++i)
        sigaction(signals[i], &previous[i], nullptr);
    clearProgress();

    const std::string title = "アシストの印と結果 " + from + "〜" + to
        + (options.query.venue.empty() ? "" : " " + options.query.venue)
        + (options.query.surface.empty() ? "" : " " + options.query.surface) + " (モード" + std::to_string(options.mode)
        + ")";
#ifndef PADO_BACKTEST_NO_CHART
    std::string chartError = gui::WriteBacktestChart(
        gui::BacktestChartData(title, labels, rows), fs::Join(out, "summary.svg"), fs::Join(out, "summary.png"));
#else
    std::string chartError = "このビルドにはグラフを描く機能がありません(summary.svg と summary.png は書きません)。";
#endif

    std::cout << SummaryTable(labels, rows) << "\n";
    std::cout << "レース: " << report.total << "  処理: " << report.done - report.failed << "  失敗: " << report.failed
              << (report.failed ? " (failures.csv)" : "") << "\n";
    std::cout << "出力: " << out << "/\n";
    int status = 0;
    if (!report.error.empty()) {
        std::cerr << "pado-import backtest: " << report.error << "\n";
        status = 1;
    }
    if (report.interrupted && report.error.empty()) {
        std::cerr << "中断しました: " << report.total << " レースのうち " << report.done
                  << " レースを処理し、その結果を書き出しました。\n";
        status = 1;
    }
    if (!chartError.empty()) {
        std::cerr << "pado-import backtest: " << chartError << "\n";
        status = 1;
    }
    if (!written) {
        std::cerr << "pado-import backtest: 出力フォルダー(" << out << ")に書き込めません。\n";
        status = 1;
    }
    if (report.failed)
        status = 1;
    if (report.total == 0 && report.error.empty()) {
        std::cerr << "pado-import backtest: 期間に結果のあるレースがありません。\n";
        status = 1;
    }
    return status;
}
