#include "backtest/backtest_support.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "assist/parameters.h"
#include "platform/textfile.h"

namespace pado::testing {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::vector<std::string>> ReadCsv(const std::string& path)
{
    std::string text = Slurp(path);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF") << path << " starts without a byte order mark";
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 3; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r') {
        } else if (c == '\n') {
            row.push_back(field);
            field.clear();
            rows.push_back(row);
            row.clear();
        } else {
            field += c;
        }
    }
    return rows;
}

void WriteParams(const std::string& path, const std::vector<std::pair<int, float>>& changes)
{
    auto values = DefaultAssistParameters();
    for (auto [index, value] : changes)
        values[static_cast<std::size_t>(index)] = value;
    Lines lines;
    for (float v : values)
        lines.push_back(ParameterText(v));
    WriteTextFile(path, lines);
}

backtest::EngineOptions Options(int mode, int jobs)
{
    backtest::EngineOptions o;
    o.mode = mode;
    o.jobs = jobs;
    o.query.from = { 2000, 1, 1 };
    o.query.to = { 2100, 12, 31 };
    return o;
}

backtest::BacktestRun Backtest(const MakeRaceSource::Config& config, backtest::EngineOptions options,
    const std::string& outDir, backtest::EngineCallbacks callbacks)
{
    MakeRaceSource listing(config);
    return backtest::RunBacktestIntoFolder(
        options, listing, [config] { return std::make_unique<MakeRaceSource>(config); }, outDir, std::move(callbacks));
}

} // namespace pado::testing
