#include "store/importer.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unordered_map>

#include "platform/errors.h"
#include "sources/archive_reader.h"
#include "sources/venue_codes.h"

namespace pado::store {

using namespace pado::sources;

namespace {

// Thrown through the reader to stop it when the user cancels.
struct CancelledImport { };

// How a row's fields merge with what the store holds. Results are what happened and cards what was declared:
// a result's field is never replaced by a card's (the jockey who rode, not the one declared), whichever file
// came first. A card fills in only what no result gave, so the store comes out the same in any file order.
struct Precedence {
    const char* flag = nullptr; // the column saying a result wrote the row; none: every record merges alike
    bool fromResult = false; // this record is a result's
    // Columns taken as one: when a result gave any of them, a card gives none (a declared jockey's code
    // beside the name of the one who rode would name two people).
    std::vector<std::string> group;
};

// INSERT OR IGNORE first: a new row counts as imported. Otherwise an UPDATE that keeps every column the record
// does not know and only touches the row when something differs, so a re-import counts as unchanged.
class Upsert {
public:
    Upsert(Db& db, const std::string& table, const std::vector<std::string>& keys, const char* const* columns, int n,
        const Precedence& precedence = {})
        : insert_(db, InsertSql(table, keys, columns, n))
        , update_(db, UpdateSql(table, keys, columns, n, precedence))
    {
    }

    // values: the key values, then the columns.
    void Apply(const std::vector<Value>& values, ImportCounts& counts)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            insert_.Bind(static_cast<int>(i + 1), values[i]);
        insert_.Step();
        const bool inserted = insert_.Changes() > 0;
        insert_.Reset();
        if (inserted) {
            ++counts.imported;
            return;
        }
        for (std::size_t i = 0; i < values.size(); ++i)
            update_.Bind(static_cast<int>(i + 1), values[i]);
        update_.Step();
        const bool changed = update_.Changes() > 0;
        update_.Reset();
        ++(changed ? counts.replaced : counts.unchanged);
    }

private:
    static std::string InsertSql(
        const std::string& table, const std::vector<std::string>& keys, const char* const* columns, int n)
    {
        std::string cols, params;
        int p = 0;
        for (const std::string& k : keys) {
            cols += (p ? ", " : "") + k;
            params += (p ? ", ?" : "?") + std::to_string(p + 1);
            ++p;
        }
        for (int i = 0; i < n; ++i, ++p) {
            cols += std::string(", ") + columns[i];
            params += ", ?" + std::to_string(p + 1);
        }
        return "INSERT OR IGNORE INTO " + table + "(" + cols + ") VALUES(" + params + ")";
    }
    static std::string UpdateSql(const std::string& table, const std::vector<std::string>& keys,
        const char* const* columns, int n, const Precedence& pr)
    {
        const int k = static_cast<int>(keys.size());
        const bool card = pr.flag && !pr.fromResult;
        const std::string byResult = card ? "coalesce(" + std::string(pr.flag) + ", 0) = 1" : "0";
        std::string groupGiven = "0";
        for (const std::string& g : pr.group)
            groupGiven += " OR " + g + " IS NOT NULL";
        std::string set, differs, where;
        for (int i = 0; i < n; ++i) {
            const std::string c = columns[i], p = "?" + std::to_string(k + i + 1);
            const bool grouped = std::find(pr.group.begin(), pr.group.end(), c) != pr.group.end();
            // The card's value stays out where a result gave this field (or any of its group).
            const std::string kept = "(" + byResult + " AND (" + c + " IS NOT NULL"
                + (grouped ? " OR " + groupGiven : std::string()) + "))";
            set += (i ? ", " : "") + c + " = CASE WHEN " + kept + " THEN " + c + " ELSE coalesce(" + p + ", " + c
                + ") END";
            differs += (i ? " OR " : "") + std::string("(") + p + " IS NOT NULL AND " + c + " IS NOT " + p + " AND NOT "
                + kept + ")";
        }
        for (int i = 0; i < k; ++i)
            where += (i ? " AND " : "") + keys[i] + " = ?" + std::to_string(i + 1);
        return "UPDATE " + table + " SET " + set + " WHERE " + where + " AND (" + differs + ")";
    }

