#include "app/app.h"

#include "app/form1.h"
#include "assist/form5.h"
#include "assist/form6.h"
#include "members/close_all.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "platform/fs.h"
#include "platform/program_lock.h"
#include "shape/form7.h"
#include "timeorder/form4.h"

namespace pado {

App::App(std::string programFolder, Shell& shellRef, Clock& clockRef)
    : shell(shellRef)
    , clock(clockRef)
    , programFolder_(std::move(programFolder))
{
    while (programFolder_.size() > 1 && programFolder_.back() == '/')
        programFolder_.pop_back();
    form1_ = std::make_unique<Form1>(*this);
    form2_ = std::make_unique<Form2>(*this);
    form3_ = std::make_unique<Form3>(*this);
    form4_ = std::make_unique<Form4>(*this);
    form5_ = std::make_unique<Form5>(*this);
    form6_ = std::make_unique<Form6>(*this);
    form7_ = std::make_unique<Form7>(*this);
}

App::~App() = default;

std::string App::FilePath(std::string_view name) const
{
    return fs::Join(programFolder_, std::string(name));
}

std::string App::StagingFolder() const
{
    return fs::Join(fs::Parent(programFolder_), "PADO-tdy");
}

std::string App::ManualPath() const
{
    return fs::Join(fs::Join(programFolder_, "docs"), "manual.html");
}

std::vector<Form*> App::Forms()
{
    return { form1_.get(), form2_.get(), form3_.get(), form4_.get(), form5_.get(), form6_.get(), form7_.get() };
}

Form* App::FindForm(std::string_view name)
{
    for (Form* f : Forms())
        if (f->Name() == name)
            return f;
    return nullptr;
}

void App::Start()
{
    if (!lock_) {
        ProgramLock::Outcome outcome;
        lock_ = ProgramLock::Take(programFolder_, outcome);
        if (outcome == ProgramLock::Outcome::Busy) {
            Message(U"このフォルダー(" + FromUtf8(programFolder_)
                + U")は、起動中の別の PADO が使っています。\n"
                  U"同じフォルダーで二つの PADO を同時に使うことはできません。起動を中止します。");
            return;
        }
    }
    Show(*form1_);
}

void App::Show(Form& f)
{
    if (!f.loaded_) {
        f.loaded_ = true;
        f.RunGuarded([&] { f.Form_Load(); });
    }
    f.visible_ = true;
    shell.ShowWindow(f);
}

bool App::Close(Form& f)
{
    if (!f.loaded_ && !f.visible_)
        return true;
    bool agree = true;
    f.RunGuarded([&] { agree = f.Form_QueryUnload(); });
    if (!agree)
        return false;
    f.RunGuarded([&] { f.Form_Unload(); });
    f.loaded_ = false;
    f.visible_ = false;
    shell.CloseWindow(f);
    return true;
}

void App::ShowModal(Form& f)
{
    if (!f.loaded_) {
        f.loaded_ = true;
        f.RunGuarded([&] { f.Form_Load(); });
    }
    f.visible_ = true;
    shell.ShowModal(f);
}

void App::AskRestart(Text ifKept)
{
    restartAsked_ = std::move(ifKept);
}

void App::RestartIfAsked()
{
    if (!restartAsked_)
        return;
    const Text ifKept = std::move(*restartAsked_);
    restartAsked_.reset();
    // The memo pad is asked before anything closes, so keeping it leaves every window as it was.
    if (!Close(*form3_)) {
        Message(ifKept);
        return;
    }
    DeleteSharedWorkFiles(*this);
    restarting_ = true;
    for (Form* f : { static_cast<Form*>(form7_.get()), static_cast<Form*>(form4_.get()),
             static_cast<Form*>(form1_.get()), static_cast<Form*>(form2_.get()) })
        Close(*f);
    restarting_ = false;
    Start();
}

bool App::Running()
{
    if (restarting_)
        return true;
    for (Form* f : Forms())
        if (f->visible_)
            return true;
    return false;
}

void App::Message(const Text& text)
{
    shell.MsgBox(text, U"PADO", MsgButtons::Ok, MsgIcon::None);
}

bool App::Confirm(const Text& text)
{
    return shell.MsgBox(text, U"確認", MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes;
}

} // namespace pado
