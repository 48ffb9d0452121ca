#include "formats/race_card.h"

#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

Lines ReadRaceCard(const std::string& path)
{
    return ReadTextFile(path);
}

CardCursor::Section CardCursor::ReadSection()
{
    return ReadSectionFrom(ReadLine());
}

CardCursor::Section CardCursor::ReadSectionFrom(Text line)
{
    Section s;
    while (!IsBlank(line) && !AtEnd()) {
        s.lines.push_back(std::move(line));
        line = ReadLine();
    }
    s.terminator = std::move(line);
    return s;
}

namespace cardhead {

bool IsYearLine(const Text& line)
{
    return CharAt(line, 5) == U'年';
}

Text YearText(const Text& line)
{
    return Cols(line, 3, 4);
}

const Lines& VenueNames()
{
    static const Lines kNames
        = { U"京都", U"阪神", U"中京", U"小倉", U"東京", U"中山", U"福島", U"新潟", U"函館", U"札幌" };
    return kNames;
}

Text VenueNamed(const Text& line)
{
    Text venue;
    for (const Text& name : VenueNames())
        if (Contains(line, name))
            venue = name;
    return venue;
}

bool IsMeetingLine(const Text& line)
{
    return EndsWith(line, U"日目");
}

namespace {
bool IsDigit(char32_t c)
{
    return (c >= U'0' && c <= U'9') || (c >= U'０' && c <= U'９');
}
} // namespace

Text MeetingVenue(const Text& line)
{
    if (!IsMeetingLine(line))
        return {};
    long end = static_cast<long>(line.size()) - 2; // characters 1..end come before "日目"
    while (end > 0 && IsDigit(CharAt(line, end)))
        --end;
    return Cols(line, end - 1, end);
}

std::optional<int> MeetingMonth(const Text& line)
{
    long p = InStr(line, U"月");
    if (p < 6)
        return std::nullopt;
    return static_cast<int>(LeadingInt(Cols(line, 6, p - 1)));
}

long FirstM(const Text& line)
{
    return InStr(line, U"m");
}

std::optional<int> DistanceBefore(const Text& line, long p)
{
    Text field = TrimSpaces(Cols(line, p - 4, p - 1));
    if (field.empty() || field[0] < U'0' || field[0] > U'9')
        return std::nullopt;
    return static_cast<int>(LeadingInt(field));
}

} // namespace cardhead

namespace entrant {

Text Number(int n)
{
    if (n >= 0 && n <= 9)
        return U" " + ToText(n) + U" ";
    return ToText(n) + U" ";
}

Text EntrantText(const Text& line)
{
    long p = InStr(line, U")");
    if (p == 0)
        return {};
    if (p == 12)
        return Left(line, 11) + U"   )";
    return Left(line, p);
}

Text JockeyText(const Text& line)
{
    long p = InStr(line, U")");
    return p == 0 ? Text {} : Mid(line, p + 1);
}

bool IsSeparator(const Text& line)
{
    return StartsWith(line, U"＝");
}

} // namespace entrant

} // namespace pado
