#include "backtest/race_assist.h"

#include <unistd.h>
#include <vector>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "memo/form3.h"
#include "platform/fs.h"
#include "platform/shell.h"

namespace pado::backtest {

namespace {

// Answers the assist's mode dialog as the user does (the mode, then ＯＫ) and keeps every message the
// program shows: any message means the race files or the assist had a problem the user would have seen.
class HeadlessShell : public Shell {
public:
    HeadlessShell(int mode)
        : mode_(mode)
    {
    }
    void SetApp(App* app) { app_ = app; }

    std::vector<Text> messages;

    MsgAnswer MsgBox(const Text& text, const Text&, MsgButtons buttons, MsgIcon) override
    {
        messages.push_back(text);
        // A question is declined: the choice that keeps everything as it is.
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    void Popup(const Text&, const Text&, int) override { }
    std::optional<std::string> BrowseForFolder(const Text&, const std::string&) override { return std::nullopt; }
    void OpenWebPage(const std::string&) override { }
    void ShowModal(Form& form) override
    {
        if (form.Name() == "Form5") {
            form.Click("Option" + std::to_string(mode_));
            form.Click("Command1");
        }
        if (form.IsVisible() && app_)
            app_->Close(form);
    }
    void ShowWindow(Form&) override { }
    void CloseWindow(Form&) override { }
    void PumpEvents() override { }

private:
    int mode_;
    App* app_ = nullptr;
};

// A row of the memo pad that stands for an entrant: " 1 name..." or "12 name...".
int RowNumber(const Text& line)
{
    if (line.size() < 4 || line[2] != U' ')
        return 0;
    int n = 0;
    for (int i = 0; i < 2; ++i) {
        char32_t c = line[i];
        if (c == U' ' && i == 0)
            continue;
        if (c < U'0' || c > U'9')
            return 0;
        n = n * 10 + static_cast<int>(c - U'0');
    }
    return n;
}

std::string FirstMessage(const std::vector<Text>& messages)
{
    Text t = messages.front();
    for (char32_t& c : t)
        if (c == U'\n' || c == U'\r')
            c = U' ';
    return ToUtf8(t);
}

} // namespace

std::map<int, std::string> MarksFromMemo(const Text& before, const Text& after)
{
    std::map<int, Text> rowsBefore;
    for (const Text& line : SplitLines(before))
        if (int n = RowNumber(line); n > 0 && !rowsBefore.count(n))
            rowsBefore[n] = line;
    std::map<int, std::string> marks;
    for (const Text& line : SplitLines(after)) {
        int n = RowNumber(line);
        auto it = rowsBefore.find(n);
        if (n <= 0 || it == rowsBefore.end() || marks.count(n))
            continue;
        marks[n] = StartsWith(line, it->second) ? ToUtf8(line.substr(it->second.size())) : std::string {};
    }
    return marks;
}

AssistOutcome AssistInProgramFolder(const std::string& programFolder, const Date& today, int mode)
{
    AssistOutcome out;
    if (::chdir(programFolder.c_str()) != 0) {
        out.reason = "作業フォルダーに移れません: " + programFolder;
        return out;
    }
    HeadlessShell shell(mode);
    // Each reading moves time on, so the press animation's wait ends at once.
    SteppingClock clock(0.05);
    App app(programFolder, shell, clock);
    shell.SetApp(&app);
    app.today = [today] { return today; };

    app.Start();
    if (!shell.messages.empty()) {
        out.reason = "起動時: " + FirstMessage(shell.messages);
        return out;
    }
    Form1& f1 = app.form1();
    // Start-up opens the race folder in the folder list; the assist takes its selection from there.
    const std::string raceFolder = f1.Dir1.Path();
    const auto& entries = f1.Dir1.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == raceFolder)
            f1.Dir1.Highlight(static_cast<int>(i));
    if (fs::Parent(raceFolder) != programFolder) {
        out.reason = "起動時: レースのフォルダーが作られませんでした。";
        return out;
    }
    const Text before = app.form3().Text1.GetText();
    f1.Click("Image6");
    if (!shell.messages.empty()) {
        out.reason = "アシスト: " + FirstMessage(shell.messages);
        return out;
    }
    out.marks = MarksFromMemo(before, app.form3().Text1.GetText());
    out.ok = true;
    return out;
}

} // namespace pado::backtest
