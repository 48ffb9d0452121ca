// pado-import: puts race data files into the race store and builds any race's four files from it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/errors.h"
#include "platform/textfile.h"
#include "sources/csv_columns.h"
#include "sources/venue_codes.h"
#include "store/importer.h"
#include "store/race_builder.h"
#include "store/race_store.h"

namespace {

using namespace pado;
using namespace pado::store;
namespace fsys = std::filesystem;

constexpr int kUsage = 2;

// Text from data files on its way to a terminal: a control character (an escape sequence that would retitle
// the window, clear the screen or fake other output) is shown as \xHH, a C1 control as \u{HHHH}; a byte that is
// not UTF-8 as \xHH too. Tabs stay only where this program puts them, between columns.
std::string Shown(const std::string& utf8, bool keepLineBreaks = false)
{
    std::string out;
    char buf[16];
    for (char32_t c : FromUtf8(utf8)) {
        if (c == U'\n' && keepLineBreaks) {
            out += '\n';
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(c));
            out += buf;
        } else if ((c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E)
            || (c >= 0x2066 && c <= 0x2069)) {
            std::snprintf(buf, sizeof buf, "\\u{%04X}", static_cast<unsigned>(c));
            out += buf;
        } else if (c >= kEscapedByteFirst && c <= kEscapedByteLast) {
            std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(c - 0xDC00));
            out += buf;
        } else {
            out += ToUtf8(Text(1, c));
        }
    }
    return out;
}
std::string Shown(const Text& t, bool keepLineBreaks = false)
{
    return Shown(ToUtf8(t), keepLineBreaks);
}

void Usage()
{
    std::cerr
        << "使い方:\n"
           "  pado-import add [--store FILE] [--columns FILE] PATH...\n"
           "  pado-import races [--store FILE] [--date YYYY-MM-DD | --from YYYY-MM-DD --to YYYY-MM-DD] [--venue 中山]\n"
           "  pado-import build [--store FILE] RACE [--past-runs N] [--jockey-days N] [--out DIR]\n"
           "  pado-import results [--store FILE] RACE... [--out FILE]\n"
           "  pado-import backtest [--store FILE] --from YYYY-MM-DD --to YYYY-MM-DD [--venue 中山] [--surface "
           "芝|ダ|障]\n"
           "                       [--mode 1|2|3|4] [--params FILE]... [--past-runs N] [--jobs N] [--out DIR]\n"
           "  pado-import tune --from … --to … --holdout YYYY-MM-DD [--objective top3|win|return] …  (tune --help)\n"
           "RACE: YYYYMMDDVVRR (VV 場コード 01 札幌 … 10 小倉) または \"YYYY-MM-DD 中山 11\"\n"
           "終了コード: 0 すべて正常, 1 報告あり, 2 使い方の誤り\n";
}

struct Args {
    std::string command;
    fsys::path store = DefaultStorePath();
    std::vector<std::string> positional;
    std::string date, from, to, venue, out, columns;
    int pastRuns = 5, jockeyDays = 365;
};

bool ParseNumber(const std::string& s, int& v, int lo, int hi)
{
    char* end = nullptr;
    long n = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end || n < lo || n > hi)
        return false;
    v = static_cast<int>(n);
    return true;
}

// yyyy-mm-dd to yyyymmdd, 0 when unreadable.
int DateNumber(const std::string& s)
{
    auto key = ParseRaceName(s + " 01 1");
    return key ? DateOf(*key) : 0;
}

class ProgressLine : public ImportObserver {
public:
    ProgressLine(std::size_t files, std::uintmax_t bytes)
        : files_(files)
        , totalBytes_(bytes)
        , terminal_(isatty(2))
        , start_(std::chrono::steady_clock::now())
    {
    }
    void FileStarted(const fsys::path&, std::uintmax_t bytes) override
    {
        ++file_;
        doneBytes_ += fileBytes_;
        doneRecords_ += fileRecords_;
        fileBytes_ = bytes;
        fileRecords_ = 0;
        Show();
    }
    void Progress(long records) override
    {
        fileRecords_ = records;
        Show();
    }
    void Finish()
    {
        if (terminal_)
            std::cerr << "\r\033[K";
    }

private:
    void Show()
    {
        if (!terminal_)
            return;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count() + 1e-6;
        const long records = doneRecords_ + fileRecords_;
        // Bytes read so far are estimated from the records of the files done (or of this file's own size).
        const double bytesPerRecord = doneRecords_ > 0 ? static_cast<double>(doneBytes_) / doneRecords_ : 200.0;
        const double bytes = static_cast<double>(doneBytes_)
            + std::min<double>(static_cast<double>(fileBytes_), fileRecords_ * bytesPerRecord);
        const double left = bytes > 0 ? seconds * (static_cast<double>(totalBytes_) - bytes) / bytes : 0;
        char line[160];
        std::snprintf(line, sizeof line, "\r\033[Kファイル %zu/%zu  レコード %ld  %.0f 件/秒  残り約 %.0f 秒",
            std::min(file_, files_), // files read again at the end count once
            files_, records, records / seconds, std::max(left, 0.0));
        std::cerr << line << std::flush;
    }

