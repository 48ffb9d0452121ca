#include "press_driver.h"

#include "app/form.h"
#include "app/form1.h"

namespace pado::bench {

void QuietShell::ShowModal(Form& f)
{
    if (f.Name() == "Form5") {
        f.Click("Option" + std::to_string(mode));
        f.Click("Command1");
    }
    if (f.IsVisible())
        app->Close(f);
}

Session::Session(const std::string& programFolder)
{
    app = std::make_unique<App>(programFolder, shell, clock);
    shell.app = app.get();
    app->today = [] { return Date { 2026, 12, 7 }; };
    app->Start();
    raceFolder = app->form1().Dir1.Path();
}

Session::~Session()
{
    for (Form* f : app->Forms())
        app->Close(*f);
}

void Session::SelectRaceFolder()
{
    auto& d = app->form1().Dir1;
    d.SetPath(raceFolder);
}

void Session::SelectFirstEntrant()
{
    SelectRaceFolder();
    auto& d = app->form1().Dir1;
    if (d.Entries().size() > d.ChainLength())
        d.Highlight(static_cast<int>(d.ChainLength()));
}

void Session::SelectFirstPastRun()
{
    SelectFirstEntrant();
    auto& d = app->form1().Dir1;
    d.Open();
    if (d.Entries().size() > d.ChainLength())
        d.Highlight(static_cast<int>(d.ChainLength()));
}

} // namespace pado::bench