    Stmt insert_, update_;
};

std::string VenueText(int venue)
{
    const Text name = VenueName(venue);
    return name.empty() ? "場" + std::to_string(venue) : ToUtf8(name);
}

class StoreSink : public RecordSink {
public:
    // shown: how problems name the file (an archive member as "archive:member").
    StoreSink(
        RaceStore& store, FileImport& report, ImportObserver* observer, std::string shown, const ReadOptions& options)
        : db_(store.Database())
        , report_(report)
        , observer_(observer)
        , shown_(std::move(shown))
        , options_(options)
        , raceResults_(db_, "races", { "id" }, kRaceColumns, kRaceColumnCount, { "has_result", true, {} })
        , raceCards_(db_, "races", { "id" }, kRaceColumns, kRaceColumnCount, { "has_result", false, {} })
        , runnerResults_(
              db_, "runners", { "race_id", "number" }, kRunnerColumns, kRunnerColumnCount, { "result", true, {} })
        , runnerCards_(db_, "runners", { "race_id", "number" }, kRunnerColumns, kRunnerColumnCount,
              { "result", false, { "jockey_id", "jockey_name" } })
        , ensureRace_(db_, "INSERT OR IGNORE INTO races(id, date, venue, number) VALUES(?1, ?2, ?3, ?4)")
        , resolve_(db_,
              "SELECT id FROM races WHERE date BETWEEN ?1 AND ?2 AND venue = ?3 AND meeting = ?4"
              " AND meeting_day = ?5 AND number = ?6")
    {
    }

    void Race(const RaceRecord& race) override
    {
        Tick();
        RaceRecord r = race;
        if (!Resolve(r.key, r.meeting, r.meetingDay, "レース"))
            return;
        std::vector<Value> v { Value(static_cast<std::int64_t>(RaceId(r.key))) };
        auto rest = RaceValues(r);
        v.insert(v.end(), rest.begin(), rest.end());
        (r.hasResult ? raceResults_ : raceCards_).Apply(v, report_.byType["レース"]);
        known_.insert(RaceId(r.key));
    }

    void Runner(const RunnerRecord& runner) override
    {
        Tick();
        RunnerRecord x = runner;
        if (!Resolve(x.race, x.meeting, x.meetingDay, "出走馬"))
            return;
        if (x.number < 1 || x.number > 28) {
            Problem(0, "馬番がありません");
            return;
        }
        const long long id = RaceId(x.race);
        if (!known_.count(id)) {
            // A runner file may come before its race file; the race row waits for its fields.
            ensureRace_.Bind(1, id).Bind(2, DateOf(x.race)).Bind(3, x.race.venue).Bind(4, x.race.number);
            ensureRace_.Step();
            ensureRace_.Reset();
            known_.insert(id);
        }
        std::vector<Value> v { Value(static_cast<std::int64_t>(id)), Value(static_cast<std::int64_t>(x.number)) };
        auto rest = RunnerValues(x);
        v.insert(v.end(), rest.begin(), rest.end());
        (IsResultRow(x) ? runnerResults_ : runnerCards_).Apply(v, report_.byType["出走馬"]);
    }

    void Jockey(const JockeyRecord& j) override
    {
        Tick();
        if (j.id.empty()) {
            ++report_.byType["騎手"].skipped;
            return;
        }
        if (!jockeys_)
            jockeys_ = std::make_unique<Upsert>(db_, "jockeys", std::vector<std::string> { "id" }, kJockeyColumns, 2);
        jockeys_->Apply({ Value(j.id), Opt(j.shortName), Opt(j.fullName) }, report_.byType["騎手"]);
    }

    void Horse(const HorseRecord& h) override
    {
        Tick();
        if (h.id.empty()) {
            ++report_.byType["馬"].skipped;
            return;
        }
        if (!horses_)
            horses_ = std::make_unique<Upsert>(db_, "horses", std::vector<std::string> { "id" }, kHorseColumns, 3);
        std::vector<Value> v { Value(h.id), Opt(h.name), Opt(h.sex ? Text(1, h.sex) : Text()) };
        v.push_back(h.birthYear ? Value(static_cast<std::int64_t>(h.birthYear)) : Value());
        horses_->Apply(v, report_.byType["馬"]);
    }

