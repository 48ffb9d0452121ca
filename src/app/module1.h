#pragma once

#include <array>

#include "platform/text.h"

namespace pado {

// The program-wide values every window may read.
struct Module1 {
    // Today's race, as the members window reads it from the race card when it loads;
    // zero or empty until then.
    int raceDistance = 0;
    Text raceSurface;
    Text raceVenue;
    int raceMonth = 0;

    // The 22 assist parameters (index 0 is parameter 1), single precision as they are kept.
    std::array<float, 22> params {};
    // Set by the assist dialog: the chosen mode (0 none, 1..4) and whether it closed with OK.
    int assistMode = 0;
    bool assistOk = false;
};

} // namespace pado
