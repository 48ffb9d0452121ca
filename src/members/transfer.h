#pragma once

#include <string>

namespace pado {

class Form2;

// Copies pado.txt, R1.txt and Rall.txt of a race folder picked under the staging folder.
void TransferRaceFiles(Form2& f);
// Copies them from the given race folder (the one the race data window just built).
void TransferRaceFolder(Form2& f, const std::string& folder);

} // namespace pado
