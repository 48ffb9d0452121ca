#include "views/entrant_popup.h"

#include "app/app.h"
#include "app/form1.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

void FindEntrantsInRace(Form1& f)
{
    std::optional<Lines> entrants;
    FindEntrantsInRace(f, entrants);
}

void FindEntrantsInRace(Form1& f, std::optional<Lines>& entrantList)
{
    App& app = f.GetApp();
    // Both inputs are read before R12.txt is replaced, so a missing file leaves the old list whole.
    const Lines runners = ReadTextFile(app.FilePath(files::kPastRaceNames));
    if (!entrantList)
        entrantList = ReadTextFile(app.FilePath(files::kEntrantList));
    const Lines& entrants = *entrantList;

    Lines coRunners;
    Text popup;
    long position = 0;
    for (const Text& runner : runners) {
        ++position;
        for (const Text& entrant : entrants) {
            if (entrant != runner)
                continue;
            popup += ToText(position) + U"着 " + runner + U"\n";
            coRunners.push_back(ToText(position) + U" " + runner);
        }
    }
    const float count = static_cast<float>(coRunners.size());
    WriteTextFile(app.FilePath(files::kCoRunners), std::move(coRunners));
    f.state.coRunnerCount = count;
    f.state.popupText += popup;
}

void ShowEntrantPopup(Form1& f)
{
    App& app = f.GetApp();
    if (!TextFileExists(app.FilePath(files::kPastRaceNames)))
        return;
    FindEntrantsInRace(f);
    // An empty box would leave the user wondering whether anything was checked.
    const Text text = f.state.popupText.empty() ? Text(U"このレースに出走した登録馬はいません。") : f.state.popupText;
    f.state.popupText.clear();
    app.shell.MsgBox(text, U"登録確認", MsgButtons::Ok, MsgIcon::None);
    DeleteTextFile(app.FilePath(files::kCoRunners));
}

} // namespace pado
