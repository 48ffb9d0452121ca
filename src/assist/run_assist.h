#pragma once

namespace pado {

class Form1;

// Visits every past run of every entrant of the race folder highlighted in Dir1 and runs the pass
// of the mode the assist dialog left in Module1; the memo pad ends up with the marks.
void RunAssist(Form1& f);

} // namespace pado
