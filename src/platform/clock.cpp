#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace pado {

double SteadyClock::Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double WaitTimer(Clock& clock, const std::function<void()>& pumpEvents, float seconds)
{
    const double start = clock.Now();
    double now = clock.Now();
    while (start + static_cast<double>(seconds) >= now) {
        if (pumpEvents)
            pumpEvents();
        now = clock.Now();
    }
    return clock.Now();
}

Date SystemToday()
{
    std::time_t t = std::time(nullptr);
    std::tm tm {};
    localtime_r(&t, &tm);
    return Date { tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday };
}

int DaysFromCivil(int y, int m, int d)
{
    using namespace std::chrono;
    const sys_days days { year { y } / month { static_cast<unsigned>(m) } / day { static_cast<unsigned>(d) } };
    return days.time_since_epoch().count();
}

void CivilFromDays(int days, int& y, int& m, int& d)
{
    using namespace std::chrono;
    const year_month_day date { sys_days { std::chrono::days { days } } };
    y = static_cast<int>(date.year());
    m = static_cast<int>(static_cast<unsigned>(date.month()));
    d = static_cast<int>(static_cast<unsigned>(date.day()));
}

bool IsCivilDate(int y, int m, int d)
{
    using namespace std::chrono;
    return m >= 1 && m <= 12 && d >= 1 && d <= 31
        && year_month_day { year { y }, month { static_cast<unsigned>(m) }, day { static_cast<unsigned>(d) } }.ok();
}

int WeekdayOf(int y, int m, int d)
{
    using namespace std::chrono;
    return static_cast<int>(weekday { sys_days { days { DaysFromCivil(y, m, d) } } }.c_encoding());
}

std::string IsoDateText(const Date& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

bool ParseIsoDate(const std::string& text, Date& d)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i : { 0, 1, 2, 3, 5, 6, 8, 9 })
        if (text[i] < '0' || text[i] > '9')
            return false;
    const Date r { std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2)) };
    if (!IsCivilDate(r.year, r.month, r.day))
        return false;
    d = r;
    return true;
}

} // namespace pado
