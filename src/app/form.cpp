#include "app/form.h"

#include <new>
#include <stdexcept>

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
    RunPress(it->second);
    return true;
}

bool Form::KeyPress(const std::string& control, int keyAscii)
{
    auto it = keys_.find(control);
    if (it == keys_.end())
        return false;
    RunPress([&] { it->second(keyAscii); });
    return true;
}

void Form::RunPress(const std::function<void()>& work)
{
    {
        PressFiles::Press press(app_.pressFiles);
        RunGuarded(work);
        RunGuarded([&] { press.Flush(); });
    }
    // A restart the press asked for runs once the outermost press has written its files, so that
    // start-up reads the disk as at launch.
    if (!PressFiles::Active())
        app_.RestartIfAsked();
}

void Form::RunGuarded(const std::function<void()>& work)
{
    // Nothing may end the program from inside a press: the memo pad may hold unsaved text.
    Text message;
    try {
        work();
        return;
    } catch (const UserError& e) {
        message = e.Message();
    } catch (const std::bad_alloc&) {
        message = U"メモリーが足りないため、この操作を最後まで行えませんでした。\n"
                  U"大きすぎるファイルがないか確認してください。";
    } catch (...) {
        message = U"思いがけないエラーのため、この操作を最後まで行えませんでした。";
    }
    try {
        app_.Message(message);
    } catch (...) {
        // Not even the message box could be shown; the program still goes on.
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