    std::size_t files_, file_ = 0;
    std::uintmax_t totalBytes_, doneBytes_ = 0, fileBytes_ = 0;
    long doneRecords_ = 0, fileRecords_ = 0;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
};

int Add(const Args& a)
{
    if (a.positional.empty())
        return Usage(), kUsage;
    sources::ReadOptions options;
    if (!a.columns.empty()) {
        try {
            options.csvColumns = sources::ReadColumnMapping(a.columns);
        } catch (const UserError& e) {
            std::cerr << "pado-import: " << ToUtf8(e.Message()) << "\n";
            return kUsage;
        }
    }
    std::vector<fsys::path> files;
    std::uintmax_t bytes = 0;
    int status = 0;
    for (const std::string& p : a.positional) {
        std::error_code ec;
        if (!fsys::exists(fsys::symlink_status(p, ec))) {
            std::cerr << "pado-import: " << p << " がありません。\n";
            status = 1; // the other paths are still imported
            continue;
        }
        for (const fsys::path& f : FilesToImport(p)) {
            if (fsys::equivalent(f, a.store, ec))
                continue; // the store itself, when it lies in the folder being imported
            files.push_back(f);
            bytes += fsys::file_size(f, ec);
        }
    }
    RaceStore store(a.store);
    ProgressLine progress(files.size(), bytes);
    std::vector<FileImport> reports = ImportFiles(store, files, &progress, options);
    progress.Finish();
    for (const FileImport& r : reports) {
        std::cout << Shown(r.file.string()) << " (" << (r.format.empty() ? "不明" : r.format) << ")";
        if (!r.committed) {
            status = 1;
            std::cout << ": 取り込みませんでした: " << (r.cancelled ? "中止されました" : Shown(r.error)) << "\n";
            for (const std::string& p : r.problems)
                std::cout << "  " << Shown(p) << "\n";
            continue;
        }
        if (r.cancelled) {
            status = 1;
            std::cout << ": 途中で中止されました(それまでのファイルは取り込み済み)";
        }
        std::cout << (r.retried ? ": ほかのファイルの取り込み後に読み直し、開催日の分かったレースを取り込みました" : "")
                  << "\n";
        for (const auto& [type, c] : r.byType) {
            std::cout << "  " << type << ": 追加 " << c.imported << ", 置換 " << c.replaced << ", 変更なし "
                      << c.unchanged << ", 対象外 " << c.skipped << ", 不正 " << c.malformed << "\n";
            if (c.malformed)
                status = 1;
        }
        for (const std::string& n : r.notes)
            std::cout << "  " << Shown(n) << "\n";
        for (const std::string& p : r.problems) {
            std::cout << "  " << Shown(p) << "\n";
            status = 1;
        }
    }
    std::cout << "レースデータ: " << store.File().string() << " (レース " << store.CountRows("races") << ", 出走馬 "
              << store.CountRows("runners") << ")\n";
    return status;
}

int Races(const Args& a)
{
    int from = 10000101, to = 99991231;
    if (!a.date.empty()) {
        from = to = DateNumber(a.date);
        if (!from)
            return Usage(), kUsage;
    }
    if (!a.from.empty() && !(from = DateNumber(a.from)))
        return Usage(), kUsage;
    if (!a.to.empty() && !(to = DateNumber(a.to)))
        return Usage(), kUsage;
    int venue = 0;
    if (!a.venue.empty()) {
        venue = sources::VenueCode(FromUtf8(a.venue));
        if (!venue && !ParseNumber(a.venue, venue, 1, 10))
            return Usage(), kUsage;
    }
    RaceStore store(a.store, RaceStore::Access::ReadOnly); // lists while an import writes
    for (const sources::RaceRecord& r : store.Races(from, to, venue)) {
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", r.key.year, r.key.month, r.key.day);
        std::string course
            = (r.surface ? ToUtf8(Text(1, r.surface)) : std::string()) + (r.distance ? std::to_string(r.distance) : "");
        std::cout << RaceIdText(r.key) << '\t' << date << '\t' << ToUtf8(sources::VenueName(r.key.venue)) << '\t'
                  << r.key.number << '\t' << Shown(r.name) << '\t' << course << '\t' << store.Runners(r.key).size()
                  << '\t' << (r.hasResult ? "結果" : "出馬表") << "\n";
    }
    return 0;
}

