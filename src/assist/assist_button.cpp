#include "assist/assist_button.h"

#include "app/app.h"
#include "app/form1.h"
#include "assist/form5.h"
#include "assist/memo_marks.h"
#include "assist/run_assist.h"
#include "memo/form3.h"

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

} // namespace

void StartAssist(Form1& f)
{
    App& app = f.GetApp();
    f.TakeSelection();
    const std::vector<Text> parts = SplitAt(f.selectedFolder, U'/');
    const std::size_t n = parts.size() - 1;
    const Text chooseRace = U"レース名のフォルダーを選択してください。";
    if (parts[n] == U"PADO" || !Contains(f.selectedFolder, U"PADO") || n < 2) {
        app.Message(chooseRace);
        return;
    }
    if (n >= 3 && parts[n - 3] == U"PADO") {
        app.Message(U"レース結果のフォルダーが選択されています。\n" + chooseRace);
        return;
    }
    if (parts[n - 2] == U"PADO") {
        app.Message(U"馬名フォルダーが選択されています。\n" + chooseRace);
        return;
    }
    if (parts[n - 1] != U"PADO")
        return;

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
    app.Show(app.form3());
    {
        BusyCursor busy(app.shell);
        // The driver takes the race folder from Dir1 again; the selection is still this one.
        RunAssist(f);
    }
    app.module1.assistOk = false;
    app.shell.Popup(U"アシストおわりました。", U"PADO", 5);
}

} // namespace pado
