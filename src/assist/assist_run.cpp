#include "assist/assist_run.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/run_line.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "timeorder/form4.h"

namespace pado {

AssistRun::AssistRun(Form1& form, Text visited)
    : f(form)
    , app(form.GetApp())
    , pastRunFolder(std::move(visited))
{
}

const Lines& AssistRun::F3()
{
    if (!f3_)
        f3_ = ReadTextFile(app.FilePath(files::kRunBlock));
    return *f3_;
}

const Lines& AssistRun::Rall()
{
    if (!rall_)
        rall_ = ReadRall(app.FilePath(files::kPastRuns));
    return *rall_;
}

const AssistRun::HorseRuns& AssistRun::F3RunsOf(const Text& horseName)
{
    if (!f3ByHorse_) {
        f3ByHorse_.emplace();
        for (const Text& line : F3()) {
            HorseRuns& h = (*f3ByHorse_)[runline::HorseName(line)];
            h.firstByStart.emplace(Left(line, 21), h.runs.size());
            h.runs.push_back(line);
        }
    }
    static const HorseRuns none;
    auto it = f3ByHorse_->find(horseName);
    return it == f3ByHorse_->end() ? none : it->second;
}

namespace {

Text ConditionKey(const Text& venue, const Text& surface, long distance, const Text& going)
{
    return venue + U"|" + surface + U"|" + ToText(distance) + U"|" + going;
}

} // namespace

const Text* AssistRun::FirstWindowLine(const Text& venue, const Text& surface, long distance, const Text& going)
{
    if (!window_) {
        window_ = SplitLines(app.form4().Text1.GetText());
        for (std::size_t i = 0; i < window_->size(); ++i) {
            const Text& line = (*window_)[i];
            if (line.size() > 2)
                windowIndex_.emplace(ConditionKey(Cols(line, 8, 9), Cols(line, 14, 14), LeadingInt(Cols(line, 15, 18)),
                                         Cols(line, 21, 21)),
                    i);
        }
    }
    auto it = windowIndex_.find(ConditionKey(venue, surface, distance, going));
    return it == windowIndex_.end() ? nullptr : &(*window_)[it->second];
}

} // namespace pado
