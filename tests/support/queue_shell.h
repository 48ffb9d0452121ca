#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/form.h"
#include "platform/shell.h"

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
    std::vector<Text> popups;
    void Popup(const Text& text, const Text&, int) override { popups.push_back(text); }
    std::optional<std::string> BrowseForFolder(const Text&, const std::string& root) override
    {
        pickerRoots.push_back(root);
        if (folders.empty())
            return std::nullopt;
        auto a = folders.front();
        folders.pop_front();
        return a;
    }
    std::deque<std::optional<Text>> picks; // an empty queue cancels
    std::vector<std::vector<Text>> offered; // the lists PickItem showed
    std::optional<Text> PickItem(const Text&, const Text&, const std::vector<Text>& items) override
    {
        offered.push_back(items);
        if (picks.empty())
            return std::nullopt;
        auto a = picks.front();
        picks.pop_front();
        return a;
    }
    void OpenWebPage(const std::string&) override { }
    void ShowModal(Form&) override { }
    void ShowWindow(Form& f) override { events.push_back("show " + f.Name()); }
    void CloseWindow(Form& f) override { events.push_back("hide " + f.Name()); }
    void PumpEvents() override { }

    Text LastText() const { return boxes.empty() ? Text {} : boxes.back().text; }
};

} // namespace pado::testing
