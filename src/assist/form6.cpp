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

// The file keeps each box's text as typed, the program the number it starts with.
void Form6::Command1_Click()
{
    App& app = GetApp();
    Lines typed;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        app.module1.params[i] = LeadingFloat(Text[i].GetText());
        typed.push_back(Text[i].GetText());
    }
    // The values are taken even when the file cannot be written; the user is told the next start
    // will not see them.
    try {
        WriteTextFile(kParameterFile, typed);
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

const std::array<std::pair<int, int>, 22>& Form6::BoxPositions()
{
    static const std::array<std::pair<int, int>, 22> positions { {
        { 240, 840 }, { 1320, 840 }, { 2640, 840 }, { 3960, 840 }, { 5280, 840 }, { 6360, 840 }, { 2040, 2280 }, // 7
        { 6360, 2880 }, { 6360, 3240 }, { 6360, 3600 }, { 6360, 3960 }, { 6360, 4320 }, // 8..12
        { 6360, 1440 }, { 6360, 1800 }, // 13, 14
        { 600, 5160 }, { 600, 5520 }, { 1800, 5160 }, { 1800, 5520 }, { 3000, 5160 }, { 3000, 5520 }, // 15..20
        { 4200, 5160 }, { 4200, 5520 }, // 21, 22
    } };
    return positions;
}

const std::vector<DialogLabel>& Form6::Labels()
{
    static const std::vector<DialogLabel> labels {
        { U"【芝Ⅰ、芝Ⅱ】　：　距離別タイム差", 120, 120, 0 },
        { U"過去に同じ芝のＲで出走していて、かつ1桁着順結果の時、最先着馬からのタイム差で絞込みをします。", 120, 360,
            7200 },
        { U"～1200m", 240, 600, 0 },
        { U"1200m～1600m", 1320, 600, 0 },
        { U"1600m～2000m", 2640, 600, 0 },
        { U"2000m～2400m", 3960, 600, 0 },
        { U"2400m～3000m", 5280, 600, 0 },
        { U"3000m～", 6360, 600, 0 },
        { U"【芝Ⅰ、芝Ⅱ】　：　2桁着順例外", 120, 1200, 0 },
        { U"過去に同じ芝のＲで出走していて、かつ2桁着順結果の時は\"-\"にするが、右の場合は例外とします。", 120, 1440,
            3600 },
        { U"該当が1走目の時の次走着順", 3840, 1440, 2400 },
        { U"該当が2走目以降の時の前走間隔", 3840, 1800, 2400 },
        { U"【ダートＲ】　：　タイム差", 120, 2280, 1800 },
        { U"過去に同じダートＲで出走している時、最先着馬とのタイム差で絞込みをします。", 3000, 2280, 4200 },
        { U"【ダートＲ】　：　同条件タイム差パラメーターⅠ", 120, 2640, 0 },
        { U"過去のダートＲで同時出走馬がいない時、同条件の最高タイムとの差を求め、その時の年齢で右数値をマイナスします"
          U"。",
            120, 2880, 5400 },
        { U"2才", 5760, 2880, 0 },
        { U"3才", 5760, 3240, 0 },
        { U"【ダートＲ】　：　同条件タイム差パラメーターⅡ", 120, 3600, 0 },
        { U"その記録を出した開催日の月数差により右の値をマイナスします。", 120, 3840, 4800 },
        { U"0～3ヶ月", 5280, 3600, 0 },
        { U"3ヶ月～6ヶ月", 5280, 3960, 0 },
        { U"6ヶ月～", 5280, 4320, 0 },
        { U"【ファクター】　：　各種適正を平均着順で判断します。", 120, 4680, 0 },
        { U"芝・ダート", 600, 4920, 0 },
        { U"距離", 1800, 4920, 0 },
        { U"開催地", 3000, 4920, 0 },
        { U"季節", 4200, 4920, 0 },
        { U"\"-\"", 120, 5160, 0 },
        { U"\"k\"", 120, 5520, 0 },
        { U"\"d\"", 1440, 5520, 0 },
        { U"\"p\"", 2640, 5520, 0 },
        { U"\"s\"", 3840, 5520, 0 },
    };
    return labels;
}

} // namespace pado
