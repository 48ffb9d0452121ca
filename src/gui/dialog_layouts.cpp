#include "gui/dialog_layouts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>
#include <algorithm>

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
    // What each mode does and what the marks mean, where the user chooses.
    const QString marks = QStringLiteral("印はメモ用紙の出走馬の行の末尾に付きます。\n"
                                         "「-」割引（評価を下げる）、「k」芝・ダートの適性、「d」距離の適性、"
                                         "「p」開催地の適性、「s」季節の適性。");
    l.toolTips["Frame1"] = marks;
    l.toolTips["Option1"]
        = QStringLiteral("タイトルに「ＧＩ」を含む重賞の過去Ｒだけで、今日の出走馬どうしを比べます。\n"
                         "10着以下の馬と、最先着馬から距離別のタイム差より遅れた馬に「-」を付けます。");
    l.toolTips["Option2"] = QStringLiteral("芝Ⅰと同じ比べ方を、クラスを問わず全ての過去Ｒで行います。");
    l.toolTips["Option3"] = QStringLiteral(
        "出走馬どうしが走った過去Ｒでは、最先着馬からタイム差より遅れた馬に「-」を付けます。\n"
        "１頭だけの過去Ｒでは、距離＆タイム順の同条件の最高タイムとの差（年齢・月数で補正）で判断します。");
    l.toolTips["Option4"] = QStringLiteral("Rall.txt の全過去走の平均着順で適性を判断し、悪ければ「-」、\n"
                                           "良ければ芝・ダート「k」、距離「d」、開催地「p」、季節「s」を付けます。");
    l.toolTips["Command1"] = QStringLiteral("選んだモードでアシストを始めます。\n") + marks;
    l.toolTips["Command3"] = QStringLiteral("アシストが使う22の値（タイム差・着順など）を確認・変更します。");
    return l;
}

