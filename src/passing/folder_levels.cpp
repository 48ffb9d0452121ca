#include "passing/folder_levels.h"

#include "app/app.h"
#include "platform/fs.h"

namespace pado {

FolderLevels::FolderLevels(App& app, const Text& selectedFolder)
{
    const Text program = FromUtf8(app.ProgramFolder());
    Text path = selectedFolder;
    while (path.size() > 1 && path.back() == U'/')
        path.pop_back();
    if (path == program) {
        level_ = 0;
        return;
    }
    const Text prefix = program == U"/" ? program : program + U"/";
    if (!StartsWith(path, prefix))
        return;
    level_ = 0;
    for (const Text& part : SplitAt(path.substr(prefix.size()), U'/'))
        if (!part.empty())
            ++level_;
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
