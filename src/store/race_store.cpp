#include "store/race_store.h"

#include <algorithm>
#include <cstdlib>
#include <sqlite3.h>
#include <tuple>
#include <unordered_map>

#include "platform/clock.h"
#include "platform/errors.h"
#include "store/schema.h"

namespace pado::store {

using sources::Abnormal;
using sources::RaceKey;
using sources::RaceRecord;
using sources::RunnerRecord;

const char* const kRaceColumns[]
    = { "date", "venue", "number", "meeting", "meeting_day", "name", "class_text", "conditions", "grade", "surface",
          "distance", "direction", "going", "weather", "start_time", "field_size", "corner1", "corner2", "corner3",
          "corner4", "last3f", "last4f", "furlongs", "prizes", "has_result", "edition", "added_prizes" };
const int kRaceColumnCount = sizeof kRaceColumns / sizeof *kRaceColumns;
const char* const kRunnerColumns[] = { "frame", "horse_id", "horse_name", "sex", "age", "carried", "jockey_id",
    "jockey_name", "finish", "abnormal", "time", "margin", "corner1", "corner2", "corner3", "corner4", "last3f", "odds",
    "popularity", "body_weight", "weight_change", "mark", "result" };
const int kRunnerColumnCount = sizeof kRunnerColumns / sizeof *kRunnerColumns;

namespace {

Value Num(long long n) // 0 is unknown
{
    return n ? Value(static_cast<std::int64_t>(n)) : Value();
}
Value Known(bool known, long long n) // 0 can be a fact
{
    Value v;
    if (known)
        v = static_cast<std::int64_t>(n);
    return v;
}
Value Str(const Text& t)
{
    return t.empty() ? Value() : Value(ToUtf8(t));
}
Value Str(const std::string& s)
{
    return s.empty() ? Value() : Value(s);
}
Value Chr(char32_t c)
{
    return c ? Value(ToUtf8(Text(1, c))) : Value();
}

Text TextAt(Stmt& s, int col)
{
    return FromUtf8(s.Str(col));
}
char32_t CharAt0(Stmt& s, int col)
{
    Text t = TextAt(s, col);
    return t.empty() ? 0 : t[0];
}
int IntAt(Stmt& s, int col)
{
    return static_cast<int>(s.Int(col));
}

std::string RaceSelect()
{
    std::string sql = "SELECT id";
    for (int i = 0; i < kRaceColumnCount; ++i)
        sql += std::string(", ") + kRaceColumns[i];
    return sql + " FROM races ";
}

RaceRecord RaceFrom(Stmt& s)
{
    RaceRecord r;
    r.key = KeyOfId(s.Int(0));
    int c = 4; // after id, date, venue, number
    r.meeting = IntAt(s, c++);
    r.meetingDay = IntAt(s, c++);
    r.name = TextAt(s, c++);
    r.classText = TextAt(s, c++);
    r.conditions = TextAt(s, c++);
    r.grade = IntAt(s, c++);
    r.surface = CharAt0(s, c++);
    r.distance = IntAt(s, c++);
    r.direction = CharAt0(s, c++);
    r.going = CharAt0(s, c++);
    r.weather = TextAt(s, c++);
    r.startTime = s.IsNull(c) ? -1 : IntAt(s, c);
    ++c;
    r.fieldSize = IntAt(s, c++);
    for (Text& corner : r.cornerOrders)
        corner = TextAt(s, c++);
    r.last3f = IntAt(s, c++);
    r.last4f = IntAt(s, c++);
    r.furlongTimes = TextAt(s, c++);
    r.prizes = TextAt(s, c++);
    r.hasResult = s.Int(c++) != 0;
    r.edition = IntAt(s, c++);
    r.addedPrizes = TextAt(s, c++);
    return r;
}

std::string RunnerSelect(const char* alias)
{
    std::string a = alias;
    std::string sql = "SELECT " + a + "race_id, " + a + "number";
    for (int i = 0; i < kRunnerColumnCount; ++i)
        sql += ", " + a + kRunnerColumns[i];
    return sql;
}

RunnerRecord RunnerFrom(Stmt& s)
{
    RunnerRecord x;
    x.race = KeyOfId(s.Int(0));
    x.number = IntAt(s, 1);
    int c = 2;
    x.frame = IntAt(s, c++);
    x.horseId = s.Str(c++);
    x.horseName = TextAt(s, c++);
    x.sex = CharAt0(s, c++);
    x.age = IntAt(s, c++);
    x.carriedTenths = IntAt(s, c++);
    x.jockeyId = s.Str(c++);
    x.jockeyName = TextAt(s, c++);
    x.finish = IntAt(s, c++);
    x.abnormal = static_cast<Abnormal>(std::clamp(IntAt(s, c++), 0, static_cast<int>(Abnormal::Demoted)));
    x.timeTenths = IntAt(s, c++);
    x.margin = TextAt(s, c++);
    for (int& corner : x.corners)
        corner = IntAt(s, c++);
    x.last3fTenths = IntAt(s, c++);
    x.winOddsTenths = IntAt(s, c++);
    x.popularity = IntAt(s, c++);
    x.bodyWeight = IntAt(s, c++);
    x.bodyWeightChangeKnown = !s.IsNull(c);
    x.bodyWeightChange = IntAt(s, c++);
    x.mark = TextAt(s, c++);
    // The last column, result, is the store's own bookkeeping for merging.
    return x;
}

} // namespace

std::filesystem::path DefaultStorePath()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base;
    if (xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".local" / "share";
    else
        base = ".";
    return base / "pado" / "races.sqlite";
}

std::vector<Value> RaceValues(const RaceRecord& r)
{
    std::vector<Value> v;
    v.reserve(kRaceColumnCount);
    v.push_back(Value(static_cast<std::int64_t>(DateOf(r.key))));
    v.push_back(Value(static_cast<std::int64_t>(r.key.venue)));
    v.push_back(Value(static_cast<std::int64_t>(r.key.number)));
    v.push_back(Num(r.meeting));
    v.push_back(Num(r.meetingDay));
    v.push_back(Str(r.name));
    v.push_back(Str(r.classText));
    v.push_back(Str(r.conditions));
    v.push_back(Num(r.grade));
    v.push_back(Chr(r.surface));
    v.push_back(Num(r.distance));
    v.push_back(Chr(r.direction));
    v.push_back(Chr(r.going));
    v.push_back(Str(r.weather));
    v.push_back(Known(r.startTime >= 0, r.startTime));
    v.push_back(Num(r.fieldSize));
    for (const Text& corner : r.cornerOrders)
        v.push_back(Str(corner));
    v.push_back(Num(r.last3f));
    v.push_back(Num(r.last4f));
    v.push_back(Str(r.furlongTimes));
    v.push_back(Str(r.prizes));
    v.push_back(Known(r.hasResult, 1)); // a card never takes a result back
    v.push_back(Num(r.edition));
    v.push_back(Str(r.addedPrizes));
    return v;
}

bool IsResultRow(const RunnerRecord& x)
{
    return x.finish > 0 || x.abnormal != Abnormal::None || x.timeTenths > 0;
}

std::vector<Value> RunnerValues(const RunnerRecord& x)
{
    std::vector<Value> v;
    v.reserve(kRunnerColumnCount);
    v.push_back(Num(x.frame));
    v.push_back(Str(x.horseId));
    v.push_back(Str(x.horseName));
    v.push_back(Chr(x.sex));
    v.push_back(Num(x.age));
    v.push_back(Num(x.carriedTenths));
    v.push_back(Str(x.jockeyId));
    v.push_back(Str(x.jockeyName));
    v.push_back(Num(x.finish));
    // None is a fact only beside a placing; on a card it says nothing.
    v.push_back(Known(x.abnormal != Abnormal::None || x.finish > 0, static_cast<int>(x.abnormal)));
    v.push_back(Num(x.timeTenths));
    v.push_back(Str(x.margin));
    for (int corner : x.corners)
        v.push_back(Num(corner));
    v.push_back(Num(x.last3fTenths));
    v.push_back(Num(x.winOddsTenths));
    v.push_back(Num(x.popularity));
    v.push_back(Num(x.bodyWeight));
    v.push_back(Known(x.bodyWeightChangeKnown, x.bodyWeightChange));
    v.push_back(Str(x.mark));
    v.push_back(Known(IsResultRow(x), 1));
    return v;
}

RaceStore::RaceStore(const std::filesystem::path& file, Access access)
    : file_(file)
{
    std::error_code ec;
    if (file.has_parent_path() && !std::filesystem::is_directory(file.parent_path(), ec)) {
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec)
            throw UserError(U"フォルダ(" + FromUtf8(file.parent_path().string()) + U")を作れません。");
    }
    if (access == Access::ReadOnly) {
        std::error_code exists;
        if (std::filesystem::exists(file, exists)) {
            db_ = std::make_unique<Db>(file, Db::Mode::ReadOnly);
            if (SchemaIsCurrent(*db_)) {
                db_->Exec("PRAGMA cache_size = -32768");
                return;
            }
            db_.reset();
        }
        // A store that does not exist yet, or of an older version: made current once by a writing open.
        {
            RaceStore writer(file, Access::ReadWrite);
        }
        db_ = std::make_unique<Db>(file, Db::Mode::ReadOnly);
        if (!SchemaIsCurrent(*db_))
            OpenSchema(*db_); // says what is wrong with the file
        return;
    }
    db_ = std::make_unique<Db>(file, Db::Mode::ReadWrite);
    // A large import touches the runner indexes all over; a page cache of 32 MiB keeps them in memory instead
    // of bouncing pages through the file system, well inside the memory an import may take.
    db_->Exec("PRAGMA cache_size = -32768");
    db_->Exec("PRAGMA temp_store = MEMORY");
    OpenSchema(*db_);
    // Readers (the race list of the window, a build) read while an import writes: with a write-ahead log
    // neither waits for the other. The mode stays with the file.
    Stmt wal(*db_, "PRAGMA journal_mode = WAL");
    wal.Step();
}

