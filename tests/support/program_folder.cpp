#include "support/program_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado::testing {

namespace {

std::string MakeRoot()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "pado-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    return tmpl;
}

} // namespace

ProgramFolder::ProgramFolder(double clockStep)
    : clock(clockStep)
    , root(MakeRoot())
    , folder(root + "/PADO")
{
    std::filesystem::create_directory(folder);
    app_.emplace(folder, shell, clock);
}

ProgramFolder::~ProgramFolder()
{
    app_.reset();
    std::error_code ec;
    for (const auto& dir : { root, folder })
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root, ec);
}

void ProgramFolder::Write(const std::string& name, const Lines& lines)
{
    WriteTextFile(Path(name), lines);
}

Lines ProgramFolder::Read(const std::string& name) const
{
    return ReadTextFile(Path(name));
}

bool ProgramFolder::Has(const std::string& name) const
{
    return fs::Exists(Path(name));
}

std::string ProgramFolder::Bytes(const std::string& path)
{
    std::string b;
    fs::ReadBytes(path, b);
    return b;
}

std::vector<std::string> ProgramFolder::Entries(const std::string& folder)
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace pado::testing
