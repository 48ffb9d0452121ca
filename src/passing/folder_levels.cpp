#include "passing/folder_levels.h"

#include "app/app.h"
#include "platform/fs.h"

namespace pado {

FolderLevels::FolderLevels(App& app, const Text& selectedFolder)
    : components_(SplitAt(selectedFolder, U'/'))
    , programName_(FromUtf8(fs::FileName(app.ProgramFolder())))
{
    // The workbench is meant to run from a folder named PADO; a copy run from a folder of
    // another name still finds its own workspace.
    if (programName_.empty())
        programName_ = U"PADO";
    namesProgram_ = Contains(selectedFolder, programName_);
}

bool FolderLevels::OutsideWorkspace() const
{
    return components_.back() == programName_ || !namesProgram_;
}

bool FolderLevels::ProgramFolderAt(long back) const
{
    const long index = Last() - back;
    return index >= 0 && components_[static_cast<std::size_t>(index)] == programName_;
}

Text PastRunTextWithoutName(const Text& pastRunPath, const Text& horseName)
{
    const long at = InStr(pastRunPath, horseName);
    const Text name = at > 0 ? Mid(pastRunPath, at + 10) : Text {};
    const long cut = InStr(name, horseName);
    if (cut == 0)
        return name;
    return Left(name, cut - 1) + Mid(name, cut + static_cast<long>(horseName.size()));
}

} // namespace pado
