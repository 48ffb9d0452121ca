#include "backtest/race_assist.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
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
#include "timeorder/form4.h"

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

namespace {

// The temporary folder the user chose, else preferred when it can be written, else /tmp.
std::string TemporaryBase(const char* preferred)
{
    const char* t = std::getenv("TMPDIR");
    return t && *t ? t : ::access(preferred, W_OK | X_OK) == 0 ? preferred : "/tmp";
}

} // namespace

std::string DefaultWorkBase()
{
    // Every race writes and removes hundreds of files; a memory file system spares the disk that churn
    // (and is several times faster), unless the user chose a temporary folder.
    return TemporaryBase("/dev/shm");
}

std::string KeptWorkBase()
{
    return TemporaryBase("/var/tmp");
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

MorningRace::MorningRace(
    RaceSource& source, const RaceOutcome& race, int pastRuns, const WorkFolder& work, const WorkFolder* presses)
    : race_(race)
    , folder_(work.NewFolder("race"))
    , pressBase_(presses ? presses->Path() : folder_)
{
    if (folder_.empty() || pressBase_.empty())
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

namespace {

// The plain files directly in folder, by name, with their inode: the program replaces a file only by
// renaming a new one over it, so a file that still has its inode still has its bytes.
std::map<std::string, ino_t> FilesIn(const std::string& folder)
{
    std::map<std::string, ino_t> files;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return files;
    const int fd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            files.emplace(e->d_name, st.st_ino);
    }
    ::closedir(dir);
    return files;
}

// The program started on a race's program folder, pressed any number of times. Start-up reads and decodes
// the race files and builds the workspace; what one press changes (the memo pad, the views' texts and
// state, the work files of the program folder) is put back before the next, so each press sees what it
// would see just after start-up, at a fraction of the cost.
class StartedProgram {
public:
    StartedProgram(const std::string& programFolder, const Date& today, int mode)
        : folder_(programFolder)
        , shell_(mode)
        // Each reading moves time on, so the press animation's wait ends at once.
        , clock_(0.05)
        , app_(programFolder, shell_, clock_)
    {
        shell_.SetApp(&app_);
        app_.today = [today] { return today; };
        app_.Start();
        if (!shell_.messages.empty()) {
            reason_ = "起動時: " + FirstMessage(shell_.messages);
            return;
        }
        Form1& f1 = app_.form1();
        // Start-up opens the race folder in the folder list; the assist takes its selection from there.
        const std::string raceFolder = f1.Dir1.Path();
        const auto& entries = f1.Dir1.Entries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i] == raceFolder)
                highlight_ = static_cast<int>(i);
        if (highlight_ >= 0)
            f1.Dir1.Highlight(highlight_);
        if (fs::Parent(raceFolder) != programFolder) {
            reason_ = "起動時: レースのフォルダーが作られませんでした。";
            return;
        }
        memo_ = app_.form3().Text1.GetText();
        view_ = f1.Text1.GetText();
        window_ = app_.form4().Text1.GetText();
        state_ = f1.state;
        startParams_ = app_.module1.params;
    }

    // The reason start-up failed; empty when it went well.
    const std::string& Reason() const { return reason_; }

    AssistOutcome Press(const AssistParameters* params)
    {
        AssistOutcome out;
        if (!reason_.empty()) {
            out.reason = reason_;
            return out;
        }
        if (pressed_ && !Reset()) {
            out.reason = "アシスト: 作業ファイルを元に戻せません。";
            return out;
        }
        pressed_ = true;
        // As if the settings file had held them: start-up is the only reader of the file.
        app_.module1.params = params ? *params : startParams_;
        app_.form1().Click("Image6");
        if (!shell_.messages.empty()) {
            out.reason = "アシスト: " + FirstMessage(shell_.messages);
            return out;
        }
        out.marks = MarksFromMemo(memo_, app_.form3().Text1.GetText());
        out.ok = true;
        return out;
    }

private:
    // Puts back what start-up left: the texts and state the assist reads, and the work files.
    bool Reset()
    {
        Form1& f1 = app_.form1();
        Form3& pad = app_.form3();
        if (pad.Text1.GetText() != memo_)
            pad.WriteByProgram([&] { pad.Text1.SetText(memo_); });
        if (f1.Text1.GetText() != view_)
            f1.Text1.SetText(view_);
        if (app_.form4().Text1.GetText() != window_)
            app_.form4().Text1.SetText(window_);
        f1.state = state_;
        if (highlight_ >= 0)
            f1.Dir1.Highlight(highlight_);
        const std::map<std::string, ino_t> now = FilesIn(folder_);
        for (const auto& [name, inode] : now)
            if (!kept_.count(name) && !fs::DeleteFile(fs::Join(folder_, name)))
                return false;
        for (const auto& [name, inode] : kept_) {
            auto it = now.find(name);
            if (it != now.end() && it->second == inode)
                continue;
            const std::string path = fs::Join(folder_, name);
            if (!fs::DeleteFile(path) || ::link(fs::Join(keep_, name).c_str(), path.c_str()) != 0)
                return false;
        }
        return true;
    }

public:
    // Keeps the work files as they are now by linking them into keep (an empty folder of ours beside the
    // program folder): what start-up left, for Reset to link back.
    bool KeepFiles(const std::string& keep)
    {
        if (!reason_.empty())
            return false;
        keep_ = keep;
        kept_ = FilesIn(folder_);
        for (const auto& [name, inode] : kept_)
            if (::link(fs::Join(folder_, name).c_str(), fs::Join(keep_, name).c_str()) != 0)
                return false;
        return true;
    }

private:
    std::string folder_;
    HeadlessShell shell_;
    SteppingClock clock_;
    App app_;
    std::string reason_;
    int highlight_ = -1;
    Text memo_, view_, window_;
    MainAssistState state_;
    AssistParameters startParams_ {};
    bool pressed_ = false;
    std::string keep_;
    std::map<std::string, ino_t> kept_;
};

} // namespace

