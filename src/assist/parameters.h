#pragma once

namespace pado {

class App;

// Sets the 22 assist parameters to their defaults, then takes the values of repara.txt
// (opened by its bare name, in the current directory) when that file exists.
void LoadAssistParameters(App& app);

}  // namespace pado
