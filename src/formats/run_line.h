#pragma once

#include <string>

#include "platform/text.h"

namespace pado {

// Fields of a run line: the fixed-column line of one past run, shared by Rall.txt, the race
// card's run block and past-run section, and several work files. Short lines read as empty fields.
namespace runline {

inline Text RaceKeyText(const Text& l)
{
    return Cols(l, 1, 12);
} // same on every line of one race
inline Text Date(const Text& l)
{
    return Cols(l, 1, 6);
} // yymmdd
inline Text Venue(const Text& l)
{
    return Cols(l, 8, 9);
}
inline Text Surface(const Text& l)
{
    return Cols(l, 14, 14);
} // 芝, ダ or 障
inline Text DistanceField(const Text& l)
{
    return Cols(l, 15, 18);
}
inline Text Going(const Text& l)
{
    return Cols(l, 21, 21);
}
inline Text FinishField(const Text& l)
{
    return Cols(l, 26, 27);
} // right-aligned, so text order is numeric order
inline Text HorseName(const Text& l)
{
    return Cols(l, 48, 56);
}
inline Text Sex(const Text& l)
{
    return Cols(l, 57, 57);
}
inline Text Age(const Text& l)
{
    return Cols(l, 58, 58);
}
inline Text Tail(const Text& l)
{
    return Mid(l, 64);
} // race class and race name
// The line with the horse name cut out: columns 1 to 47, then 57 to the end.
inline Text WithoutName(const Text& l)
{
    return Cols(l, 1, 47) + Mid(l, 57);
}

} // namespace runline

// Every line of a past-runs file (Rall.txt); throws UserError when it is missing or not CP932.
Lines ReadRall(const std::string& path);
// The lines of one horse (columns 48 to 56 equal to the 9-character name), in file order.
Lines RunsOf(const Lines& rall, const Text& horseName);

// Shortens long words of race names: the table the career lines, the same-race view and the
// distance and time window share ("ステークス" to "Ｓ" ... "(ＧＩ)" to "(G1)").
Text ShortenRaceWords(Text s);

} // namespace pado
