#pragma once

#include <vector>

#include "platform/text.h"

namespace pado {

class App;

// Where a highlighted folder stands below the program folder: the race folder one level down,
// the entrant folders two, the past-run folders three. Judged against the program folder itself,
// so neither a program folder of another name nor a race or horse named like it misleads it.
// The passing-order buttons and the assist share this one rule.
class FolderLevels {
public:
    FolderLevels(App& app, const Text& selectedFolder);

    // The program folder itself, or a folder outside it.
    bool OutsideWorkspace() const { return level_ <= 0; }
    // The folder stands this many levels below the program folder.
    bool ProgramFolderAt(long level) const { return level_ == level; }
    bool AtLeast(long level) const { return level_ >= level; }

private:
    long level_ = -1; // -1 outside the program folder
};

// The past-run folder name below an entrant folder's path: the text 10 characters after the
// first occurrence of the horse name (the name and the separator after it skipped), with the
// horse name cut out of it.
Text PastRunTextWithoutName(const Text& pastRunPath, const Text& horseName);

} // namespace pado
