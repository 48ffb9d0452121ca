#include "gui/gui_program.h"

#include "app/app.h"
#include "gui/form_window.h"

namespace pado::gui {

GuiProgram::GuiProgram(const std::string& programFolder, std::unique_ptr<Clock> clock)
    : clock_(clock ? std::move(clock) : std::make_unique<SteadyClock>())
{
    app_ = std::make_unique<App>(programFolder, shell_, *clock_);
    shell_.Attach(*app_);
}

GuiProgram::~GuiProgram()
{
    shell_.Detach();
}

void GuiProgram::Start()
{
    app_->Start();
    shell_.SyncAll();
    shell_.FinishStart();
}

} // namespace pado::gui
