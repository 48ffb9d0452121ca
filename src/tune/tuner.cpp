#include "tune/tuner.h"

#include <algorithm>
#include <chrono>
#include <set>

#include "platform/splitmix64.h"
#include "platform/text.h"

namespace pado::tune {

namespace {

class Search {
public:
    Search(const TuneOptions& options)
        : options_(options)
        , random_(options.seed)
    {
        for (std::size_t i = 0; i < assistParamCount; ++i)
            if (options.space[i].Count() > 1)
                free_.push_back(static_cast<int>(i));
            else
                fixed_.push_back(static_cast<int>(i));
        seen_.insert(options.start);
        // A third of the budget explores at random, at most 100 sets: a long run spends the rest refining.
        randomLeft_ = options.budget > 1 ? std::clamp<std::size_t>((options.budget - 1) / 3, 1, 100) : 0;
        Shuffle();
    }

    bool Exhausted() const { return free_.empty(); }

    // The sets of the next batch, at most n, around best.
    std::vector<ParamValues> Next(ParamValues best, std::size_t n)
    {
        // A parameter the space fixes takes its value in every set but the start.
        for (int i : fixed_)
            best[static_cast<std::size_t>(i)] = options_.space[static_cast<std::size_t>(i)].Value(0);
        std::vector<ParamValues> sets;
        if (free_.empty())
            return sets;
        if (randomLeft_ == 0 && !explore_)
            Coordinates(best, n, sets);
        explore_ = false;
        // Random sets fill the batch: the planned ones at first, and after a round without gain or when
        // every neighbour has been tried.
        for (int tries = 0; sets.size() < n && tries < 50 * static_cast<int>(n); ++tries) {
            ParamValues v = best;
            bool changed = false;
            for (int i : free_)
                if (random_.Below(3) == 0) {
                    const Dimension& d = options_.space[static_cast<std::size_t>(i)];
                    v[static_cast<std::size_t>(i)] = d.Value(random_.Below(d.Count()));
                    changed = true;
                }
            if (!changed) {
                const int i = free_[static_cast<std::size_t>(random_.Below(static_cast<int>(free_.size())))];
                const Dimension& d = options_.space[static_cast<std::size_t>(i)];
                v[static_cast<std::size_t>(i)] = d.Value(random_.Below(d.Count()));
            }
            if (seen_.insert(v).second) {
                sets.push_back(v);
                if (randomLeft_)
                    --randomLeft_;
            }
        }
        return sets;
    }

    void Gained() { gain_ = true; }

private:
    void Shuffle()
    {
        order_ = free_;
        for (std::size_t i = order_.size(); i > 1; --i)
            std::swap(order_[i - 1], order_[static_cast<std::size_t>(random_.Below(static_cast<int>(i)))]);
        pos_ = 0;
    }

    // One parameter at a time moved from best by 1 and 3 steps either way, as many parameters as fit.
    void Coordinates(const ParamValues& best, std::size_t n, std::vector<ParamValues>& sets)
    {
        std::size_t visited = 0;
        while (sets.size() < n && visited < order_.size()) {
            if (pos_ == order_.size()) {
                Shuffle();
                if (!gain_) {
                    explore_ = true;
                    gain_ = false;
                    return;
                }
                gain_ = false;
            }
            const std::size_t i = static_cast<std::size_t>(order_[pos_]);
            const Dimension& d = options_.space[i];
            const int at = d.Nearest(best[i]);
            std::vector<ParamValues> moves;
            for (int delta : { -1, 1, -3, 3 }) {
                const int k = at + delta;
                if (k < 0 || k >= d.Count())
                    continue;
                ParamValues v = best;
                v[i] = d.Value(k);
                if (!seen_.count(v))
                    moves.push_back(v);
            }
            // A parameter whose moves do not all fit waits for the next batch, unless the batch is empty.
            if (!sets.empty() && sets.size() + moves.size() > n)
                return;
            ++pos_;
            ++visited;
            for (const ParamValues& v : moves)
                if (sets.size() < n && seen_.insert(v).second)
                    sets.push_back(v);
        }
    }

