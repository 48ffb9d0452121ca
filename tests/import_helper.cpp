// Two chores of the import round trip that need SQLite:
//   import-helper jv-database RECORD_DIR OUT.sqlite
//     writes the JV-Data records of every file below RECORD_DIR as a database in the standard layout a user's
//     data software keeps on Linux (tables RACE, UMA_RACE, KISYU, UMA; one text column per record field, the
//     record's own digits, names decoded and unpadded), so that the database reader can be fed the same races;
//   import-helper dump STORE
//     prints a race store one field per line, "table key column value", in key order, so that stores filled from
//     different sources can be compared with diff and a field a source does not carry can be left out by name.
#include <cstdio>
#include <filesystem>
#include <map>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "sources/fixed_record.h"
#include "sources/jv_layout.h"

namespace {

using namespace pado::sources;

struct Column {
    std::string name;
    int pos, len;
    bool text = false; // CP932 name field
};

std::vector<Column> Identification()
{
    return { { "RecordSpec", jv::kRecordType, 2 }, { "DataKubun", jv::kDataKubun, 1 }, { "Year", jv::kYear, 4 },
        { "MonthDay", jv::kMonthDay, 4 }, { "JyoCD", jv::kJyoCD, 2 }, { "Kaiji", jv::kKaiji, 2 },
        { "Nichiji", jv::kNichiji, 2 }, { "RaceNum", jv::kRaceNum, 2 } };
}

std::vector<Column> RaceColumns()
{
    using namespace jv::ra;
    std::vector<Column> c = Identification();
    c.insert(c.end(),
        { { "Hondai", kHondai, 60, true }, { "GradeCD", kGradeCD, 1 }, { "SyubetuCD", kSyubetuCD, 2 },
            { "JyuryoCD", kJyuryoCD, 1 }, { "JyokenCD5", kJyokenCD5, 3 }, { "Kyori", kKyori, 4 },
            { "TrackCD", kTrackCD, 2 }, { "HassoTime", kHassoTime, 4 }, { "SyussoTosu", kSyussoTosu, 2 },
            { "TenkoCD", kTenkoCD, 1 }, { "SibaBabaCD", kSibaBabaCD, 1 }, { "DirtBabaCD", kDirtBabaCD, 1 },
            { "HaronTimeL3", kHaronTimeL3, 3 }, { "HaronTimeL4", kHaronTimeL4, 3 } });
    for (int i = 0; i < 5; ++i)
        c.push_back({ "Honsyokin" + std::to_string(i + 1), kHonsyokin1 + 8 * i, 8 });
    for (int i = 0; i < 5; ++i)
        c.push_back({ "Fukasyokin" + std::to_string(i + 1), kFukasyokin1 + 8 * i, 8 });
    c.push_back({ "Nkai", kNkai, 3 });
    for (int i = 0; i < 25; ++i)
        c.push_back({ "LapTime" + std::to_string(i + 1), kLapTime1 + 3 * i, 3 });
    for (int i = 0; i < 4; ++i) {
        c.push_back({ "Corner" + std::to_string(i + 1), kCorner1 + kCornerStride * i, 1 });
        c.push_back({ "Jyuni" + std::to_string(i + 1), kCorner1 + kCornerStride * i + 2, 70, true });
    }
    return c;
}

std::vector<Column> RunnerColumns()
{
    using namespace jv::se;
    std::vector<Column> c = Identification();
    c.insert(c.end(),
        { { "Wakuban", kWakuban, 1 }, { "Umaban", kUmaban, 2 }, { "KettoNum", kKettoNum, 10 },
            { "Bamei", kBamei, 36, true }, { "SexCD", kSexCD, 1 }, { "Barei", kBarei, 2 }, { "Futan", kFutan, 3 },
            { "KisyuCode", kKisyuCode, 5 }, { "KisyuRyakusyo", kKisyuRyakusyo, 8, true }, { "BaTaijyu", kBaTaijyu, 3 },
            { "ZogenFugo", kZogenFugo, 1 }, { "ZogenSa", kZogenSa, 3 }, { "IJyoCD", kIJyoCD, 1 },
            { "KakuteiJyuni", kKakuteiJyuni, 2 }, { "Time", kTime, 4 }, { "ChakusaCD", kChakusaCD, 3 },
            { "Odds", kOdds, 4 }, { "Ninki", kNinki, 2 }, { "HaronTimeL3", kHaronTimeL3, 3 } });
    for (int i = 0; i < 4; ++i)
        c.push_back({ "Jyuni" + std::to_string(i + 1) + "c", kJyuni1c + 2 * i, 2 });
    return c;
}

std::vector<Column> JockeyColumns()
{
    using namespace jv::ks;
    return { { "KisyuCode", kKisyuCode, 5 }, { "KisyuName", kKisyuName, 34, true },
        { "KisyuRyakusyo", kKisyuRyakusyo, 8, true } };
}

std::vector<Column> HorseColumns()
{
    using namespace jv::um;
    return { { "KettoNum", kKettoNum, 10 }, { "BirthDate", kBirthDate, 8 }, { "SexCD", kSexCD, 1 },
        { "Bamei", kBamei, 36, true } };
}

bool Exec(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "import-helper: %s: %s\n", sql.c_str(), error ? error : "?");
        sqlite3_free(error);
        return false;
    }
    return true;
}

