#pragma once

namespace pado {

class Form2;

// Removes the shared work files and closes every window; the program ends with the last one.
void CloseAllWindows(Form2& f);

} // namespace pado
