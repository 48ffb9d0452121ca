#pragma once

namespace pado {

class Form1;

// The detail button: shows the result table of the highlighted past race.
void ShowSelectedRaceDetail(Form1& f);
// Looks the past race of f.selectedFolder up in pado.txt; shows it only when f.state.displayFlag is 1.
// Writes R10.txt and R13.txt and the past race's attributes. False when the race is not found.
bool ShowRaceDetail(Form1& f);

} // namespace pado
