#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace pado {

class App;

// The shell of the headless driver: it prints one transcript line per event and answers message
// boxes, pickers and dialogs from queues the script fills.
class ReplayShell : public Shell {
public:
    explicit ReplayShell(std::function<void(const std::string&)> emit)
        : emit_(std::move(emit))
    {
    }
    void SetProgramFolder(const std::string& folder) { programFolder_ = folder; }
    // Runs the script lines of a queued "answer dialog" when a modal window opens.
    void SetDialogRunner(std::function<void(const std::string&)> run) { runDialogCommand_ = std::move(run); }
    void SetApp(App* app) { app_ = app; }

    std::deque<MsgAnswer> answers;
    std::deque<std::optional<std::string>> folders;
    std::deque<std::optional<Text>> picks; // answers to PickItem; none queued: cancel
    std::deque<std::vector<std::string>> dialogs;

    MsgAnswer MsgBox(const Text& text, const Text& title, MsgButtons buttons, MsgIcon icon) override;
    void Popup(const Text& text, const Text& title, int seconds) override;
    std::optional<std::string> BrowseForFolder(const Text& title, const std::string& root) override;
    std::optional<Text> PickItem(const Text& title, const Text& prompt, const std::vector<Text>& items) override;
    void OpenWebPage(const std::string& url) override;
    void ShowModal(Form& form) override;
    void ShowWindow(Form& form) override;
    void CloseWindow(Form& form) override;
    void PumpEvents() override { }

    // A JSON string of a text, with the program folder written as <PROG>.
    std::string Json(const std::string& utf8) const;
    std::string Json(const Text& text) const;

private:
    std::function<void(const std::string&)> emit_;
    std::function<void(const std::string&)> runDialogCommand_;
    std::string programFolder_;
    App* app_ = nullptr;
};

std::string JsonString(const std::string& utf8);

} // namespace pado
