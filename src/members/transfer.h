#pragma once

namespace pado {

class Form2;

// Copies pado.txt, R1.txt and Rall.txt of a race folder picked under the staging folder.
void TransferRaceFiles(Form2& f);

} // namespace pado
