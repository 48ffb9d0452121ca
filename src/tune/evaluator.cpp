#include "tune/evaluator.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "backtest/race_assist.h"
#include "platform/errors.h"

namespace pado::tune {

namespace {

// Runs work(i, worker) for i in 0..n-1 on jobs threads and hands each result to emit in index order on the
// calling thread, so that what comes out does not depend on the number of jobs. stop is polled on the calling
// thread; once true no further index starts, the running ones finish, and the call returns false.
template <typename Result, typename Worker>
bool InOrder(std::size_t n, int jobs, const std::function<Worker()>& makeWorker,
    const std::function<Result(std::size_t, Worker&)>& work, const std::function<void(std::size_t, Result&)>& emit,
    const std::function<bool()>& stop)
{
    std::mutex mutex;
    std::condition_variable ready;
    std::vector<std::optional<Result>> results(n);
    std::atomic<std::size_t> next { 0 };
    std::atomic<bool> stopping { false };
    // A worker runs at most this far ahead of the caller, so that the results waiting stay few.
    const std::size_t ahead = static_cast<std::size_t>(std::max(1, jobs)) * 4;
    std::atomic<std::size_t> emitted { 0 };
    auto body = [&] {
        Worker worker = makeWorker();
        for (;;) {
            const std::size_t i = next++;
            if (i >= n || stopping)
                return;
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return i < emitted + ahead || stopping; });
                if (stopping)
                    return;
            }
            Result r = work(i, worker);
            std::lock_guard lock(mutex);
            results[i] = std::move(r);
            ready.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < std::max(1, jobs); ++t)
        threads.emplace_back(body);
    bool whole = true;
    for (std::size_t i = 0; i < n; ++i) {
        std::optional<Result> r;
        {
            std::unique_lock lock(mutex);
            while (!results[i]) {
                if (!stopping) {
                    lock.unlock();
                    const bool stop_ = stop && stop();
                    lock.lock();
                    if (stop_) {
                        stopping = true;
                        ready.notify_all();
                    }
                }
                if (stopping && !results[i]) {
                    // Only races already being worked on can still come; the rest never start.
                    whole = false;
                    break;
                }
                ready.wait_for(lock, std::chrono::milliseconds(50));
            }
            if (!whole)
                break;
            r = std::move(results[i]);
            results[i].reset();
            ++emitted;
            ready.notify_all();
        }
        emit(i, *r);
    }
    {
        std::lock_guard lock(mutex);
        stopping = true;
        ready.notify_all();
    }
    for (std::thread& t : threads)
        t.join();
    return whole;
}

class RaceEvaluator : public Evaluator {
public:
    RaceEvaluator(backtest::EngineOptions base, backtest::RaceSource& listing, backtest::RaceSourceFactory factory)
        : base_(std::move(base))
        , listing_(listing)
        , factory_(std::move(factory))
    {
    }

