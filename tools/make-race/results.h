#pragma once

#include <vector>

#include "model.h"
#include "rng.h"

namespace makerace {

void MarkWinWanted(Race& race, int entrant);
// Fills the field with other horses and decides the finishing order, times and passing orders.
void RunRace(const World& world, Rng& rng, Race& race, const std::vector<Text>& others);

Text ClassWord(Class c); // 新馬, 未勝利, 1勝クラス ...
Text MarginText(int tenths, bool jump);

} // namespace makerace
