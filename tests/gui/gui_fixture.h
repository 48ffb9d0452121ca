#pragma once

#include <QTemporaryDir>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui_program.h"
#include "platform/text.h"

namespace pado::gui::test {

// Types text into a widget as key presses carrying the characters (QTest's own typing only knows
// Latin-1 keys).
void Type(QWidget* w, const QString& text);

struct ShownMessage {
    Text text;
    Text title;
    MsgButtons buttons;
};

// The program started on a copy of a race in a temporary folder named PADO, with every blocking
// shell service answered from queues (no test ever reaches a real modal exec).
class GuiProgramTest : public ::testing::Test {
protected:
    // folders: repository-relative folders whose files make up the program folder.
    void StartOn(const std::vector<std::string>& folders);
    void TearDown() override;
    // Ends the program as the user would and starts it again on the same program folder.
    void Restart();

    std::filesystem::path ProgramFolder() const { return programFolder_; }
    App& app() { return program_->GetApp(); }
    GuiProgram& program() { return *program_; }
    FormWindow& Window(const std::string& form) { return *program_->Window(form); }
    // Lets queued repaints and pane updates happen.
    void Settle();

    std::deque<MsgAnswer> answers; // for Yes/No boxes; OK boxes need none
    std::vector<ShownMessage> messages;
    std::vector<std::string> openedUrls;

private:
    void Launch();
    void CloseAll();

    std::unique_ptr<QTemporaryDir> temp_;
    std::filesystem::path programFolder_;
    std::unique_ptr<GuiProgram> program_;
};

} // namespace pado::gui::test
