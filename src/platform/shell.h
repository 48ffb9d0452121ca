#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace pado {

class Form;

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Question, Warning };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// The one interface through which the forms reach the platform: the Qt front end implements it
// with real windows, the replay driver and the tests with a recorder answering from a queue.
class Shell {
public:
    virtual ~Shell() = default;
    virtual MsgAnswer MsgBox(const Text& text, const Text& title, MsgButtons buttons, MsgIcon icon) = 0;
    // A self-closing information pop-up.
    virtual void Popup(const Text& text, const Text& title, int seconds) = 0;
    // nullopt when the user cancels. root is the only folder the picker shows (with its sub-folders).
    virtual std::optional<std::string> BrowseForFolder(const Text& title, const std::string& root) = 0;
    virtual void OpenWebPage(const std::string& url) = 0;
    // Lets the user pick one of items; nullopt when the user cancels (or cannot be asked).
    virtual std::optional<Text> PickItem(const Text& title, const Text& prompt, const std::vector<Text>& items)
    {
        (void)title, (void)prompt, (void)items;
        return std::nullopt;
    }
    // Runs the modal window until it is closed (by its own buttons or by the user).
    virtual void ShowModal(Form& form) = 0;
    virtual void ShowWindow(Form& form) = 0;
    virtual void CloseWindow(Form& form) = 0;
    // Processes pending window events during a button's wait.
    virtual void PumpEvents() = 0;
    // The race data window: imports data files, builds a race into staging. It opens beside the other windows
    // (or comes to the front) and stays; transfer is called with the folder of a race the user built and wants
    // transferred at once. Nothing happens where there is no such window.
    virtual void RaceDataWindow(const std::string& staging, std::function<void(const std::string& folder)> transfer)
    {
        (void)staging, (void)transfer;
    }
    // Long work (the assist passes) is about to start or has ended.
    virtual void SetBusy(bool busy) { (void)busy; }
};

} // namespace pado