    EvalReport Run(const Date& from, const Date& to, const std::vector<ParamValues>& sets, const Visit& visit,
        const std::function<bool()>& stop) override
    {
        EvalReport report;
        if (!built_) {
            EvalReport b = Build(from, to, stop);
            if (!b.error.empty() || b.interrupted)
                return b;
        }
        std::vector<std::size_t> chosen;
        for (std::size_t i = 0; i < races_.size(); ++i)
            if (!(races_[i].date < from) && !(to < races_[i].date))
                chosen.push_back(i);
        report.races = chosen.size();
        struct Outcome {
            std::string reason;
            std::vector<RaceMarks> marks;
        };
        struct NoWorker { };
        auto work = [&](std::size_t k, NoWorker&) {
            Outcome out;
            const std::size_t i = chosen[k];
            if (!mornings_[i]) {
                out.reason = reasons_[i];
                return out;
            }
            try {
                // One start of the program for all the sets: start-up costs more than a press.
                for (backtest::AssistOutcome& a : mornings_[i]->AssistEach(base_.mode, sets)) {
                    if (!a.ok) {
                        out.reason = a.reason;
                        out.marks.clear();
                        return out;
                    }
                    out.marks.push_back(std::move(a.marks));
                }
            } catch (const std::exception& e) {
                out.reason = e.what();
                out.marks.clear();
            }
            return out;
        };
        auto emit = [&](std::size_t k, Outcome& out) {
            const backtest::RaceOutcome& race = races_[chosen[k]];
            if (!out.reason.empty()) {
                ++report.failed;
                report.failures.push_back(race.raceId + ": " + out.reason);
                return;
            }
            visit(race, out.marks);
        };
        report.interrupted = !InOrder<Outcome, NoWorker>(
            chosen.size(), base_.jobs, [] { return NoWorker {}; }, work, emit, stop);
        return report;
    }

private:
    // Lists the races of the period and builds each one as of its morning, once.
    EvalReport Build(const Date& from, const Date& to, const std::function<bool()>& stop)
    {
        EvalReport report;
        backtest::RaceQuery query = base_.query;
        query.from = from;
        query.to = to;
        try {
            listing_.ForEachRace(query, [&](const backtest::RaceOutcome& r) {
                races_.push_back(r);
                return true;
            });
        } catch (const std::exception& e) {
            races_.clear();
            report.error = e.what();
            return report;
        }
        // The built races stay for the whole search, some 200 KB each: on a disk, so that thousands of them
        // never hold the machine's memory. Each start of the program works where the backtest does, a
        // memory file system when there is one, as its hundreds of folders made and removed cost several
        // times the processor time on a disk.
        work_ = std::make_unique<backtest::WorkFolder>(
            base_.tempRoot.empty() ? backtest::KeptWorkBase() : base_.tempRoot);
        presses_ = std::make_unique<backtest::WorkFolder>(base_.tempRoot);
        if (work_->Path().empty() || presses_->Path().empty()) {
            report.error = "一時フォルダーを作成できません。";
            return report;
        }
        mornings_.resize(races_.size());
        reasons_.resize(races_.size());
        using Built = std::pair<std::unique_ptr<backtest::MorningRace>, std::string>;
        using Source = std::unique_ptr<backtest::RaceSource>;
        auto work = [&](std::size_t i, Source& source) {
            Built b;
            try {
                if (!source)
                    source = factory_();
                b.first = std::make_unique<backtest::MorningRace>(
                    *source, races_[i], base_.pastRuns, *work_, presses_.get());
            } catch (const UserError& e) {
                b.second = "作成できません: " + ToUtf8(e.Message());
            } catch (const std::exception& e) {
                b.second = std::string("作成できません: ") + e.what();
            }
            return b;
        };
        auto emit = [&](std::size_t i, Built& b) {
            mornings_[i] = std::move(b.first);
            reasons_[i] = std::move(b.second);
        };
        if (!InOrder<Built, Source>(
                races_.size(), base_.jobs, [] { return Source {}; }, work, emit, stop)) {
            mornings_.clear();
            reasons_.clear();
            races_.clear();
            report.interrupted = true;
            return report;
        }
        built_ = true;
        return report;
    }

    backtest::EngineOptions base_;
    backtest::RaceSource& listing_;
    backtest::RaceSourceFactory factory_;
    bool built_ = false;
    std::vector<backtest::RaceOutcome> races_;
    // Declared first: the mornings' folders go before them.
    std::unique_ptr<backtest::WorkFolder> work_, presses_;
    std::vector<std::unique_ptr<backtest::MorningRace>> mornings_;
    std::vector<std::string> reasons_;
};

} // namespace

std::unique_ptr<Evaluator> MakeRaceEvaluator(
    backtest::EngineOptions base, backtest::RaceSource& listing, backtest::RaceSourceFactory makeSource)
{
    return std::make_unique<RaceEvaluator>(std::move(base), listing, std::move(makeSource));
}

} // namespace pado::tune
