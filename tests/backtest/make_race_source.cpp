#include "backtest/make_race_source.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <stdexcept>

#include "model.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado::testing {

namespace {

const char* const kVenues[] = { "札幌", "函館", "福島", "新潟", "東京", "中山", "中京", "京都", "阪神", "小倉" };

// Twelve races a day at one venue, the venues in turn, a week apart, going back from the latest.
int VenueCode(int index)
{
    return 1 + (index / 12) % 10;
}

makerace::Options OptionsFor(const MakeRaceSource::Config& c, int index, int pastRuns)
{
    makerace::Options o;
    o.seed = c.firstSeed + static_cast<std::uint64_t>(index);
    o.entrants = c.entrants;
    o.runs = c.runs;
    o.pastRuns = std::min(pastRuns, c.runs - 1);
    return o;
}

} // namespace

Date MakeRaceSource::RaceDate(int index)
{
    int y, m, d;
    makerace::CivilFromDays(makerace::DaysFromCivil(2026, 12, 27) - 7 * (index / 120), y, m, d);
    return Date { y, m, d };
}

std::string MakeRaceSource::RaceId(int index)
{
    Date d = RaceDate(index);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d", d.year, d.month, d.day, VenueCode(index), index % 12 + 1);
    return buf;
}

bool MakeRaceSource::Matches(int index, const backtest::RaceQuery& q) const
{
    Date d = RaceDate(index);
    if (d < q.from || q.to < d)
        return false;
    return q.venue.empty() || q.venue == kVenues[VenueCode(index) - 1];
}

std::size_t MakeRaceSource::CountRaces(const backtest::RaceQuery& query)
{
    std::size_t n = 0;
    for (int i = 0; i < config_.races; ++i)
        n += Matches(i, query);
    return n;
}

backtest::RaceOutcome MakeRaceSource::Outcome(int index) const
{
    makerace::World w = makerace::Simulate(OptionsFor(config_, index, 5));
    backtest::RaceOutcome r;
    r.raceId = RaceId(index);
    r.date = RaceDate(index);
    r.venue = kVenues[VenueCode(index) - 1];
    r.raceNumber = index % 12 + 1;
    std::mt19937_64 rng(config_.firstSeed * 7919 + static_cast<std::uint64_t>(index));
    std::normal_distribution<double> noise(0, 0.25);
    const std::size_t n = w.horses.size();
    std::vector<double> run(n), market(n);
    for (std::size_t i = 0; i < n; ++i) {
        run[i] = w.horses[i].ability + noise(rng);
        market[i] = w.horses[i].ability + noise(rng);
    }
    std::vector<std::size_t> byRun(n), byMarket(n);
    std::iota(byRun.begin(), byRun.end(), 0);
    std::iota(byMarket.begin(), byMarket.end(), 0);
    std::sort(byRun.begin(), byRun.end(), [&](auto a, auto b) { return run[a] > run[b]; });
    std::sort(byMarket.begin(), byMarket.end(), [&](auto a, auto b) { return market[a] > market[b]; });
    r.runners.resize(n);
    double total = 0;
    for (std::size_t i = 0; i < n; ++i)
        total += std::exp(2.5 * market[i]);
    for (std::size_t i = 0; i < n; ++i) {
        backtest::RunnerOutcome& o = r.runners[i];
        o.horseNumber = static_cast<int>(i + 1);
        o.horseName = ToUtf8(TrimSpaces(w.horses[i].name));
        o.winOdds = std::max(1.1, std::round(0.8 * total / std::exp(2.5 * market[i]) * 10) / 10);
    }
    for (std::size_t k = 0; k < n; ++k) {
        r.runners[byRun[k]].finish = static_cast<int>(k + 1);
        r.runners[byMarket[k]].popularity = static_cast<int>(k + 1);
    }
    return r;
}

void MakeRaceSource::ForEachRace(
    const backtest::RaceQuery& query, const std::function<bool(const backtest::RaceOutcome&)>& visit)
{
    if (outcomes_.empty())
        for (int i = 0; i < config_.races; ++i)
            outcomes_.push_back(Outcome(i));
    for (int i = 0; i < config_.races; ++i)
        if (Matches(i, query) && !visit(outcomes_[static_cast<std::size_t>(i)]))
            return;
}

void MakeRaceSource::BuildMorning(
    const std::string& raceId, const Date& cutOff, const std::string& folder, int pastRuns)
{
    if (!config_.cutOffLog.empty())
        fs::AppendBytes(config_.cutOffLog, raceId + " " + backtest::DateText(cutOff) + "\n");
    int index = -1;
    for (int i = 0; i < config_.races && index < 0; ++i)
        if (RaceId(i) == raceId)
            index = i;
    if (index < 0)
        throw UserError(FromUtf8("レース " + raceId + " はありません。"));
    if (config_.unbuildable.count(index))
        throw UserError(U"過去走の記録が足りません。");
    if (config_.throwing.count(index))
        throw std::logic_error("invented fault of race " + raceId);
    makerace::RaceFiles f = makerace::GenerateRace(OptionsFor(config_, index, pastRuns));
    if (config_.badCard.count(index))
        f.r1.erase(std::remove_if(f.r1.begin(), f.r1.end(), [](const Text& l) { return StartsWith(l, U"◆-◆-◆"); }),
            f.r1.end());
    WriteTextFile(fs::Join(folder, "R1.txt"), f.r1);
    WriteTextFile(fs::Join(folder, "Rall.txt"), f.rall);
    WriteTextFile(fs::Join(folder, "pado.txt"), f.pado);
    WriteTextFile(fs::Join(folder, "kisyuE.txt"), f.kisyu);
}

} // namespace pado::testing
