#pragma once

#include <string>

namespace pado {

class Form2;

// Copies pado.txt, R1.txt and Rall.txt of a race folder picked under the staging folder, and kisyuE.txt
// when the folder has one, then offers to start again on them at once.
void TransferRaceFiles(Form2& f);
// The same from the given race folder (the one the race data window just built).
void TransferRaceFolder(Form2& f, const std::string& folder);

} // namespace pado