std::optional<sources::RaceKey> RaceArgument(const std::vector<std::string>& args, std::size_t& i)
{
    if (i < args.size())
        if (auto k = ParseRaceName(args[i])) {
            ++i;
            return k;
        }
    if (i + 2 < args.size())
        if (auto k = ParseRaceName(args[i] + " " + args[i + 1] + " " + args[i + 2])) {
            i += 3;
            return k;
        }
    return std::nullopt;
}

fsys::path ProgramFolder()
{
    std::error_code ec;
    fsys::path exe = fsys::read_symlink("/proc/self/exe", ec).parent_path();
    if (!ec && fsys::is_directory(exe / "PADO", ec))
        return exe / "PADO";
    if (!ec && exe.filename() == "PADO")
        return exe;
    const char* home = std::getenv("HOME");
    return fsys::path(home ? home : ".") / "PADO";
}

int Build(const Args& a)
{
    std::size_t i = 0;
    auto key = RaceArgument(a.positional, i);
    if (!key || i != a.positional.size())
        return Usage(), kUsage;
    RaceStore store(a.store, RaceStore::Access::ReadOnly);
    BuiltRace race = BuildRace(store, *key, { a.pastRuns, a.jockeyDays });
    fsys::path folder = WriteRaceFolder(race, a.out.empty() ? DefaultStaging(ProgramFolder()) : fsys::path(a.out));
    std::cout << Shown(folder.string()) << "\n";
    for (const std::string& l : race.report.Lines())
        std::cout << "  " << Shown(l) << "\n";
    return 0;
}

int Results(const Args& a)
{
    std::vector<sources::RaceKey> keys;
    for (std::size_t i = 0; i < a.positional.size();) {
        auto key = RaceArgument(a.positional, i);
        if (!key)
            return Usage(), kUsage;
        keys.push_back(*key);
    }
    if (keys.empty())
        return Usage(), kUsage;
    RaceStore store(a.store, RaceStore::Access::ReadOnly);
    BuildReport report;
    Lines lines = BuildResultTables(store, keys, report);
    if (a.out.empty()) {
        for (const Text& l : lines)
            std::cout << Shown(l) << "\n";
    } else {
        WriteTextFile(a.out, lines);
    }
    bool missing = false;
    for (const std::string& l : report.Lines()) {
        std::cerr << Shown(l) << "\n";
        missing = missing || l.find("結果のないレース") != std::string::npos;
    }
    return missing ? 1 : 0;
}

} // namespace

// backtest_command.cpp: the assist replayed over the stored races of a period.
int RunBacktestCommand(int argc, char** argv);
int RunTuneCommand(int argc, char** argv); // tune_command.cpp

int main(int argc, char** argv)
{
    Args a;
    if (argc < 2)
        return Usage(), kUsage;
    a.command = argv[1];
    if (a.command == "--help" || a.command == "-h")
        return Usage(), 0;
    if (a.command == "backtest")
        return RunBacktestCommand(argc - 2, argv + 2);
    if (a.command == "tune")
        return RunTuneCommand(argc - 2, argv + 2);
    for (int i = 2; i < argc; ++i) {
        std::string s = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        bool ok = true;
        if (s == "--store")
            ok = value(v) && !(a.store = v).empty();
        else if (s == "--date")
            ok = value(a.date);
        else if (s == "--from")
            ok = value(a.from);
        else if (s == "--to")
            ok = value(a.to);
        else if (s == "--venue")
            ok = value(a.venue);
        else if (s == "--out")
            ok = value(a.out);
        else if (s == "--columns")
            ok = value(a.columns);
        else if (s == "--past-runs")
            ok = value(v) && ParseNumber(v, a.pastRuns, 1, 60);
        else if (s == "--jockey-days")
            ok = value(v) && ParseNumber(v, a.jockeyDays, 1, 3650);
        else if (s.rfind("--", 0) == 0)
            ok = false;
        else
            a.positional.push_back(s);
        if (!ok) {
            std::cerr << "pado-import: " << s << " が正しくありません。\n";
            Usage();
            return kUsage;
        }
    }
    try {
        if (a.command == "add")
            return Add(a);
        if (a.command == "races")
            return Races(a);
        if (a.command == "build")
            return Build(a);
        if (a.command == "results")
            return Results(a);
    } catch (const UserError& e) {
        std::cerr << "pado-import: " << Shown(e.Message(), true) << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "pado-import: " << Shown(std::string(e.what()), true) << "\n";
        return 1;
    }
    Usage();
    return kUsage;
}
