#include "app/form1.h"

#include "app/app.h"
#include "assist/assist_button.h"
#include "passing/horse_passing.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "shape/form7.h"
#include "views/career_lines.h"
#include "views/entrant_popup.h"
#include "views/race_detail.h"
#include "views/ranking.h"
#include "views/same_race.h"

namespace pado {

Form1::Form1(App& app)
    : Form(app, "Form1", U"過去結果表示")
    , Image1("Image1", U"初出走から現在までの全Ｒ結果を１行表示します。(簡略)", 136, 135, 0.1f)
    , Image2("Image2", U"上窓で選択された過去Ｒ結果の詳細を表示します。", 138, 137, 0.1f)
    , Image3("Image3", U"このＲの登録馬が詳細表示に含まれていればポップアップ表示をします。", 140, 139, 0.1f)
    , Image4("Image4", U"下窓の表示を全てクリアします。", 142, 141, 0.1f)
    , Image5("Image5", U"馬別の通過順位を表示します。", 122, 121, 0.2f)
    , Image6("Image6", U"予想のアシストです", 120, 119, 0.1f)
    , Image7("Image7", U"マニュアル（使い方のページ）を開きます。", 102, 101, 0.1f)
    , Image8("Image8", U"初出走から現在までの全Ｒ結果を１行表示します。", 146, 145, 0.1f)
    , Image9("Image9", U"登録馬が過去に同じレースで走っていれば表示します", 144, 143, 0.1f)
    , Image10("Image10", U"過去同レースで走った結果から順位を表示します", 148, 147, 0.1f)
    , Image11("Image11", U"出走馬の脚質と展開図を表示します。", 150, 149, 0.1f)
{
    SetDir(Dir1);
    SetList(List1);
    AddPane("Text1", Text1);
    AddImage(Image1, [this] { ShowCareerLines(*this, true); });
    AddImage(Image2, [this] { ShowSelectedRaceDetail(*this); });
    AddImage(Image3, [this] { ShowEntrantPopup(*this); });
    AddImage(Image4, [this] { Image4_Click(); });
    AddImage(Image5, [this] { ShowHorsePassingOrders(*this); });
    AddImage(Image6, [this] { StartAssist(*this); });
    AddImage(Image7, [this] { Image7_Click(); });
    AddImage(Image8, [this] { ShowCareerLines(*this, false); });
    AddImage(Image9, [this] { ShowEntrantsInPastSameRace(*this); });
    AddImage(Image10, [this] { ShowSameRaceRanking(*this); });
    AddImage(Image11, [this] { ShowRaceShape(*this); });
    OnKey("Dir1", [this](int key) { Dir1_KeyPress(key); });
}

bool IsHorseNameFolder(const Text& path)
{
    // The last component must be exactly 9 characters: a separator 10 from the end alone would also
    // take "PADO/" plus a 4-character race name for a horse.
    return path.size() >= 10 && path[path.size() - 10] == U'/' && path.find(U'/', path.size() - 9) == Text::npos;
}

void Form1::TakeSelection()
{
    selectedFolder = FromUtf8(Dir1.SelectedFolder());
    selectedHorseName = Right(selectedFolder, 9);
}

bool Form1::TakeHorseSelection()
{
    TakeSelection();
    if (IsHorseNameFolder(selectedFolder))
        return true;
    GetApp().Message(U"馬名のフォルダーを選択してください。");
    return false;
}

void Form1::Image4_Click()
{
    Text1.Clear();
    DeleteTextFile(GetApp().FilePath(files::kPastRaceNames));
}

void Form1::Image7_Click()
{
    GetApp().shell.OpenWebPage("file://" + GetApp().ManualPath());
}

void Form1::Dir1_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Dir1.Open();
}

} // namespace pado
