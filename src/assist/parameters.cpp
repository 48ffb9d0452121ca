#include "assist/parameters.h"

namespace pado {

void LoadAssistParameters(App&) {}

}  // namespace pado
