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
    std::vector<QWidget*> parts;
    for (QWidget* w : d.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!w->inherits("QGroupBox"))
            parts.push_back(w);
    auto name = [](QWidget* w) {
        auto* l = qobject_cast<QLabel*>(w);
        return (l ? l->text() : w->objectName()).toStdString();
    };
    const QRect client(QPoint(0, 0), d.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_TRUE(client.contains(parts[i]->geometry())) << name(parts[i]);
        if (auto* l = qobject_cast<QLabel*>(parts[i])) {
            if (l->wordWrap())
                EXPECT_LE(l->heightForWidth(l->width()), l->height()) << "cut off: " << l->text().toStdString();
            else
                EXPECT_LE(l->sizeHint().width(), l->width()) << "cut off: " << l->text().toStdString();
        }
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            const bool overlap = parts[i]->geometry().intersects(parts[j]->geometry());
            EXPECT_FALSE(overlap) << name(parts[i]) << " / " << name(parts[j]);
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
        // The close box asks the form, which agrees: the dialog goes away.
        d.close();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(f5.IsVisible());
}

TEST_F(Dialogs, TheParameterDialogShowsItsBoxesAtTheirPlacesWithTheirLabels)
{
    Form6& f6 = app().form6();
    f6.Text[0].SetText(U"0.2");
    RunDialog(f6, [&](FormDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("パラメーターの確認と変更"));
        ExpectNoOverlaps(d);
        for (int n = 1; n <= 22; ++n)
            ASSERT_NE(d.Box("Text" + std::to_string(n)), nullptr) << n;
        // Twips: box 1 at (240, 840), box 13 at (6360, 1440), box 22 at (4200, 5520).
        EXPECT_EQ(d.Box("Text1")->pos(), QPoint(16, 56));
        EXPECT_EQ(d.Box("Text13")->pos(), QPoint(424, 96));
        EXPECT_EQ(d.Box("Text7")->pos(), QPoint(136, 152));
        EXPECT_EQ(d.Box("Text12")->pos(), QPoint(424, 288));
        EXPECT_EQ(d.Box("Text22")->pos(), QPoint(280, 368));
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

} // namespace
} // namespace pado::gui::test
