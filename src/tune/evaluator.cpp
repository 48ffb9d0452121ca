#include "tune/evaluator.h"

#include <cstdlib>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/fs.h"

namespace pado::tune {

namespace {

class EngineEvaluator : public Evaluator {
public:
    EngineEvaluator(backtest::EngineOptions base, backtest::RaceSource& listing, backtest::RaceSourceFactory factory)
        : base_(std::move(base))
        , listing_(listing)
        , factory_(std::move(factory))
    {
    }
    ~EngineEvaluator() override
    {
        if (!folder_.empty())
            fs::DeleteTree(folder_);
    }

    EvalReport Run(const Date& from, const Date& to, const std::vector<ParamValues>& sets, const Visit& visit,
        const std::function<bool()>& stop) override
    {
        EvalReport report;
        if (sets.empty())
            return report;
        if (folder_.empty()) {
            std::string base = base_.tempRoot;
            if (base.empty()) {
                const char* t = std::getenv("TMPDIR");
                base = t && *t ? t : "/tmp";
            }
            std::string tmpl = fs::Join(base, "pado-tune-XXXXXX");
            if (!::mkdtemp(tmpl.data())) {
                report.error = "一時フォルダーを作成できません: " + base;
                return report;
            }
            folder_ = tmpl;
        }
        backtest::EngineOptions options = base_;
        options.query.from = from;
        options.query.to = to;
        options.params.clear();
        try {
            for (std::size_t i = 0; i < sets.size(); ++i) {
                const std::string file = fs::Join(folder_, "set" + std::to_string(i) + ".txt");
                WriteParameterFile(file, sets[i]);
                options.params.push_back({ "set" + std::to_string(i + 1), file });
            }
        } catch (const UserError& e) {
            report.error = ToUtf8(e.Message());
            return report;
        }
        backtest::EngineCallbacks callbacks;
        callbacks.stop = stop;
        callbacks.race = [&](const backtest::RaceResult& r) {
            if (!r.ok) {
                report.failures.push_back(r.race.raceId + ": " + r.reason);
                return;
            }
            std::vector<RaceMarks> marks(r.marks.begin(), r.marks.end());
            visit(r.race, marks);
        };
        backtest::EngineReport e = backtest::RunBacktest(options, listing_, factory_, callbacks);
        report.races = e.total;
        report.failed = e.failed;
        report.interrupted = e.interrupted;
        report.error = e.error;
        return report;
    }

private:
    backtest::EngineOptions base_;
    backtest::RaceSource& listing_;
    backtest::RaceSourceFactory factory_;
    std::string folder_;
};

} // namespace

std::unique_ptr<Evaluator> MakeEngineEvaluator(
    backtest::EngineOptions base, backtest::RaceSource& listing, backtest::RaceSourceFactory makeSource)
{
    return std::make_unique<EngineEvaluator>(std::move(base), listing, std::move(makeSource));
}

} // namespace pado::tune
