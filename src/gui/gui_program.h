#pragma once

#include <memory>
#include <string>

#include "gui/qt_shell.h"
#include "platform/clock.h"

namespace pado {
class App;
}

namespace pado::gui {

// The running program: the Qt shell, the clock and the App with its four windows.
class GuiProgram {
public:
    // clock: the wait clock (nullptr: the real monotonic clock).
    explicit GuiProgram(const std::string& programFolder, std::unique_ptr<Clock> clock = nullptr);
    ~GuiProgram();

    App& GetApp() { return *app_; }
    QtShell& Shell() { return shell_; }
    FormWindow* Window(const std::string& formName) const { return shell_.Window(formName); }
    // Start-up: the main window loads, the companions open beside it, the main window in front.
    void Start();

private:
    std::unique_ptr<Clock> clock_;
    QtShell shell_;
    std::unique_ptr<App> app_;
};

} // namespace pado::gui
