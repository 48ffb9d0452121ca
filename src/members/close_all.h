#pragma once

namespace pado {

class App;
class Form2;

// Removes the work files the windows share, which belong to the race of this session only.
void DeleteSharedWorkFiles(App& app);

// Removes the shared work files and closes every window; the program ends with the last one.
void CloseAllWindows(Form2& f);

} // namespace pado
