#include "backtest/race_assist.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "memo/form3.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

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

constexpr const char kWorkPrefix[] = "pado-backtest-";
// What tells a work folder of ours from anything else of a similar name.
constexpr const char kWorkMark[] = ".pado-backtest";

const char* const kRaceFiles[] = { files::kRaceCard, files::kPastRuns, files::kRaceResults, files::kJockeys };

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

AssistParameters ReadAssistParameters(const std::string& file)
{
    return AssistParametersFrom(ReadTextFile(file));
}

std::string DefaultWorkBase()
{
    // Every race writes and removes hundreds of files; a memory file system spares the disk that churn
    // (and is several times faster), unless the user chose a temporary folder.
    const char* t = std::getenv("TMPDIR");
    return t && *t ? t : ::access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : "/tmp";
}

std::size_t RemoveStaleWorkFolders(const std::string& base)
{
    std::size_t removed = 0;
    for (const std::string& folder : fs::SubFolders(base)) {
        const long pid = fs::TemporaryOwner(fs::FileName(folder), kWorkPrefix);
        if (pid == 0 || fs::ProcessAlive(pid))
            continue;
        // Only a folder of this user that carries the marker: a folder of that name made by anyone else stays.
        struct stat st;
        if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()
            || !fs::IsFile(fs::Join(folder, kWorkMark)))
            continue;
        removed += fs::DeleteTree(folder) ? 1 : 0;
    }
    return removed;
}

WorkFolder::WorkFolder(const std::string& given)
{
    const std::string base = given.empty() ? DefaultWorkBase() : given;
    RemoveStaleWorkFolders(base);
    std::string path = fs::Join(base, kWorkPrefix + std::to_string(::getpid()) + "-XXXXXX");
    if (!::mkdtemp(path.data()))
        return;
    if (!fs::WriteBytesAtomic(fs::Join(path, kWorkMark), "PADO backtest\n")) {
        fs::DeleteTree(path);
        return;
    }
    path_ = path;
}

WorkFolder::~WorkFolder()
{
    if (!path_.empty())
        fs::DeleteTree(path_);
}

std::string WorkFolder::NewFolder(const std::string& stem) const
{
    if (path_.empty())
        return {};
    std::string path = fs::Join(path_, stem + "-XXXXXX");
    return ::mkdtemp(path.data()) ? path : std::string {};
}

MorningRace::MorningRace(RaceSource& source, const RaceOutcome& race, int pastRuns, const WorkFolder& work)
    : race_(race)
    , folder_(work.NewFolder("race"))
{
    if (folder_.empty())
        throw UserError(U"作業フォルダーを作成できません。");
    try {
        source.BuildMorning(race.raceId, race.date, folder_, pastRuns);
    } catch (...) {
        fs::DeleteTree(folder_);
        throw;
    }
}

MorningRace::~MorningRace()
{
    fs::DeleteTree(folder_);
}

AssistOutcome MorningRace::Assist(int mode, const AssistParameters& params) const
{
    AssistOutcome out;
    // A program folder of its own for each press: the built files linked in (the program only ever
    // replaces files by renaming, so the links never change the built copy).
    std::string folder = fs::Join(folder_, "p-XXXXXX");
    if (!::mkdtemp(folder.data())) {
        out.reason = "作業フォルダーを作成できません。";
        return out;
    }
    const std::string program = fs::Join(folder, "PADO");
    bool placed = fs::CreateFolder(program);
    for (const char* name : kRaceFiles) {
        const std::string from = fs::Join(folder_, name);
        const std::string to = fs::Join(program, name);
        if (placed && fs::IsFile(from) && ::link(from.c_str(), to.c_str()) != 0)
            placed = fs::CopyFileAtomic(from, to, false);
    }
    if (placed)
        out = AssistInProgramFolder(program, race_.date, mode, &params);
    else
        out.reason = "レースのファイルを作業フォルダーに置けません。";
    fs::DeleteTree(folder);
    return out;
}

AssistOutcome AssistInProgramFolder(
    const std::string& programFolder, const Date& today, int mode, const AssistParameters* params)
{
    AssistOutcome out;
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
    // As if the settings file had held them: start-up is the only reader of the file.
    if (params)
        app.module1.params = *params;
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
