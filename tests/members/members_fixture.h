#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "app/app.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "support/queue_shell.h"

namespace pado::testing {

// A program folder of its own for every test, holding the race files the test writes.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path()
            / (std::string("pado-members-") + info->test_suite_name() + "-" + info->name()) / "PADO";
        std::filesystem::remove_all(folder_.parent_path());
        std::filesystem::create_directories(folder_);
        app_ = std::make_unique<App>(folder_.string(), shell_, clock_);
    }
    void TearDown() override
    {
        app_.reset();
        std::filesystem::remove_all(folder_.parent_path());
    }
    void Write(const std::string& name, const Lines& lines) { WriteTextFile(app_->FilePath(name), lines); }
    Lines Read(const std::string& name) { return ReadTextFile(app_->FilePath(name)); }

    std::filesystem::path folder_;
    QueueShell shell_;
    SteppingClock clock_;
    std::unique_ptr<App> app_;
};

} // namespace pado::testing
