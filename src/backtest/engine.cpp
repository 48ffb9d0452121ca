#include "backtest/engine.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "backtest/race_assist.h"
#include "platform/errors.h"

namespace pado::backtest {

namespace {

// One race from start to end, on a thread of the pool: its own source (so its own store connection), its
// own folder and one start of the program, pressed once for each parameter set. Nothing it throws leaves it.
RaceResult ReplayRace(const EngineOptions& options, const std::vector<AssistParameters>& params,
    const RaceSourceFactory& makeSource, const WorkFolder& work, const RaceOutcome& race)
{
    RaceResult result;
    result.race = race;
    try {
        std::optional<MorningRace> morning;
        {
            std::unique_ptr<RaceSource> source = makeSource();
            if (!source)
                throw UserError(U"レースのデータを開けません。");
            morning.emplace(*source, race, options.pastRuns, work);
        }
        std::vector<AssistOutcome> outs = morning->AssistEach(options.mode, params);
        for (std::size_t i = 0; i < outs.size(); ++i) {
            AssistOutcome& a = outs[i];
            if (!a.ok) {
                result.reason = params.size() > 1 ? options.params[i].label + ": " + a.reason : a.reason;
                result.marks.clear();
                return result;
            }
            result.marks.push_back(std::move(a.marks));
        }
        result.ok = true;
    } catch (const UserError& e) {
        result.reason = "作成できません: " + ToUtf8(e.Message());
    } catch (const std::exception& e) {
        result.reason = std::string("作成できません: ") + e.what();
    } catch (...) {
        result.reason = "作成できません: 予期しないエラーです。";
    }
    if (!result.ok)
        result.marks.clear();
    return result;
}

// The races in flight: the caller's thread hands them out in race id order and takes the results back in
// the same order, so every run calls back, and writes, the same way whatever the number of jobs.
class Pool {
public:
    Pool(const EngineOptions& options, std::vector<AssistParameters> params, const RaceSourceFactory& makeSource,
        const EngineCallbacks& callbacks, const WorkFolder& work, std::size_t total)
        : options_(options)
        , params_(std::move(params))
        , makeSource_(makeSource)
        , callbacks_(callbacks)
        , work_(work)
        , start_(std::chrono::steady_clock::now())
    {
        report.total = total;
        const int jobs = std::max(1, options.jobs);
        for (int i = 0; i < jobs; ++i)
            threads_.emplace_back([this] { Work(); });
    }

    ~Pool()
    {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            queue_.clear();
        }
        wake_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }

    EngineReport report;

    // Queues the race once the pool has room; false when the run is to end.
    bool Submit(const RaceOutcome& race)
    {
        std::unique_lock lock(mutex_);
        // A few races queued per thread keep every thread busy while the listing reads the next.
        const std::size_t room = threads_.size() * 2;
        while (nextSeq_ - nextEmit_ >= room) {
            if (StopRequested(lock))
                return false;
            EmitReady(lock);
            if (nextSeq_ - nextEmit_ >= room)
                done_.wait_for(lock, std::chrono::milliseconds(50));
        }
        if (StopRequested(lock))
            return false;
        queue_.emplace_back(nextSeq_++, race);
        wake_.notify_one();
        EmitReady(lock);
        return true;
    }

    // Waits for every race handed out; after a stop, the queued ones are dropped and the running ones finish.
    void Drain()
    {
        std::unique_lock lock(mutex_);
        while (nextEmit_ < nextSeq_) {
            if (StopRequested(lock)) {
                // The dropped races leave a gap: the results after it are still handed on in order.
                for (const auto& [seq, race] : queue_)
                    dropped_.push_back(seq);
                queue_.clear();
            }
            EmitReady(lock);
            if (nextEmit_ < nextSeq_)
                done_.wait_for(lock, std::chrono::milliseconds(50));
        }
    }

private:
    void Work()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return closed_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            auto [seq, race] = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            RaceResult result = ReplayRace(options_, params_, makeSource_, work_, race);
            lock.lock();
            finished_.emplace(seq, std::move(result));
            done_.notify_all();
        }
    }

    // The stop request is polled without the lock: the caller's callback may take its time.
    bool StopRequested(std::unique_lock<std::mutex>& lock)
    {
        if (!report.interrupted && callbacks_.stop) {
            lock.unlock();
            const bool stop = callbacks_.stop();
            lock.lock();
            report.interrupted = stop;
        }
        return report.interrupted;
    }

    // Hands on the finished races that come next in order, outside the lock.
    void EmitReady(std::unique_lock<std::mutex>& lock)
    {
        for (;;) {
            if (auto d = std::find(dropped_.begin(), dropped_.end(), nextEmit_); d != dropped_.end()) {
                dropped_.erase(d);
                ++nextEmit_;
                continue;
            }
            auto it = finished_.find(nextEmit_);
            if (it == finished_.end())
                return;
            RaceResult result = std::move(it->second);
            finished_.erase(it);
            ++nextEmit_;
            lock.unlock();
            Emit(result);
            lock.lock();
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
    const std::vector<AssistParameters> params_;
    const RaceSourceFactory& makeSource_;
    const EngineCallbacks& callbacks_;
    const WorkFolder& work_;
    std::chrono::steady_clock::time_point start_;

    std::mutex mutex_;
    std::condition_variable wake_; // a race queued, or the pool closing
    std::condition_variable done_; // a race finished
    std::deque<std::pair<std::size_t, RaceOutcome>> queue_;
    std::map<std::size_t, RaceResult> finished_;
    std::vector<std::size_t> dropped_;
    std::size_t nextSeq_ = 0;
    std::size_t nextEmit_ = 0;
    bool closed_ = false;
    std::vector<std::thread> threads_;
};

} // namespace

EngineReport RunBacktest(const EngineOptions& options, RaceSource& listing, const RaceSourceFactory& makeSource,
    const EngineCallbacks& callbacks)
{
    EngineReport failed;
    // Each settings file is read once, here; the races take the values in memory.
    std::vector<AssistParameters> params;
    for (const ParamSet& p : options.params) {
        try {
            params.push_back(p.file.empty() ? DefaultAssistParameters() : ReadAssistParameters(p.file));
        } catch (const UserError& e) {
            failed.error = "パラメーターファイル(" + p.file + ")を読めません: " + ToUtf8(e.Message());
            return failed;
        }
    }
    WorkFolder work(options.tempRoot);
    if (work.Path().empty()) {
        failed.error
            = "一時フォルダーを作成できません: " + (options.tempRoot.empty() ? DefaultWorkBase() : options.tempRoot);
        return failed;
    }
    std::size_t total = 0;
    try {
        total = listing.CountRaces(options.query);
    } catch (const std::exception& e) {
        failed.error = e.what();
        return failed;
    }
    Pool pool(options, std::move(params), makeSource, callbacks, work, total);
    try {
        listing.ForEachRace(options.query, [&](const RaceOutcome& race) { return pool.Submit(race); });
    } catch (const std::exception& e) {
        // The races already handed out finish and count; no more are started.
        pool.report.error = e.what();
    }
    pool.Drain();
    return pool.report;
}

} // namespace pado::backtest
