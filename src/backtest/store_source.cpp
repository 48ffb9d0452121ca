#include "backtest/store_source.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/fs.h"
#include "racefiles/render.h"
#include "sources/venue_codes.h"
#include "store/race_builder.h"
#include "store/race_store.h"

namespace pado::backtest {

namespace {

int DateNumber(const Date& d)
{
    return d.year * 10000 + d.month * 100 + d.day;
}

class StoreSource : public RaceSource {
public:
    explicit StoreSource(const std::string& file)
        : store_(file, store::RaceStore::Access::ReadOnly) // replays only read; an import may go on
    {
    }

    std::size_t CountRaces(const RaceQuery& query) override
    {
        std::size_t n = 0;
        ForEachStored(query, [&](const sources::RaceRecord&) {
            ++n;
            return true;
        });
        return n;
    }

    void ForEachRace(const RaceQuery& query, const std::function<bool(const RaceOutcome&)>& visit) override
    {
        ForEachStored(query, [&](const sources::RaceRecord& race) { return visit(Outcome(race)); });
    }

    void BuildMorning(const std::string& raceId, const Date& cutOff, const std::string& folder, int pastRuns) override
    {
        std::optional<sources::RaceKey> key = store::ParseRaceName(raceId);
        if (!key)
            throw UserError(FromUtf8("レース " + raceId + " を読めません。"));
        store::BuildOptions options;
        options.pastRuns = pastRuns;
        store::MorningView morning(store_, DateNumber(cutOff));
        store::BuiltRace built = store::BuildRace(morning, *key, options);
        // A private folder that is removed after the race: no need to flush the files to the disk.
        racefiles::WriteRaceFiles(built.files, folder);
    }

private:
    // The stored races of the query with their result, a month at a time, so that a long period is never
    // held in memory whole.
    void ForEachStored(const RaceQuery& query, const std::function<bool(const sources::RaceRecord&)>& visit)
    {
        const int venue = query.venue.empty() ? 0 : sources::VenueCode(FromUtf8(query.venue));
        if (!query.venue.empty() && venue == 0)
            throw UserError(FromUtf8("競馬場「" + query.venue + "」がありません。"));
        const char32_t surface = query.surface.empty() ? 0 : FromUtf8(query.surface)[0];
        for (int y = query.from.year, m = query.from.month; y * 100 + m <= query.to.year * 100 + query.to.month;) {
            const int from = std::max(DateNumber(query.from), y * 10000 + m * 100 + 1);
            const int to = std::min(DateNumber(query.to), y * 10000 + m * 100 + 31);
            for (const sources::RaceRecord& race : store_.Races(from, to, venue)) {
                if (!race.hasResult || (surface && race.surface != surface))
                    continue;
                if (!visit(race))
                    return;
            }
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }

    RaceOutcome Outcome(const sources::RaceRecord& race)
    {
        RaceOutcome r;
        r.raceId = store::RaceIdText(race.key);
        r.date = Date { race.key.year, race.key.month, race.key.day };
        r.venue = ToUtf8(sources::VenueName(race.key.venue));
        r.raceNumber = race.key.number;
        for (const sources::RunnerRecord& s : store_.Runners(race.key)) {
            RunnerOutcome o;
            o.horseNumber = s.number;
            o.horseName = ToUtf8(s.horseName);
            o.started = s.abnormal != sources::Abnormal::Scratched && s.abnormal != sources::Abnormal::Excluded;
            o.finish = s.finish;
            o.popularity = s.popularity;
            o.winOdds = s.winOddsTenths / 10.0;
            r.runners.push_back(std::move(o));
        }
        return r;
    }

    store::RaceStore store_;
};

} // namespace

std::unique_ptr<RaceSource> OpenStoreSource(const std::string& storePath, std::string& error)
{
    // Opening would create an empty store; a backtest only reads one.
    if (!fs::IsFile(storePath)) {
        error = "レースの保存ファイル(" + storePath
            + ")がありません。先に pado-import add でデータを取り込んでください。";
        return nullptr;
    }
    try {
        return std::make_unique<StoreSource>(storePath);
    } catch (const UserError& e) {
        error = ToUtf8(e.Message());
    } catch (const std::exception& e) {
        error = e.what();
    }
    return nullptr;
}

RaceSourceFactory StoreSourceFactory(const std::string& storePath)
{
    return [storePath] {
        std::string why;
        std::unique_ptr<RaceSource> s = OpenStoreSource(storePath, why);
        if (!s)
            throw UserError(FromUtf8(why));
        return s;
    };
}

} // namespace pado::backtest
