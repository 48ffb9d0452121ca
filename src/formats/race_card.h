#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/text.h"

namespace pado {

// Every line of a race card (R1.txt); throws UserError when it is missing or not CP932.
Lines ReadRaceCard(const std::string& path);

// Reads the race card line by line, the way its sections are delimited: a section goes on while
// the line just read is not blank and the file has more lines, so the last line of the file ends a
// section without belonging to it.
class CardCursor {
public:
    explicit CardCursor(Lines lines)
        : lines_(std::move(lines))
    {
    }
    // True when every line has been read.
    bool AtEnd() const { return next_ >= lines_.size(); }
    // The next line; an empty text once the file is exhausted, so a card that stops early
    // reads as if its sections were closed by blank lines.
    Text ReadLine() { return AtEnd() ? Text {} : lines_[next_++]; }

    struct Section {
        Lines lines;
        Text terminator; // the line that ended the section (normally blank)
    };
    // Reads the first line of a section and then the section itself.
    Section ReadSection();
    // The same, with the first line already read by the caller.
    Section ReadSectionFrom(Text first);

private:
    Lines lines_;
    std::size_t next_ = 0;
};

// Fields of the card head lines (the race name line and the header block).
namespace cardhead {

// The year line: its 5th character is "年"; characters 3 to 4 are the two-digit year.
bool IsYearLine(const Text& line);
Text YearText(const Text& line);
// The venue named anywhere in the line: the ten venue names are tried in their fixed order and
// the one tried last that occurs wins; empty when the line names none.
Text VenueNamed(const Text& line);
// The ten venue names in the order the jockey file keeps their blocks.
const Lines& VenueNames();

// The meeting line ends in "日目" ("…5回中山8日目").
bool IsMeetingLine(const Text& line);
// The two characters in front of the day number (half-width or full-width digits directly before
// "日目"), so that meeting days 10 to 12 still give the venue.
Text MeetingVenue(const Text& line);
// Characters 6 up to the character before the first "月", as a number; nullopt without a "月"
// from the 6th character on.
std::optional<int> MeetingMonth(const Text& line);

// Position of the first half-width "m", 0 when there is none.
long FirstM(const Text& line);
// The four characters before position p, as a number; nullopt when they hold no number.
std::optional<int> DistanceBefore(const Text& line, long p);

} // namespace cardhead

// Fields of the entrant section lines.
namespace entrant {

// The three characters put in front of every line of the entrant section: " 1 " .. " 9 ", "10 " ...
Text Number(int n);
// The line up to and including its first ")"; a ")" in 12th place is moved to 15th place (three
// spaces before it) so the columns behind it line up; empty when the line has no ")".
Text EntrantText(const Text& line);
// Everything after the first ")": the jockey as the card prints it; empty without a ")".
Text JockeyText(const Text& line);
// Lines beginning with "＝" are part of the section but are not entrants.
bool IsSeparator(const Text& line);

} // namespace entrant

} // namespace pado
