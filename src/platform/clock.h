#pragma once

#include <functional>

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

} // namespace pado
