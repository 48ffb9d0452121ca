#include "card.h"

namespace makerace {

Lines CardHead(const World& w)
{
    Lines out;
    out.push_back(U"冬星記念");
    out.push_back(U"2026年12月27日（日）　5回中山8日目");
    out.push_back(U"第71回 冬星記念(ＧＩ)  3歳以上オープン  2500m・芝・右  (国際)(指定) 定量");
    out.push_back(U"本 賞 金  30000 12000 7500 4500 3000万円");
    out.push_back(U"付加賞金  651 186 93万円");
    out.push_back(U" 発走 15:25");
    out.push_back(U"");
    for (std::size_t i = 0; i < w.horses.size(); ++i) {
        const Horse& h = w.horses[i];
        int age = 2026 - h.birthYear;
        // A few cards print only the import mark where sex, age and weight would stand.
        Text text = i % 7 == 3 ? h.name + U"(外)"
                               : h.name + Text(1, h.sex) + pado::ToText(age) + U"("
                + pado::ToText((age == 3 ? 56 : 58) - (h.sex == U'牝' ? 2 : 0)) + U")";
        out.push_back(text + w.jockeys[h.jockey].cardText);
    }
    out.push_back(U"＝＝＝＝＝＝＝＝＝＝＝＝");
    out.push_back(U"");
    return out;
}

} // namespace makerace
