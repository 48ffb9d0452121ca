#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/app.h"
#include "assist/form5.h"
#include "assist/form6.h"
#include "gui/form_dialog.h"
#include "gui/qt_text.h"
#include "gui_fixture.h"

namespace pado::gui::test {
namespace {

class Dialogs : public GuiProgramTest {
protected:
    void SetUp() override { StartOn({ "tests/data/mini" }); }

    // Shows the form's dialog the way the program does, with `act` in place of the user.
    void RunDialog(Form& form, const std::function<void(FormDialog&)>& act)
    {
        bool shown = false;
        program().Shell().hooks.modal = [&](FormDialog& d) {
            shown = true;
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(program().Shell().ActiveDialog(), &d);
            act(d);
        };
        app().ShowModal(form);
        EXPECT_TRUE(shown);
        EXPECT_EQ(program().Shell().ActiveDialog(), nullptr);
    }
};

// Labels and controls of a dialog must neither overlap nor stick out of it, or texts get cut.
void ExpectNoOverlaps(QDialog& d)
{
    // The captions and controls wherever they sit (directly on the dialog or on its content), in
    // the dialog's coordinates.
    std::vector<std::pair<QWidget*, QRect>> parts;
    for (QWidget* w : d.findChildren<QWidget*>())
        if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w))
            parts.emplace_back(w, QRect(w->mapTo(&d, QPoint(0, 0)), w->size()));
    ASSERT_FALSE(parts.empty());
    auto name = [](QWidget* w) {
        auto* l = qobject_cast<QLabel*>(w);
        return (l ? l->text() : w->objectName()).toStdString();
    };
    const QRect client(QPoint(0, 0), d.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_TRUE(client.contains(parts[i].second)) << name(parts[i].first);
        if (auto* l = qobject_cast<QLabel*>(parts[i].first)) {
            if (l->wordWrap())
                EXPECT_LE(l->heightForWidth(l->width()), l->height()) << "cut off: " << l->text().toStdString();
            else
                EXPECT_LE(l->sizeHint().width(), l->width()) << "cut off: " << l->text().toStdString();
        }
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            const bool overlap = parts[i].second.intersects(parts[j].second);
            EXPECT_FALSE(overlap) << name(parts[i].first) << " / " << name(parts[j].first);
        }
    }
}

TEST_F(Dialogs, TheAssistDialogHandsItsChoiceToTheFormAndClosesThroughIt)
{
    Form5& f5 = app().form5();
    RunDialog(f5, [&](FormDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("アシスト"));
        ExpectNoOverlaps(d);
        for (int i = 1; i <= 4; ++i)
            ASSERT_NE(d.Option(i), nullptr);
        EXPECT_EQ(d.Option(3)->text(), QStringLiteral("ダート（全クラス）"));
        QTest::mouseClick(d.Option(3), Qt::LeftButton);
        EXPECT_EQ(f5.Options.Selected(), 3);
        // The form choosing for itself shows in the dialog.
        f5.Options.Select(4);
        EXPECT_TRUE(d.Option(4)->isChecked());
        f5.Options.Select(0);
        for (int i = 1; i <= 4; ++i)
            EXPECT_FALSE(d.Option(i)->isChecked());
        EXPECT_EQ(d.Command("Command1")->text(), QStringLiteral("ＯＫ"));
        EXPECT_EQ(d.Command("Command3")->text(), QStringLiteral("設定"));
        // Each mode says what it does; the marks are explained where the run starts.
        for (int i = 1; i <= 4; ++i)
            EXPECT_FALSE(d.Option(i)->toolTip().isEmpty()) << i;
        for (const char* mark : { "「-」", "「k」", "「d」", "「p」", "「s」" })
            EXPECT_TRUE(d.Command("Command1")->toolTip().contains(QString::fromUtf8(mark))) << mark;
        // The close box asks the form, which agrees: the dialog goes away.
        d.close();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(f5.IsVisible());
}

TEST_F(Dialogs, TheParameterDialogShowsItsBoxesInRowsWithTheirLabels)
{
    Form6& f6 = app().form6();
    f6.Text[0].SetText(U"0.2");
    RunDialog(f6, [&](FormDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("パラメーターの確認と変更"));
        ExpectNoOverlaps(d);
        for (int n = 1; n <= 22; ++n)
            ASSERT_NE(d.Box("Text" + std::to_string(n)), nullptr) << n;
        auto at = [&](int n) { return d.Box("Text" + std::to_string(n))->geometry(); };
        // The turf distances side by side; the groups below each other, their boxes at the right.
        for (int n = 2; n <= 6; ++n) {
            EXPECT_EQ(at(n).top(), at(1).top()) << n;
            EXPECT_GT(at(n).left(), at(n - 1).right()) << n;
        }
        const int column[] = { 13, 14, 7, 8, 9, 10, 11, 12 };
        for (std::size_t i = 1; i < std::size(column); ++i) {
            EXPECT_GT(at(column[i]).top(), at(column[i - 1]).bottom()) << column[i];
            EXPECT_EQ(at(column[i]).left(), at(13).left()) << column[i];
        }
        EXPECT_GT(at(13).top(), at(1).bottom());
        EXPECT_GT(at(13).left(), d.width() / 2);
        // The factor table: the "-" row over the letter row, the columns in the order of the factors.
        for (int c = 0; c < 4; ++c) {
            EXPECT_GT(at(15 + 2 * c).top(), at(12).bottom());
            EXPECT_GT(at(16 + 2 * c).top(), at(15 + 2 * c).bottom());
            EXPECT_EQ(at(16 + 2 * c).left(), at(15 + 2 * c).left());
            if (c > 0) {
                EXPECT_GT(at(15 + 2 * c).left(), at(13 + 2 * c).right());
            }
        }
        QStringList labels;
        for (QLabel* l : d.findChildren<QLabel*>())
            labels << l->text();
        for (const char* want : { "【芝Ⅰ、芝Ⅱ】　：　距離別タイム差", "1200m～1600m", "該当が2走目以降の時の前走間隔",
                 "3ヶ月～6ヶ月", "【ファクター】　：　各種適正を平均着順で判断します。", "季節" })
            EXPECT_TRUE(labels.contains(QString::fromUtf8(want))) << want;

        // Both ways between box and model.
        EXPECT_EQ(d.Box("Text1")->text(), QStringLiteral("0.2"));
        d.Box("Text5")->clear();
        QTest::keyClicks(d.Box("Text5"), QStringLiteral("0.75"));
        EXPECT_EQ(f6.Text[4].GetText(), U"0.75");
        f6.Text[21].SetText(U"2");
        EXPECT_EQ(d.Box("Text22")->text(), QStringLiteral("2"));
        QTest::keyClick(&d, Qt::Key_Escape); // Escape closes through the form as the close box does
        EXPECT_FALSE(d.isVisible());
    });
}

