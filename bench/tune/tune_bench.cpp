// The tuner's speed and memory on invented races of 16 entrants in assist mode 3 with two jobs: the processor
// time per race and parameter set once the races are built, and the peak memory with 3,000 races built.
// Arguments: races sets memory-races (1000 200 3000); fewer sets give the same per-set figure sooner.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "backtest/make_race_source.h"
#include "backtest/race_assist.h"
#include "tune/evaluator.h"
#include "tune/tuner.h"

using namespace pado;

namespace {

double CpuSeconds()
{
    struct rusage u { };
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

testing::MakeRaceSource::Config Races(int races)
{
    testing::MakeRaceSource::Config config;
    config.races = races;
    config.entrants = 16;
    config.runs = 24;
    return config;
}

backtest::EngineOptions Engine()
{
    backtest::EngineOptions e;
    e.mode = 3;
    e.jobs = 2;
    return e;
}

std::vector<tune::ParamValues> Sets(std::size_t n, std::size_t offset)
{
    std::vector<tune::ParamValues> sets;
    const tune::SearchSpace space = tune::SearchSpace::Default();
    for (std::size_t k = 0; k < n; ++k) {
        tune::ParamValues v = DefaultAssistParameters();
        for (std::size_t i = 0; i < assistParamCount; ++i)
            v[i]
                = space[i].Value(static_cast<int>((k + offset) * (i + 3) % static_cast<std::size_t>(space[i].Count())));
        sets.push_back(v);
    }
    return sets;
}

void Speed(int races, int sets)
{
    const auto config = Races(races);
    testing::MakeRaceSource listing(config);
    auto evaluator = tune::MakeRaceEvaluator(
        Engine(), listing, [config] { return std::make_unique<testing::MakeRaceSource>(config); });
    const Date from { 2000, 1, 1 }, to { 2100, 1, 1 };
    std::size_t visited = 0;
    auto visit = [&](const backtest::RaceOutcome&, const std::vector<tune::RaceMarks>&) { ++visited; };
    double cpu = CpuSeconds();
    auto start = std::chrono::steady_clock::now();
    tune::EvalReport built = evaluator->Run(from, to, {}, visit, {});
    const double buildCpu = CpuSeconds() - cpu;
    const double buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu = CpuSeconds();
    start = std::chrono::steady_clock::now();
    std::size_t failed = 0;
    for (int done = 0; done < sets; done += 16) {
        tune::EvalReport r = evaluator->Run(from, to,
            Sets(static_cast<std::size_t>(std::min(16, sets - done)), static_cast<std::size_t>(done)), visit, {});
        failed += r.failed;
    }
    const double runCpu = CpuSeconds() - cpu;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perRaceSet = runCpu * 1000 / (static_cast<double>(races) * sets);
    std::printf("tune: %d races built as of their mornings in %.1f s (%.1f processor s, %zu failed)\n", races,
        buildSeconds, buildCpu, built.failed);
    std::printf("tune: %d races x %d sets, mode 3, --jobs 2: %.1f s, %.1f processor s; %.2f ms processor time per race "
                "and set %s (target at most 3 ms; %zu race runs failed)\n",
        races, sets, seconds, runCpu, perRaceSet, perRaceSet <= 3 ? "PASS" : "FAIL", failed);
}

// In a process of its own, so that the peak is this part's alone.
void Memory(int races)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid != 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        return;
    }
    const auto config = Races(races);
    testing::MakeRaceSource listing(config);
    auto evaluator = tune::MakeRaceEvaluator(
        Engine(), listing, [config] { return std::make_unique<testing::MakeRaceSource>(config); });
    std::size_t visited = 0;
    // One set: the marks of a batch are handed on race by race, so the built races are what grows.
    evaluator->Run({ 2000, 1, 1 }, { 2100, 1, 1 }, Sets(1, 0),
        [&](const backtest::RaceOutcome&, const std::vector<tune::RaceMarks>&) { ++visited; }, {});
    // The built races wait on a disk, whose pages the system can take back; only the program folders of
    // the races in hand are in a memory file system, and a memory file system is the machine's memory.
    auto folderMiB = [](const std::string& base) {
        std::uintmax_t bytes = 0;
        std::error_code ec;
        const std::string mine = "pado-backtest-" + std::to_string(::getpid()) + "-";
        for (const auto& top : std::filesystem::directory_iterator(base, ec)) {
            if (top.path().filename().string().rfind(mine, 0) != 0)
                continue;
            for (auto it = std::filesystem::recursive_directory_iterator(top.path(), ec);
                 !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
                if (it->is_regular_file(ec))
                    bytes += it->file_size(ec);
        }
        return static_cast<double>(bytes) / (1024.0 * 1024.0);
    };
    const std::string kept = backtest::KeptWorkBase(), presses = backtest::DefaultWorkBase();
    const double keptMiB = folderMiB(kept), pressMiB = kept == presses ? 0 : folderMiB(presses);
    struct rusage self { };
    getrusage(RUSAGE_SELF, &self);
    const double mib = self.ru_maxrss / 1024.0;
    std::printf("tune: %d races built and assisted once: peak memory %.1f MiB and %.1f MiB of files in %s %s (target "
                "under 500 MiB; the built races take %.1f MiB on %s)\n",
        races, mib, pressMiB, presses.c_str(), mib + pressMiB < 500 ? "PASS" : "FAIL", keptMiB, kept.c_str());
    std::fflush(stdout);
    _exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    const int races = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int sets = argc > 2 ? std::atoi(argv[2]) : 200;
    const int memoryRaces = argc > 3 ? std::atoi(argv[3]) : 3000;
    Speed(races, sets);
    Memory(memoryRaces);
    return 0;
}
