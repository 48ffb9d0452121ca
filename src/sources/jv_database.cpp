#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

#include "platform/errors.h"
#include "sources/jv_fields.h"
#include "sources/source_reader.h"

namespace pado::sources {

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

Db OpenReadOnly(const std::string& path)
{
    sqlite3* raw = nullptr;
    // One thread reads through this connection, so SQLite need not lock around every column it hands out.
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK)
        return nullptr;
    return db;
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// Table names as the file spells them, by their upper-case form (SQLite compares names without case). A file
// SQLite cannot read (damaged, or another program's format behind the same header) leaves error set.
std::map<std::string, std::string> Tables(sqlite3* db, std::string* error = nullptr)
{
    std::map<std::string, std::string> names;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type IN ('table','view')", -1, &raw, nullptr)
        != SQLITE_OK) {
        if (error)
            *error = sqlite3_errmsg(db);
        return names;
    }
    Stmt stmt(raw);
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
        const unsigned char* n = sqlite3_column_text(stmt.get(), 0);
        if (n)
            names[Upper(reinterpret_cast<const char*>(n))] = reinterpret_cast<const char*>(n);
    }
    return names;
}

std::vector<std::string> Columns(sqlite3* db, const std::string& table)
{
    std::vector<std::string> cols;
    sqlite3_stmt* raw = nullptr;
    std::string sql = "PRAGMA table_info(\"" + table + "\")";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        return cols;
    Stmt stmt(raw);
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
        const unsigned char* n = sqlite3_column_text(stmt.get(), 1);
        if (n)
            cols.push_back(reinterpret_cast<const char*>(n));
    }
    return cols;
}

// The two layouts a JV-Data database comes in: the standard database's tables, or the NL_ tables named after
// the record types. The columns are named after the record fields in both.
struct Layout {
    std::string race, runner, jockey, horse;
};

std::optional<Layout> FindLayout(const std::map<std::string, std::string>& tables)
{
    auto name = [&](const char* upper) {
        auto it = tables.find(upper);
        return it == tables.end() ? std::string() : it->second;
    };
    Layout standard { name("RACE"), name("UMA_RACE"), name("KISYU"), name("UMA") };
    if (!standard.race.empty() && !standard.runner.empty())
        return standard;
    Layout nl { name("NL_RA"), name("NL_SE"), name("NL_KS"), name("NL_UM") };
    if (!nl.race.empty() && !nl.runner.empty())
        return nl;
    return std::nullopt;
}

// One column bound to a field of the record being filled: ASCII for numbers and codes, Text for names.
struct Binding {
    std::string column;
    std::string* ascii = nullptr;
    Text* text = nullptr;
    bool key = false; // without it no row can be placed, so the table is not read at all
};

class TableReader {
public:
    TableReader(sqlite3* db, const std::string& file, RecordSink& sink)
        : db_(db)
        , file_(file)
        , sink_(sink)
    {
    }

    // Reads every row of table, filling the bound fields, and calls row() for each; false when the table could
    // not be read (reported). Missing columns are named in the report; their fields stay blank (unknown).
    template <class Row> bool Read(const std::string& table, const std::vector<Binding>& bindings, Row row)
    {
        std::vector<std::string> columns = Columns(db_, table);
        std::map<std::string, std::string> byUpper;
        for (const std::string& c : columns)
            byUpper[Upper(c)] = c;
        std::vector<const Binding*> present;
        std::string missing;
        bool keyMissing = false;
        std::string select;
        for (const Binding& b : bindings) {
            auto it = byUpper.find(Upper(b.column));
            if (it == byUpper.end()) {
                missing += (missing.empty() ? "" : ", ") + b.column;
                keyMissing = keyMissing || b.key;
                continue;
            }
            select += (select.empty() ? "\"" : ", \"") + it->second + "\"";
            present.push_back(&b);
        }
        if (!missing.empty())
            sink_.Malformed(file_, 0, "テーブル" + table + "に列がありません: " + missing);
        if (keyMissing)
            return false;
        sqlite3_stmt* raw = nullptr;
        std::string sql = "SELECT " + select + " FROM \"" + table + "\"";
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
            sink_.Malformed(file_, 0, "テーブル" + table + "を読めません: " + sqlite3_errmsg(db_));
            return false;
        }
        Stmt stmt(raw);
        long n = 0;
        int rc;
        while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
            if (sink_.Cancelled())
                return true;
            ++n;
            for (std::size_t i = 0; i < present.size(); ++i) {
                std::string_view value = Value(stmt.get(), static_cast<int>(i));
                if (present[i]->ascii)
                    present[i]->ascii->assign(value);
                else
                    *present[i]->text = FromUtf8(value);
            }
            JvOutcome o = row();
            if (o.kind == JvOutcome::Skipped)
                sink_.Skipped(o.text);
            else if (o.kind == JvOutcome::Malformed)
                sink_.Malformed(file_, n, table + ": " + o.text);
        }
        if (rc != SQLITE_DONE)
            sink_.Malformed(file_, n + 1, "テーブル" + table + "を読めません: " + sqlite3_errmsg(db_));
        return true;
    }

