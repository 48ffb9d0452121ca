#include "views/race_detail.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/pado_db.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

namespace {

// The attributes the assist compares come from the body lines after the title.
void TakeAttributes(MainAssistState& state, const Text& line)
{
    if (const long p = InStr(line, U"ｍ"); p > 0) {
        state.pastDistance = static_cast<int>(LeadingInt(Cols(line, p - 4, p - 1)));
        state.surface = Mid(line, p + 2, 1);
    }
    if (Contains(line, U"天候")) {
        // The search starts at column 4, past the colon of a heading such as "天候：".
        const long colon = InStr(line, U"：", 4);
        state.trackCondition = colon > 0 ? Mid(line, colon + 1, 1) : Text {};
    }
}

// The race record that belongs to the selected past run, shown and written out; false when the
// race is not in the database.
bool ShowRecord(Form1& f, const RaceDatabase& db, const Text& pastRunFolder, RaceDisplay display)
{
    MainAssistState& state = f.state;
    state.headerCount = static_cast<float>(db.HeaderCount());
    const Text pastRunName = Right(pastRunFolder, 62);
    state.raceKeyLine = RaceDatabase::HeaderFor(Left(pastRunName, 12));
    const auto body = db.FindBody(Left(pastRunName, 12));
    if (!body)
        return false;

    RecordCursor cursor(db, *body);
    const Text* title = cursor.Next();
    if (title && RaceDatabase::IsHeader(*title))
        title = nullptr; // the record is empty: the next header already follows
    // Without display (the assist, hundreds of times a run) the record is only read, not copied.
    const bool shows = display == RaceDisplay::Show;
    Text shown;
    Lines horseNames;
    Lines runnerHeads;
    if (title) {
        if (Contains(*title, U"ＧＩ"))
            state.gradedFlag = 1;
        const long kai = InStr(*title, U"回");
        state.venue = kai > 0 ? Mid(*title, kai + 1, 2) : Text {};
        if (shows)
            shown += *title + U"\n";
        for (const Text* line = cursor.Next(); line && !RaceDatabase::IsHeader(*line); line = cursor.Next()) {
            if (shows)
                shown += *line + U"\n";
            TakeAttributes(state, *line);
            if (ColsView(*line, 24, 25) == U"kg") {
                horseNames.push_back(Cols(*line, 7, 15));
                runnerHeads.push_back(Cols(*line, 1, 37));
            }
        }
    }
    App& app = f.GetApp();
    WriteTextFile(app.FilePath(files::kPastRaceNames), std::move(horseNames));
    WriteTextFile(app.FilePath(files::kPastRaceRunners), std::move(runnerHeads));
    if (shows)
        f.Text1.InsertAtCaret(shown);
    f.Text1.SetCaret(0);
    return true;
}

// A past-run folder lies two levels below the race folder.
bool IsPastRunFolder(Form1& f)
{
    const std::string selected = ToUtf8(f.selectedFolder);
    return !f.RaceFolder().empty() && fs::IsFolder(selected) && fs::Parent(fs::Parent(selected)) == f.RaceFolder();
}

} // namespace

void ShowSelectedRaceDetail(Form1& f)
{
    App& app = f.GetApp();
    const std::string padoPath = app.FilePath(files::kRaceResults);
    if (!fs::IsFile(padoPath))
        throw UserError(U"ファイル(pado.txt)がありません。");
    f.TakeSelection();
    if (!IsPastRunFolder(f))
        throw UserError(U"レース結果のフォルダーを選択してください。");
    if (!ShowRaceDetail(f, f.selectedFolder, RaceDisplay::Show))
        throw UserError(U"選択されたレースの結果は pado.txt にありません。");
}

bool ShowRaceDetail(Form1& f, const Text& pastRunFolder, RaceDisplay display)
{
    f.Text1.SetCaret(0);
    const std::string padoPath = f.GetApp().FilePath(files::kRaceResults);
    if (display == RaceDisplay::Show)
        return ShowRecord(f, *f.GetApp().raceDatabases.Open(padoPath), pastRunFolder, display);
    // The assist looks races up without a word: an unreadable database is a race not found.
    try {
        return ShowRecord(f, *f.GetApp().raceDatabases.Open(padoPath), pastRunFolder, display);
    } catch (const UserError&) {
        return false;
    }
}

} // namespace pado