RaceStore::~RaceStore() = default;

std::vector<RaceRecord> RaceStore::Races(int fromDate, int toDate, int venue)
{
    Stmt s(*db_, RaceSelect() + "WHERE date BETWEEN ?1 AND ?2 AND (?3 = 0 OR venue = ?3) ORDER BY id");
    s.Bind(1, fromDate).Bind(2, toDate).Bind(3, venue);
    std::vector<RaceRecord> out;
    while (s.Step())
        out.push_back(RaceFrom(s));
    return out;
}

Stmt& RaceStore::Cached(std::unique_ptr<Stmt>& slot, const std::string& sql)
{
    if (!slot)
        slot = std::make_unique<Stmt>(*db_, sql);
    slot->Reset(); // also after a query that an exception left half-read
    return *slot;
}

std::optional<RaceRecord> RaceStore::Race(const RaceKey& key)
{
    Stmt& s = Cached(race_, RaceSelect() + "WHERE id = ?1");
    s.Bind(1, RaceId(key));
    if (!s.Step())
        return std::nullopt;
    RaceRecord r = RaceFrom(s);
    s.Reset(); // a statement left on its row would keep the file's read lock
    return r;
}

std::vector<RunnerRecord> RaceStore::Runners(const RaceKey& key)
{
    Stmt& s = Cached(runners_, RunnerSelect("") + " FROM runners WHERE race_id = ?1 ORDER BY number");
    s.Bind(1, RaceId(key));
    std::vector<RunnerRecord> out;
    while (s.Step())
        out.push_back(RunnerFrom(s));
    return out;
}

