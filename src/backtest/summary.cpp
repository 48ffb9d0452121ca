#include "backtest/summary.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/text.h"

namespace pado::backtest {

double GroupStats::WinPct() const
{
    return runners ? 100.0 * static_cast<double>(wins) / static_cast<double>(runners) : 0;
}

double GroupStats::Top3Pct() const
{
    return runners ? 100.0 * static_cast<double>(top3) / static_cast<double>(runners) : 0;
}

double GroupStats::MeanFinish() const
{
    return finishers ? static_cast<double>(finishSum) / static_cast<double>(finishers) : 0;
}

double GroupStats::WinReturnPct() const
{
    return runners ? 100.0 * winOddsSum / static_cast<double>(runners) : 0;
}

void Summary::Count(GroupStats& g, const RunnerOutcome& r)
{
    ++g.runners;
    if (r.finish == 1) {
        ++g.wins;
        g.winOddsSum += r.winOdds;
    }
    if (r.finish >= 1 && r.finish <= 3)
        ++g.top3;
    if (r.finish > 0) {
        ++g.finishers;
        g.finishSum += r.finish;
    }
}

void Summary::Add(const RaceOutcome& race, const std::map<int, std::string>& marks)
{
    for (const RunnerOutcome& r : race.runners) {
        if (!r.started)
            continue;
        auto it = marks.find(r.horseNumber);
        const Text m = it == marks.end() ? Text {} : FromUtf8(it->second);
        Count(all_, r);
        if (r.popularity == 1)
            Count(favourites_, r);
        if (m.empty()) {
            Count(noMark_, r);
            continue;
        }
        Count(byCount_[m.size()], r);
        Text seen;
        for (char32_t c : m)
            if (seen.find(c) == Text::npos) {
                seen += c;
                Count(byMark_[c], r);
            }
    }
}

std::vector<GroupStats> Summary::Rows() const
{
    std::vector<GroupStats> rows;
    for (auto [c, g] : byMark_) {
        g.group = "印「" + ToUtf8(Text(1, c)) + "」";
        rows.push_back(g);
    }
    for (auto [n, g] : byCount_) {
        g.group = "印の数 " + std::to_string(n);
        rows.push_back(g);
    }
    GroupStats g = noMark_;
    g.group = "印なし";
    rows.push_back(g);
    g = all_;
    g.group = kAllRunnersGroup;
    rows.push_back(g);
    g = favourites_;
    g.group = kFavouritesGroup;
    rows.push_back(g);
    return rows;
}

std::string Fixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string CsvQuoted(const std::string& s)
{
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string CsvField(const std::string& s)
{
    // A spreadsheet takes a cell that begins so for a formula, and a formula from a horse's name can
    // send the sheet's cells to a web address (=HYPERLINK(...)). A leading apostrophe keeps it text, as
    // spreadsheet-safe CSV writers do.
    if (!s.empty() && std::string_view("=+-@\t\r").find(s[0]) != std::string_view::npos)
        return CsvQuoted("'" + s);
    return CsvQuoted(s);
}

namespace {

std::string Rate(const GroupStats& g, double v, int decimals)
{
    return g.runners ? Fixed(v, decimals) : std::string {};
}

// Columns of a terminal: a full-width character takes two.
std::size_t Width(const std::string& utf8)
{
    std::size_t w = 0;
    for (char32_t c : FromUtf8(utf8))
        w += (c >= 0x1100 && !(c >= 0xFF61 && c <= 0xFF9F)) ? 2 : 1;
    return w;
}

std::string PadTo(const std::string& s, std::size_t width, bool right)
{
    std::size_t w = Width(s);
    std::string pad(w < width ? width - w : 0, ' ');
    return right ? pad + s : s + pad;
}

std::string Signed(double v, int decimals)
{
    std::string s = Fixed(v, decimals);
    if (s == Fixed(0, decimals) || s == "-" + Fixed(0, decimals))
        return Fixed(0, decimals);
    return v > 0 ? "+" + s : s;
}

} // namespace

std::string SummaryCsv(const std::vector<std::string>& labels, const std::vector<std::vector<GroupStats>>& rows)
{
    std::string out = "params,group,runners,wins,top3,win_pct,top3_pct,mean_finish,win_return_pct\r\n";
    for (std::size_t p = 0; p < rows.size(); ++p)
        for (const GroupStats& g : rows[p])
            out += CsvField(labels[p]) + "," + CsvField(g.group) + "," + std::to_string(g.runners) + ","
                + std::to_string(g.wins) + "," + std::to_string(g.top3) + "," + Rate(g, g.WinPct(), 1) + ","
                + Rate(g, g.Top3Pct(), 1) + "," + (g.finishers ? Fixed(g.MeanFinish(), 2) : std::string {}) + ","
                + Rate(g, g.WinReturnPct(), 1) + "\r\n";
    return out;
}

std::string SummaryTable(const std::vector<std::string>& labels, const std::vector<std::vector<GroupStats>>& rows)
{
    // Groups in the order the first set lists them, then any that only a later set has.
    std::vector<std::string> groups;
    for (const auto& set : rows)
        for (const GroupStats& g : set)
            if (std::find(groups.begin(), groups.end(), g.group) == groups.end())
                groups.push_back(g.group);
    std::stable_partition(groups.begin(), groups.end(),
        [](const std::string& g) { return g != kAllRunnersGroup && g != kFavouritesGroup; });
    auto find = [&](std::size_t p, const std::string& group) -> GroupStats {
        for (const GroupStats& g : rows[p])
            if (g.group == group)
                return g;
        return GroupStats {};
    };

    std::size_t groupWidth = Width("グループ");
    for (const auto& g : groups)
        groupWidth = std::max(groupWidth, Width(g));
    const std::size_t cell = 8;
    const char* columns[] = { "頭数", "勝率%", "複勝率%", "平均着順", "単回収%" };
    std::string top = PadTo("", groupWidth, false), head = PadTo("グループ", groupWidth, false);
    for (std::size_t p = 0; p < rows.size(); ++p) {
        top += " | " + PadTo(labels[p], cell * 5 + 4, false);
        head += " | ";
        for (std::size_t c = 0; c < 5; ++c)
            head += (c ? " " : "") + PadTo(columns[c], cell, true);
    }
    for (std::size_t p = 1; p < rows.size(); ++p) {
        top += " | " + PadTo("差 (" + labels[p] + " - " + labels[0] + ")", cell * 4 + 3, false);
        head += " | ";
        for (std::size_t c = 1; c < 5; ++c)
            head += (c > 1 ? " " : "") + PadTo(columns[c], cell, true);
    }
    std::string out = top + "\n" + head + "\n";
    for (const auto& group : groups) {
        std::string line = PadTo(group, groupWidth, false);
        for (std::size_t p = 0; p < rows.size(); ++p) {
            GroupStats g = find(p, group);
            line += " | " + PadTo(std::to_string(g.runners), cell, true) + " "
                + PadTo(Rate(g, g.WinPct(), 1), cell, true) + " " + PadTo(Rate(g, g.Top3Pct(), 1), cell, true) + " "
                + PadTo(g.finishers ? Fixed(g.MeanFinish(), 2) : "", cell, true) + " "
                + PadTo(Rate(g, g.WinReturnPct(), 1), cell, true);
        }
        const GroupStats base = find(0, group);
        for (std::size_t p = 1; p < rows.size(); ++p) {
            GroupStats g = find(p, group);
            bool both = g.runners && base.runners;
            line += " | " + PadTo(both ? Signed(g.WinPct() - base.WinPct(), 1) : "", cell, true) + " "
                + PadTo(both ? Signed(g.Top3Pct() - base.Top3Pct(), 1) : "", cell, true) + " "
                + PadTo(g.finishers && base.finishers ? Signed(g.MeanFinish() - base.MeanFinish(), 2) : "", cell, true)
                + " " + PadTo(both ? Signed(g.WinReturnPct() - base.WinReturnPct(), 1) : "", cell, true);
        }
        out += line + "\n";
    }
    return out;
}

const char* MarksCsv::Header()
{
    return "race_id,date,venue,race_number,horse_number,horse_name,marks,finish,popularity,win_odds\r\n";
}

std::string MarksCsv::Rows(const RaceOutcome& race, const std::map<int, std::string>& marks)
{
    std::string out;
    const std::string head = CsvField(race.raceId) + "," + DateText(race.date) + "," + CsvField(race.venue) + ","
        + std::to_string(race.raceNumber) + ",";
    for (const RunnerOutcome& r : race.runners) {
        auto it = marks.find(r.horseNumber);
        out += head + std::to_string(r.horseNumber) + "," + CsvField(r.horseName) + ","
            + CsvQuoted(it == marks.end() ? std::string {} : it->second) + ","
            + (r.started ? (r.finish > 0 ? std::to_string(r.finish) : "中止") : "取消") + ","
            + (r.popularity > 0 ? std::to_string(r.popularity) : "") + "," + (r.winOdds > 0 ? Fixed(r.winOdds, 1) : "")
            + "\r\n";
    }
    return out;
}

} // namespace pado::backtest
