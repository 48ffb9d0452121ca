#include "members/transfer.h"

#include "members/form2.h"

namespace pado {

void TransferRaceFiles(Form2&) {}

}  // namespace pado