namespace {

// The parameter dialog as a grid: each group's heading across the dialog, its explanation at the
// left (the explanations speak of "the value on the right"), its row labels and boxes at the right.
// The turf distances and the factor table keep their boxes side by side under column titles. Qt
// sizes it all from the font, so nothing is cut at any font or scale factor.
void ArrangeParameterDialog(QWidget& d, const std::map<std::string, QWidget*>& controls)
{
    auto box = [&](int n) { return controls.at("Text" + std::to_string(n)); };
    auto label = [&](const QString& text, Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter) {
        auto* l = new QLabel(text, &d);
        l->setAlignment(a);
        return l;
    };
    auto small = [&](const QString& text) {
        QLabel* l = label(text, Qt::AlignHCenter | Qt::AlignBottom);
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        l->setFont(f);
        return l;
    };
    auto explanation = [&](const QString& text) {
        QLabel* l = label(text, Qt::AlignLeft | Qt::AlignTop);
        l->setWordWrap(true);
        l->setMinimumWidth(260);
        return l;
    };
    const int boxWidth = d.fontMetrics().horizontalAdvance(QStringLiteral("0000.00")) + 12;
    for (auto& [name, w] : controls)
        if (name.rfind("Text", 0) == 0)
            w->setFixedWidth(boxWidth);

    auto* grid = new QGridLayout(&d);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(0, 1);
    int row = 0;
    auto heading = [&](const QString& text) {
        QLabel* l = label(text);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        grid->addWidget(l, row++, 0, 1, 3);
    };
    // An explanation at the left beside rows of label and box at the right.
    auto group = [&](const QString& text, const std::vector<std::pair<QString, int>>& rows) {
        grid->addWidget(explanation(text), row, 0, static_cast<int>(std::max<std::size_t>(rows.size(), 1)), 1);
        for (const auto& [caption, n] : rows) {
            grid->addWidget(label(caption, Qt::AlignRight | Qt::AlignVCenter), row, 1);
            grid->addWidget(box(n), row++, 2);
        }
    };
    std::vector<QWidget*> tabs;

    heading(QStringLiteral("【芝Ⅰ、芝Ⅱ】　：　距離別タイム差"));
    grid->addWidget(
        explanation(QStringLiteral(
            "過去に同じ芝のＲで出走していて、かつ1桁着順結果の時、最先着馬からのタイム差で絞込みをします。")),
        row++, 0, 1, 3);
    auto* distances = new QGridLayout;
    distances->setHorizontalSpacing(6);
    const char* ranges[] = { "～1200m", "1200m～1600m", "1600m～2000m", "2000m～2400m", "2400m～3000m", "3000m～" };
    for (int i = 0; i < 6; ++i) {
        distances->addWidget(small(QString::fromUtf8(ranges[i])), 0, i, Qt::AlignHCenter);
        distances->addWidget(box(i + 1), 1, i, Qt::AlignHCenter);
        tabs.push_back(box(i + 1));
    }
    grid->addLayout(distances, row++, 0, 1, 3, Qt::AlignLeft);

    heading(QStringLiteral("【芝Ⅰ、芝Ⅱ】　：　2桁着順例外"));
    group(
        QStringLiteral("過去に同じ芝のＲで出走していて、かつ2桁着順結果の時は\"-\"にするが、右の場合は例外とします。"),
        { { QStringLiteral("該当が1走目の時の次走着順"), 13 },
            { QStringLiteral("該当が2走目以降の時の前走間隔"), 14 } });
    tabs.insert(tabs.end(), { box(13), box(14) });

    heading(QStringLiteral("【ダートＲ】　：　タイム差"));
    group(QStringLiteral("過去に同じダートＲで出走している時、最先着馬とのタイム差で絞込みをします。"),
        { { QString(), 7 } });
    tabs.push_back(box(7));

    heading(QStringLiteral("【ダートＲ】　：　同条件タイム差パラメーターⅠ"));
    group(QStringLiteral("過去のダートＲで同時出走馬がいない時、同条件の最高タイムとの差を求め、その時の年齢で右数値"
                         "をマイナスします。"),
        { { QStringLiteral("2才"), 8 }, { QStringLiteral("3才"), 9 } });
    tabs.insert(tabs.end(), { box(8), box(9) });

    heading(QStringLiteral("【ダートＲ】　：　同条件タイム差パラメーターⅡ"));
    group(QStringLiteral("その記録を出した開催日の月数差により右の値をマイナスします。"),
        { { QStringLiteral("0～3ヶ月"), 10 }, { QStringLiteral("3ヶ月～6ヶ月"), 11 },
            { QStringLiteral("6ヶ月～"), 12 } });
    tabs.insert(tabs.end(), { box(10), box(11), box(12) });

    heading(QStringLiteral("【ファクター】　：　各種適正を平均着順で判断します。"));
    auto* factors = new QGridLayout;
    factors->setHorizontalSpacing(6);
    const char* titles[] = { "芝・ダート", "距離", "開催地", "季節" };
    const char* letters[] = { "\"k\"", "\"d\"", "\"p\"", "\"s\"" };
    for (int c = 0; c < 4; ++c) {
        factors->addWidget(label(QString::fromUtf8(titles[c]), Qt::AlignHCenter | Qt::AlignBottom), 0, 2 * c + 1);
        factors->addWidget(label(QStringLiteral("\"-\""), Qt::AlignRight | Qt::AlignVCenter), 1, 2 * c);
        factors->addWidget(box(15 + 2 * c), 1, 2 * c + 1);
        factors->addWidget(label(QString::fromUtf8(letters[c]), Qt::AlignRight | Qt::AlignVCenter), 2, 2 * c);
        factors->addWidget(box(16 + 2 * c), 2, 2 * c + 1);
    }
    for (int c = 0; c < 4; ++c) // the "-" row left to right, then the letter row
        tabs.push_back(box(15 + 2 * c));
    for (int c = 0; c < 4; ++c)
        tabs.push_back(box(16 + 2 * c));
    grid->addLayout(factors, row++, 0, 1, 3, Qt::AlignLeft);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (const char* name : { "Command3", "Command1", "Command2" }) {
        buttons->addWidget(controls.at(name));
        tabs.push_back(controls.at(name));
    }
    grid->addItem(new QSpacerItem(0, 8), row++, 0);
    grid->addLayout(buttons, row++, 0, 1, 3);

    for (std::size_t i = 1; i < tabs.size(); ++i)
        QWidget::setTabOrder(tabs[i - 1], tabs[i]);
}

} // namespace

DialogLayout Form6Layout()
{
    DialogLayout l;
    l.defaultCommand = "Command1";
    l.arrange = ArrangeParameterDialog;
    return l;
}

} // namespace pado::gui
