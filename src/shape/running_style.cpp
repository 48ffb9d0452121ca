#include "shape/running_style.h"

#include "formats/pado_db.h"
#include "passing/corner_markers.h"
#include "passing/run_corners.h"

namespace pado {

namespace {

// A horse's place at a corner: one more than the numbers listed before its own, however they are
// grouped; 0 when it is not listed.
std::size_t PlaceAt(const Text& orderText, double horseNumber)
{
    const auto list = CornerList(orderText);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (static_cast<double>(list[i]) == horseNumber)
            return i + 1;
    return 0;
}

std::size_t CeilDiv(std::size_t a, std::size_t b)
{
    return (a + b - 1) / b;
}

// A corner list may name more horses than the record has runner lines; such a place counts as the back.
double Relative(std::size_t place, std::size_t runners)
{
    if (runners < 2)
        return 0;
    const double r = static_cast<double>(place - 1) / static_cast<double>(runners - 1);
    return r > 1 ? 1 : r;
}

} // namespace

Text StyleName(Style s)
{
    switch (s) {
    case Style::Nige:
        return U"逃げ";
    case Style::Senko:
        return U"先行";
    case Style::Sashi:
        return U"差し";
    case Style::Oikomi:
        return U"追込";
    case Style::Unknown:
        break;
    }
    return U"不明";
}

Text StyleInitial(Style s)
{
    return Left(StyleName(s), 1);
}

std::optional<RunStyle> StyleOfRun(const RunCorners& run)
{
    if (!run.horseNumberKnown || run.runnerCount == 0)
        return std::nullopt;
    const std::size_t p1 = PlaceAt(run.orderTexts[run.firstCorner], run.horseNumber);
    const std::size_t p4 = PlaceAt(run.orderTexts[4], run.horseNumber);
    if (p1 == 0 || p4 == 0)
        return std::nullopt;
    const std::size_t n = run.runnerCount;
    RunStyle r;
    if (p1 == 1)
        r.style = Style::Nige;
    else if (p4 <= CeilDiv(n, 3))
        r.style = Style::Senko;
    else if (p4 <= CeilDiv(2 * n, 3))
        r.style = Style::Sashi;
    else
        r.style = Style::Oikomi;
    r.firstCorner = Relative(p1, n);
    r.lastCorner = Relative(p4, n);
    return r;
}

std::optional<RunStyle> StyleOfRun(const RaceDatabase& db, const Text& runLine, const Text& horseName)
{
    const auto run = ReadRunCorners(db, runLine, horseName);
    if (!run)
        return std::nullopt;
    return StyleOfRun(*run);
}

EntrantStyle StyleOfEntrant(const RaceDatabase& db, int number, const Text& name, const Lines& pastRunsNewestFirst)
{
    EntrantStyle e;
    e.number = number;
    e.name = name;
    double first = 0;
    double last = 0;
    for (const Text& runLine : pastRunsNewestFirst) {
        if (e.runsUsed == kStyledRunsUsed)
            break;
        const auto run = StyleOfRun(db, runLine, name);
        if (!run)
            continue;
        ++e.counts[static_cast<std::size_t>(run->style)];
        first += run->firstCorner;
        last += run->lastCorner;
        ++e.runsUsed;
    }
    if (e.runsUsed == 0)
        return e;
    std::size_t best = 0;
    for (std::size_t s = 1; s < kStyleCount; ++s)
        if (e.counts[s] > e.counts[best]) // strictly more: a tie stays with the style nearer the front
            best = s;
    e.style = static_cast<Style>(best);
    e.meanFirstCorner = first / e.runsUsed;
    e.meanLastCorner = last / e.runsUsed;
    return e;
}

} // namespace pado
