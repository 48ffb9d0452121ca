#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at the end of
// the test. A program folder with an App over it is ProgramFolder (support/program_folder.h).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
