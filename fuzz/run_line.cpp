// Any line: every field of a run line reads as some text, never out of range.
#include "formats/run_line.h"

#include "fuzz_input.h"
#include "platform/number.h"

using namespace pado;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Lines lines;
    if (!FuzzLines(data, size, lines))
        return 0;
    for (const auto& l : lines) {
        Text all = runline::RaceKeyText(l) + runline::Date(l) + runline::Venue(l) + runline::Surface(l)
            + runline::DistanceField(l) + runline::Going(l) + runline::FinishField(l) + runline::HorseName(l)
            + runline::Sex(l) + runline::Age(l) + runline::Tail(l);
        auto tokens = SplitAt(runline::WithoutName(l), U' ');
        for (const auto& t : tokens)
            LeadingNumber(t);
        LeadingInt(runline::DistanceField(l));
        ShortenRaceWords(all);
    }
    RunsOf(lines, lines.empty() ? Text {} : runline::HorseName(lines[0]));
    return 0;
}
