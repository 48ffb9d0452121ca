#include "shape/form7.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/pado_db.h"
#include "formats/race_card.h"
#include "platform/work_files.h"
#include "shape/field_styles.h"

namespace pado {

Form7::Form7(App& app)
    : Form(app, "Form7", U"展開図")
{
    AddPane("Text1", Text1);
}

void ShowRaceShape(Form1& f)
{
    App& app = f.GetApp();
    // Both files are read before anything changes: a missing one leaves the window as it was.
    const Lines card = ReadRaceCard(app.FilePath(files::kRaceCard));
    const auto db = app.raceDatabases.Open(app.FilePath("pado.txt"));
    const std::vector<EntrantStyle> field = StylesOfField(*db, CardEntrants(card));
    Form7& w = app.form7();
    w.Text1.SetText(StylePane(field));
    w.Text1.SetCaret(0);
    w.Picture1.Set(PictureOf(field));
    app.Show(w);
}

} // namespace pado
