#pragma once

#include <functional>
#include <string>

namespace pado {

// A monotonic clock in seconds, so a wait never hangs across midnight or a clock change.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double Now() = 0;
};

class SteadyClock : public Clock {
public:
    double Now() override;
};

// A clock for tests and the replay driver: every reading moves time on by a fixed step, so a wait
// ends after a bounded number of readings without sleeping.
class SteppingClock : public Clock {
public:
    explicit SteppingClock(double step = 0.01)
        : step_(step)
    {
    }
    double Now() override { return t_ += step_; }

private:
    double t_ = 0;
    double step_;
};

// The wait of a button press: keeps pumping window events until the first reading strictly later
// than start + seconds, so the pressed picture gets painted. Returns the last reading.
double WaitTimer(Clock& clock, const std::function<void()>& pumpEvents, float seconds);

// Today's date as the assist's month and season rules see it.
struct Date {
    int year = 2000;
    int month = 1;
    int day = 1;
};
Date SystemToday();

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back: the race store keys
// and the generated races count days this way.
int DaysFromCivil(int y, int m, int d);
void CivilFromDays(int days, int& y, int& m, int& d);
// Whether the day exists (30 February does not).
bool IsCivilDate(int y, int m, int d);
// 0 Sunday .. 6 Saturday.
int WeekdayOf(int y, int m, int d);
// yyyy-mm-dd, and back: false (d untouched) unless the text is exactly that form of a day that exists.
std::string IsoDateText(const Date& d);
bool ParseIsoDate(const std::string& text, Date& d);
// yyyymmdd as a number: ordering by it orders by date.
inline int YmdOf(const Date& d)
{
    return (d.year * 100 + d.month) * 100 + d.day;
}

} // namespace pado