std::vector<StoredRun> RaceStore::RunsBefore(const std::string& horseId, const Text& horseName, int date)
{
    const long long before = static_cast<long long>(date) * 10000;
    std::string sql = RunnerSelect("") + " FROM runners WHERE race_id < ?1 AND ";
    sql += horseId.empty() ? "horse_name = ?3" : "(horse_id = ?2 OR (horse_name = ?3 AND +horse_id IS NULL))";
    Stmt& s = Cached(horseId.empty() ? runsByName_ : runsById_, sql + " ORDER BY race_id");
    s.Bind(1, before).Bind(3, ToUtf8(horseName));
    if (!horseId.empty())
        s.Bind(2, horseId);
    std::vector<StoredRun> out;
    while (s.Step()) {
        RunnerRecord x = RunnerFrom(s);
        out.push_back({ x.race, x });
    }
    return out;
}

std::vector<JockeyTally> RaceStore::JockeyTallies(int fromDate, int toDate)
{
    // Every race built asks for a year of rides. Grouping them in SQL sorts tens of thousands of rows by
    // text twice per race; counting them here in a hash table and sorting the few hundred groups is several
    // times cheaper, with the same groups in the same order (by rider, venue, then jockey id).
    const long long from = static_cast<long long>(fromDate) * 10000, to = static_cast<long long>(toDate) * 10000 + 9999;
    std::unordered_map<long long, int> venueOf;
    {
        Stmt races(*db_, "SELECT id, venue FROM races WHERE id BETWEEN ?1 AND ?2 AND has_result = 1");
        races.Bind(1, from).Bind(2, to);
        while (races.Step())
            venueOf.emplace(races.Int(0), IntAt(races, 1));
    }
    struct Group {
        bool hasId = false, hasRider = false;
        std::string id, rider;
        int venue = 0;
        int counts[4] = { 0, 0, 0, 0 };
    };
    std::vector<Group> groups;
    std::unordered_map<std::string, std::size_t> byKey;
    Stmt s(*db_,
        "SELECT r.race_id, r.jockey_id, coalesce(r.jockey_name, (SELECT short_name FROM jockeys WHERE id = "
        "r.jockey_id)),"
        " r.finish FROM runners r WHERE r.race_id BETWEEN ?1 AND ?2 AND coalesce(r.abnormal, 0) NOT IN (1, 2)");
    s.Bind(1, from).Bind(2, to);
    std::string key;
    while (s.Step()) {
        const auto race = venueOf.find(s.Int(0));
        if (race == venueOf.end())
            continue;
        const bool hasId = !s.IsNull(1), hasRider = !s.IsNull(2);
        key.assign(1, static_cast<char>('0' + hasId * 2 + hasRider));
        key += s.View(1);
        key += '\0';
        key += s.View(2);
        key += '\0';
        key += std::to_string(race->second);
        auto [it, fresh] = byKey.emplace(key, groups.size());
        if (fresh)
            groups.push_back({ hasId, hasRider, s.Str(1), s.Str(2), race->second, {} });
        Group& g = groups[it->second];
        const long long finish = s.IsNull(3) ? 0 : s.Int(3);
        ++g.counts[finish >= 1 && finish <= 3 ? finish - 1 : 3];
    }
    // NULL before any text, and texts in the order of their bytes, as SQLite orders them.
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
        return std::tie(a.hasRider, a.rider, a.venue, a.hasId, a.id)
            < std::tie(b.hasRider, b.rider, b.venue, b.hasId, b.id);
    });
    std::vector<JockeyTally> out;
    out.reserve(groups.size());
    for (const Group& g : groups) {
        JockeyTally t;
        t.jockeyId = g.id;
        t.jockeyName = FromUtf8(g.rider);
        t.venue = g.venue;
        std::copy(std::begin(g.counts), std::end(g.counts), t.counts);
        out.push_back(std::move(t));
    }
    return out;
}

