#include "timeorder/form4.h"

#include "app/app.h"

namespace pado {

Form4::Form4(App& app)
    : Form(app, "Form4", U"距離＆タイム順")
    , Image1("Image1", U"距離＆タイム順の成績を表示します。", 124, 123, 0.2f)
    , Image2("Image2", U"初出走から現在まで全馬の全Ｒ結果を１行表示します。", 136, 135, 0.1f)
    , Image3("Image3", U"初出走から現在まで全馬の全Ｒ結果を簡易表示します。", 146, 145, 0.1f)
{
    AddPane("Text1", Text1);
    for (ImageButton* b : {&Image1, &Image2, &Image3})
        AddImage(*b, [this, b] { Press(*b); });
}

}  // namespace pado
