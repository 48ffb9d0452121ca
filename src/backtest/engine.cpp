#include "backtest/engine.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "backtest/race_assist.h"
#include "platform/errors.h"
#include "platform/fs.h"

namespace pado::backtest {

namespace {

// The message a race's process sends back: fields split by US, records by RS; neither occurs in marks
// or messages.
constexpr char kField = '\x1f';
constexpr char kRecord = '\x1e';

const char* const kRaceFiles[] = { "R1.txt", "Rall.txt", "pado.txt", "kisyuE.txt" };

std::string Clean(std::string s)
{
    for (char& c : s)
        if (c == kField || c == kRecord || c == '\n' || c == '\r')
            c = ' ';
    return s;
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t off = 0;
    while (off < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + off, bytes.size() - off);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

// A program folder of its own for one parameter set: the built files linked in (the program only ever
// replaces files by renaming, so the links never change the built copy), and the settings file.
void PrepareProgramFolder(const std::string& built, const std::string& program, const ParamSet& params)
{
    if (!fs::CreateFolder(fs::Parent(program)) || !fs::CreateFolder(program))
        throw UserError(U"作業フォルダーを作成できません。");
    for (const char* name : kRaceFiles) {
        const std::string from = fs::Join(built, name);
        const std::string to = fs::Join(program, name);
        if (!fs::IsFile(from))
            continue;
        if (::link(from.c_str(), to.c_str()) != 0 && !fs::CopyFileAtomic(from, to, false))
            throw UserError(U"レースのファイルを作業フォルダーに置けません。");
    }
    if (!params.file.empty() && !fs::CopyFileAtomic(params.file, fs::Join(program, "repara.txt"), false))
        throw UserError(FromUtf8("パラメーターファイル(" + params.file + ")を読めません。"));
}

// The work of one race's process; returns the message for the parent.
std::string ReplayRace(const EngineOptions& options, const RaceSourceFactory& makeSource, const RaceOutcome& race,
    const std::string& folder)
{
    std::string status = "ok", reason, body;
    try {
        const std::string built = fs::Join(folder, "race");
        if (!fs::CreateFolder(built))
            throw UserError(U"作業フォルダーを作成できません。");
        {
            std::unique_ptr<RaceSource> source = makeSource();
            source->BuildMorning(race.raceId, race.date, built, options.pastRuns);
        }
        for (std::size_t i = 0; i < options.params.size(); ++i) {
            const std::string program = fs::Join(fs::Join(folder, "p" + std::to_string(i)), "PADO");
            PrepareProgramFolder(built, program, options.params[i]);
            AssistOutcome a = AssistInProgramFolder(program, race.date, options.mode);
            if (!a.ok) {
                status = "fail";
                reason = options.params.size() > 1 ? options.params[i].label + ": " + a.reason : a.reason;
                break;
            }
            body += kRecord;
            bool first = true;
            for (const auto& [number, marks] : a.marks) {
                if (!first)
                    body += kField;
                first = false;
                body += std::to_string(number) + kField + Clean(marks);
            }
        }
    } catch (const UserError& e) {
        status = "fail";
        reason = "作成できません: " + ToUtf8(e.Message());
    } catch (const std::exception& e) {
        status = "fail";
        reason = std::string("作成できません: ") + e.what();
    }
    if (status != "ok")
        body.clear();
    return status + kField + Clean(reason) + body;
}

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> out;
    std::size_t p = 0;
    while (true) {
        auto q = s.find(sep, p);
        out.push_back(s.substr(p, q == std::string::npos ? std::string::npos : q - p));
        if (q == std::string::npos)
            return out;
        p = q + 1;
    }
}

void ParseMessage(const std::string& message, std::size_t paramCount, RaceResult& r)
{
    std::vector<std::string> records = Split(message, kRecord);
    std::vector<std::string> head = Split(records[0], kField);
    r.ok = head[0] == "ok" && records.size() == paramCount + 1;
    r.reason = head.size() > 1 ? head[1] : std::string {};
    if (!r.ok) {
        if (r.reason.empty())
            r.reason = "結果を受け取れませんでした。";
        return;
    }
    for (std::size_t i = 1; i < records.size(); ++i) {
        std::map<int, std::string> marks;
        std::vector<std::string> f = Split(records[i], kField);
        for (std::size_t k = 0; k + 1 < f.size(); k += 2)
            marks[std::atoi(f[k].c_str())] = f[k + 1];
        r.marks.push_back(std::move(marks));
    }
}

std::string ExitReason(int status)
{
    if (WIFSIGNALED(status))
        return "レースの処理が異常終了しました(シグナル " + std::to_string(WTERMSIG(status)) + ")。";
    return "レースの処理が異常終了しました(終了コード " + std::to_string(WEXITSTATUS(status)) + ")。";
}

struct Running {
    pid_t pid = -1;
    int fd = -1;
    std::size_t seq = 0;
    std::string folder;
    std::string message;
};

class Pool {
public:
    Pool(const EngineOptions& options, const RaceSourceFactory& makeSource, const EngineCallbacks& callbacks,
        std::string root, std::size_t total)
        : options_(options)
        , makeSource_(makeSource)
        , callbacks_(callbacks)
        , root_(std::move(root))
        , start_(std::chrono::steady_clock::now())
    {
        report.total = total;
    }

