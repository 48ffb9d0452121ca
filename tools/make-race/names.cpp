#include "names.h"

#include <algorithm>

namespace makerace {

namespace {

const std::vector<Text> kHeads = {
    U"ミナト",
    U"ハヤテ",
    U"シラユキ",
    U"アサギリ",
    U"ツバサ",
    U"ホシゾラ",
    U"クレナイ",
    U"ルミナ",
    U"セレス",
    U"アルカ",
    U"ノクト",
    U"エテル",
    U"コハク",
    U"カザハナ",
    U"オボロ",
    U"ナギサ",
    U"フブキ",
    U"イブキ",
    U"スズラン",
    U"ミカヅキ",
    U"トワ",
    U"ラピス",
    U"ソレイユ",
    U"ネビュラ",
    U"ピエタ",
    U"モルゲン",
    U"ケセラ",
    U"タマユラ",
    U"ハルカゼ",
    U"ユキアカリ",
    U"ヒバリ",
    U"カスミ",
};
const std::vector<Text> kVHeads = { U"ヴェルデ", U"ヴィオラ", U"ヴァルト", U"ヴェガ" };
const std::vector<Text> kTails = {
    U"",
    U"ボシ",
    U"ノカゼ",
    U"ランナー",
    U"ブルーム",
    U"ステラ",
    U"アロー",
    U"ウィング",
    U"ロード",
    U"クイーン",
    U"ノヒカリ",
    U"ダンサー",
    U"ハート",
    U"ビート",
    U"リング",
    U"ソング",
    U"テール",
    U"ゲイル",
    U"ブレイヴ",
    U"フォルテ",
    U"ミラージュ",
    U"ノユメ",
    U"マーチ",
    U"パレード",
    U"シャトー",
    U"オーラ",
    U"エール",
    U"ノキセキ",
    U"スピカ",
    U"ノート",
};

const std::vector<Text> kGI
    = { U"暁光ステークス", U"銀河記念", U"天空カップ", U"白鷺記念", U"紅葉グランプリ", U"蒼穹賞" };
const std::vector<Text> kGII
    = { U"房総テレビ杯", U"北斗スポーツ杯", U"若潮ステークス", U"ロイヤル海峡カップ", U"冬月記念", U"朝凪トロフィー" };
const std::vector<Text> kGIII = { U"潮騒トロフィー", U"菜の花カップ", U"港町テレビ杯", U"雪原ステークス", U"夏雲記念",
    U"湾岸スポーツ杯", U"霞ヶ浦ステークス" };
const std::vector<Text> kOpen = { U"白浜ステークス", U"青峰ステークス", U"涼風カップ", U"ロイヤルリーフステークス",
    U"星影ステークス", U"銀鈴カップ" };
const std::vector<Text> kSpecial = { U"鷹巣特別", U"千鳥特別", U"鈴蘭特別", U"銀杏特別", U"木枯特別", U"汐見特別",
    U"朝霧特別", U"紫雲特別", U"若駒特別", U"椿特別", U"白秋特別", U"青嵐特別" };
const std::vector<Text> kJump = { U"冬嶺ジャンプステークス", U"峠越えジャンプステークス", U"山並ジャンプカップ" };

Text GradeMark(int grade, bool jump)
{
    Text j = jump ? U"Ｊ" : U"";
    switch (grade) {
    case 1:
        return U"(" + j + U"ＧＩ)";
    case 2:
        return U"(" + j + U"ＧＩＩ)";
    default:
        return U"(" + j + U"ＧＩＩＩ)";
    }
}

} // namespace

std::vector<Text> MakeHorseNames(Rng& rng, int count, bool needV, const std::vector<Text>& avoid)
{
    std::vector<Text> names;
    auto taken = [&](const Text& n) {
        return std::find(names.begin(), names.end(), n) != names.end()
            || std::find(avoid.begin(), avoid.end(), n) != avoid.end();
    };
    for (int tries = 0; static_cast<int>(names.size()) < count && tries < 100000; ++tries) {
        bool v = needV && names.empty();
        Text name = (v ? rng.Pick(kVHeads) : rng.Pick(kHeads)) + rng.Pick(kTails);
        if (name.size() < 2 || name.size() > 9)
            continue;
        name = pado::PadRight(name, 9);
        if (!taken(name))
            names.push_back(name);
    }
    // The word lists hold more than enough pairs for any field; numbered names only cover absurd sizes.
    for (int i = 1; static_cast<int>(names.size()) < count; ++i) {
        Text name = pado::PadRight(U"ミナト" + pado::ToText(i), 9);
        if (!taken(name))
            names.push_back(name);
    }
    return names;
}

std::vector<Jockey> MakeJockeys()
{
    // key, card text, skill
    return {
        { U"鷲尾　", U"鷲 尾", 9 },
        { U"早瀬　", U"▲早 瀬", 3 },
        { U"楠木　", U"☆楠 木", 4 },
        { U"氷室　", U"△氷 室", 3 },
        { U"ロワゾ", U"Ｆ．ロワゾー", 8 },
        { U"勅使河", U"勅使河原", 6 },
        { U"朝比奈", U"朝比奈", 7 },
        { U"真柴　", U"真 柴", 8 },
        { U"葛城　", U"葛 城", 6 },
        { U"東雲　", U"東 雲", 5 },
        { U"鳴海　", U"鳴 海", 7 },
        { U"伊集院", U"伊集院", 5 },
        { U"小鳥遊", U"小鳥遊", 4 },
        { U"一色　", U"一 色", 6 },
        { U"桐生　", U"桐 生", 5 },
        { U"風間　", U"風 間", 7 },
        { U"芹沢　", U"芹 沢", 4 },
        { U"オルセ", U"Ｋ．オルセン", 8 },
        { U"綾瀬　", U"綾 瀬", 5 },
        { U"如月　", U"☆如 月", 2 },
        { U"久遠寺", U"久遠寺", 3 },
        { U"榊原　", U"榊 原", 4 },
        { U"天城　", U"天 城", 5 },
    };
}

Text GradedName(int grade, bool jump, int fixture)
{
    if (jump)
        return kJump[fixture % kJump.size()] + GradeMark(grade, true);
    const auto& list = grade == 1 ? kGI : grade == 2 ? kGII : kGIII;
    return list[fixture % list.size()] + GradeMark(grade, false);
}

Text OpenName(int fixture)
{
    return kOpen[fixture % kOpen.size()];
}
Text SpecialName(int fixture)
{
    return kSpecial[fixture % kSpecial.size()];
}

} // namespace makerace
