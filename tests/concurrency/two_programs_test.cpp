// Programs on several threads of one process, as the backtest runs its races: each keeps to its own
// folder and files, and says exactly what it says alone. Built and run under ThreadSanitizer in CI.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <thread>

#include "backtest/make_race_source.h"
#include "backtest/outputs.h"
#include "platform/fs.h"
#include "replay.h"
#include "support/temp_dir.h"

namespace pado::testing {

namespace {

namespace fsys = std::filesystem;

const fsys::path kScenarios = fsys::path(PADO_SOURCE_DIR) / "tests" / "scenarios";

std::string FileText(const fsys::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The scenario's program folder as run-scenario lays it out, inside parent; then its script, line by line.
std::string Transcript(const std::string& scenario, const fsys::path& parent)
{
    const fsys::path dir = kScenarios / scenario, program = parent / "PADO";
    fsys::create_directories(program);
    const auto copy = fsys::copy_options::recursive | fsys::copy_options::overwrite_existing;
    std::istringstream uses(FileText(dir / "uses"));
    for (std::string folder; std::getline(uses, folder);)
        if (!folder.empty())
            fsys::copy(fsys::path(PADO_SOURCE_DIR) / folder, program, copy);
    if (fsys::is_directory(dir / "files"))
        fsys::copy(dir / "files", program, copy);
    if (fsys::is_directory(dir / "staging"))
        fsys::copy(dir / "staging", parent / "PADO-tdy", copy);
    std::ostringstream out;
    Replay replay(program.string(), out);
    std::istringstream script(FileText(dir / "script"));
    try {
        for (std::string line; std::getline(script, line);)
            replay.Run(line);
    } catch (const ScriptError& e) {
        out << "script error: " << e.message << "\n";
    }
    return out.str();
}

// Presses that keep files of a press in memory, parse pado.txt once, read and write repara.txt, write the
// memo and build the race workspace: all that used to be kept for the whole process.
const std::vector<std::string> kCases = { "assist-sample-turf-all", "assist-parameter-dialog", "passing-sample-race",
    "shape-sample-race", "detail-sample-race", "members-sample-statistics", "memo-overwrite", "assist-sample-dirt" };

} // namespace

TEST(TwoPrograms, SideBySideTheyWriteTheTranscriptsTheyWriteOneAfterTheOther)
{
    TempDir dir;
    std::map<std::string, std::string> alone;
    for (const std::string& c : kCases) {
        alone[c] = Transcript(c, fsys::path(dir.Path()) / ("alone-" + c));
        ASSERT_EQ(alone[c], FileText(kScenarios / c / "expected")) << c;
    }
    // Both threads run every case, in opposite orders, so the same presses overlap on the same file names.
    std::map<std::string, std::string> first, second;
    std::thread a([&] {
        for (const std::string& c : kCases)
            first[c] = Transcript(c, fsys::path(dir.Path()) / ("a-" + c));
    });
    std::thread b([&] {
        for (auto it = kCases.rbegin(); it != kCases.rend(); ++it)
            second[*it] = Transcript(*it, fsys::path(dir.Path()) / ("b-" + *it));
    });
    a.join();
    b.join();
    for (const std::string& c : kCases) {
        EXPECT_EQ(first[c], alone[c]) << c;
        EXPECT_EQ(second[c], alone[c]) << c;
    }
}

namespace {

MakeRaceSource::Config Races()
{
    MakeRaceSource::Config c;
    c.races = 9;
    c.entrants = 10;
    c.runs = 14;
    c.firstSeed = 41;
    c.unbuildable = { 4 };
    c.throwing = { 6 };
    return c;
}

// Every output of a run with jobs, as bytes.
std::map<std::string, std::string> Outputs(int jobs, int mode)
{
    TempDir out;
    const MakeRaceSource::Config config = Races();
    MakeRaceSource listing(config);
    backtest::EngineOptions options;
    options.mode = mode;
    options.jobs = jobs;
    options.query.from = { 2000, 1, 1 };
    options.query.to = { 2100, 1, 1 };
    options.params = { { "既定", "" }, { "変更", "" } };
    backtest::RunBacktestIntoFolder(
        options, listing, [config] { return std::make_unique<MakeRaceSource>(config); }, out.Path(), {});
    std::map<std::string, std::string> files;
    for (const std::string& name : fs::FilesIn(out.Path()))
        files[name] = FileText(out.File(name));
    return files;
}

} // namespace

// The races run on a pool of threads; one job, two or four give the same files byte for byte, a race that
// throws included.
TEST(TwoPrograms, BacktestOutputsAreTheSameForAnyNumberOfJobs)
{
    for (int mode : { 3, 4 }) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const auto one = Outputs(1, mode);
        ASSERT_EQ(one.size(), 4u); // marks.csv, marks-2.csv, failures.csv, summary.csv
        EXPECT_NE(one.at("failures.csv").find(MakeRaceSource::RaceId(6)), std::string::npos);
        EXPECT_EQ(Outputs(2, mode), one);
        EXPECT_EQ(Outputs(4, mode), one);
    }
}

} // namespace pado::testing
