#include "assist/assist_button.h"

#include "app/form1.h"

namespace pado {

void StartAssist(Form1&) {}

}  // namespace pado
