#include "shape/field_styles.h"

#include <algorithm>
#include <cstdio>

#include "formats/race_card.h"
#include "formats/run_line.h"
#include "platform/cp932.h"
#include "platform/number.h"

namespace pado {

namespace {

const Text kMarker = U"◆-◆-◆";
constexpr std::size_t kNameCells = 18; // nine full-width characters

// A date in front, as the start-up tells past runs from heading lines.
bool IsRunLine(const Text& line)
{
    return LeadingNumber(Left(line, 6)) > 20000;
}

Text PadCells(const Text& s, std::size_t cells)
{
    const std::size_t w = CellWidth(s);
    return w >= cells ? s : s + Text(cells - w, U' ');
}

Text Fixed2(double v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%4.2f", v);
    return FromUtf8(buf);
}

} // namespace

std::vector<CardEntrant> CardEntrants(const Lines& card)
{
    CardCursor cursor(card);
    cursor.ReadSection(); // the card head
    std::vector<CardEntrant> entrants;
    int number = 0;
    for (const Text& line : cursor.ReadSection().lines) {
        ++number;
        if (entrant::IsSeparator(line) || TrimSpaces(Left(line, 9)).empty())
            continue;
        entrants.push_back({ number, PadRight(Left(line, 9), 9), {} });
    }
    while (!cursor.AtEnd() && !StartsWith(cursor.ReadLine(), kMarker)) { }
    cursor.ReadLine(); // the section's heading line
    Lines runs;
    while (!cursor.AtEnd()) {
        const Text line = cursor.ReadLine();
        if (StartsWith(line, kMarker))
            break;
        if (IsRunLine(line))
            runs.push_back(line);
    }
    // The card lists each horse's runs oldest first; the date decides, whatever the order.
    std::stable_sort(
        runs.begin(), runs.end(), [](const Text& a, const Text& b) { return runline::Date(a) > runline::Date(b); });
    for (CardEntrant& e : entrants)
        for (const Text& run : runs)
            if (runline::HorseName(run) == e.name)
                e.pastRuns.push_back(run);
    return entrants;
}

std::vector<EntrantStyle> StylesOfField(const RaceDatabase& db, const std::vector<CardEntrant>& entrants)
{
    std::vector<EntrantStyle> field;
    field.reserve(entrants.size());
    for (const CardEntrant& e : entrants)
        field.push_back(StyleOfEntrant(db, e.number, e.name, e.pastRuns));
    return field;
}

std::size_t CellWidth(const Text& s)
{
    std::size_t w = 0;
    for (char32_t c : s)
        w += Cp932Code(c) != 0 ? 2 : 1;
    return w;
}

Text StylePane(const std::vector<EntrantStyle>& field)
{
    Text pane;
    int front = 0;
    int leaders = 0;
    for (const EntrantStyle& e : field) {
        Text line = entrant::Number(e.number) + PadCells(e.name, kNameCells) + U" " + StyleName(e.style) + U" ";
        for (std::size_t s = 0; s < kStyleCount; ++s)
            line += U" " + StyleInitial(static_cast<Style>(s)) + ToText(e.counts[s]);
        if (e.runsUsed > 0)
            line += U"  初角 " + Fixed2(e.meanFirstCorner) + U"  4角 " + Fixed2(e.meanLastCorner);
        else
            line += U"  初角 ----  4角 ----";
        pane += line + U"\n";
        leaders += e.style == Style::Nige;
        front += e.style == Style::Senko;
    }
    pane += U"逃げ " + ToText(leaders) + U"頭  先行 " + ToText(front) + U"頭\n";
    return pane;
}

} // namespace pado
