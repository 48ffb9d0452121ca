#include "assist/race_compare.h"

#include <algorithm>

#include "app/app.h"
#include "app/form1.h"
#include "assist/assist_run.h"
#include "assist/parameters.h"
#include "formats/run_line.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

std::vector<Text> CoRunnerTable(const Lines& r12, int coRunnerCount)
{
    int c = std::max(coRunnerCount, 0);
    std::vector<Text> slots(static_cast<std::size_t>(c) + 1);
    for (int i = 0; i < c && i < static_cast<int>(r12.size()); ++i)
        slots[static_cast<std::size_t>(c - i)] = r12[static_cast<std::size_t>(i)];
    return slots;
}

std::vector<Text> ReadCoRunnerTable(AssistRun& run)
{
    return CoRunnerTable(
        ReadTextFile(run.app.FilePath(files::kCoRunners)), static_cast<int>(run.f.state.coRunnerCount));
}

int SlotPosition(const Text& slot)
{
    return static_cast<int>(LeadingInt(Left(slot, 2)));
}

Text SlotHorse(const Text& slot)
{
    return Right(slot, 9);
}

double RaceTimeSeconds(const Text& time)
{
    return LeadingNumber(Left(time, 1)) * 60 + LeadingNumber(Right(time, 4));
}

double R13Time(const Text& r13Line)
{
    return RaceTimeSeconds(Right(r13Line, 6));
}

float TimeGap(double time, double reference)
{
    return static_cast<float>(time - reference);
}

R13Lines::R13Lines(Lines lines)
    : lines_(std::move(lines))
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto [it, added] = byHorse_.try_emplace(Cols(lines_[i], 7, 15));
        const double time = R13Time(lines_[i]);
        if (added)
            it->second = Horse { i, time };
        else
            it->second.slowest = std::max(it->second.slowest, time);
    }
}

const Text* R13Lines::First(const Text& horse) const
{
    auto it = byHorse_.find(horse);
    return it == byHorse_.end() ? nullptr : &lines_[it->second.first];
}

bool R13Lines::AnyBehindBy(const Text& horse, double reference, float limit) const
{
    auto it = byHorse_.find(horse);
    return it != byHorse_.end() && TimeGap(it->second.slowest, reference) > limit;
}

Text TwoDigitExceptions::Check(const Text& otherEntrant)
{
    lastAsked_ = otherEntrant;
    auto [it, fresh] = answers_.try_emplace(otherEntrant);
    if (fresh) {
        it->second = CheckTwoDigitException(run_, otherEntrant);
        lastRun_ = otherEntrant;
    }
    return it->second;
}

void TwoDigitExceptions::Finish()
{
    if (lastAsked_ != lastRun_)
        CheckTwoDigitException(run_, lastAsked_);
}

Text CheckTwoDigitException(AssistRun& run, const Text& otherEntrant)
{
    const AssistRun::HorseRuns& horse = run.F3RunsOf(otherEntrant);
    const Lines& runs = horse.runs;
    const std::string f31 = run.app.FilePath(files::kHorseRunBlock);
    // The past race is its only run: nothing to excuse it. The horse's one line stays in F31.txt.
    if (runs.size() == 1) {
        WriteTextFile(f31, runs);
        return U"-";
    }
    DeleteTextFile(f31);

    const Module1& m = run.app.module1;
    const auto match = horse.firstByStart.find(Left(Right(run.pastRunFolder, 62), 21));
    if (match == horse.firstByStart.end())
        return U"";
    const std::size_t i = match->second;
    if (i == 0) {
        // Its debut: a good next run shows the bad first run was no measure of it.
        Text next = i + 1 < runs.size() ? runs[i + 1] : Text();
        double nextFinish = static_cast<double>(LeadingInt(runline::FinishField(next)));
        return nextFinish >= Param(m, exceptionNextFinish) ? U"-" : U"";
    }
    // Back from a rest: the gap is taken between the yymmdd numbers themselves.
    double interval = LeadingNumber(Left(runs[i], 6)) - LeadingNumber(Left(runs[i - 1], 6));
    return interval <= Param(m, exceptionInterval) ? U"-" : U"";
}

float TurfGapLimit(AssistRun& run, int d)
{
    const Module1& m = run.app.module1;
    if (d < 1200)
        return Param(m, turfGapUnder1200);
    if (d < 1600)
        return Param(m, turfGap1200);
    if (d < 2000)
        return Param(m, turfGap1600);
    if (d < 2400)
        return Param(m, turfGap2000);
    if (d < 3000)
        return Param(m, turfGap2400);
    return Param(m, turfGap3000);
}

} // namespace pado
