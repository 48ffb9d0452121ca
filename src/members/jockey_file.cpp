#include "members/jockey_file.h"

#include "formats/race_card.h"
#include "platform/number.h"

namespace pado {

Text JockeyKey(const Text& jockeyText)
{
    Text key = ReplaceAll(jockeyText, U" ", U"");
    if (Contains(key, U"．"))
        key = Mid(key, 3);
    for (const Text& mark : { Text(U"▲"), Text(U"☆"), Text(U"△") })
        if (StartsWith(key, mark))
            key = Mid(key, 2);
    if (key.size() == 2)
        key += U"　";
    return Left(key, 3);
}

std::optional<Counts> FindJockeyCounts(const Lines& jockeyFile, const Text& key, int venueIndex)
{
    for (const Text& line : jockeyFile) {
        if (Left(line, 3) != key)
            continue;
        const long block = 7 + 15 * venueIndex;
        Counts c {};
        for (int k = 0; k < 4; ++k)
            c[k] = static_cast<int>(LeadingInt(Mid(line, block + 3 * k, 3)));
        return c;
    }
    return std::nullopt;
}

int VenueIndex(const Text& venue)
{
    const Lines& names = cardhead::VenueNames();
    for (std::size_t k = 0; k < names.size(); ++k)
        if (names[k] == venue)
            return static_cast<int>(k);
    return -1;
}

namespace {
Text RightAligned(long n, std::size_t width)
{
    Text t = ToText(n);
    return t.size() < width ? Text(width - t.size(), U' ') + t : t;
}
} // namespace

Text JockeyRecord(const Counts& c)
{
    Text out;
    for (int k = 0; k < 3; ++k)
        out += (c[k] >= 100 ? Text(U"99") : RightAligned(c[k], 2)) + U" ";
    return out + RightAligned(c[3], 3);
}

int RatePercent(long part, long rides)
{
    if (rides <= 0)
        return 0;
    // Exact integer rounding: a floating quotient such as 3 / 20 * 100 is not exactly 15.
    long q = part * 100 / rides;
    long twiceRest = 2 * (part * 100 % rides);
    if (twiceRest > rides || (twiceRest == rides && q % 2 != 0))
        ++q;
    return static_cast<int>(q);
}

Text RateCell(int percent)
{
    if (percent >= 100)
        return U"99%";
    return RightAligned(percent, 2) + U"%";
}

} // namespace pado