// Tab follows the screen: top to bottom, left to right, then the buttons; Enter is "変更".
TEST_F(Dialogs, TheParameterDialogTabsAsItReadsAndEnterChanges)
{
    Form6& f6 = app().form6();
    RunDialog(f6, [&](FormDialog& d) {
        std::vector<std::string> order;
        QWidget* w = d.Box("Text1");
        for (int i = 0; i < 25; ++i) {
            order.push_back(w->objectName().toStdString());
            do
                w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || !w->isVisible());
        }
        std::vector<std::string> want;
        for (int n : { 1, 2, 3, 4, 5, 6, 13, 14, 7, 8, 9, 10, 11, 12, 15, 17, 19, 21, 16, 18, 20, 22 })
            want.push_back("Text" + std::to_string(n));
        want.insert(want.end(), { "Command3", "Command1", "Command2" });
        EXPECT_EQ(order, want);

        EXPECT_TRUE(d.Command("Command1")->isDefault());
        d.Box("Text3")->setFocus();
        QTest::keyClick(d.Box("Text3"), Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(f6.IsVisible());
}

// A value that is no number is refused by its field's name; the dialog stays with the cursor on it.
TEST_F(Dialogs, TheParameterDialogRefusesABadValueAndKeepsTheCursorOnIt)
{
    Form6& f6 = app().form6();
    const float before = app().module1.params[10];
    RunDialog(f6, [&](FormDialog& d) {
        QLineEdit* box = d.Box("Text11");
        messages.clear();
        box->selectAll();
        Type(box, QStringLiteral("1.9秒"));
        QTest::mouseClick(d.Command("Command1"), Qt::LeftButton);
        ASSERT_EQ(messages.size(), 1u) << ToUtf8(messages.back().text);
        EXPECT_NE(messages[0].text.find(U"「【ダートＲ】同条件タイム差パラメーターⅡ 3ヶ月～6ヶ月」の値「1.9秒」"),
            Text::npos);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), box);
        EXPECT_EQ(box->selectedText(), QStringLiteral("1.9秒"));
        EXPECT_EQ(app().module1.params[10], before);
        // Retyped the way a Japanese keyboard does it: taken.
        Type(box, QStringLiteral("２．５"));
        QTest::mouseClick(d.Command("Command1"), Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(app().module1.params[10], 2.5f);
}

} // namespace
} // namespace pado::gui::test
