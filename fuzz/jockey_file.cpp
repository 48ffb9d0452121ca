// Any kisyuE.txt: a lookup at every venue reads the counts of short or garbled lines safely.
#include "members/jockey_file.h"

#include "formats/race_card.h"
#include "fuzz_input.h"

using namespace pado;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Lines lines;
    if (!FuzzLines(data, size, lines))
        return 0;
    for (std::size_t i = 0; i < lines.size() && i < 32; ++i) {
        Text key = JockeyKey(lines[i]);
        for (int venue = -1; venue <= 10; ++venue)
            if (auto c = FindJockeyCounts(lines, Left(lines[i], 3), venue))
                JockeyRecord(*c);
        FindJockeyCounts(lines, key, 0);
    }
    for (long part : { 0L, 1L, 3L, 20L })
        RateCell(RatePercent(part, 20));
    return 0;
}
