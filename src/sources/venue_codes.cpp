#include "sources/venue_codes.h"

namespace pado::sources {

namespace {
const char32_t* const kVenues[]
    = { U"札幌", U"函館", U"福島", U"新潟", U"東京", U"中山", U"中京", U"京都", U"阪神", U"小倉" };
}

Text VenueName(int code)
{
    return code >= 1 && code <= 10 ? Text(kVenues[code - 1]) : Text();
}

int VenueCode(const Text& text)
{
    for (int i = 0; i < 10; ++i)
        if (text.find(kVenues[i]) != Text::npos)
            return i + 1;
    return 0;
}

} // namespace pado::sources
