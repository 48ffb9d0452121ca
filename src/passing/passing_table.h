#pragma once

namespace pado {

class Form2;

// The members window's passing order table: every past run of every entrant with corner markers.
void ShowPassingOrderTable(Form2& f);

}  // namespace pado
