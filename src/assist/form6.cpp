#include "assist/form6.h"

#include "app/app.h"
#include "assist/parameters.h"
#include "platform/errors.h"
#include "platform/number.h"
#include "platform/textfile.h"

namespace pado {

Form6::Form6(App& app)
    : Form(app, "Form6", U"パラメーターの確認と変更")
{
    for (std::size_t i = 0; i < Text.size(); ++i)
        AddBox("Text" + std::to_string(i + 1), Text[i]);
    AddCommand(Command1, [this] { Command1_Click(); });
    AddCommand(Command2, [this] { GetApp().Close(*this); });
    AddCommand(Command3, [this] { Command3_Click(); });
}

void Form6::Form_Load()
{
    ShowValues();
}

void Form6::ShowValues()
{
    const auto& params = GetApp().module1.params;
    for (std::size_t i = 0; i < Text.size(); ++i)
        Text[i].SetText(ParameterText(params[i]));
}

// The file keeps each box's number as typed (in plain digits, so the next start reads the same
// value); a box that holds no number refuses the whole change and keeps the dialog open.
void Form6::Command1_Click()
{
    App& app = GetApp();
    Lines typed;
    refusedBox_ = -1;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        std::optional<pado::Text> number = TypedParameter(Text[i].GetText());
        if (!number) {
            refusedBox_ = static_cast<int>(i);
            app.Message(U"「" + ParameterFieldName(i) + U"」の値「" + Text[i].GetText() + U"」は数値ではありません。\n"
                + U"数字で入力してください（例：0.25）。全角の数字と小数点の「．」「，」も使えます。");
            return;
        }
        typed.push_back(*number);
    }
    for (std::size_t i = 0; i < Text.size(); ++i) {
        app.module1.params[i] = LeadingFloat(typed[i]);
        Text[i].SetText(typed[i]);
    }
    // The values are taken even when the file cannot be written; the user is told the next start
    // will not see them.
    try {
        WriteTextFile(app.FilePath(files::kParameters), typed, true);
    } catch (const UserError& e) {
        app.Message(e.Message() + U"\n変更した値はこの実行中だけ使われます。");
    }
    app.Close(*this);
}

// Defaults in memory only: repara.txt keeps its values until "変更" writes the boxes.
void Form6::Command3_Click()
{
    ResetAssistParameters(GetApp());
    ShowValues();
}

} // namespace pado