namespace {

// A program folder of its own for a race's presses, in base: the built files linked in (the program only
// ever replaces files by renaming, so the links never change the built copy), or copied when base is on
// another file system. Removed with the object.
class ProgramFolder {
public:
    ProgramFolder(const std::string& raceFolder, const std::string& base)
        : folder_(fs::Join(base, "p-XXXXXX"))
    {
        if (!::mkdtemp(folder_.data())) {
            folder_.clear();
            reason_ = "作業フォルダーを作成できません。";
            return;
        }
        program_ = fs::Join(folder_, "PADO");
        bool placed = fs::CreateFolder(program_);
        for (const char* name : kRaceFiles) {
            const std::string from = fs::Join(raceFolder, name);
            const std::string to = fs::Join(program_, name);
            if (placed && fs::IsFile(from) && ::link(from.c_str(), to.c_str()) != 0)
                placed = fs::CopyFileAtomic(from, to, false);
        }
        if (!placed)
            reason_ = "レースのファイルを作業フォルダーに置けません。";
    }
    ~ProgramFolder()
    {
        if (!folder_.empty())
            fs::DeleteTree(folder_);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // Empty when the folder is ready.
    const std::string& Reason() const { return reason_; }
    const std::string& Program() const { return program_; }
    // An empty folder beside the program folder; empty when it could not be made.
    std::string Beside(const std::string& name) const
    {
        const std::string path = fs::Join(folder_, name);
        return fs::CreateFolder(path) ? path : std::string {};
    }

private:
    std::string folder_, program_, reason_;
};

} // namespace

AssistOutcome MorningRace::Assist(int mode, const AssistParameters& params) const
{
    ProgramFolder folder(folder_, pressBase_);
    if (!folder.Reason().empty()) {
        AssistOutcome out;
        out.reason = folder.Reason();
        return out;
    }
    return AssistInProgramFolder(folder.Program(), race_.date, mode, &params);
}

std::vector<AssistOutcome> MorningRace::AssistEach(int mode, const std::vector<AssistParameters>& sets) const
{
    std::vector<AssistOutcome> outs;
    if (sets.empty())
        return outs;
    ProgramFolder folder(folder_, pressBase_);
    if (!folder.Reason().empty()) {
        outs.emplace_back().reason = folder.Reason();
        return outs;
    }
    StartedProgram program(folder.Program(), race_.date, mode);
    if (sets.size() > 1 && program.Reason().empty()) {
        const std::string keep = folder.Beside("start");
        if (keep.empty() || !program.KeepFiles(keep)) {
            // Without the start-up files kept, each set gets a start of its own.
            for (const AssistParameters& set : sets) {
                outs.push_back(Assist(mode, set));
                if (!outs.back().ok)
                    break;
            }
            return outs;
        }
    }
    for (const AssistParameters& set : sets) {
        outs.push_back(program.Press(&set));
        if (!outs.back().ok)
            break;
    }
    return outs;
}

AssistOutcome AssistInProgramFolder(
    const std::string& programFolder, const Date& today, int mode, const AssistParameters* params)
{
    StartedProgram program(programFolder, today, mode);
    return program.Press(params);
}

} // namespace pado::backtest
