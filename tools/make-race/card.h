#pragma once

#include "model.h"

namespace makerace {

// The race name line, the header block and the entrant section of the race card, blank lines included.
Lines CardHead(const World& world);

} // namespace makerace
