#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TempDir::TempDir(bool programFolderName)
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "pado-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    root_ = tmpl;
    path_ = root_;
    if (programFolderName) {
        path_ = root_ + "/PADO";
        std::filesystem::create_directory(path_);
    }
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root_, ec);
}
