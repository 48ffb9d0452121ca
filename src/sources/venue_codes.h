#pragma once

#include "platform/text.h"

namespace pado::sources {

// JRA venue codes: 01 札幌 02 函館 03 福島 04 新潟 05 東京 06 中山 07 中京 08 京都 09 阪神 10 小倉.
Text VenueName(int code); // empty outside 1..10
int VenueCode(const Text& text); // a venue named anywhere in text (中山, 5回中山8日), or 0

} // namespace pado::sources