    // The reader's own name for the file is not used: for an archive member it is the pipe it reads.
    void Malformed(const std::string& /*file*/, long line, const std::string& reason) override
    {
        Problem(line, reason);
        Poll();
    }

    void Skipped(const std::string& recordType) override
    {
        ++report_.byType[recordType].skipped;
        Poll();
    }

    void NotRead(const std::string& kind) override
    {
        if (notRead_.insert(kind).second)
            report_.notes.push_back(kind + ": 読み込まない種類です");
        Poll();
    }

    const ReadOptions& Options() const override { return options_; }

    bool Cancelled() override { return observer_ && observer_->Cancelled(); }

private:
    static constexpr const char* kJockeyColumns[] = { "short_name", "full_name" };
    static constexpr const char* kHorseColumns[] = { "name", "sex", "birth_year" };

    static Value Opt(const Text& t) { return t.empty() ? Value() : Value(ToUtf8(t)); }

    void Tick()
    {
        ++report_.records;
        Poll();
    }

    // Every record and every problem counts, so that a file of nothing but bad lines is still cancellable
    // and shows progress.
    void Poll()
    {
        if (observer_ && ++events_ % 1024 == 0) {
            observer_->Progress(report_.records);
            if (observer_->Cancelled())
                throw CancelledImport {};
        }
    }

    void Problem(long line, const std::string& reason)
    {
        ++report_.byType["不正な行"].malformed;
        report_.AddProblem(shown_ + ":" + (line ? std::to_string(line) + ": " : " ") + reason);
    }

    // A key without month and day (year, venue, 回, 日目, number) is found among the races already stored.
    bool Resolve(RaceKey& key, int meeting, int meetingDay, const char* type)
    {
        if (key.month == 0 && key.day == 0 && meeting > 0 && meetingDay > 0) {
            const auto cacheKey = std::make_tuple(key.year, key.venue, meeting, meetingDay, key.number);
            auto it = resolved_.find(cacheKey);
            if (it == resolved_.end()) {
                resolve_.Bind(1, key.year * 10000 + 101).Bind(2, key.year * 10000 + 1231).Bind(3, key.venue);
                resolve_.Bind(4, meeting).Bind(5, meetingDay).Bind(6, key.number);
                long long id = resolve_.Step() ? resolve_.Int(0) : 0;
                if (id && resolve_.Step())
                    id = -1; // two race days share the pair: which one is meant cannot be told
                resolve_.Reset();
                it = resolved_.emplace(cacheKey, id).first;
            }
            if (it->second <= 0) {
                ++report_.byType[type].skipped;
                if (it->second == 0)
                    ++report_.unresolved;
                if (unresolved_.insert(cacheKey).second)
                    report_.AddProblem(shown_ + ": " + std::to_string(key.year) + "年 " + VenueText(key.venue) + " "
                        + std::to_string(meeting) + "回" + std::to_string(meetingDay) + "日 "
                        + std::to_string(key.number) + "R "
                        + (it->second == 0 ? "はまだ取り込まれていないため読み飛ばしました"
                                           : "に当たるレースが二つ以上あり、どちらか決められないため読み飛ばしました"));
                return false;
            }
            key = KeyOfId(it->second);
        }
        if (!key.IsValid()) {
            Problem(0, std::string(type) + "の日付・場・レース番号が正しくありません");
            return false;
        }
        return true;
    }

    Db& db_;
    FileImport& report_;
    ImportObserver* observer_;
    std::string shown_;
    const ReadOptions& options_;
    long events_ = 0;
    std::set<std::string> notRead_;
    Upsert raceResults_, raceCards_, runnerResults_, runnerCards_;
    std::unique_ptr<Upsert> jockeys_, horses_;
    Stmt ensureRace_, resolve_;
    std::set<long long> known_;
    std::map<std::tuple<int, int, int, int, int>, long long> resolved_;
    std::set<std::tuple<int, int, int, int, int>> unresolved_;
};

// Why a path cannot be read, in words for the report.
std::string Reason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "読む権限がありません";
    case ENOENT:
        return "ありません";
    case ELOOP:
        return "リンクが循環しています";
    case EIO:
        return "入出力エラー";
    default:
        return std::strerror(error);
    }
}

