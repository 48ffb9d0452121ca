#include "store/schema.h"

#include <string>

#include "platform/errors.h"

namespace pado::store {

namespace {

// Version 1: races keyed by yyyymmdd·venue·number in one integer, so that key order is date order.
const char* const kVersion1 = R"(
CREATE TABLE races(
  id INTEGER PRIMARY KEY,
  date INTEGER NOT NULL, venue INTEGER NOT NULL, number INTEGER NOT NULL,
  meeting INTEGER, meeting_day INTEGER, name TEXT, class_text TEXT, conditions TEXT, grade INTEGER,
  surface TEXT, distance INTEGER, direction TEXT, going TEXT, weather TEXT, start_time INTEGER,
  field_size INTEGER, corner1 TEXT, corner2 TEXT, corner3 TEXT, corner4 TEXT, last3f INTEGER, last4f INTEGER,
  furlongs TEXT, prizes TEXT, has_result INTEGER);
CREATE INDEX races_date ON races(date, venue, number);
CREATE INDEX races_meeting ON races(venue, meeting, meeting_day, number);
CREATE TABLE runners(
  race_id INTEGER NOT NULL, number INTEGER NOT NULL, frame INTEGER, horse_id TEXT, horse_name TEXT,
  sex TEXT, age INTEGER, carried INTEGER, jockey_id TEXT, jockey_name TEXT, finish INTEGER, abnormal INTEGER,
  time INTEGER, margin TEXT, corner1 INTEGER, corner2 INTEGER, corner3 INTEGER, corner4 INTEGER, last3f INTEGER,
  odds INTEGER, popularity INTEGER, body_weight INTEGER, weight_change INTEGER,
  PRIMARY KEY(race_id, number)) WITHOUT ROWID;
CREATE INDEX runners_horse_id ON runners(horse_id, race_id);
CREATE INDEX runners_horse_name ON runners(horse_name, race_id);
CREATE TABLE horses(id TEXT PRIMARY KEY, name TEXT, sex TEXT, birth_year INTEGER) WITHOUT ROWID;
CREATE TABLE jockeys(id TEXT PRIMARY KEY, short_name TEXT, full_name TEXT) WITHOUT ROWID;
)";

// Version 2: the card's edition number and added prize money, and the horse mark such as 外.
const char* const kVersion2 = R"(
ALTER TABLE races ADD COLUMN edition INTEGER;
ALTER TABLE races ADD COLUMN added_prizes TEXT;
ALTER TABLE runners ADD COLUMN mark TEXT;
)";

// Version 3: which runner rows a result wrote. A card never overwrites what a result gave, whichever file came
// first; rows of an older store that hold a placing, an abnormal end or a time came from a result.
const char* const kVersion3 = R"(
ALTER TABLE runners ADD COLUMN result INTEGER;
UPDATE runners SET result = 1 WHERE finish IS NOT NULL OR abnormal IS NOT NULL OR time IS NOT NULL;
)";

const char* const kSteps[] = { kVersion1, kVersion2, kVersion3 };

int UserVersion(Db& db)
{
    Stmt s(db, "PRAGMA user_version");
    return s.Step() ? static_cast<int>(s.Int(0)) : 0;
}

void MigrateTo(Db& db, int from, int to)
{
    Transaction t(db);
    for (int v = from + 1; v <= to; ++v)
        db.Exec(kSteps[v - 1]);
    db.Exec("PRAGMA user_version = " + std::to_string(to));
    t.Commit();
}

} // namespace

void OpenSchema(Db& db)
{
    const int version = UserVersion(db);
    if (version > kSchemaVersion)
        throw UserError(U"レースデータファイル(" + FromUtf8(db.File().string()) + U")は新しい版の形式(バージョン "
            + ToText(version) + U")です。この版が扱えるのはバージョン " + ToText(kSchemaVersion)
            + U" までです。新しい版のプログラムで開いてください。");
    if (version == 0) {
        // A file with tables but no version is someone else's database, not an empty store.
        Stmt s(db, "SELECT count(*) FROM sqlite_master");
        if (s.Step() && s.Int(0) > 0)
            throw UserError(U"ファイル(" + FromUtf8(db.File().string()) + U")はレースデータファイルではありません。");
    }
    if (version < kSchemaVersion)
        MigrateTo(db, version, kSchemaVersion);
}

bool SchemaIsCurrent(Db& db)
{
    return UserVersion(db) == kSchemaVersion;
}

void CreateSchemaVersion(Db& db, int version)
{
    MigrateTo(db, 0, version);
}

} // namespace pado::store