    const TuneOptions& options_;
    SplitMix64 random_;
    std::vector<int> free_, fixed_, order_;
    std::size_t pos_ = 0;
    std::set<ParamValues> seen_;
    std::size_t randomLeft_ = 0;
    bool explore_ = false;
    bool gain_ = false;
};

bool Candidate(const Evaluation& e, std::size_t minRaces)
{
    return e.tuning.tally.markedRaces >= minRaces;
}

} // namespace

const char* ObjectiveName(Objective o)
{
    switch (o) {
    case Objective::Top3:
        return "top3";
    case Objective::Win:
        return "win";
    case Objective::Return:
        return "return";
    }
    return "";
}

const char* ObjectiveLabel(Objective o)
{
    switch (o) {
    case Objective::Top3:
        return "複勝率";
    case Objective::Win:
        return "勝率";
    case Objective::Return:
        return "単勝回収率";
    }
    return "";
}

bool ParseObjective(const std::string& name, Objective& o)
{
    for (Objective c : { Objective::Top3, Objective::Win, Objective::Return })
        if (name == ObjectiveName(c)) {
            o = c;
            return true;
        }
    return false;
}

void Tally::Add(const backtest::RaceOutcome& race, const RaceMarks& marks)
{
    ++races;
    bool any = false;
    for (const backtest::RunnerOutcome& r : race.runners) {
        auto it = marks.find(r.horseNumber);
        if (!r.started || it == marks.end() || it->second.empty())
            continue;
        any = true;
        ++marked;
        if (r.finish == 1) {
            ++wins;
            winOddsSum += r.winOdds;
        }
        if (r.finish >= 1 && r.finish <= 3)
            ++top3;
    }
    markedRaces += any;
}

void Tally::Merge(const Tally& o)
{
    races += o.races;
    markedRaces += o.markedRaces;
    marked += o.marked;
    wins += o.wins;
    top3 += o.top3;
    winOddsSum += o.winOddsSum;
}

double Tally::Value(Objective o) const
{
    if (marked == 0)
        return 0;
    const double n = static_cast<double>(marked);
    switch (o) {
    case Objective::Top3:
        return 100.0 * static_cast<double>(top3) / n;
    case Objective::Win:
        return 100.0 * static_cast<double>(wins) / n;
    case Objective::Return:
        return 100.0 * winOddsSum / n;
    }
    return 0;
}

bool Better(const Evaluation& a, const Evaluation& b, Objective o)
{
    const double va = a.tuning.tally.Value(o), vb = b.tuning.tally.Value(o);
    if (va != vb)
        return va > vb;
    if (a.tuning.tally.markedRaces != b.tuning.tally.markedRaces)
        return a.tuning.tally.markedRaces > b.tuning.tally.markedRaces;
    return a.index < b.index;
}

bool TuneResult::Overfit(Objective o) const
{
    if (evaluations.empty() || best == 0)
        return false;
    return Best().checking.tally.Value(o) < Start().checking.tally.Value(o);
}

TuneResult Tune(Evaluator& evaluator, const TuneOptions& options, const TuneCallbacks& callbacks)
{
    TuneResult result;
    Search search(options);
    const auto began = std::chrono::steady_clock::now();
    const std::size_t budget = std::max<std::size_t>(1, options.budget);
    const std::size_t batch = std::max<std::size_t>(1, options.batch);
    while (result.evaluations.size() < budget) {
        const bool first = result.evaluations.empty();
        if (!first && options.minutes > 0
            && std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count() >= options.minutes * 60)
            break;
        if (callbacks.stop && callbacks.stop()) {
            result.interrupted = true;
            break;
        }
        const std::size_t room = std::min(batch, budget - result.evaluations.size());
        std::vector<ParamValues> sets;
        if (first)
            sets.push_back(options.start);
        const ParamValues around = first ? options.start : result.Best().values;
        for (const ParamValues& v : search.Next(around, room - sets.size()))
            sets.push_back(v);
        if (sets.empty())
            break; // every set of the space has been tried
        std::vector<Evaluation> evals(sets.size());
        for (std::size_t i = 0; i < sets.size(); ++i) {
            evals[i].index = result.evaluations.size() + i;
            evals[i].values = sets[i];
            evals[i].phase = evals[i].index == 0 ? "開始" : "";
        }
        auto visit = [&](const backtest::RaceOutcome& race, const std::vector<RaceMarks>& marks) {
            const bool tuning = race.date < options.holdout;
            for (std::size_t i = 0; i < evals.size() && i < marks.size(); ++i) {
                PeriodResult& p = tuning ? evals[i].tuning : evals[i].checking;
                p.tally.Add(race, marks[i]);
                p.summary.Add(race, marks[i]);
            }
        };
        EvalReport report = evaluator.Run(options.from, options.to, sets, visit, callbacks.stop);
        if (!report.error.empty()) {
            result.error = report.error;
            break;
        }
        if (report.interrupted) {
            // A batch cut short counted only some races: it would compare unlike with the others.
            result.interrupted = true;
            break;
        }
        if (first) {
            result.failed = report.failed;
            result.failures = report.failures;
            const std::size_t races = evals.front().tuning.tally.races;
            result.minRaces = options.minRaces ? options.minRaces : std::max<std::size_t>(1, (races + 9) / 10);
        }
        const std::size_t bestBefore = result.best;
        for (Evaluation& e : evals) {
            if (e.phase.empty()) {
                std::size_t moved = 0;
                for (std::size_t i = 0; i < assistParamCount; ++i)
                    moved += e.values[i] != around[i];
                e.phase = moved == 1 ? "改良" : "探索";
            }
            result.evaluations.push_back(std::move(e));
            const Evaluation& added = result.evaluations.back();
            if (Candidate(added, result.minRaces)
                && (!Candidate(result.Best(), result.minRaces) || Better(added, result.Best(), options.objective)))
                result.best = added.index;
        }
        if (result.best != bestBefore)
            search.Gained();
        if (callbacks.progress)
            callbacks.progress(result.evaluations, result.best);
        if (search.Exhausted())
            break;
    }
    return result;
}

} // namespace pado::tune