// Empty when the path is a regular file whose head was read; otherwise why it is not read.
std::string Unreadable(const std::filesystem::path& file, std::string& head)
{
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(file, ec);
    if (ec) {
        std::error_code lec;
        const bool link = std::filesystem::is_symlink(std::filesystem::symlink_status(file, lec));
        return (link ? "リンク先を読めません(" : "読めません(") + Reason(ec.value()) + ")";
    }
    if (std::filesystem::is_directory(st)) {
        std::filesystem::directory_iterator it(file, ec);
        return ec ? "フォルダーを読めません(" + Reason(ec.value()) + ")" : "フォルダーの中を最後まで読めませんでした";
    }
    if (!std::filesystem::is_regular_file(st))
        return "通常のファイルではないため読みません";
    if (!ReadHead(file, head))
        return "ファイルを読めません(" + Reason(errno) + ")";
    return {};
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Hands the reader the path to read and returns why what it read must be thrown away (empty: nothing).
using Opener = std::function<std::string(const std::function<void(const std::filesystem::path&)>&)>;

// One file or member in one transaction: all of its good records, or nothing of it.
void ReadOne(RaceStore& store, FileImport& report, const SourceFormat& format, const std::string& shown,
    const Opener& open, ImportObserver* observer, const ReadOptions& options)
{
    std::string readPath;
    try {
        Transaction t(store.Database());
        std::string spoilt;
        {
            StoreSink sink(store, report, observer, shown, options);
            spoilt = open([&](const std::filesystem::path& p) {
                readPath = p.string();
                format.read(p, sink);
            });
            if (sink.Cancelled())
                throw CancelledImport {};
        }
        if (!spoilt.empty())
            throw UserError(FromUtf8(spoilt));
        t.Commit();
        report.committed = true;
        if (observer)
            observer->Progress(report.records);
    } catch (const CancelledImport&) {
        report.cancelled = true;
    } catch (const UserError& e) {
        report.error = ToUtf8(e.Message());
    } catch (const std::exception& e) {
        report.error = e.what();
    }
    if (readPath != report.file.string())
        ReplaceAll(report.error, readPath, shown); // a member's pipe means nothing to the user
    if (!report.committed)
        report.byType.clear(); // nothing of the file stayed; the counts would mislead
    if (report.omittedProblems > 0)
        report.problems.push_back(
            shown + ": ほか " + std::to_string(report.omittedProblems) + " 件の問題は表示を省きました");
}

// Every member of an archive into the archive's report; a member that fails is one of its problems.
void ImportArchive(RaceStore& store, FileImport& report, ImportObserver* observer, const ReadOptions& options)
{
    ArchiveReader archive(report.file);
    bool any = false;
    long members = 0;
    try {
        while (archive.Next()) {
            ++members;
            if (report.format.empty())
                report.format = archive.FormatName();
            const std::string shown = report.file.string() + ":" + archive.MemberName();
            const std::string& head = archive.Head();
            if (!archive.DataProblem().empty()) {
                report.problems.push_back(shown + ": 取り込みませんでした: " + archive.DataProblem());
                continue;
            }
            if (LooksLikeArchive(head)) {
                report.problems.push_back(shown + ": アーカイブの中のアーカイブは読みません");
                continue;
            }
            const SourceFormat* format = DetectFormat(head);
            if (!format) {
                report.problems.push_back(shown + ": 対応していない形式のファイルです");
                continue;
            }
            FileImport member;
            member.file = report.file;
            member.format = format->name;
            ReadOne(
                store, member, *format, shown,
                [&](const auto& read) { return archive.ReadMember(read, format->needsWholeFile); }, observer, options);
            for (const std::string& n : member.notes)
                report.notes.push_back(archive.MemberName() + ": " + n);
            report.problems.insert(report.problems.end(), member.problems.begin(), member.problems.end());
            if (member.cancelled) {
                report.cancelled = true;
                break;
            }
            if (!member.committed) {
                report.problems.push_back(shown + " (" + member.format + "): 取り込みませんでした: " + member.error);
                continue;
            }
            any = true;
            for (const auto& [type, c] : member.byType) {
                ImportCounts& to = report.byType[type];
                to.imported += c.imported;
                to.replaced += c.replaced;
                to.unchanged += c.unchanged;
                to.skipped += c.skipped;
                to.malformed += c.malformed;
            }
            report.records += member.records;
            report.unresolved += member.unresolved;
        }
    } catch (const UserError& e) {
        report.problems.push_back(ToUtf8(e.Message())); // a damaged archive: the members read so far stay
    }
    if (report.format.empty())
        report.format = archive.FormatName();
    if (members == 0 && report.problems.empty())
        report.notes.push_back("中にファイルがありません");
    // The members each stand or fall alone, so the archive counts as read even when some failed (its problems
    // say which); only a cancel before any member was in leaves it as not read.
    report.committed = any || !report.cancelled;
}

} // namespace

