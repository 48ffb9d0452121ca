#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "support/queue_shell.h"

namespace pado::testing {

// A program folder named PADO in a fresh temporary folder (with room for PADO-tdy beside it), and an
// App over it that has not started: each test puts in the files it needs. Everything is removed at
// the end, whatever the test did to the permissions.
class ProgramFolder {
public:
    explicit ProgramFolder(double clockStep = 0.01);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    App& app() { return *app_; }
    // A file of the program folder by its name.
    std::string Path(const std::string& name) const { return folder + "/" + name; }
    void Write(const std::string& name, const Lines& lines);
    Lines Read(const std::string& name) const;
    bool Has(const std::string& name) const;
    // The raw bytes of any file; empty when it cannot be read.
    static std::string Bytes(const std::string& path);
    // Every file name in a folder, temporary files included, sorted.
    static std::vector<std::string> Entries(const std::string& folder);

    QueueShell shell;
    SteppingClock clock;
    std::string root; // the temporary folder
    std::string folder; // root/PADO

private:
    std::optional<App> app_;
};

class ProgramFolderTest : public ::testing::Test, public ProgramFolder {
protected:
    explicit ProgramFolderTest(double clockStep = 0.01)
        : ProgramFolder(clockStep)
    {
    }
};

} // namespace pado::testing
