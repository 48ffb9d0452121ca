#include "backtest/race_source.h"

#include <cstdio>
#include <cstdlib>

#include "backtest/store_source.h"

namespace pado::backtest {

bool IsVenueName(const std::string& name)
{
    for (const char* v : { "札幌", "函館", "福島", "新潟", "東京", "中山", "中京", "京都", "阪神", "小倉" })
        if (name == v)
            return true;
    return false;
}

std::string DateText(const Date& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

bool ParseDate(const std::string& text, Date& d)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i : { 0, 1, 2, 3, 5, 6, 8, 9 })
        if (text[i] < '0' || text[i] > '9')
            return false;
    Date r { std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2)) };
    static const int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (r.month < 1 || r.month > 12 || r.day < 1)
        return false;
    bool leap = (r.year % 4 == 0 && r.year % 100 != 0) || r.year % 400 == 0;
    if (r.day > days[r.month - 1] + (r.month == 2 && leap ? 1 : 0))
        return false;
    d = r;
    return true;
}

std::string DefaultStorePath()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data)
        return std::string(data) + "/pado/races.sqlite";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/pado/races.sqlite";
}

} // namespace pado::backtest