private:
    // A column's value as text. Numbers are written here rather than by SQLite's own formatting, which would
    // dominate a large table; a stored decimal keeps its point, since the point is what says it is in seconds,
    // kilograms or odds rather than in the record's digits.
    std::string_view Value(sqlite3_stmt* stmt, int i)
    {
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER: {
            auto r = std::to_chars(number_, number_ + sizeof number_, sqlite3_column_int64(stmt, i));
            return { number_, static_cast<std::size_t>(r.ptr - number_) };
        }
        case SQLITE_FLOAT: {
            auto r = std::to_chars(
                number_, number_ + sizeof number_, sqlite3_column_double(stmt, i), std::chars_format::fixed, 3);
            return r.ec == std::errc() ? std::string_view(number_, static_cast<std::size_t>(r.ptr - number_))
                                       : std::string_view("x"); // beyond any field: reported as unreadable
        }
        default: {
            const unsigned char* t = sqlite3_column_text(stmt, i);
            return t ? std::string_view(
                       reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)))
                     : std::string_view();
        }
        }
    }

    char number_[64];
    sqlite3* db_;
    std::string file_;
    RecordSink& sink_;
};

void BindIdentification(std::vector<Binding>& b, std::string& dataKubun, std::string& year, std::string& monthDay,
    std::string& jyoCD, std::string& kaiji, std::string& nichiji, std::string& raceNum)
{
    b.push_back({ "DataKubun", &dataKubun });
    b.push_back({ "Year", &year, nullptr, true });
    b.push_back({ "MonthDay", &monthDay, nullptr, true });
    b.push_back({ "JyoCD", &jyoCD, nullptr, true });
    b.push_back({ "Kaiji", &kaiji, nullptr, true });
    b.push_back({ "Nichiji", &nichiji, nullptr, true });
    b.push_back({ "RaceNum", &raceNum, nullptr, true });
}

} // namespace

bool LooksLikeJvDatabase(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char magic[16] = {};
    if (!in.read(magic, sizeof magic) || std::string_view(magic, 16) != std::string_view("SQLite format 3\0", 16))
        return false;
    in.close();
    Db db = OpenReadOnly(file.string());
    return db && FindLayout(Tables(db.get())).has_value();
}

