#include "platform/clock.h"

#include <chrono>
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

} // namespace pado