    EngineReport report;

    bool Stopping()
    {
        if (!report.interrupted && callbacks_.stop && callbacks_.stop())
            report.interrupted = true;
        return report.interrupted;
    }

    // Starts the race in a process of its own once a job is free; false when the run is to end.
    bool Submit(const RaceOutcome& race)
    {
        while (running_.size() >= static_cast<std::size_t>(std::max(1, options_.jobs)))
            if (Stopping() || !Wait())
                return false;
        if (Stopping())
            return false;
        const std::size_t seq = nextSeq_++;
        waiting_[seq] = race;
        std::string tmpl = fs::Join(root_, "race-XXXXXX");
        if (!::mkdtemp(tmpl.data())) {
            Finish(seq, "作業フォルダーを作成できません。");
            return true;
        }
        int pipefd[2];
        if (::pipe2(pipefd, O_CLOEXEC) != 0) {
            fs::DeleteTree(tmpl);
            Finish(seq, "プロセス間の通信路を作成できません。");
            return true;
        }
        std::fflush(nullptr);
        pid_t pid = ::fork();
        if (pid == 0) {
            // The parent decides when a run is interrupted and clears up after this process.
            std::signal(SIGINT, SIG_IGN);
            std::signal(SIGHUP, SIG_IGN);
            std::signal(SIGTERM, SIG_DFL);
            ::close(pipefd[0]);
            std::string message = ReplayRace(options_, makeSource_, race, tmpl);
            // Clearing up here keeps that work in parallel; the parent only removes what a process that
            // died or was stopped left behind.
            if (::chdir("/") == 0)
                fs::DeleteTree(tmpl);
            WriteAll(pipefd[1], message);
            ::_exit(0);
        }
        ::close(pipefd[1]);
        if (pid < 0) {
            ::close(pipefd[0]);
            fs::DeleteTree(tmpl);
            Finish(seq, "プロセスを作成できません。");
            return true;
        }
        running_.push_back({ pid, pipefd[0], seq, tmpl, {} });
        return true;
    }

    // Waits until some race has ended (or a short while has passed); false when nothing is running.
    bool Wait()
    {
        if (running_.empty())
            return false;
        std::vector<pollfd> fds;
        for (const Running& r : running_)
            fds.push_back({ r.fd, POLLIN, 0 });
        int n = ::poll(fds.data(), fds.size(), 200);
        if (n <= 0)
            return true; // a signal or the timeout: the caller looks at the stop request
        for (std::size_t i = fds.size(); i-- > 0;) {
            if (!fds[i].revents)
                continue;
            Running& r = running_[i];
            char buf[65536];
            ssize_t got = ::read(r.fd, buf, sizeof buf);
            if (got < 0 && errno == EINTR)
                continue;
            if (got > 0) {
                r.message.append(buf, static_cast<std::size_t>(got));
                continue;
            }
            Reap(i, false);
        }
        return true;
    }