void FileImport::AddProblem(std::string problem)
{
    if (problems.size() < kShownProblems)
        problems.push_back(std::move(problem));
    else
        ++omittedProblems;
}

FileImport ImportFile(
    RaceStore& store, const std::filesystem::path& file, ImportObserver* observer, const ReadOptions& options)
{
    FileImport report;
    report.file = file;
    std::error_code ec;
    if (observer)
        observer->FileStarted(file, std::filesystem::file_size(file, ec));
    std::string head;
    report.error = Unreadable(file, head);
    if (!report.error.empty())
        return report;
    if (LooksLikeArchive(head)) {
        try {
            ImportArchive(store, report, observer, options);
        } catch (const UserError& e) {
            report.error = ToUtf8(e.Message());
        }
        return report;
    }
    const SourceFormat* format = DetectFormat(head);
    if (!format) {
        report.error = "対応していない形式のファイルです";
        return report;
    }
    report.format = format->name;
    ReadOne(
        store, report, *format, file.string(),
        [&](const auto& read) {
            read(file);
            return std::string();
        },
        observer, options);
    return report;
}

std::vector<FileImport> ImportFiles(RaceStore& store, const std::vector<std::filesystem::path>& files,
    ImportObserver* observer, const ReadOptions& options)
{
    std::vector<FileImport> reports;
    for (const std::filesystem::path& f : files) {
        reports.push_back(ImportFile(store, f, observer, options));
        if (observer && observer->Cancelled())
            return reports;
    }
    RetryUnresolved(store, reports, observer, options);
    return reports;
}

void RetryUnresolved(
    RaceStore& store, std::vector<FileImport>& reports, ImportObserver* observer, const ReadOptions& options)
{
    // A file that names races only by 回 and 日目 can come before the file that dates them (names sort as they
    // will); once every file is in, such a file is read again and finds its races.
    for (FileImport& first : reports) {
        if (!first.committed || first.unresolved == 0 || first.format.empty())
            continue;
        FileImport again = ImportFile(store, first.file, observer, options);
        if (!again.committed)
            break; // cancelled or failed: the first pass stands as reported
        if (again.unresolved == first.unresolved)
            continue; // nothing more found; the first report says what could not be placed
        // The second pass sees what the first stored as unchanged: count those rows once, as the first did.
        for (auto& [type, c] : again.byType) {
            const ImportCounts& f = first.byType[type];
            const long seen = f.imported + f.replaced + f.unchanged;
            c.unchanged = std::max(0L, c.unchanged - seen) + f.unchanged;
            c.imported += f.imported;
            c.replaced += f.replaced;
        }
        again.retried = true;
        first = std::move(again);
        if (observer && observer->Cancelled())
            break;
    }
}

namespace {

void Walk(const std::filesystem::path& folder, std::vector<std::filesystem::path>& out,
    std::set<std::pair<dev_t, ino_t>>& walked)
{
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0 && !walked.insert({ st.st_dev, st.st_ino }).second)
        return; // a link back to a folder already walked
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        out.push_back(folder); // ImportFile says why it cannot be read
        return;
    }
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code sec;
        if (std::filesystem::is_directory(it->status(sec)))
            Walk(it->path(), out, walked);
        else
            out.push_back(it->path());
    }
    if (ec)
        out.push_back(folder); // the listing broke off: named, and what was listed goes on
}

} // namespace

std::vector<std::filesystem::path> FilesToImport(const std::filesystem::path& path)
{
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec))
        return { path };
    std::set<std::pair<dev_t, ino_t>> walked;
    Walk(path, out, walked);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace pado::store
