#pragma once

#include "emit.h"
#include "model.h"

namespace makerace {

// The simulated world as the records a data source would hold: every past race with its result, today's race
// as a card. Jockeys get five-digit codes and horses ten-digit registration numbers, as the official data has.
SourceData ToSourceData(const World& world);

} // namespace makerace
