#include "passing/horse_passing.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/pado_db.h"
#include "passing/folder_levels.h"
#include "passing/run_corners.h"
#include "platform/fs.h"
#include "platform/work_files.h"

namespace pado {

void ShowHorsePassingOrders(Form1& f)
{
    App& app = f.GetApp();
    const std::string padoPath = app.FilePath(files::kRaceResults);
    if (!fs::IsFile(padoPath))
        return;
    f.TakeSelection();
    const FolderLevels levels(app, f.selectedFolder);
    const Text selectHorse = U"馬名のフォルダーを選択してください。";
    if (levels.OutsideWorkspace()) {
        app.Message(selectHorse);
        return;
    }
    if (levels.AtLeast(3) && levels.ProgramFolderAt(3)) {
        app.Message(U"レース結果のフォルダーが選択されています。\n" + selectHorse);
        return;
    }
    if (levels.ProgramFolderAt(1)) {
        app.Message(U"レース名のフォルダーが選択されています。\n" + selectHorse);
        return;
    }
    if (!levels.ProgramFolderAt(2))
        return; // deeper than the past-run folders
    const auto db = app.raceDatabases.Open(padoPath);
    ListHorsePassingOrders(f, *db, f.selectedFolder);
}

void ListHorsePassingOrders(Form1& f, const RaceDatabase& db, const Text& entrantFolder)
{
    const Text horseName = Right(entrantFolder, 9);
    Text out = horseName + U"\n";
    for (const auto& pastRun : fs::SubFolders(ToUtf8(entrantFolder))) {
        const Text run = PastRunTextWithoutName(FromUtf8(pastRun), horseName);
        const Text runKeyText = Cols(run, 1, 22) + Cols(run, 26, 28) + Mid(run, 36);
        out += HorsePassingOrderLine(db, runKeyText, horseName) + U"\n";
    }
    // One insertion gives the same text and caret as one per line, with one repaint.
    f.Text1.InsertAtCaret(out);
}

Text HorsePassingOrderLine(const RaceDatabase& db, const Text& runKeyText, const Text& horseName)
{
    return Cols(runKeyText, 1, 10) + Mid(runKeyText, 14) + PassingMarkers(db, runKeyText, horseName);
}

} // namespace pado