std::optional<sources::JockeyRecord> RaceStore::Jockey(const std::string& id)
{
    Stmt s(*db_, "SELECT id, short_name, full_name FROM jockeys WHERE id = ?1");
    s.Bind(1, id);
    if (!s.Step())
        return std::nullopt;
    return sources::JockeyRecord { s.Str(0), TextAt(s, 1), TextAt(s, 2) };
}

std::optional<sources::HorseRecord> RaceStore::Horse(const std::string& id)
{
    Stmt s(*db_, "SELECT id, name, sex, birth_year FROM horses WHERE id = ?1");
    s.Bind(1, id);
    if (!s.Step())
        return std::nullopt;
    const Text sex = TextAt(s, 2);
    return sources::HorseRecord { s.Str(0), TextAt(s, 1), sex.empty() ? U'\0' : sex.front(),
        static_cast<int>(s.Int(3)) };
}

char32_t RaceStore::RunnerSex(const std::string& horseId, long long raceId)
{
    Stmt s(*db_,
        "SELECT sex FROM runners WHERE horse_id = ?1 AND race_id <= ?2 AND sex IS NOT NULL"
        " ORDER BY race_id DESC LIMIT 1");
    s.Bind(1, horseId).Bind(2, raceId);
    return s.Step() ? CharAt0(s, 0) : 0;
}

