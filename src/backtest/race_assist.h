#pragma once

#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/text.h"

namespace pado::backtest {

struct AssistOutcome {
    bool ok = false;
    std::string reason; // UTF-8, what stopped start-up or the assist
    std::map<int, std::string> marks; // horse number -> the characters the assist appended (UTF-8)
};

// Starts the program on the race files in programFolder (a folder named PADO holding R1.txt, Rall.txt,
// pado.txt, kisyuE.txt and, for other than the default parameters, repara.txt) and presses the assist in
// mode 1..4, as the user would on the morning of today. The settings file is read from the current
// directory, so this moves the process there: call it only in a process of its own.
AssistOutcome AssistInProgramFolder(const std::string& programFolder, const Date& today, int mode);

// The marks of each entrant row of the memo pad: what the row gained between before and after. Rows are
// the lines that begin with a right-aligned horse number and a space.
std::map<int, std::string> MarksFromMemo(const Text& before, const Text& after);

} // namespace pado::backtest
