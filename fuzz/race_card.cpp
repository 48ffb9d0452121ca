// Any R1.txt: the section reader ends, and every card-head and entrant field reads safely.
#include "formats/race_card.h"

#include "fuzz_input.h"

using namespace pado;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Lines lines;
    if (!FuzzLines(data, size, lines))
        return 0;
    CardCursor cursor(lines);
    for (int sections = 0; !cursor.AtEnd() && sections < 10000; ++sections)
        cursor.ReadSection();
    for (const auto& l : lines) {
        cardhead::IsYearLine(l);
        cardhead::YearText(l);
        cardhead::VenueNamed(l);
        if (cardhead::IsMeetingLine(l)) {
            cardhead::MeetingVenue(l);
            cardhead::MeetingMonth(l);
        }
        if (long p = cardhead::FirstM(l))
            cardhead::DistanceBefore(l, p);
        entrant::EntrantText(l);
        entrant::JockeyText(l);
        entrant::IsSeparator(l);
    }
    return 0;
}
