#pragma once

#include <vector>

#include "model.h"
#include "rng.h"

namespace makerace {

// Distinct fictional katakana names padded to 9 characters, none equal to one in avoid.
// With needV the first name starts with ヴ.
std::vector<Text> MakeHorseNames(Rng& rng, int count, bool needV, const std::vector<Text>& avoid);
// The jockey pool; the first ones carry the marks and spellings the race card must show.
std::vector<Jockey> MakeJockeys();

// Race names by a fixture number, so that one course and season keeps its names.
Text GradedName(int grade, bool jump, int fixture);
Text OpenName(int fixture);
Text SpecialName(int fixture);

} // namespace makerace
