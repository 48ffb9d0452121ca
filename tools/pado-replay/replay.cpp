// The headless driver of pado-replay and of the tests that run transcripts side by side.
#include "replay.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "platform/cp932.h"
#include "platform/fs.h"
#include "replay_shell.h"
#include "shape/form7.h"

namespace pado {

namespace {

// A JSON string literal at the start of s (after the opening quote); returns the decoded UTF-8.
std::string ParseJsonString(const std::string& s)
{
    std::string out;
    std::size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i >= s.size())
            break;
        switch (s[i]) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            unsigned cp = 0;
            if (i + 4 < s.size())
                std::from_chars(s.data() + i + 1, s.data() + i + 5, cp, 16);
            i += 4;
            if (cp >= 0xD800 && cp < 0xDC00 && i + 6 < s.size() && s[i + 1] == '\\' && s[i + 2] == 'u') {
                unsigned lo = 0;
                std::from_chars(s.data() + i + 3, s.data() + i + 7, lo, 16);
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                i += 6;
            }
            out += ToUtf8(Text(1, static_cast<char32_t>(cp)));
            break;
        }
        default:
            out += s[i];
        }
    }
    if (i >= s.size())
        throw ScriptError { "unterminated string: " + s };
    return out;
}

// An argument: a JSON string when it begins with a double quote, else the rest of the line as is.
std::string Argument(const std::string& rest)
{
    if (!rest.empty() && rest[0] == '"')
        return ParseJsonString(rest);
    return rest;
}

class Session {
public:
    Session(const std::string& programFolder, std::ostream& out)
        : out_(out)
        , shell_([this](const std::string& line) { Emit(line); })
        , app_(programFolder, shell_, clock_)
    {
        shell_.SetProgramFolder(programFolder);
        shell_.SetApp(&app_);
        shell_.SetDialogRunner([this](const std::string& c) { Run(c); });
        app_.today = [] { return Date { 2026, 12, 7 }; };
    }

    void Run(const std::string& rawLine)
    {
        std::string line = rawLine;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t b = line.find_first_not_of(' ');
        if (b == std::string::npos || line[b] == '#')
            return;
        line = line.substr(b);
        out_ << "> " << line << "\n";
        std::string verb, rest;
        auto sp = line.find(' ');
        verb = line.substr(0, sp);
        rest = sp == std::string::npos ? "" : line.substr(sp + 1);
        Dispatch(verb, rest);
        out_.flush();
    }

private:
    void Emit(const std::string& line) { out_ << line << "\n"; }

    std::string Path(const std::string& p) const
    {
        if (!p.empty() && p[0] == '/')
            return p;
        if (p.empty() || p == ".")
            return app_.ProgramFolder();
        return fs::Join(app_.ProgramFolder(), p);
    }

    // "FormN.Control" of a window that exists; the window must be shown unless any is allowed.
    std::pair<Form*, std::string> Target(const std::string& control, bool mustBeShown)
    {
        auto dot = control.find('.');
        std::string formName = control.substr(0, dot);
        Form* f = app_.FindForm(formName);
        if (!f)
            throw ScriptError { "no such window: " + formName };
        if (mustBeShown && !f->IsVisible())
            throw ScriptError { "window not shown: " + formName };
        return { f, dot == std::string::npos ? "" : control.substr(dot + 1) };
    }

    static std::pair<std::string, std::string> SplitFirst(const std::string& s)
    {
        auto sp = s.find(' ');
        if (sp == std::string::npos)
            return { s, "" };
        return { s.substr(0, sp), s.substr(sp + 1) };
    }

    void Dispatch(const std::string& verb, const std::string& rest)
    {
        if (verb == "start") {
            app_.Start();
        } else if (verb == "today") {
            Date d;
            if (std::sscanf(rest.c_str(), "%d/%d/%d", &d.year, &d.month, &d.day) != 3)
                throw ScriptError { "today wants yyyy/mm/dd" };
            app_.today = [d] { return d; };
        } else if (verb == "open") {
            app_.form1().Dir1.SetPath(Path(Argument(rest)));
        } else if (verb == "highlight") {
            std::string p = Path(Argument(rest));
            while (p.size() > 1 && p.back() == '/')
                p.pop_back();
            auto& entries = app_.form1().Dir1.Entries();
            for (std::size_t i = 0; i < entries.size(); ++i)
                if (entries[i] == p) {
                    app_.form1().Dir1.Highlight(static_cast<int>(i));
                    return;
                }
            throw ScriptError { "Dir1 does not list " + p };
        } else if (verb == "key") {
            auto [control, key] = SplitFirst(rest);
            auto [form, name] = Target(control, true);
            if (key != "enter" || !form->KeyPress(name, 13))
                throw ScriptError { "no such key target: " + rest };
        } else if (verb == "click") {
            auto [form, name] = Target(rest, true);
            if (!form->Click(name))
                throw ScriptError { "no such control: " + rest };
        } else if (verb == "answer") {
            Answer(rest);
        } else if (verb == "set") {
            auto [control, text] = SplitFirst(rest);
            auto [form, name] = Target(control, false);
            Text value = FromUtf8(Argument(text));
            if (auto it = form->Panes().find(name); it != form->Panes().end())
                it->second->SetText(value);
            else if (auto bt = form->Boxes().find(name); bt != form->Boxes().end())
                bt->second->SetText(value);
            else
                throw ScriptError { "no such text box: " + control };
        } else if (verb == "caret") {
            auto [control, pos] = SplitFirst(rest);
            auto [form, name] = Target(control, false);
            auto it = form->Panes().find(name);
            if (it == form->Panes().end())
                throw ScriptError { "no such text pane: " + control };
            it->second->SetCaret(static_cast<std::size_t>(std::stoul(pos)));
        } else if (verb == "print") {
            Print(rest);
        } else if (verb == "close") {
            auto [form, name] = Target(rest, false);
            app_.Close(*form);
        } else {
            throw ScriptError { "unknown command: " + verb };
        }
    }

