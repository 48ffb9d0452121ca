#include "passing/passing_table.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/pado_db.h"
#include "members/form2.h"
#include "passing/folder_levels.h"
#include "passing/run_corners.h"
#include "platform/fs.h"
#include "platform/work_files.h"

namespace pado {

void ShowPassingOrderTable(Form2& f)
{
    App& app = f.GetApp();
    const std::string padoPath = app.FilePath(files::kRaceResults);
    if (!fs::IsFile(padoPath))
        return;
    // The race workspace lives only while the main window is open (closing it removes the folders).
    if (!app.form1().IsLoaded()) {
        app.Message(U"過去結果表示のウィンドウが閉じられたため、レースのフォルダーがありません。\n"
                    U"通過順位の表はPADOを起動し直してから表示してください。");
        return;
    }
    const Text selected = FromUtf8(app.form1().Dir1.SelectedFolder());
    const FolderLevels levels(app, selected);
    const Text selectRace = U"レース名のフォルダーを選択してください。";
    if (levels.OutsideWorkspace()) {
        app.Message(selectRace);
        return;
    }
    if (levels.AtLeast(3) && levels.ProgramFolderAt(3)) {
        app.Message(U"レース結果のフォルダーが選択されています。\n" + selectRace);
        return;
    }
    if (levels.ProgramFolderAt(2)) {
        app.Message(U"馬名フォルダーが選択されています。\n" + selectRace);
        return;
    }
    if (levels.ProgramFolderAt(1)) {
        const auto db = app.raceDatabases.Open(padoPath);
        ListRacePassingOrders(f, *db, selected);
    }
    f.Text1.SetCaret(0);
}

void ListRacePassingOrders(Form2& f, const RaceDatabase& db, const Text& raceFolder)
{
    f.Text1.Clear();
    Text out;
    for (const auto& entrant : fs::SubFolders(ToUtf8(raceFolder))) {
        const Text horseName = Right(FromUtf8(entrant), 9);
        out += horseName + U"\n";
        for (const auto& pastRun : fs::SubFolders(entrant)) {
            const Text run = PastRunTextWithoutName(FromUtf8(pastRun), horseName);
            // Unlike the by-horse list, the row keeps the race number and drops columns 36 to 40.
            const Text runKeyText = Cols(run, 1, 22) + Cols(run, 26, 28) + Mid(run, 41);
            out += runKeyText + PassingMarkers(db, runKeyText, horseName) + U"\n";
        }
    }
    f.Text1.InsertAtCaret(out);
}

} // namespace pado