struct Table {
    std::string name;
    std::vector<Column> columns;
    sqlite3_stmt* insert = nullptr;
};

bool Prepare(sqlite3* db, Table& t)
{
    std::string cols, params;
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
        cols += (i ? ", " : "") + t.columns[i].name + " TEXT";
        params += (i ? ", ?" : "?");
    }
    if (!Exec(db, "CREATE TABLE " + t.name + "(" + cols + ")"))
        return false;
    return sqlite3_prepare_v2(db, ("INSERT INTO " + t.name + " VALUES(" + params + ")").c_str(), -1, &t.insert, nullptr)
        == SQLITE_OK;
}

bool Insert(Table& t, std::string_view record)
{
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
        const Column& c = t.columns[i];
        std::string value(FieldAt(record, c.pos, c.len));
        if (c.text) {
            std::optional<pado::Text> decoded = TextField(value);
            if (!decoded)
                return false;
            value = pado::ToUtf8(*decoded);
        }
        sqlite3_bind_text(
            t.insert, static_cast<int>(i + 1), value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    const bool ok = sqlite3_step(t.insert) == SQLITE_DONE;
    sqlite3_reset(t.insert);
    return ok;
}

int JvDatabase(const std::filesystem::path& dir, const std::filesystem::path& out)
{
    std::filesystem::remove(out);
    sqlite3* db = nullptr;
    if (sqlite3_open(out.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "import-helper: cannot create %s\n", out.c_str());
        return 1;
    }
    std::map<std::string, Table> tables { { "RA", { "RACE", RaceColumns() } },
        { "SE", { "UMA_RACE", RunnerColumns() } }, { "KS", { "KISYU", JockeyColumns() } },
        { "UM", { "UMA", HorseColumns() } } };
    bool ok = Exec(db, "BEGIN");
    for (auto& [recordType, t] : tables)
        ok = ok && Prepare(db, t);
    long rows = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (!ok || !entry.is_regular_file())
            continue;
        ForEachLine(entry.path().string(), [&](std::string_view line, long number) {
            auto it = tables.find(std::string(line.substr(0, 2)));
            if (it == tables.end())
                return true;
            if (!Insert(it->second, line)) {
                std::fprintf(stderr, "import-helper: %s:%ld not stored\n", entry.path().c_str(), number);
                ok = false;
            }
            ++rows;
            return ok;
        });
    }
    for (auto& [recordType, t] : tables)
        sqlite3_finalize(t.insert);
    ok = ok && Exec(db, "COMMIT");
    sqlite3_close(db);
    if (ok)
        std::printf("%ld rows\n", rows);
    return ok ? 0 : 1;
}

int Dump(const std::filesystem::path& store)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "import-helper: cannot open %s\n", store.c_str());
        return 1;
    }
    const std::pair<const char*, const char*> queries[] = {
        { "races", "SELECT id AS key, * FROM races ORDER BY id" },
        { "runners",
            "SELECT race_id || '#' || printf('%02d', number) AS key, * FROM runners ORDER BY race_id, number" },
        { "jockeys", "SELECT id AS key, * FROM jockeys ORDER BY id" },
        { "horses", "SELECT id AS key, * FROM horses ORDER BY id" },
    };
    int rc = 0;
    for (auto [table, sql] : queries) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "import-helper: %s\n", sqlite3_errmsg(db));
            rc = 1;
            continue;
        }
        while (sqlite3_step(s) == SQLITE_ROW) {
            const char* key = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
            for (int i = 1; i < sqlite3_column_count(s); ++i) {
                const unsigned char* v = sqlite3_column_text(s, i);
                std::printf("%s %s %s %s\n", table, key ? key : "", sqlite3_column_name(s, i),
                    v ? reinterpret_cast<const char*>(v) : "NULL");
            }
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return rc;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "jv-database" && argc == 4)
            return JvDatabase(argv[2], argv[3]);
        if (command == "dump" && argc == 3)
            return Dump(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "import-helper: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: import-helper jv-database RECORD_DIR OUT.sqlite | dump STORE\n");
    return 2;
}
