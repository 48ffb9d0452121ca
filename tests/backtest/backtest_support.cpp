#include "backtest/backtest_support.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "assist/parameters.h"
#include "platform/textfile.h"

namespace pado::testing {

namespace {

// Decodes the JSON string that starts at s[0] (the opening quote), as the replay driver writes them.
std::string JsonString(const std::string& s)
{
    std::string out;
    for (std::size_t i = 1; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        char e = s[++i];
        if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == 't')
            out += '\t';
        else if (e == 'u') {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 4), nullptr, 16));
            i += 4;
        } else
            out += e;
    }
    return out;
}

} // namespace

// The memo pad before and after the replay driver presses the assist on the race files in folder.
std::pair<Text, Text> ReplayAssist(const std::string& folder, const Date& today, int mode)
{
    const Text raceName = ReadTextFile(folder + "/R1.txt").at(0);
    char date[32];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", today.year, today.month, today.day);
    const std::string script = folder + "/../script.txt";
    std::FILE* f = std::fopen(script.c_str(), "w");
    std::fprintf(f,
        "today %s\nstart\nprint Form3.Text1\nhighlight %s\nanswer dialog click Form5.Option%d ; click Form5.Command1\n"
        "click Form1.Image6\nprint Form3.Text1\n",
        date, ToUtf8(raceName).c_str(), mode);
    std::fclose(f);
    std::FILE* p = ::popen(("'" PADO_REPLAY "' '" + folder + "' '" + script + "'").c_str(), "r");
    std::string transcript;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        transcript.append(buf, n);
    EXPECT_EQ(::pclose(p), 0) << transcript;
    std::vector<Text> memos;
    const std::string prefix = "text Form3.Text1 ";
    for (std::size_t pos = 0; (pos = transcript.find(prefix, pos)) != std::string::npos; pos += prefix.size())
        memos.push_back(FromUtf8(JsonString(transcript.substr(pos + prefix.size()))));
    EXPECT_EQ(memos.size(), 2u) << transcript;
    memos.resize(2);
    return { memos[0], memos[1] };
}

Text WithMarks(const Text& before, const std::map<int, std::string>& marks)
{
    Lines lines;
    for (const Text& line : SplitLines(before)) {
        Text row = line;
        if (line.size() > 3 && line[2] == U' ' && line[1] >= U'0' && line[1] <= U'9') {
            auto it = marks.find(std::stoi(ToUtf8(line.substr(0, 2))));
            if (it != marks.end())
                row += FromUtf8(it->second);
        }
        lines.push_back(row);
    }
    return Join(lines, U"\n");
}

std::map<std::string, std::map<int, std::string>> MarksByRace(const std::string& file)
{
    std::map<std::string, std::map<int, std::string>> out;
    auto rows = ReadCsv(file);
    for (std::size_t i = 1; i < rows.size(); ++i)
        out[rows[i][0]][std::stoi(rows[i][4])] = rows[i][6];
    return out;
}

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
