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

// yyyymmddVVRR as a number: ordering by it orders by date, venue and race number.
long long RaceId(const sources::RaceKey& key);
sources::RaceKey KeyOfId(long long id);
int DateOf(const sources::RaceKey& key); // yyyymmdd

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
    long long CountRows(const std::string& table);

private:
    // The builder asks for hundreds of races and runs per race; their statements are prepared once.
    Stmt& Cached(std::unique_ptr<Stmt>& slot, const std::string& sql);

    std::filesystem::path file_;
    std::unique_ptr<Db> db_;
    std::unique_ptr<Stmt> race_, runners_, runsById_, runsByName_;
};

// Row mapping shared by the store and the importer. Unknown fields are NULL, so that a merge keeps what the
// store already has.
extern const char* const kRaceColumns[]; // after id
extern const int kRaceColumnCount;
extern const char* const kRunnerColumns[]; // after race_id, number
extern const int kRunnerColumnCount;
std::vector<Value> RaceValues(const sources::RaceRecord& race);
std::vector<Value> RunnerValues(const sources::RunnerRecord& runner);

} // namespace pado::store
