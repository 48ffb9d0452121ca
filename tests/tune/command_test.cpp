#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

#include "support/temp_dir.h"

#ifdef PADO_IMPORT
namespace pado::testing {
namespace {

// Runs pado-import tune with args; the exit status, and stdout and stderr together in out.
int Tune(const std::string& args, std::string& out)
{
    out.clear();
    FILE* p = ::popen(("'" PADO_IMPORT "' tune " + args + " 2>&1").c_str(), "r");
    if (!p)
        return -1;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int status = ::pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TuneCommand, PrintsTheSpaceAndRefusesWrongArgumentsBeforeAnyWork)
{
    TempDir dir;
    std::string out;
    ASSERT_EQ(Tune("--print-space", out), 0) << out;
    EXPECT_NE(out.find("【ファクター】季節 \"s\""), std::string::npos);
    EXPECT_NE(out.find("  14  30      720     30"), std::string::npos) << out;

    if (FILE* f = std::fopen(dir.File("space.txt").c_str(), "wb")) {
        std::fputs("14=300\n5=1:0:0.1\n", f);
        std::fclose(f);
    }
    EXPECT_EQ(Tune("--print-space --space '" + dir.File("space.txt") + "'", out), 2);
    EXPECT_NE(out.find("2 行目"), std::string::npos) << out;
    EXPECT_EQ(Tune("--print-space --space '" + dir.File("none.txt") + "'", out), 2);

    const std::string store = " --store '" + dir.File("none.sqlite") + "' --out '" + dir.File("out") + "'";
    const std::string period = " --from 2020-01-01 --to 2020-12-31";
    for (const std::string& bad :
        { period, period + " --holdout 2019-06-01", period + " --holdout 2020-01-01", period + " --holdout 2021-01-01",
            period + " --holdout 2020-06-01 --budget 5 --minutes 1", period + " --holdout 2020-06-01 --objective place",
            period + " --holdout 2020-06-01 --budget 0", period + " --holdout 2020-06-01 --mode 5",
            period + " --holdout 2020-06-01 --frobnicate 1", period + " --holdout 2020-12-30 --folds 3",
            std::string(" --from 2020-02-30 --to 2020-12-31 --holdout 2020-06-01") }) {
        EXPECT_EQ(Tune(bad + store, out), 2) << bad << "\n" << out;
        EXPECT_NE(out.find("使い方"), std::string::npos) << bad;
    }
    // A start file that cannot be read ends the run before the store is opened.
    EXPECT_EQ(Tune(period + " --holdout 2020-06-01 --params '" + dir.File("none.txt") + "'" + store, out), 2);
    EXPECT_NE(out.find("none.txt"), std::string::npos) << out;
}

} // namespace
} // namespace pado::testing
#endif
