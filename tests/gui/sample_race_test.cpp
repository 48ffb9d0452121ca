#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "assist/form5.h"
#include "gui/dir_view.h"
#include "gui/form_dialog.h"
#include "gui/form_window.h"
#include "gui/image_button_view.h"
#include "gui/pane_view.h"
#include "gui/qt_text.h"
#include "gui_fixture.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "timeorder/form4.h"

namespace pado::gui::test {
namespace {

class SampleRace : public GuiProgramTest {
protected:
    void SetUp() override { StartOn({ "sample" }); }

    void ExpectPanesMatchModels(const std::string& after)
    {
        for (const char* f : { "Form1", "Form2", "Form3", "Form4" })
            for (const auto& [name, pane] : app().FindForm(f)->Panes())
                EXPECT_EQ(FromQString(Window(f).Pane(name)->toPlainText()), pane->GetText())
                    << "after " << after << ": " << f << "." << name;
    }
    void Press(const std::string& form, const std::string& button)
    {
        ImageButtonView* v = Window(form).Button(button);
        ASSERT_NE(v, nullptr) << form << "." << button;
        QTest::mouseClick(v, Qt::LeftButton);
        Settle();
        ExpectPanesMatchModels(form + "." + button);
    }
    // Highlights a Dir1 entry by clicking it, as the user does.
    void ClickDirEntry(int row)
    {
        DirView* dir = Window("Form1").Dir();
        ASSERT_LT(row, dir->count());
        dir->scrollToItem(dir->item(row));
        QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, dir->visualItemRect(dir->item(row)).center());
        ASSERT_EQ(app().form1().Dir1.Highlighted(), row);
    }
};

TEST_F(SampleRace, StartUpFillsTheCompanionPanes)
{
    EXPECT_FALSE(app().form2().Text1.GetText().empty());
    EXPECT_FALSE(app().form3().Text1.GetText().empty());
    EXPECT_FALSE(app().form4().Text1.GetText().empty());
    ExpectPanesMatchModels("start-up");
    EXPECT_TRUE(messages.empty()) << ToUtf8(messages.front().text);
}

// Every button of every window on a real race: afterwards each pane shows exactly its model.
TEST_F(SampleRace, ButtonsOfEveryWindowLeaveEachPaneShowingItsModel)
{
    const int chain = static_cast<int>(app().form1().Dir1.ChainLength());
    ClickDirEntry(chain); // the first entrant
    for (const char* b : { "Image8", "Image1", "Image9", "Image10", "Image5" })
        Press("Form1", b);
    EXPECT_FALSE(app().form1().Text1.GetText().empty());

    // Into the entrant's past runs; the race detail and the pop-up work on the first one.
    QTest::keyClick(Window("Form1").Dir(), Qt::Key_Return);
    ClickDirEntry(static_cast<int>(app().form1().Dir1.ChainLength()));
    Press("Form1", "Image2");
    Press("Form1", "Image3");
    Press("Form1", "Image4");
    EXPECT_TRUE(app().form1().Text1.GetText().empty());

    for (const char* b : { "Image1", "Image2", "Image3" })
        Press("Form4", b);
    for (const char* b : { "Image1", "Image4", "Image5", "Image7", "Image8", "Image6" })
        Press("Form2", b);
    EXPECT_TRUE(Window("Form1").isVisible());
}

TEST_F(SampleRace, AViewWritesAtTheCaretTheUserPlacedInThePane)
{
    PaneView* pane = Window("Form1").Pane("Text1");
    pane->setFocus();
    Type(pane, QStringLiteral("上"));
    QTest::keyClick(pane, Qt::Key_Return);
    Type(pane, QStringLiteral("下"));
    // The caret goes between the two typed lines, then the career lines come in there.
    QTest::keyClick(pane, Qt::Key_Up);
    QTest::keyClick(pane, Qt::Key_End);
    QTest::keyClick(pane, Qt::Key_Return);
    EXPECT_EQ(app().form1().Text1.Caret(), 2u);
    ClickDirEntry(static_cast<int>(app().form1().Dir1.ChainLength()));
    Press("Form1", "Image8");
    const Text& t = app().form1().Text1.GetText();
    ASSERT_GT(t.size(), 4u);
    EXPECT_EQ(t.substr(0, 2), U"上\n");
    EXPECT_EQ(t.substr(t.size() - 1), U"下");
    EXPECT_GT(t.size(), 10u);
}

TEST_F(SampleRace, ClosingTheMemoPadWithUnsavedTextAsksAndTheAnswerDecides)
{
    FormWindow& memo = Window("Form3");
    Type(memo.Pane("Text1"), QStringLiteral("◎"));
    EXPECT_TRUE(app().form3().Changed());

    answers = { MsgAnswer::No };
    messages.clear();
    memo.close();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, U"[メモ用紙]の内容を保存していませんが、閉じますか?");
    EXPECT_EQ(messages[0].title, U"確認");
    EXPECT_EQ(messages[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(memo.isVisible());
    EXPECT_TRUE(app().form3().IsVisible());

    answers = { MsgAnswer::Yes };
    memo.close();
    EXPECT_FALSE(memo.isVisible());
    EXPECT_FALSE(app().form3().IsVisible());
    EXPECT_TRUE(app().Running());
}

// The assist from the main window: the race folder highlighted, the mode dialog answered through
// its own widgets, the memo pad marked, the pop-up at the end.
TEST_F(SampleRace, TheAssistRunsThroughTheModeDialog)
{
    const Text before = app().form3().Text1.GetText();
    ClickDirEntry(static_cast<int>(app().form1().Dir1.ChainLength()) - 1); // the race folder
    program().Shell().hooks.modal = [](FormDialog& d) {
        EXPECT_TRUE(d.Option(1)->isChecked());
        QTest::mouseClick(d.Option(2), Qt::LeftButton);
        QTest::mouseClick(d.Command("Command1"), Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    };
    Press("Form1", "Image6");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the wait cursor is gone again
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, U"アシストおわりました。");
    EXPECT_EQ(app().module1.assistMode, 2);
    EXPECT_NE(app().form3().Text1.GetText(), before);
}

// The members window's close button closes every window; the program then ends. The memo pad asks
// first only when the user edited it: the entrant rows the program wrote there do not count.
TEST_F(SampleRace, CloseAllEndsTheProgramAndAsksOnlyAfterAUserEdit)
{
    messages.clear();
    QTest::mouseClick(Window("Form2").Button("Image3"), Qt::LeftButton);
    Settle();
    EXPECT_TRUE(messages.empty()) << ToUtf8(messages.front().text);
    for (const char* f : { "Form1", "Form2", "Form3", "Form4" })
        EXPECT_FALSE(Window(f).isVisible()) << f;
    EXPECT_FALSE(app().Running());

    Restart();
    Type(Window("Form3").Pane("Text1"), QStringLiteral("◎"));
    answers = { MsgAnswer::No };
    messages.clear();
    QTest::mouseClick(Window("Form2").Button("Image3"), Qt::LeftButton);
    Settle();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, U"[メモ用紙]の内容を保存していませんが、閉じますか?");
    EXPECT_TRUE(Window("Form3").isVisible()); // told to stay, it outlives the others
    for (const char* f : { "Form1", "Form2", "Form4" })
        EXPECT_FALSE(Window(f).isVisible()) << f;
}

} // namespace
} // namespace pado::gui::test
