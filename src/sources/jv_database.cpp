#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/errors.h"
#include "sources/jv_fields.h"
#include "sources/source_reader.h"
#include "store/sqlite_db.h"

namespace pado::sources {

namespace {

using store::Db;
using store::Stmt;

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// Table names as the file spells them, by their upper-case form (SQLite compares names without case). A file
// SQLite cannot read (damaged, or another program's format behind the same header) throws UserError.
std::map<std::string, std::string> Tables(Db& db)
{
    std::map<std::string, std::string> names;
    Stmt stmt(db, "SELECT name FROM sqlite_master WHERE type IN ('table','view')");
    while (stmt.Step())
        if (!stmt.IsNull(0))
            names[Upper(stmt.Str(0))] = stmt.Str(0);
    return names;
}

// A name as an SQL identifier: the file chose it, so it is quoted whatever it holds.
std::string Quoted(const std::string& name)
{
    std::string q = "\"";
    for (char c : name)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::vector<std::string> Columns(Db& db, const std::string& table)
{
    std::vector<std::string> cols;
    Stmt stmt(db, "PRAGMA table_info(" + Quoted(table) + ")");
    while (stmt.Step())
        if (!stmt.IsNull(1))
            cols.push_back(stmt.Str(1));
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
    bool optional = false; // a column only some layouts have; its absence is not worth a word
    bool* found = nullptr; // told whether the table has the column
};

class TableReader {
public:
    TableReader(Db& db, const std::string& file, RecordSink& sink)
        : db_(db)
        , file_(file)
        , sink_(sink)
    {
    }

    // Reads every row of table, filling the bound fields, and calls row() for each; false when the table could
    // not be read (reported). Missing columns are named in the report; their fields stay blank (unknown).
    template <class Row> bool Read(const std::string& table, const std::vector<Binding>& bindings, Row row)
    {
        long n = 0;
        try {
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
                if (b.found)
                    *b.found = it != byUpper.end();
                if (it == byUpper.end()) {
                    if (!b.optional) {
                        missing += (missing.empty() ? "" : ", ") + b.column;
                        keyMissing = keyMissing || b.key;
                    }
                    continue;
                }
                select += (select.empty() ? "" : ", ") + Quoted(it->second);
                present.push_back(&b);
            }
            if (!missing.empty())
                sink_.Malformed(file_, 0, "テーブル" + table + "に列がありません: " + missing);
            if (keyMissing)
                return false;
            Stmt stmt(db_, "SELECT " + select + " FROM " + Quoted(table));
            while (stmt.Step()) {
                if (sink_.Cancelled())
                    return true;
                ++n;
                for (std::size_t i = 0; i < present.size(); ++i) {
                    std::string_view value = Value(stmt, static_cast<int>(i));
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
                else if (!o.warning.empty())
                    sink_.Malformed(file_, n, table + ": " + o.warning);
            }
        } catch (const UserError& e) {
            if (sink_.Cancelled())
                return true;
            // A step that failed or was cut off at a bound: what was read stands, the rest of the table is named.
            sink_.Malformed(file_, n + 1, "テーブル" + table + "を読めません: " + ToUtf8(e.Message()));
            return false;
        }
        return true;
    }

private:
    // A column's value as text. Numbers are written here rather than by SQLite's own formatting, which would
    // dominate a large table; a stored decimal keeps its point, since the point is what says it holds the
    // record's digits divided by ten (or kilograms, odds) rather than the digits themselves.
    std::string_view Value(Stmt& stmt, int i)
    {
        if (stmt.IsNull(i))
            return {};
        if (stmt.IsInteger(i)) {
            auto r = std::to_chars(number_, number_ + sizeof number_, stmt.Int(i));
            return { number_, static_cast<std::size_t>(r.ptr - number_) };
        }
        if (stmt.IsReal(i)) {
            auto r = std::to_chars(number_, number_ + sizeof number_, stmt.Real(i), std::chars_format::fixed, 3);
            return r.ec == std::errc() ? std::string_view(number_, static_cast<std::size_t>(r.ptr - number_))
                                       : std::string_view("x"); // beyond any field: reported as unreadable
        }
        return stmt.View(i);
    }

    char number_[400]; // a real as large as a double goes, written out in full
    Db& db_;
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
    try {
        Db db(file, Db::Mode::ReadOnly, U"ファイル");
        // Looking costs at most a glance, whatever the schema holds.
        db.Bound({ 1000, std::chrono::seconds(5), {} });
        return FindLayout(Tables(db)).has_value();
    } catch (const UserError&) {
        return false;
    }
}

void ReadJvDatabase(const std::filesystem::path& file, RecordSink& sink)
{
    // A table holds at most a few rows per eight bytes of its file; a view may make rows without end, and a
    // query may run without giving any. A real database of every race since 1986 stays far inside both.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    ReadJvDatabaseBounded(file, sink, 100000 + static_cast<long long>(ec ? 0 : size / 8), std::chrono::seconds(60));
}

void ReadJvDatabaseBounded(
    const std::filesystem::path& file, RecordSink& sink, long long maxRows, std::chrono::milliseconds maxWait)
{
    std::string path = file.string();
    Db db(file, Db::Mode::ReadOnly, U"ファイル");
    db.Bound({ maxRows, maxWait, [&sink] { return sink.Cancelled(); } });
    std::map<std::string, std::string> tables;
    try {
        tables = Tables(db);
    } catch (const UserError& e) {
        sink.Malformed(path, 0, "SQLiteのデータベースとして読めません: " + ToUtf8(e.Message()));
        return;
    }
    std::optional<Layout> layout = FindLayout(tables);
    if (!layout) {
        sink.Malformed(path, 0, "テーブルRACEとUMA_RACE(またはNL_RAとNL_SE)がありません");
        return;
    }
    TableReader reader(db, path, sink);

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
        b.push_back({ "KigoCD", &f.kigoCD, nullptr, false, true });
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
            b.push_back({ "Jyuni" + std::to_string(i + 1), nullptr, &f.jyuni[i], false, false,
                i == 0 ? &f.cornerColumns : nullptr });
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
        // Newer databases of the Linux bridge keep the time in seconds beside the provider's digits.
        b.push_back({ "RaceTimeSeconds", &f.raceTimeSeconds, nullptr, false, true });
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
