#include "memo/form3.h"

#include "app/app.h"

namespace pado {

Form3::Form3(App& app)
    : Form(app, "Form3", U"メモ用紙")
    , Image1("Image1", U"保存されたファイルを開きます。", 112, 111, 0.2f)
    , Image2("Image2", U"現在の表示内容を1行目のファイル名で保存します。", 114, 113, 0.2f)
{
    AddPane("Text1", Text1);
    for (ImageButton* b : {&Image1, &Image2})
        AddImage(*b, [this, b] { Press(*b); });
}

}  // namespace pado
