#pragma once

#include "platform/text.h"

namespace pado {

class Form1;

// Lists every run of the selected entrant, in full or abbreviated.
void ShowCareerLines(Form1& f, bool abbreviated);

// The abbreviated form of one Rall.txt line: date and venue, course, finish, the middle columns,
// class and race name, with long words shortened.
Text AbbreviatedCareerLine(const Text& runLine);

} // namespace pado
