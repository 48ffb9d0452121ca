#include "gui/dialog_layouts.h"

#include "gui/layouts.h"

namespace pado::gui {

DialogLayout Form5Layout()
{
    DialogLayout l;
    l.client = { 300, 150 };
    l.frameCaption = QStringLiteral("モード");
    l.controls["Frame1"] = QRect(8, 6, 176, 134);
    for (int i = 0; i < 4; ++i)
        l.controls["Option" + std::to_string(i + 1)] = QRect(20, 28 + 26 * i, 160, 22);
    l.controls["Command1"] = QRect(196, 12, 96, 30);
    l.controls["Command2"] = QRect(196, 48, 96, 30);
    l.controls["Command3"] = QRect(196, 108, 96, 30);
    l.defaultCommand = "Command1";
    return l;
}

// The parameter dialog: each group's heading and explanation on the left, its boxes on the right
// (the explanations speak of "the value on the right"). The boxes sit at their places in twips; the
// captions fill the room between them.
DialogLayout Form6Layout()
{
    DialogLayout l;
    const int boxW = 52, boxH = 20;
    auto box = [&](int n, int leftTwips, int topTwips) {
        l.controls["Text" + std::to_string(n)] = QRect(Twips(leftTwips), Twips(topTwips), boxW, boxH);
    };
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment top = Qt::AlignLeft | Qt::AlignTop;
    auto label = [&](const QString& text, QRect r, Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter) {
        l.labels.push_back({ text, r, false, a });
    };
    auto explain = [&](const QString& text, QRect r) { l.labels.push_back({ text, r, true, top }); };
    auto heading = [&](const QString& text, QRect r) { l.labels.push_back({ text, r, false, left, true }); };

    // Turf time gaps by distance: boxes 1 to 6 in one row, each under its distance.
    heading(QStringLiteral("【芝Ⅰ、芝Ⅱ】　：　距離別タイム差"), QRect(8, 2, 320, 15));
    label(
        QStringLiteral("過去に同じ芝のＲで出走していて、かつ1桁着順結果の時、最先着馬からのタイム差で絞込みをします。"),
        QRect(16, 19, 532, 15));
    const int lefts[] = { 240, 1320, 2640, 3960, 5280, 6360 };
    const char* ranges[] = { "～1200m", "1200m～1600m", "1600m～2000m", "2000m～2400m", "2400m～3000m", "3000m～" };
    for (int i = 0; i < 6; ++i) {
        box(i + 1, lefts[i], 840);
        // Centred over its box, in a smaller size: the boxes stand closer than the captions are long.
        const int centre = Twips(lefts[i]) + boxW / 2;
        const int width = (i == 0 || i == 5) ? 52 : 88;
        l.labels.push_back({ QString::fromUtf8(ranges[i]), QRect(centre - width / 2, Twips(600), width, 15), false,
            Qt::AlignHCenter | Qt::AlignVCenter, false, 8 });
    }

    // Two-digit finish exceptions: boxes 13 and 14.
    heading(QStringLiteral("【芝Ⅰ、芝Ⅱ】　：　2桁着順例外"), QRect(8, 80, 232, 15));
    explain(
        QStringLiteral("過去に同じ芝のＲで出走していて、かつ2桁着順結果の時は\"-\"にするが、右の場合は例外とします。"),
        QRect(16, 96, 220, 40));
    box(13, 6360, 1440);
    box(14, 6360, 1800);
    label(QStringLiteral("該当が1走目の時の次走着順"), QRect(240, Twips(1440), 180, boxH), right);
    label(QStringLiteral("該当が2走目以降の時の前走間隔"), QRect(240, Twips(1800), 180, boxH), right);

    // Dirt time gap: box 7.
    heading(QStringLiteral("【ダートＲ】　：　タイム差"), QRect(8, 137, 180, 15));
    box(7, 2040, 2280);
    explain(QStringLiteral("過去に同じダートＲで出走している時、最先着馬とのタイム差で絞込みをします。"),
        QRect(Twips(2040) + boxW + 8, 146, 352, 28));

    // Solo dirt allowances by age: boxes 8 and 9.
    heading(QStringLiteral("【ダートＲ】　：　同条件タイム差パラメーターⅠ"), QRect(8, 176, 340, 15));
    explain(QStringLiteral("過去のダートＲで同時出走馬がいない時、同条件の最高タイムとの差を求め、その時の年齢で右数値"
                           "をマイナスします。"),
        QRect(16, 193, 330, 44));
    box(8, 6360, 2880);
    box(9, 6360, 3240);
    label(QStringLiteral("2才"), QRect(360, Twips(2880), 60, boxH), right);
    label(QStringLiteral("3才"), QRect(360, Twips(3240), 60, boxH), right);

    // Solo dirt limits by months back: boxes 10 to 12.
    heading(QStringLiteral("【ダートＲ】　：　同条件タイム差パラメーターⅡ"), QRect(8, 241, 320, 15));
    explain(QStringLiteral("その記録を出した開催日の月数差により右の値をマイナスします。"), QRect(16, 258, 310, 30));
    box(10, 6360, 3600);
    box(11, 6360, 3960);
    box(12, 6360, 4320);
    label(QStringLiteral("0～3ヶ月"), QRect(330, Twips(3600), 90, boxH), right);
    label(QStringLiteral("3ヶ月～6ヶ月"), QRect(330, Twips(3960), 90, boxH), right);
    label(QStringLiteral("6ヶ月～"), QRect(330, Twips(4320), 90, boxH), right);

    // Factor grid: one column per factor, the "-" row and the letter row.
    heading(QStringLiteral("【ファクター】　：　各種適正を平均着順で判断します。"), QRect(8, 294, 318, 15));
    const int columns[] = { 600, 1800, 3000, 4200 };
    const char* titles[] = { "芝・ダート", "距離", "開催地", "季節" };
    const char* letters[] = { "\"k\"", "\"d\"", "\"p\"", "\"s\"" };
    for (int c = 0; c < 4; ++c) {
        const int x = Twips(columns[c]);
        label(QString::fromUtf8(titles[c]), QRect(x, Twips(5160) - 18, 70, 15));
        box(15 + 2 * c, columns[c], 5160);
        box(16 + 2 * c, columns[c], 5520);
        label(QStringLiteral("\"-\""), QRect(x - 22, Twips(5160), 20, boxH), right);
        label(QString::fromUtf8(letters[c]), QRect(x - 22, Twips(5520), 20, boxH), right);
    }

    l.controls["Command1"] = QRect(360, 356, 90, 28);
    l.controls["Command2"] = QRect(458, 356, 90, 28);
    l.controls["Command3"] = QRect(360, 320, 188, 28);
    l.client = { 556, 396 };
    return l;
}

} // namespace pado::gui
