#pragma once

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/form.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "support/queue_shell.h"

namespace pado::testing {

// A program folder "PADO" in a fresh temporary folder (with room for PADO-tdy beside it), and an
// App over it.
class CompanionsTest : public ::testing::Test {
protected:
    CompanionsTest()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pado-companions-XXXXXX").string();
        root_ = mkdtemp(tmpl.data());
        program_ = root_ + "/PADO";
        std::filesystem::create_directory(program_);
        app_.emplace(program_, shell, clock);
    }
    ~CompanionsTest() override
    {
        fs::SetWriteFailureForTests(nullptr);
        app_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    App& app() { return *app_; }
    std::string Path(const std::string& name) const { return program_ + "/" + name; }
    void Write(const std::string& path, const Lines& lines) { WriteTextFile(path, lines); }
    std::string Bytes(const std::string& path) const
    {
        std::string b;
        fs::ReadBytes(path, b);
        return b;
    }
    // Every file name in a folder, temporary files included.
    std::vector<std::string> Entries(const std::string& folder) const
    {
        std::vector<std::string> out;
        for (auto& e : std::filesystem::directory_iterator(folder))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    QueueShell shell;
    SteppingClock clock { 0.05 };
    std::string root_, program_;

private:
    std::optional<App> app_;
};

} // namespace pado::testing
