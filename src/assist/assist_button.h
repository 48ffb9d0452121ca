#pragma once

namespace pado {

class Form1;

// The main window's assist button: checks the selected folder, asks for the mode, runs the passes.
void StartAssist(Form1& f);

} // namespace pado
