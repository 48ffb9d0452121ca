#pragma once

// The user's way to the stored races: the members window's race data button, the race data window's import
// of make-race's emitted races into a store of a temporary data home, and its 検証… button.
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "backtest/store_source.h"
#include "gui/backtest_window.h"
#include "gui/form_window.h"
#include "gui/image_button_view.h"
#include "gui/race_data_window.h"
#include "gui_fixture.h"

// Needs the command line and the race generator beside the tests.
#ifdef PADO_IMPORT

namespace pado::gui::test {

class StorePathTest : public GuiProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data_.isValid());
        const char* old = std::getenv("XDG_DATA_HOME");
        oldData_ = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_DATA_HOME", data_.path().toStdString().c_str(), 1);
    }
    void TearDown() override
    {
        GuiProgramTest::TearDown();
        if (oldData_)
            ::setenv("XDG_DATA_HOME", oldData_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
    std::string Store() const { return backtest::DefaultStorePath(); }
    std::filesystem::path Data() const { return data_.path().toStdString(); }

    // Starts the program, opens the race data window from the members window and imports make-race's races
    // into the store; nullptr (with a failure noted) when a step did not happen.
    RaceDataDialog* ImportInventedRaces()
    {
        const std::filesystem::path csv = Data() / "csv";
        const std::string command = "'" PADO_MAKE_RACE "' --emit csv '" + csv.string() + "' > /dev/null";
        if (std::system(command.c_str()) != 0) {
            ADD_FAILURE() << command;
            return nullptr;
        }
        StartOn({ "sample" });
        QTest::mouseClick(Window("Form2").Button("Image9"), Qt::LeftButton);
        RaceDataDialog* window = program().Shell().RaceData();
        if (!window) {
            ADD_FAILURE() << "the members window's button opened no race data window";
            return nullptr;
        }
        window->Import({ csv });
        for (int i = 0; i < 6000 && window->Importing(); ++i)
            QTest::qWait(10);
        if (window->Importing()) {
            ADD_FAILURE() << "the import did not end";
            return nullptr;
        }
        return window;
    }

    // Presses the race data window's 検証… button; the window it opened, or nullptr.
    BacktestWindow* PressBacktest(RaceDataDialog& window)
    {
        auto* open = window.findChild<QPushButton*>("Backtest");
        if (!open) {
            ADD_FAILURE() << "no 検証… button";
            return nullptr;
        }
        QTest::mouseClick(open, Qt::LeftButton);
        auto windows = window.findChildren<BacktestWindow*>();
        if (windows.size() != 1) {
            ADD_FAILURE() << windows.size() << " 検証 windows";
            return nullptr;
        }
        return windows.front();
    }

private:
    QTemporaryDir data_;
    std::optional<std::string> oldData_;
};

} // namespace pado::gui::test

#endif
