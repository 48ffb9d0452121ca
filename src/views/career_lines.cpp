#include "views/career_lines.h"

#include "app/form1.h"

namespace pado {

void ShowCareerLines(Form1&, bool) {}

}  // namespace pado