    void Drain()
    {
        while (!running_.empty() && !Stopping())
            Wait();
        while (!running_.empty())
            Reap(running_.size() - 1, true);
        // After an interruption the races that had ended still count, in order; the stopped ones do not.
        for (auto& [seq, result] : finished_)
            Emit(result);
        finished_.clear();
    }

private:
    void Reap(std::size_t index, bool kill)
    {
        Running r = std::move(running_[index]);
        running_.erase(running_.begin() + static_cast<long>(index));
        if (kill)
            ::kill(r.pid, SIGKILL);
        ::close(r.fd);
        int status = 0;
        while (::waitpid(r.pid, &status, 0) < 0 && errno == EINTR) { }
        fs::DeleteTree(r.folder);
        if (kill) {
            waiting_.erase(r.seq);
            return;
        }
        RaceResult result;
        result.race = std::move(waiting_[r.seq]);
        waiting_.erase(r.seq);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            ParseMessage(r.message, options_.params.size(), result);
        else
            result.reason = ExitReason(status);
        Store(r.seq, std::move(result));
    }

    void Finish(std::size_t seq, const std::string& reason)
    {
        RaceResult result;
        result.race = std::move(waiting_[seq]);
        waiting_.erase(seq);
        result.reason = reason;
        Store(seq, std::move(result));
    }

    // Races end out of order; they are handed on in race id order, so every run writes the same files.
    void Store(std::size_t seq, RaceResult result)
    {
        finished_.emplace(seq, std::move(result));
        while (!finished_.empty() && finished_.begin()->first == nextEmit_) {
            Emit(finished_.begin()->second);
            finished_.erase(finished_.begin());
            ++nextEmit_;
        }
    }

    void Emit(const RaceResult& result)
    {
        ++report.done;
        if (!result.ok)
            ++report.failed;
        if (callbacks_.race)
            callbacks_.race(result);
        if (callbacks_.progress) {
            Progress p { report.done, report.failed, report.total,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count() };
            callbacks_.progress(p);
        }
    }

    const EngineOptions& options_;
    const RaceSourceFactory& makeSource_;
    const EngineCallbacks& callbacks_;
    std::string root_;
    std::chrono::steady_clock::time_point start_;
    std::vector<Running> running_;
    std::map<std::size_t, RaceOutcome> waiting_;
    std::map<std::size_t, RaceResult> finished_;
    std::size_t nextSeq_ = 0;
    std::size_t nextEmit_ = 0;
};

} // namespace

EngineReport RunBacktest(const EngineOptions& given, RaceSource& listing, const RaceSourceFactory& makeSource,
    const EngineCallbacks& callbacks)
{
    // A race's process moves into its program folder before it copies the second parameter file, so a
    // name relative to where the user started must be made absolute first.
    EngineOptions options = given;
    for (ParamSet& p : options.params)
        if (!p.file.empty())
            p.file = std::filesystem::absolute(p.file).string();
    std::string base = options.tempRoot;
    if (base.empty()) {
        // Every race writes and removes hundreds of folders; a memory file system spares the disk that
        // churn (and is several times faster), unless the user chose a temporary folder.
        const char* t = std::getenv("TMPDIR");
        base = t && *t ? t : ::access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : "/tmp";
    }
    std::string root = fs::Join(base, "pado-backtest-XXXXXX");
    EngineReport failed;
    if (!::mkdtemp(root.data())) {
        failed.error = "一時フォルダーを作成できません: " + base;
        return failed;
    }
    std::size_t total = 0;
    try {
        total = listing.CountRaces(options.query);
    } catch (const std::exception& e) {
        fs::DeleteTree(root);
        failed.error = e.what();
        return failed;
    }
    Pool pool(options, makeSource, callbacks, root, total);
    try {
        listing.ForEachRace(options.query, [&](const RaceOutcome& race) { return pool.Submit(race); });
    } catch (const std::exception& e) {
        // The races already running finish and count; no more are started.
        pool.report.error = e.what();
    }
    pool.Drain();
    fs::DeleteTree(root);
    return pool.report;
}

} // namespace pado::backtest