void ReadJvDatabase(const std::filesystem::path& file, RecordSink& sink)
{
    std::string path = file.string();
    Db db = OpenReadOnly(path);
    if (!db)
        throw UserError(U"ファイル(" + FromUtf8(path) + U")を開けません。");
    std::string error;
    std::map<std::string, std::string> tables = Tables(db.get(), &error);
    if (!error.empty()) {
        sink.Malformed(path, 0, "SQLiteのデータベースとして読めません: " + error);
        return;
    }
    std::optional<Layout> layout = FindLayout(tables);
    if (!layout) {
        sink.Malformed(path, 0, "テーブルRACEとUMA_RACE(またはNL_RAとNL_SE)がありません");
        return;
    }
    TableReader reader(db.get(), path, sink);

    if (!layout->jockey.empty()) {
        JvJockeyFields f;
        std::vector<Binding> b { { "KisyuCode", &f.kisyuCode, nullptr, true }, { "KisyuName", nullptr, &f.kisyuName },
            { "KisyuRyakusyo", nullptr, &f.kisyuRyakusyo } };
        reader.Read(layout->jockey, b, [&] {
            JockeyRecord j;
            JvOutcome o = ConvertJvJockey(f, j);
            if (o.kind == JvOutcome::Used)
                sink.Jockey(j);
            return o;
        });
    }
    if (!layout->horse.empty()) {
        JvHorseFields f;
        std::vector<Binding> b { { "KettoNum", &f.kettoNum, nullptr, true }, { "BirthDate", &f.birthDate },
            { "SexCD", &f.sexCD }, { "Bamei", nullptr, &f.bamei } };
        reader.Read(layout->horse, b, [&] {
            HorseRecord h;
            JvOutcome o = ConvertJvHorse(f, h);
            if (o.kind == JvOutcome::Used)
                sink.Horse(h);
            return o;
        });
    }
    {
        JvRaceFields f;
        std::vector<Binding> b;
        BindIdentification(b, f.dataKubun, f.year, f.monthDay, f.jyoCD, f.kaiji, f.nichiji, f.raceNum);
        b.push_back({ "Hondai", nullptr, &f.hondai });
        for (auto [name, field] : { std::pair { "GradeCD", &f.gradeCD }, { "SyubetuCD", &f.syubetuCD },
                 { "JyuryoCD", &f.jyuryoCD }, { "JyokenCD5", &f.jyokenCD5 }, { "Kyori", &f.kyori },
                 { "TrackCD", &f.trackCD }, { "HassoTime", &f.hassoTime }, { "SyussoTosu", &f.syussoTosu },
                 { "TenkoCD", &f.tenkoCD }, { "SibaBabaCD", &f.sibaBabaCD }, { "DirtBabaCD", &f.dirtBabaCD },
                 { "HaronTimeL3", &f.haronTimeL3 }, { "HaronTimeL4", &f.haronTimeL4 } })
            b.push_back({ name, field });
        for (int i = 0; i < 25; ++i)
            b.push_back({ "LapTime" + std::to_string(i + 1), &f.lapTime[i] });
        for (int i = 0; i < 5; ++i)
            b.push_back({ "Honsyokin" + std::to_string(i + 1), &f.honsyokin[i] });
        for (int i = 0; i < 5; ++i)
            b.push_back({ "Fukasyokin" + std::to_string(i + 1), &f.fukasyokin[i] });
        b.push_back({ "Nkai", &f.nkai });
        for (int i = 0; i < 4; ++i) {
            b.push_back({ "Corner" + std::to_string(i + 1), &f.corner[i] });
            b.push_back({ "Jyuni" + std::to_string(i + 1), nullptr, &f.jyuni[i] });
        }
        reader.Read(layout->race, b, [&] {
            RaceRecord r;
            JvOutcome o = ConvertJvRace(f, r);
            if (o.kind == JvOutcome::Used)
                sink.Race(r);
            return o;
        });
    }
    {
        JvRunnerFields f;
        std::vector<Binding> b;
        BindIdentification(b, f.dataKubun, f.year, f.monthDay, f.jyoCD, f.kaiji, f.nichiji, f.raceNum);
        b.push_back({ "Umaban", &f.umaban, nullptr, true });
        b.push_back({ "Bamei", nullptr, &f.bamei });
        b.push_back({ "KisyuRyakusyo", nullptr, &f.kisyuRyakusyo });
        for (auto [name, field] : { std::pair { "Wakuban", &f.wakuban }, { "KettoNum", &f.kettoNum },
                 { "SexCD", &f.sexCD }, { "Barei", &f.barei }, { "Futan", &f.futan }, { "KisyuCode", &f.kisyuCode },
                 { "BaTaijyu", &f.baTaijyu }, { "ZogenFugo", &f.zogenFugo }, { "ZogenSa", &f.zogenSa },
                 { "IJyoCD", &f.ijyoCD }, { "KakuteiJyuni", &f.kakuteiJyuni }, { "Time", &f.time },
                 { "ChakusaCD", &f.chakusaCD }, { "Odds", &f.odds }, { "Ninki", &f.ninki },
                 { "HaronTimeL3", &f.haronTimeL3 } })
            b.push_back({ name, field });
        for (int i = 0; i < 4; ++i)
            b.push_back({ "Jyuni" + std::to_string(i + 1) + "c", &f.jyuni[i] });
        reader.Read(layout->runner, b, [&] {
            RunnerRecord r;
            JvOutcome o = ConvertJvRunner(f, r);
            if (o.kind == JvOutcome::Used)
                sink.Runner(r);
            return o;
        });
    }
}

} // namespace pado::sources
