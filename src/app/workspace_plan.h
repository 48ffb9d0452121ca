#pragma once

#include <cstddef>
#include <vector>

#include "platform/text.h"

namespace pado {

// A past run's folder inside its entrant's folder.
struct PastRunFolder {
    Text entrant; // the entrant's 9-character name, as its folder is named
    Text name; // the folder's name: the run line without its column 30
    bool repeated = false; // the card lists the same run twice; its folder is already planned
};

// The race workspace a race card asks for, worked out from the card's lines alone: the folders to
// make and what to tell the user. Start-up then makes the folders (and checks what is on disk).
struct WorkspacePlan {
    Text raceName; // the card's first line: the race folder's name
    // Why the race name cannot name a folder; when set, nothing is planned and nothing is made.
    Text refusal;
    Lines entrants; // 9-character names in card order, each a folder of the race folder and a line of R11.txt
    std::vector<PastRunFolder> pastRuns;
    Lines problems; // card lines that were left out, one message line each
};

WorkspacePlan PlanWorkspace(const Lines& card);

// Why a name cannot name a folder, empty when it can; the disk is not consulted.
Text FolderNameProblem(const Text& name);

} // namespace pado
