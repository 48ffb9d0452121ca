#pragma once

#include "platform/text.h"

namespace pado {

// What the race detail and entrant pop-up routines leave behind for the assist passes, and the
// marking targets of those passes. Lives in the main window; one explicit record instead of
// loose window variables.
struct MainAssistState {
    // Race detail.
    float headerCount = 0;
    Text raceKeyLine; // "◎" and the 10-character race key
    int gradedFlag = 0; // set when the title line holds "ＧＩ"; the assist clears it
    Text venue; // 2 characters after the first "回" of the title line
    int pastDistance = 0; // metres
    Text surface; // 1 character
    Text trackCondition; // 1 character

    // Entrant pop-up.
    float coRunnerCount = 0;
    Text popupText;

    // Marking.
    Text currentEntrant; // 9-character horse name of the entrant being visited
    Text otherEntrant; // target of the dash mark and the two-digit exception
    Text markText; // the letter the current entrant's row gets
};

} // namespace pado
