#include "app/form.h"

#include "app/app.h"
#include "platform/errors.h"
#include "platform/press_files.h"
#include "platform/textfile.h"

namespace pado {

Form::Form(App& app, std::string name, Text caption)
    : app_(app)
    , name_(std::move(name))
    , caption_(std::move(caption))
{
}

void Form::AddImage(ImageButton& b, std::function<void()> work)
{
    images_.push_back(&b);
    clicks_[b.Name()] = [this, &b, work = std::move(work)] {
        Press(b);
        work();
    };
}

void Form::AddCommand(CommandButton& b, std::function<void()> onClick)
{
    commands_.push_back(&b);
    clicks_[b.Name()] = std::move(onClick);
}

bool Form::Click(const std::string& control)
{
    if (options_ && control.rfind("Option", 0) == 0) {
        int n = std::atoi(control.c_str() + 6);
        if (n < 1 || n > static_cast<int>(options_->Captions().size()))
            return false;
        options_->Select(n);
        return true;
    }
    auto it = clicks_.find(control);
    if (it == clicks_.end())
        return false;
    PressFiles files;
    RunGuarded(it->second);
    RunGuarded([&] { files.Flush(); });
    return true;
}

bool Form::KeyPress(const std::string& control, int keyAscii)
{
    auto it = keys_.find(control);
    if (it == keys_.end())
        return false;
    PressFiles files;
    RunGuarded([&] { it->second(keyAscii); });
    RunGuarded([&] { files.Flush(); });
    return true;
}

void Form::RunGuarded(const std::function<void()>& work)
{
    try {
        work();
    } catch (const UserError& e) {
        app_.Message(e.Message());
    }
}

double Form::WaitTimer(float seconds)
{
    return pado::WaitTimer(
        app_.clock, [this] { app_.shell.PumpEvents(); }, seconds);
}

void Form::Press(ImageButton& b)
{
    b.ShowPressed();
    WaitTimer(b.Wait());
    b.ShowNormal();
}

} // namespace pado
