#pragma once

namespace pado {

class Form1;

// Lists every run of the selected entrant, in full or abbreviated.
void ShowCareerLines(Form1& f, bool abbreviated);

}  // namespace pado
