#include "backtest/outputs.h"

#include <memory>

#include "platform/fs.h"

namespace pado::backtest {

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// A file written under an unguessable temporary name beside its final name and renamed when complete, so
// a reader never finds half of it and nothing planted in the output folder is ever opened. Not flushed to
// the disk: a run that a system crash cut short is run again.
class OutFile : public fs::AtomicFile {
public:
    explicit OutFile(const std::string& path)
        : fs::AtomicFile(path, false)
    {
    }
};

} // namespace

std::string MarksFileName(std::size_t paramSet)
{
    return paramSet == 0 ? "marks.csv" : "marks-" + std::to_string(paramSet + 1) + ".csv";
}

BacktestRun RunBacktestIntoFolder(const EngineOptions& options, RaceSource& listing,
    const RaceSourceFactory& makeSource, const std::string& outDir, EngineCallbacks callbacks)
{
    BacktestRun run;
    // What a run killed here before could not clear up.
    fs::RemoveStaleTemporaries(outDir);
    std::vector<std::unique_ptr<OutFile>> marks;
    for (std::size_t i = 0; i < options.params.size(); ++i) {
        marks.push_back(std::make_unique<OutFile>(fs::Join(outDir, MarksFileName(i))));
        marks.back()->Write(kBom + MarksCsv::Header());
    }
    OutFile failures(fs::Join(outDir, kFailuresFile));
    failures.Write(kBom + "race_id,date,venue,race_number,reason\r\n");

    std::vector<Summary> summaries(options.params.size());
    auto onRace = callbacks.race;
    callbacks.race = [&](const RaceResult& r) {
        if (!r.ok) {
            failures.Write(CsvField(r.race.raceId) + "," + DateText(r.race.date) + "," + CsvField(r.race.venue) + ","
                + std::to_string(r.race.raceNumber) + "," + CsvField(r.reason) + "\r\n");
        } else {
            for (std::size_t i = 0; i < summaries.size(); ++i) {
                summaries[i].Add(r.race, r.marks[i]);
                marks[i]->Write(MarksCsv::Rows(r.race, r.marks[i]));
            }
        }
        if (onRace)
            onRace(r);
    };
    run.report = RunBacktest(options, listing, makeSource, callbacks);

    run.written = failures.Commit();
    for (auto& f : marks)
        run.written = f->Commit() && run.written;
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        run.labels.push_back(options.params[i].label);
        run.rows.push_back(summaries[i].Rows());
    }
    OutFile summary(fs::Join(outDir, kSummaryFile));
    summary.Write(kBom + SummaryCsv(run.labels, run.rows));
    run.written = summary.Commit() && run.written;
    return run;
}

} // namespace pado::backtest
