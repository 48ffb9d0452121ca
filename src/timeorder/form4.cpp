#include "timeorder/form4.h"

#include "app/app.h"
#include "formats/run_line.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "timeorder/run_listing.h"

namespace pado {

Form4::Form4(App& app)
    : Form(app, "Form4", U"距離＆タイム順")
    , Image1("Image1", U"距離＆タイム順の成績を表示します。", 124, 123, 0.2f)
    , Image2("Image2", U"初出走から現在まで全馬の全Ｒ結果を１行表示します。", 136, 135, 0.1f)
    , Image3("Image3", U"初出走から現在まで全馬の全Ｒ結果を簡易表示します。", 146, 145, 0.1f)
{
    AddPane("Text1", Text1);
    auto press = [this](ImageButton& b, void (Form4::*work)()) {
        AddImage(b, [this, work] {
            // Every listing starts from an empty pane, also when its file turns out to be missing.
            Text1.Clear();
            (this->*work)();
        });
    };
    press(Image1, &Form4::Image1_Click);
    press(Image2, &Form4::Image2_Click);
    press(Image3, &Form4::Image3_Click);
}

void Form4::ShowListing(const Text& listing)
{
    Text1.InsertAtCaret(listing);
    Text1.SetCaret(0);
}

void Form4::Image1_Click()
{
    Text listing;
    for (const Text& line : TimeOrderListing(ReadTextFile(GetApp().FilePath(files::kRaceCard))))
        listing += line + U"\n";
    ShowListing(listing);
}

void Form4::Image2_Click()
{
    ShowListing(FullRunListing(ReadRall(GetApp().FilePath(files::kPastRuns))));
}

void Form4::Image3_Click()
{
    ShowListing(ShortRunListing(ReadRall(GetApp().FilePath(files::kPastRuns))));
}

} // namespace pado
