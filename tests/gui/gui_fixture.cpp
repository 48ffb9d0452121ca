#include "gui_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSettings>

#include "app/app.h"
#include "app/form.h"
#include "gui/form_window.h"

namespace pado::gui::test {

namespace fsys = std::filesystem;

void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &release);
    }
}

void GuiProgramTest::StartOn(const std::vector<std::string>& folders)
{
    temp_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(temp_->isValid());
    programFolder_ = fsys::path(temp_->path().toStdString()) / "PADO";
    fsys::create_directories(programFolder_);
    for (const std::string& folder : folders) {
        const fsys::path from = fsys::path(PADO_SOURCE_DIR) / folder;
        ASSERT_TRUE(fsys::is_directory(from)) << from;
        for (const auto& e : fsys::directory_iterator(from))
            if (e.is_regular_file())
                fsys::copy_file(e.path(), programFolder_ / e.path().filename(), fsys::copy_options::overwrite_existing);
    }
    QSettings().clear(); // every test starts with no remembered window places
    Launch();
}

void GuiProgramTest::Launch()
{
    program_ = std::make_unique<GuiProgram>(programFolder_.string(), std::make_unique<SteppingClock>(0.01));
    QtShell& shell = program_->Shell();
    shell.hooks.msgBox = [this](const Text& text, const Text& title, MsgButtons buttons, MsgIcon) {
        messages.push_back({ text, title, buttons });
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        EXPECT_FALSE(answers.empty()) << "unexpected question: " << ToUtf8(text);
        if (answers.empty())
            return MsgAnswer::No;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    };
    shell.hooks.popup = [this](const Text& text, const Text& title, int) {
        messages.push_back({ text, title, MsgButtons::Ok });
    };
    shell.hooks.openUrl = [this](const std::string& url) { openedUrls.push_back(url); };
    shell.hooks.browse = [](const Text&, const std::string&) { return std::nullopt; };
    shell.hooks.pick = [](const Text&, const std::vector<Text>&) { return std::nullopt; };
    shell.hooks.modal = [](FormDialog&) { ADD_FAILURE() << "a dialog opened that the test did not expect"; };
    program_->Start();
    Settle();
}

void GuiProgramTest::Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void GuiProgramTest::Restart()
{
    CloseAll();
    Launch();
}

void GuiProgramTest::CloseAll()
{
    if (program_) {
        // Whatever the test left open is closed without questions, as at the end of a session.
        program_->Shell().hooks.msgBox = [](const Text&, const Text&, MsgButtons b, MsgIcon) {
            return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        };
        for (const char* name : { "Form3", "Form4", "Form2", "Form1" })
            app().Close(*app().FindForm(name));
        program_.reset();
    }
}

void GuiProgramTest::TearDown()
{
    CloseAll();
    temp_.reset();
}

} // namespace pado::gui::test
