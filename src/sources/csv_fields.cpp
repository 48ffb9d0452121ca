#include "sources/csv_fields.h"

#include <cstdlib>

#include "platform/number.h"

namespace pado::sources::csv {

namespace {

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

std::vector<int> DigitGroups(const Text& t)
{
    std::vector<int> groups;
    std::vector<std::size_t> lengths;
    long n = -1;
    for (char32_t c : t + U" ") {
        if (IsDigit(c)) {
            n = (n < 0 ? 0 : n * 10) + static_cast<long>(c - U'0');
            if (n > 99999999)
                return {};
        } else if (n >= 0) {
            groups.push_back(static_cast<int>(n));
            n = -1;
        }
    }
    return groups;
}

std::string Ascii(const Text& t)
{
    std::string s;
    for (char32_t c : t)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

} // namespace

Text Trim(const Text& t)
{
    std::size_t b = 0, e = t.size();
    while (b < e && (t[b] == U' ' || t[b] == U'　' || t[b] == U'\t'))
        ++b;
    while (e > b && (t[e - 1] == U' ' || t[e - 1] == U'　' || t[e - 1] == U'\t'))
        --e;
    return t.substr(b, e - b);
}

Text Normalize(const Text& field)
{
    Text out;
    for (char32_t c : field) {
        if (c >= U'０' && c <= U'９')
            c = U'0' + (c - U'０');
        else if (c == U'．')
            c = U'.';
        else if (c == U'：')
            c = U':';
        else if (c == U'＋')
            c = U'+';
        else if (c == U'－' || c == U'−')
            c = U'-';
        else if (c == U'（')
            c = U'(';
        else if (c == U'）')
            c = U')';
        out += c;
    }
    std::size_t b = 0, e = out.size();
    while (b < e && (out[b] == U' ' || out[b] == U'　' || out[b] == U'\t'))
        ++b;
    while (e > b && (out[e - 1] == U' ' || out[e - 1] == U'　' || out[e - 1] == U'\t'))
        --e;
    return out.substr(b, e - b);
}

bool ParseDate(const Text& field, int& year, int& month, int& day)
{
    std::vector<int> g = DigitGroups(Normalize(field));
    if (g.size() == 1 && g[0] >= 19000101) {
        year = g[0] / 10000, month = g[0] / 100 % 100, day = g[0] % 100;
    } else if (g.size() >= 3) {
        year = g[0] < 100 ? 2000 + g[0] : g[0], month = g[1], day = g[2];
    } else {
        return false;
    }
    return year >= 1900 && year <= 2199 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

int ParseTimeTenths(const Text& field)
{
    Text t = Normalize(field);
    if (t.empty() || !IsDigit(t[0]))
        return 0;
    std::vector<int> g = DigitGroups(t);
    const bool colon = t.find(U':') != Text::npos;
    if (g.size() == 3 && g[2] < 10 && g[1] < 60) // m:ss.f or m.ss.f
        return g[0] * 600 + g[1] * 10 + g[2];
    if (g.size() == 2 && colon && g[1] < 60) // m:ss
        return g[0] * 600 + g[1] * 10;
    if (g.size() == 2 && g[1] < 10) // ss.f
        return g[0] * 10 + g[1];
    if (g.size() == 1 && t.size() == 4 && g[0] / 10 % 100 < 60) // mssf
        return g[0] / 1000 * 600 + g[0] / 10 % 100 * 10 + g[0] % 10;
    return 0;
}

int ParseTenths(const Text& field)
{
    Text t = Normalize(field);
    std::size_t i = 0;
    while (i < t.size() && !IsDigit(t[i]))
        ++i; // a leading mark such as ▲ before a weight
    t = t.substr(i);
    if (t.empty())
        return 0;
    const double v = std::strtod(Ascii(t).c_str(), nullptr);
    return v > 0 && v < 100000 ? static_cast<int>(v * 10 + 0.5) : 0;
}

int ParseStartTime(const Text& field)
{
    std::vector<int> g = DigitGroups(Normalize(field));
    int hhmm = g.size() >= 2 ? g[0] * 100 + g[1] : g.size() == 1 ? g[0] : -1;
    return hhmm >= 0 && hhmm < 2400 && hhmm % 100 < 60 ? hhmm : -1;
}

Finish ParseFinish(const Text& field)
{
    Finish f;
    Text t = Normalize(field);
    if (t.empty())
        return f;
    std::vector<int> g = DigitGroups(t);
    f.place = g.empty() ? 0 : g[0];
    if (t.find(U"取") != Text::npos)
        f.abnormal = Abnormal::Scratched, f.place = 0;
    else if (t.find(U"除") != Text::npos)
        f.abnormal = Abnormal::Excluded, f.place = 0;
    else if (t.find(U"中") != Text::npos)
        f.abnormal = Abnormal::DidNotFinish, f.place = 0;
    else if (t.find(U"失") != Text::npos)
        f.abnormal = Abnormal::Disqualified, f.place = 0;
    else if (t.find(U"降") != Text::npos)
        f.abnormal = Abnormal::Demoted;
    f.known = f.abnormal != Abnormal::None || (f.place >= 1 && f.place <= 28);
    if (f.place > 28)
        f.place = 0;
    return f;
}

char32_t ParseSex(const Text& field)
{
    for (char32_t c : field) {
        if (c == U'牡' || c == U'牝' || c == U'セ')
            return c;
        if (c == U'騸')
            return U'セ';
    }
    return 0;
}

void ParseSexAge(const Text& field, char32_t& sex, int& age)
{
    Text t = Normalize(field);
    sex = ParseSex(t);
    std::vector<int> g = DigitGroups(t);
    age = !g.empty() && g[0] >= 1 && g[0] <= 20 ? g[0] : 0;
}

bool ParseWeightChange(const Text& field, int& change)
{
    Text t = Normalize(field);
    if (t.empty() || t == U"-" || t.find(U"計") != Text::npos)
        return false;
    if (t[0] == U'±')
        t = t.substr(1);
    std::vector<int> g = DigitGroups(t);
    if (g.empty())
        return false;
    change = t[0] == U'-' ? -g[0] : g[0];
    return true;
}

void ParseBodyWeight(const Text& field, int& weight, int& change, bool& changeKnown)
{
    Text t = Normalize(field);
    weight = 0;
    changeKnown = false;
    if (t.empty() || !IsDigit(t[0]))
        return; // 計不 and the like: not weighed
    weight = static_cast<int>(LeadingInt(t));
    if (weight < 200 || weight > 800) {
        weight = 0;
        return;
    }
    std::size_t open = t.find(U'('), close = t.find(U')');
    if (open != Text::npos && close != Text::npos && close > open)
        changeKnown = ParseWeightChange(t.substr(open + 1, close - open - 1), change);
}

void ParsePassing(const Text& field, int (&corners)[4])
{
    std::vector<int> g = DigitGroups(Normalize(field));
    if (g.size() > 4)
        g.erase(g.begin(), g.end() - 4);
    const std::size_t first = 4 - g.size();
    for (std::size_t i = 0; i < g.size(); ++i)
        corners[first + i] = g[i] <= 28 ? g[i] : 0;
}

char32_t ParseSurface(const Text& field)
{
    for (char32_t c : field) {
        if (c == U'芝' || c == U'ダ' || c == U'障')
            return c;
    }
    return 0;
}

void ParseCourse(const Text& field, char32_t& surface, char32_t& direction, int& distance)
{
    Text t = Normalize(field);
    // 障害 races are run on turf; the jump mark wins over the 芝 that may follow it.
    surface = t.find(U'障') != Text::npos ? U'障' : ParseSurface(t);
    for (char32_t c : t)
        if (c == U'右' || c == U'左' || c == U'直')
            direction = c;
    std::vector<int> g = DigitGroups(t);
    distance = !g.empty() && g.back() >= 800 && g.back() <= 5000 ? g.back() : 0;
}

char32_t ParseGoing(const Text& field)
{
    Text t = Normalize(field);
    if (t.empty())
        return 0;
    if (t[0] == U'良' || t[0] == U'稍' || t[0] == U'重' || t[0] == U'不')
        return t[0];
    return 0;
}

int GradeOfName(const Text& name)
{
    Text t = Normalize(name);
    for (auto [mark, grade] : { std::pair { U"ＧＩＩＩ)", 3 }, { U"ＧＩＩ)", 2 }, { U"ＧＩ)", 1 }, { U"G3)", 3 },
             { U"G2)", 2 }, { U"G1)", 1 }, { U"ＧⅢ)", 3 }, { U"ＧⅡ)", 2 }, { U"ＧⅠ)", 1 } })
        if (t.find(mark) != Text::npos)
            return grade;
    return 0;
}

bool ParseRaceId(const Text& field, RaceKey& key, int& meeting, int& meetingDay)
{
    Text t = Normalize(field);
    if (t.size() != 12)
        return false;
    for (char32_t c : t)
        if (!IsDigit(c))
            return false;
    auto num = [&](std::size_t at, std::size_t n) { return static_cast<int>(std::stol(Ascii(t.substr(at, n)))); };
    key.year = num(0, 4);
    key.venue = num(4, 2);
    meeting = num(6, 2);
    meetingDay = num(8, 2);
    key.number = num(10, 2);
    key.month = key.day = 0;
    return key.venue >= 1 && key.venue <= 10 && key.number >= 1 && key.number <= 12;
}

} // namespace pado::sources::csv
