#include "passing/passing_table.h"

#include "members/form2.h"

namespace pado {

void ShowPassingOrderTable(Form2&) {}

}  // namespace pado
