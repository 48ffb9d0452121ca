#include "replay_shell.h"

#include <cstdio>

#include "app/app.h"
#include "app/form.h"

namespace pado {

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string ReplayShell::Json(const std::string& utf8) const
{
    std::string s = utf8;
    if (!programFolder_.empty())
        for (std::size_t p = 0; (p = s.find(programFolder_, p)) != std::string::npos;) {
            s.replace(p, programFolder_.size(), "<PROG>");
            p += 6;
        }
    return JsonString(s);
}

std::string ReplayShell::Json(const Text& text) const
{
    return Json(ToUtf8(text));
}

MsgAnswer ReplayShell::MsgBox(const Text& text, const Text& title, MsgButtons buttons, MsgIcon)
{
    MsgAnswer answer = MsgAnswer::Ok;
    const char* name = "ok";
    if (buttons == MsgButtons::YesNo) {
        // An unanswered question is declined: the choice that keeps everything as it is.
        answer = MsgAnswer::No;
        while (!answers.empty()) {
            MsgAnswer a = answers.front();
            answers.pop_front();
            if (a == MsgAnswer::Yes || a == MsgAnswer::No) {
                answer = a;
                break;
            }
        }
        name = answer == MsgAnswer::Yes ? "yes" : "no";
    }
    emit_(std::string("msgbox {\"title\":") + Json(title) + ",\"buttons\":\""
        + (buttons == MsgButtons::YesNo ? "YesNo" : "OK") + "\",\"text\":" + Json(text) + ",\"answer\":\"" + name
        + "\"}");
    return answer;
}

void ReplayShell::Popup(const Text& text, const Text& title, int seconds)
{
    emit_("popup {\"title\":" + Json(title) + ",\"text\":" + Json(text) + ",\"seconds\":" + std::to_string(seconds)
        + "}");
}

std::optional<std::string> ReplayShell::BrowseForFolder(const Text& title, const std::string& root)
{
    std::optional<std::string> answer;
    if (!folders.empty()) {
        answer = folders.front();
        folders.pop_front();
    }
    emit_("picker {\"title\":" + Json(title) + ",\"root\":" + Json(root)
        + ",\"answer\":" + (answer ? Json(*answer) : std::string("null")) + "}");
    return answer;
}

std::optional<Text> ReplayShell::PickItem(const Text& title, const Text& prompt, const std::vector<Text>& items)
{
    std::optional<Text> answer;
    if (!picks.empty()) {
        answer = picks.front();
        picks.pop_front();
    }
    std::string list;
    for (const Text& item : items)
        list += (list.empty() ? "" : ",") + Json(item);
    emit_("pick {\"title\":" + Json(title) + ",\"text\":" + Json(prompt) + ",\"items\":[" + list
        + "],\"answer\":" + (answer ? Json(*answer) : std::string("null")) + "}");
    return answer;
}

void ReplayShell::OpenWebPage(const std::string& url)
{
    emit_("browse {\"url\":" + Json(url) + "}");
}

void ReplayShell::ShowModal(Form& form)
{
    emit_("modal " + form.Name());
    std::vector<std::string> commands;
    if (!dialogs.empty()) {
        commands = dialogs.front();
        dialogs.pop_front();
    }
    for (const auto& c : commands) {
        if (!form.IsVisible())
            break;
        runDialogCommand_(c);
    }
    // A dialog the script leaves open is closed as the user would close it, by its close box.
    if (form.IsVisible() && app_)
        app_->Close(form);
}

void ReplayShell::ShowWindow(Form& form)
{
    emit_("show " + form.Name());
}

void ReplayShell::CloseWindow(Form& form)
{
    emit_("hide " + form.Name());
}

} // namespace pado
