#include "members/form2.h"

#include "app/app.h"
#include "members/close_all.h"
#include "members/statistics.h"
#include "members/transfer.h"
#include "passing/passing_table.h"

namespace pado {

Form2::Form2(App& app)
    : Form(app, "Form2", U"メンバー")
    , Image1("Image1", U"出走馬のコース別成績を表示します。", 134, 133, 0.2f)
    , Image2("Image2",
             FromUtf8(app.StagingFolder()) + U" から " + FromUtf8(app.ProgramFolder()) + U" へファイルコピーします。",
             132, 131, 0.2f)
    , Image3("Image3", U"全てのフォームを閉じて終了します。", 116, 115, 0.2f)
    , Image4("Image4", U"通過順位を表示します", 122, 121, 0.2f)
    , Image5("Image5", U"出走馬の成績を表示します。", 124, 123, 0.2f)
    , Image6("Image6", U"最初の表示に戻します。", 126, 125, 0.2f)
    , Image7("Image7", U"該当コースの場所＆距離成績を表示します。", 128, 127, 0.2f)
    , Image8("Image8", U"該当コースの良＆良以外成績を表示します。", 130, 129, 0.2f)
{
    AddPane("Text1", Text1);
    auto press = [this](ImageButton& b, auto work) {
        AddImage(b, [this, &b, work] {
            Press(b);
            work();
        });
    };
    press(Image1, [this] { ShowCourseRecords(*this); });
    press(Image2, [this] { TransferRaceFiles(*this); });
    press(Image3, [this] { CloseAllWindows(*this); });
    press(Image4, [this] { ShowPassingOrderTable(*this); });
    press(Image5, [this] { ShowEntrantRecordsWithJockey(*this); });
    press(Image6, [this] { Image6_Click(); });
    press(Image7, [this] { ShowVenueDistanceStats(*this); });
    press(Image8, [this] { ShowTrackConditionStats(*this); });
}

void Form2::Form_Load() {}

void Form2::Image6_Click() {}

}  // namespace pado
