#pragma once

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/form.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/shell.h"
#include "platform/textfile.h"

namespace pado::testing {

// A shell that answers from queues and remembers what the user was shown.
class QueueShell : public Shell {
public:
    struct Box {
        Text text, title;
        MsgButtons buttons;
    };
    std::vector<Box> boxes;
    std::deque<MsgAnswer> answers; // Yes/No questions; an empty queue answers No
    std::deque<std::optional<std::string>> folders;
    std::vector<std::string> pickerRoots;
    std::vector<std::string> events; // "show Form3", "hide Form1"

    MsgAnswer MsgBox(const Text& text, const Text& title, MsgButtons buttons, MsgIcon) override
    {
        boxes.push_back({ text, title, buttons });
        if (buttons != MsgButtons::YesNo)
            return MsgAnswer::Ok;
        if (answers.empty())
            return MsgAnswer::No;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void Popup(const Text&, const Text&, int) override { }
    std::optional<std::string> BrowseForFolder(const Text&, const std::string& root) override
    {
        pickerRoots.push_back(root);
        if (folders.empty())
            return std::nullopt;
        auto a = folders.front();
        folders.pop_front();
        return a;
    }
    void OpenWebPage(const std::string&) override { }
    void ShowModal(Form&) override { }
    void ShowWindow(Form& f) override { events.push_back("show " + f.Name()); }
    void CloseWindow(Form& f) override { events.push_back("hide " + f.Name()); }
    void PumpEvents() override { }

    Text LastText() const { return boxes.empty() ? Text {} : boxes.back().text; }
};

// A program folder "PADO" in a fresh temporary folder (with room for PADO-tdy beside it), and an
// App over it.
class CompanionsTest : public ::testing::Test {
protected:
    CompanionsTest()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pado-companions-XXXXXX").string();
        root_ = mkdtemp(tmpl.data());
        program_ = root_ + "/PADO";
        std::filesystem::create_directory(program_);
        app_.emplace(program_, shell, clock);
    }
    ~CompanionsTest() override
    {
        fs::SetWriteFailureForTests(nullptr);
        app_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    App& app() { return *app_; }
    std::string Path(const std::string& name) const { return program_ + "/" + name; }
    void Write(const std::string& path, const Lines& lines) { WriteTextFile(path, lines); }
    std::string Bytes(const std::string& path) const
    {
        std::string b;
        fs::ReadBytes(path, b);
        return b;
    }
    // Every file name in a folder, temporary files included.
    std::vector<std::string> Entries(const std::string& folder) const
    {
        std::vector<std::string> out;
        for (auto& e : std::filesystem::directory_iterator(folder))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    QueueShell shell;
    SteppingClock clock { 0.05 };
    std::string root_, program_;

private:
    std::optional<App> app_;
};

} // namespace pado::testing
