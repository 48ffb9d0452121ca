#pragma once

#include <vector>

#include "platform/text.h"

namespace pado {

class App;

// Where a highlighted folder stands below the program folder, judged by its path components the
// way the passing-order buttons do: the component equal to the program folder's name counted
// from the end.
class FolderLevels {
public:
    FolderLevels(App& app, const Text& selectedFolder);

    // The last component is the program folder, or the path never names it.
    bool OutsideWorkspace() const;
    // Component last - back equals the program folder's name; a place before the first
    // component never does.
    bool ProgramFolderAt(long back) const;
    bool AtLeast(long components) const { return Last() >= components; }

private:
    long Last() const { return static_cast<long>(components_.size()) - 1; }
    std::vector<Text> components_;
    Text programName_;
    bool namesProgram_;
};

// The past-run folder name below an entrant folder's path: the text 10 characters after the
// first occurrence of the horse name (the name and the separator after it skipped), with the
// horse name cut out of it.
Text PastRunTextWithoutName(const Text& pastRunPath, const Text& horseName);

} // namespace pado
