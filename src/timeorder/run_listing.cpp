#include "timeorder/run_listing.h"

#include "formats/run_line.h"
#include "platform/number.h"

namespace pado {

Lines TimeOrderListing(const Lines& card)
{
    const auto marker = [&](std::size_t i) { return Contains(card[i], U"◆"); };
    std::size_t i = 1;
    while (i < card.size() && !marker(i))
        ++i;
    if (i >= card.size())
        return {};
    i += 2; // the first marker line and the line after it, which never ends the skipped part
    while (i < card.size() && !marker(i))
        ++i;
    if (i >= card.size())
        return {};
    return Lines(card.begin() + static_cast<long>(i) + 1, card.end());
}

namespace {

template <typename RunLineOut> Text RunListing(const Lines& rall, const Text& headingIndent, RunLineOut runLine)
{
    Text out;
    Text previous;
    for (const Text& line : rall) {
        const Text name = runline::HorseName(line);
        if (name != previous) {
            out += headingIndent + name + U"\n";
            previous = name;
        }
        out += runLine(runline::WithoutName(line)) + U"\n";
    }
    return out;
}

} // namespace

Text FullRunListing(const Lines& rall)
{
    return RunListing(rall, Text(29, U' '), [](const Text& t) { return t; });
}

Text ShortRunListing(const Lines& rall)
{
    return RunListing(rall, Text {}, SimpleRunLine);
}

Text SimpleRunLine(const Text& t)
{
    const std::vector<Text> parts = SplitAt(t, U' ');
    if (parts.size() < 14)
        return t;
    const Text& place = parts[6];
    Text line = Cols(t, 1, 10) + parts[3] + U" " + (LeadingNumber(place) < 10 ? U" " + Right(place, 1) : place)
        + Cols(t, 40, 54) + parts[13];
    switch (parts.size() - 1) {
    case 15:
        line += U" " + parts[15];
        break;
    case 14:
        line += U" " + parts[14];
        break;
    case 13:
        break;
    default:
        line.clear();
    }
    return ShortenRaceWords(ReplaceAll(std::move(line), U"オープン", U"Ｏp"));
}

} // namespace pado
