#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sources/race_records.h"
#include "store/sqlite_db.h"

// The local race store: one SQLite file holding races (keyed by date, venue code and race number), their
// runners, horses and jockeys, fed by the importer and read by the race builder.
namespace pado::store {

// $XDG_DATA_HOME/pado/races.sqlite, or ~/.local/share/pado/races.sqlite when XDG_DATA_HOME is unset.
std::filesystem::path DefaultStorePath();

// The race key's own vocabulary under the names the store's callers know.
inline long long RaceId(const sources::RaceKey& key)
{
    return key.Id();
}
inline sources::RaceKey KeyOfId(long long id)
{
    return sources::RaceKey::OfId(id);
}
inline int DateOf(const sources::RaceKey& key)
{
    return key.Date();
}

// One run of a horse: the runner row and the key of its race.
struct StoredRun {
    sources::RaceKey race;
    sources::RunnerRecord runner;
};

// A jockey's placings at one venue: first, second, third, out.
struct JockeyTally {
    std::string jockeyId;
    Text jockeyName;
    int venue = 0;
    int counts[4] = { 0, 0, 0, 0 };
};

class RaceStore {
public:
    // ReadWrite: for the importer, the one writer. ReadOnly: for listings and builds, which may run while an
    // import writes (the store keeps its changes in a write-ahead log, so readers neither wait nor block it).
    enum class Access { ReadWrite, ReadOnly };
    // Opens the store, creating its folder and file when missing; migrates an older one, refuses a newer one
    // (a read-only open creates or migrates through a short writing open first). Throws UserError with a
    // Japanese message.
    explicit RaceStore(const std::filesystem::path& file, Access access = Access::ReadWrite);
    ~RaceStore();

    Db& Database() { return *db_; }
    const std::filesystem::path& File() const { return file_; }

    // Races from fromDate to toDate (yyyymmdd, inclusive), by date, venue and number; venue 0 for every venue.
    std::vector<sources::RaceRecord> Races(int fromDate, int toDate, int venue = 0);
    std::optional<sources::RaceRecord> Race(const sources::RaceKey& key);
    // The runners of a race by horse number.
    std::vector<sources::RunnerRecord> Runners(const sources::RaceKey& key);
    // Every run of a horse in races before date (yyyymmdd), oldest first: by registration number when known
    // (and rows of the same name that carry none), otherwise by name.
    std::vector<StoredRun> RunsBefore(const std::string& horseId, const Text& horseName, int date);
    // Placings per jockey and venue in the results of races from fromDate to toDate (inclusive). Runners that did
    // not start are not rides; every other runner without a placing of 1 to 3 counts as out.
    std::vector<JockeyTally> JockeyTallies(int fromDate, int toDate);
    std::optional<sources::JockeyRecord> Jockey(const std::string& id);
    std::optional<sources::HorseRecord> Horse(const std::string& id);
    // The sex a horse's own runner rows show at the latest at or before the race; 0 when none shows one.
    char32_t RunnerSex(const std::string& horseId, long long raceId);
    long long CountRows(const std::string& table);

private:
    // The builder asks for hundreds of races and runs per race; their statements are prepared once.
    Stmt& Cached(std::unique_ptr<Stmt>& slot, const std::string& sql);

    std::filesystem::path file_;
    std::unique_ptr<Db> db_;
    std::unique_ptr<Stmt> race_, runners_, runsById_, runsByName_;
};

// The store as it stood on the morning of one day: the only way the race builder and the backtest read races.
// Nothing run on or after that day is there, except the day's own races as their cards stood (their results
// withheld); facts about a horse are taken as of each race (a horse gelded later was no gelding before). The
// whole reading is one read transaction, so an import running meanwhile is seen entirely or not at all.
class MorningView {
public:
    MorningView(RaceStore& store, int date); // date: yyyymmdd
    ~MorningView();
    MorningView(const MorningView&) = delete;
    MorningView& operator=(const MorningView&) = delete;

    int Date() const { return date_; }
    // A race of an earlier day as stored; one of the day itself without its result; nothing of a later day.
    // withheld, when given, is set when the day's race has a stored result that was left out.
    std::optional<sources::RaceRecord> Race(const sources::RaceKey& key, bool* withheld = nullptr);
    // Its runners, by the same rule: on the day itself only what the card said.
    std::vector<sources::RunnerRecord> Runners(const sources::RaceKey& key);
    // Every earlier run of a horse, oldest first (see RaceStore::RunsBefore).
    std::vector<StoredRun> RunsBefore(const std::string& horseId, const Text& horseName);
    // Placings per jockey and venue over the given number of days before the morning.
    std::vector<JockeyTally> JockeyTallies(int days, int& fromDate, int& toDate);
    std::optional<sources::JockeyRecord> Jockey(const std::string& id);
    // The horse as known on the day of race: its sex is the one its own runs show by then; otherwise the horse
    // file's, which is undated, only where it cannot have changed (牡 and 牝 stay; a gelding may still have been
    // a colt then): sex 0 when that leaves it unknown.
    std::optional<sources::HorseRecord> Horse(const std::string& id, const sources::RaceKey& race);

private:
    RaceStore& store_;
    int date_;
    bool ownTransaction_ = false;
};

// Row mapping shared by the store and the importer. Unknown fields are NULL, so that a merge keeps what the
// store already has.
extern const char* const kRaceColumns[]; // after id
extern const int kRaceColumnCount;
extern const char* const kRunnerColumns[]; // after race_id, number
extern const int kRunnerColumnCount;
std::vector<Value> RaceValues(const sources::RaceRecord& race);
std::vector<Value> RunnerValues(const sources::RunnerRecord& runner);
// A runner row of a result (a placing, an abnormal end or a time), not of a card. What a result gives is what
// happened: a card only fills in the fields no result gave (kRunnerColumns ends in the flag, "result").
bool IsResultRow(const sources::RunnerRecord& runner);

} // namespace pado::store
