#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at the end of
// the test. Named "PADO" inside a unique parent when asked, since some views check that name.
class TempDir {
public:
    explicit TempDir(bool programFolderName = false);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string root_;
    std::string path_;
};