MorningView::MorningView(RaceStore& store, int date)
    : store_(store)
    , date_(date)
{
    // One snapshot for the whole build; inside a caller's transaction that one already is.
    if (sqlite3_get_autocommit(store.Database().Handle())) {
        store.Database().Exec("BEGIN");
        ownTransaction_ = true;
    }
}

MorningView::~MorningView()
{
    if (ownTransaction_)
        sqlite3_exec(store_.Database().Handle(), "COMMIT", nullptr, nullptr, nullptr);
}

std::optional<RaceRecord> MorningView::Race(const RaceKey& key, bool* withheld)
{
    if (withheld)
        *withheld = false;
    if (key.Date() > date_)
        return std::nullopt;
    std::optional<RaceRecord> r = store_.Race(key);
    if (r && key.Date() == date_) {
        if (withheld)
            *withheld = r->hasResult;
        // What the day's card could not know.
        r->hasResult = false;
        r->going = 0;
        r->weather.clear();
        r->fieldSize = 0;
        for (Text& c : r->cornerOrders)
            c.clear();
        r->last3f = r->last4f = 0;
        r->furlongTimes.clear();
    }
    return r;
}

std::vector<RunnerRecord> MorningView::Runners(const RaceKey& key)
{
    if (key.Date() > date_)
        return {};
    std::vector<RunnerRecord> runners = store_.Runners(key);
    if (key.Date() == date_)
        for (RunnerRecord& x : runners) {
            RunnerRecord card;
            card.race = x.race;
            card.frame = x.frame;
            card.number = x.number;
            card.horseId = x.horseId;
            card.horseName = x.horseName;
            card.sex = x.sex;
            card.age = x.age;
            card.carriedTenths = x.carriedTenths;
            card.jockeyId = x.jockeyId;
            card.jockeyName = x.jockeyName;
            card.mark = x.mark;
            if (x.abnormal == Abnormal::Scratched || x.abnormal == Abnormal::Excluded)
                card.abnormal = x.abnormal; // announced before the race
            x = card;
        }
    return runners;
}

std::vector<StoredRun> MorningView::RunsBefore(const std::string& horseId, const Text& horseName)
{
    return store_.RunsBefore(horseId, horseName, date_);
}

std::vector<JockeyTally> MorningView::JockeyTallies(int days, int& fromDate, int& toDate)
{
    int y, m, d;
    const int today = DaysFromCivil(date_ / 10000, date_ / 100 % 100, date_ % 100);
    CivilFromDays(today - std::max(days, 0), y, m, d);
    fromDate = (y * 100 + m) * 100 + d;
    CivilFromDays(today - 1, y, m, d);
    toDate = (y * 100 + m) * 100 + d;
    return store_.JockeyTallies(fromDate, toDate);
}

std::optional<sources::JockeyRecord> MorningView::Jockey(const std::string& id)
{
    return store_.Jockey(id);
}

std::optional<sources::HorseRecord> MorningView::Horse(const std::string& id, const RaceKey& race)
{
    std::optional<sources::HorseRecord> h = store_.Horse(id);
    if (!h)
        return h;
    const long long at = std::min(race.Id(), static_cast<long long>(date_) * 10000 + 9999);
    if (char32_t shown = store_.RunnerSex(id, at)) {
        h->sex = shown;
    } else if (h->sex == U'セ') {
        h->sex = 0; // gelded by the time of the horse file, but since when cannot be told
    }
    return h;
}

long long RaceStore::CountRows(const std::string& table)
{
    Stmt s(*db_, "SELECT count(*) FROM " + table);
    return s.Step() ? s.Int(0) : 0;
}

} // namespace pado::store
