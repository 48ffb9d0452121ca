#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/clock.h"
#include "platform/shell.h"

namespace pado::bench {

// A shell that answers everything at once: questions Yes, the folder picker with a fixed folder,
// the assist dialog with a chosen mode.
class QuietShell : public Shell {
public:
    App* app = nullptr;
    int mode = 1;
    std::string pickedFolder;
    MsgAnswer MsgBox(const Text&, const Text&, MsgButtons b, MsgIcon) override
    {
        return b == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
    }
    void Popup(const Text&, const Text&, int) override { }
    std::optional<std::string> BrowseForFolder(const Text&, const std::string&) override { return pickedFolder; }
    void OpenWebPage(const std::string&) override { }
    void ShowModal(Form& f) override;
    void ShowWindow(Form&) override { }
    void CloseWindow(Form&) override { }
    void PumpEvents() override { }
};

// A clock whose every reading is a second later, so a button's wait ends at once: the benchmarks
// time the work behind a press, not its animation.
class InstantClock : public Clock {
public:
    double Now() override { return t_ += 1.0; }

private:
    double t_ = 0;
};

// One running program on a program folder, started and ready for presses.
struct Session {
    explicit Session(const std::string& programFolder);
    ~Session();
    InstantClock clock;
    QuietShell shell;
    std::unique_ptr<App> app;
    std::string raceFolder;
    // Dir1 selections the views need.
    void SelectRaceFolder();
    void SelectFirstEntrant();
    void SelectFirstPastRun();
};

} // namespace pado::bench
