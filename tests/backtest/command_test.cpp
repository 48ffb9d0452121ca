// The backtest command as a user runs it: its exit codes and messages, and with a store its outputs.
#ifdef PADO_IMPORT

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "backtest/backtest_support.h"
#include "support/temp_dir.h"

namespace pado::testing {

namespace {

struct Result {
    int status = -1;
    std::string output; // standard output and error together
};

Result Command(const std::string& arguments)
{
    Result r;
    std::FILE* p = ::popen(("'" PADO_IMPORT "' backtest " + arguments + " 2>&1").c_str(), "r");
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.output.append(buf, n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace

// Mistakes on the command line end the run at once with status 2 and say what is wrong; a store that is not
// there is reported with status 1 and leaves no output folder.
TEST(BacktestCommand, RefusesBadArgumentsBeforeAnyWork)
{
    TempDir dir;
    const std::string period = " --from 2026-01-01 --to 2026-12-31 --store '" + dir.File("none.sqlite") + "'";
    const struct {
        std::string args, says;
    } cases[] = {
        { "--from 2026-02-30 --to 2026-03-01", "--from と --to" },
        { "--from 2026-03-01 --to 2026-02-01", "--to が --from より前" },
        { period + " --venue 東都", "--venue" },
        { period + " --surface 砂", "--surface" },
        { period + " --mode 5", "--mode" },
        { period + " --jobs 0", "--jobs" },
        { period + " --params '" + dir.File("missing.txt") + "'", "missing.txt" },
        { period + " --colour red", "--colour" },
        { period + " --mode", "--mode に値がありません" },
    };
    for (const auto& c : cases) {
        Result r = Command(c.args);
        EXPECT_EQ(r.status, 2) << c.args << "\n" << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << "\n" << r.output;
    }
    Result r = Command(period + " --out '" + dir.File("out") + "'");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("none.sqlite"), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out")));
}

#ifdef PADO_IMPORT
// On a store of make-race's emitted world: every output, the table printed, status 0.
TEST(BacktestCommand, WritesEveryOutputForAStore)
{
    TempDir dir;
    const std::string store = dir.File("races.sqlite");
    ASSERT_EQ(std::system(("'" PADO_MAKE_RACE "' --emit csv '" + dir.File("world") + "' > /dev/null").c_str()), 0);
    ASSERT_EQ(
        std::system(("'" PADO_IMPORT "' add --store '" + store + "' '" + dir.File("world") + "' > /dev/null").c_str()),
        0);
    WriteParams(dir.File("a.txt"), {});
    WriteParams(dir.File("b.txt"), { { 4, 1.5f } });
    Result r = Command("--store '" + store + "' --from 2026-10-01 --to 2026-12-26 --mode 2 --jobs 2 --params '"
        + dir.File("a.txt") + "' --params '" + dir.File("b.txt") + "' --out '" + dir.File("out") + "'");
    EXPECT_NE(r.output.find("差 (b.txt - a.txt)"), std::string::npos) << r.output;
    for (const char* name : { "marks.csv", "marks-2.csv", "summary.csv", "failures.csv" })
        EXPECT_TRUE(std::filesystem::exists(dir.File("out/") + name)) << name;
#ifdef PADO_BACKTEST_NO_CHART
    // Built without the front end: the tables are written, the missing chart is reported.
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/summary.svg")));
#else
    EXPECT_EQ(r.status, 0) << r.output;
    for (const char* name : { "summary.svg", "summary.png" })
        EXPECT_TRUE(std::filesystem::exists(dir.File("out/") + name)) << name;
#endif
    EXPECT_GT(ReadCsv(dir.File("out/marks.csv")).size(), 10u);
}
#endif

} // namespace pado::testing

#endif
