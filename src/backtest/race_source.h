#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace pado {

// Days in calendar order; the backtest compares them for periods and cut-offs.
inline bool operator==(const Date& a, const Date& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day;
}
inline bool operator<(const Date& a, const Date& b)
{
    if (a.year != b.year)
        return a.year < b.year;
    if (a.month != b.month)
        return a.month < b.month;
    return a.day < b.day;
}

} // namespace pado

namespace pado::backtest {

// Which past races to replay. Empty venue or surface means any.
struct RaceQuery {
    Date from;
    Date to;
    std::string venue; // 中山 ... as the race list prints it
    std::string surface; // 芝, ダ or 障
};

// One runner of a finished race, as its result stands.
struct RunnerOutcome {
    int horseNumber = 0;
    std::string horseName; // UTF-8, unpadded
    bool started = true; // false for a scratched or excluded runner: it had no chance to win
    int finish = 0; // 0 when the runner started but has no finishing position (中止, 失格)
    int popularity = 0; // 0 unknown
    double winOdds = 0; // 0 unknown
};

struct RaceOutcome {
    std::string raceId; // YYYYMMDDVVRR
    Date date;
    std::string venue;
    int raceNumber = 0;
    std::vector<RunnerOutcome> runners; // in horse-number order
};

// Where the replayed races come from: the race store with its builder, or invented races in tests.
// Each race is built by a source of its own (see RaceSourceFactory), made and used on the thread that
// replays the race; so a source never has to be safe across threads.
class RaceSource {
public:
    virtual ~RaceSource() = default;
    // How many races ForEachRace will visit, for the progress line.
    virtual std::size_t CountRaces(const RaceQuery& query) = 0;
    // Visits the races in the period whose result is stored, in race id order; stops when visit returns false.
    // The races are streamed: a period of thirty years never has to fit in memory.
    virtual void ForEachRace(const RaceQuery& query, const std::function<bool(const RaceOutcome&)>& visit) = 0;
    // Writes R1.txt, Rall.txt, pado.txt and kisyuE.txt of the race into folder, built from what was known
    // before cutOff (the race's own day): nothing of that day or later. Throws pado::UserError with the
    // reason when the race cannot be built.
    virtual void BuildMorning(const std::string& raceId, const Date& cutOff, const std::string& folder, int pastRuns)
        = 0;
};

using RaceSourceFactory = std::function<std::unique_ptr<RaceSource>()>;

// One of the ten JRA venues, by the name the race list prints (札幌 … 小倉).
bool IsVenueName(const std::string& name);

// "YYYY-MM-DD".
std::string DateText(const Date& d);
// Reads "YYYY-MM-DD"; false for anything else, including days a calendar does not have.
bool ParseDate(const std::string& text, Date& d);
} // namespace pado::backtest