    void Answer(const std::string& rest)
    {
        auto [kind, arg] = SplitFirst(rest);
        if (kind == "yes")
            shell_.answers.push_back(MsgAnswer::Yes);
        else if (kind == "no")
            shell_.answers.push_back(MsgAnswer::No);
        else if (kind == "ok")
            shell_.answers.push_back(MsgAnswer::Ok);
        else if (kind == "cancel")
            shell_.answers.push_back(MsgAnswer::Cancel);
        else if (kind == "pick")
            shell_.picks.push_back(arg == "cancel" ? std::nullopt : std::optional<Text>(FromUtf8(Argument(arg))));
        else if (kind == "folder")
            shell_.folders.push_back(arg == "cancel" ? std::nullopt : std::optional<std::string>(Path(Argument(arg))));
        else if (kind == "dialog") {
            std::vector<std::string> commands;
            std::size_t p = 0;
            while (true) {
                auto q = arg.find(" ; ", p);
                commands.push_back(arg.substr(p, q == std::string::npos ? std::string::npos : q - p));
                if (q == std::string::npos)
                    break;
                p = q + 3;
            }
            shell_.dialogs.push_back(commands);
        } else
            throw ScriptError { "unknown answer: " + rest };
    }

    void Print(const std::string& rest)
    {
        auto [what, arg] = SplitFirst(rest);
        if (what == "file") {
            std::string name = Argument(arg);
            std::string bytes;
            if (!fs::ReadBytes(Path(name), bytes)) {
                Emit("file " + name + " missing");
                return;
            }
            auto text = DecodeCp932(bytes);
            Emit("file " + name + " " + (text ? shell_.Json(*text) : std::string("\"<not CP932>\"")));
        } else if (what == "tree") {
            std::vector<std::string> all;
            Walk(app_.ProgramFolder(), "", all);
            std::string out = "tree [";
            for (std::size_t i = 0; i < all.size(); ++i)
                out += (i ? "," : "") + JsonString(all[i]);
            Emit(out + "]");
        } else if (what == "params") {
            std::string out = "params [";
            for (std::size_t i = 0; i < app_.module1.params.size(); ++i) {
                char buf[32];
                auto r = std::to_chars(buf, buf + sizeof buf, app_.module1.params[i]);
                out += (i ? "," : "") + std::string(buf, r.ptr);
            }
            Emit(out + "]");
        } else if (what == "Form1.List1") {
            std::string out = "list Form1.List1 [";
            auto& items = app_.form1().List1.Items();
            for (std::size_t i = 0; i < items.size(); ++i)
                out += (i ? "," : "") + shell_.Json(items[i]);
            Emit(out + "]");
        } else if (what == "Form7.Picture1") {
            Emit("picture Form7.Picture1 " + shell_.Json(PictureText(app_.form7().Picture1.Get())));
        } else {
            auto [form, name] = Target(what, false);
            auto it = form->Panes().find(name);
            if (it != form->Panes().end()) {
                Emit("text " + what + " " + shell_.Json(it->second->GetText()));
                return;
            }
            auto bt = form->Boxes().find(name);
            if (bt == form->Boxes().end())
                throw ScriptError { "nothing to print: " + rest };
            Emit("text " + what + " " + shell_.Json(bt->second->GetText()));
        }
    }

    static void Walk(const std::string& folder, const std::string& rel, std::vector<std::string>& out)
    {
        for (const auto& sub : fs::SubFolders(folder)) {
            std::string r = rel.empty() ? fs::FileName(sub) : rel + "/" + fs::FileName(sub);
            out.push_back(r);
            Walk(sub, r, out);
        }
    }

    std::ostream& out_;
    SteppingClock clock_ { 0.05 };
    ReplayShell shell_;
    App app_;
};

} // namespace

struct Replay::Impl {
    Impl(const std::string& programFolder, std::ostream& out)
        : session(programFolder, out)
    {
    }
    Session session;
};

Replay::Replay(const std::string& programFolder, std::ostream& out)
    : impl_(std::make_unique<Impl>(programFolder, out))
{
}

Replay::~Replay() = default;

void Replay::Run(const std::string& line)
{
    impl_->session.Run(line);
}

} // namespace pado
