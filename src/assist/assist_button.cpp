#include "assist/assist_button.h"

#include "app/app.h"
#include "app/form1.h"
#include "assist/form5.h"
#include "assist/memo_marks.h"
#include "assist/run_assist.h"
#include "formats/pado_db.h"
#include "memo/form3.h"
#include "passing/folder_levels.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

namespace {

// Clears the wait cursor however the passes end, also when a file problem stops them.
struct BusyCursor {
    explicit BusyCursor(Shell& s)
        : shell(s)
    {
        shell.SetBusy(true);
    }
    ~BusyCursor() { shell.SetBusy(false); }
    Shell& shell;
};

// The highlighted folder must be the race folder; the others are named so the user sees why not.
bool RaceFolderSelected(Form1& f)
{
    App& app = f.GetApp();
    f.TakeSelection();
    const FolderLevels levels(app, f.selectedFolder);
    const Text chooseRace = U"レース名のフォルダーを選択してください。";
    if (levels.OutsideWorkspace()) {
        app.Message(chooseRace);
        return false;
    }
    if (levels.ProgramFolderAt(3)) {
        app.Message(U"レース結果のフォルダーが選択されています。\n" + chooseRace);
        return false;
    }
    if (levels.ProgramFolderAt(2)) {
        app.Message(U"馬名フォルダーが選択されています。\n" + chooseRace);
        return false;
    }
    return levels.ProgramFolderAt(1);
}

// What would let the run end with nothing marked and a word that it finished: checked before the
// first mark.
void CheckInputs(App& app, const Text& raceFolder, AssistMode mode)
{
    if (!fs::IsFolder(ToUtf8(raceFolder)))
        throw UserError(U"フォルダー(" + FromUtf8(fs::FileName(ToUtf8(raceFolder))) + U")がありません。");
    // The factor pass reads the runs of the race card only.
    if (mode != AssistMode::Factors)
        app.raceDatabases.Open(app.FilePath(files::kRaceResults)); // throws the missing or unreadable message
    // The marked memo goes through R2.txt, which holds Shift-JIS only.
    if (auto c = EncodeCp932(app.form3().Text1.GetText()).unencodable)
        throw UserError(U"メモ帳の文字を R2.txt に書き込めないため、アシストできません。\n" + UnencodableMessage(*c));
}

} // namespace

void StartAssist(Form1& f)
{
    App& app = f.GetApp();
    if (!RaceFolderSelected(f))
        return;
    const Text raceFolder = f.selectedFolder;

    // The marks land on the memo pad's entrant rows; without them the run would mark nothing and
    // still report success.
    const Lines memo = SplitLines(app.form3().Text1.GetText());
    if (FirstEntrantRow(memo) == memo.size()) {
        app.Show(app.form3());
        app.Message(U"メモ用紙に出走馬の行がありません。\n"
                    U"アシストは出走馬の行（\" 1 \"で始まる行から下）に印を付けます。"
                    U"出走馬の行を含むメモを開くか、PADOを起動し直してください。");
        return;
    }
    app.module1.assistOk = false;
    app.module1.assistMode = 0;
    app.ShowModal(app.form5());
    if (!app.module1.assistOk)
        return;
    const AssistMode mode = AssistModeOf(app.module1.assistMode);
    CheckInputs(app, raceFolder, mode);
    app.Show(app.form3());
    AssistSummary summary;
    {
        BusyCursor busy(app.shell);
        summary = RunAssist(f, raceFolder, mode);
    }
    app.module1.assistOk = false;
    Text closing = U"アシストおわりました。";
    if (mode != AssistMode::Factors && summary.notFound > 0)
        closing += U"\n過去レース" + ToText(summary.pastRaces) + U"件のうち" + ToText(summary.notFound)
            + U"件は pado.txt に見つかりませんでした。";
    app.shell.Popup(closing, U"PADO", 5);
}

} // namespace pado
