// Switching races: the transfer and the start-up again on the new files, the race data window beside the
// others, and the keys that move about the windows.
#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "app/app.h"
#include "app/form.h"
#include "gui/form_window.h"
#include "gui/image_button_view.h"
#include "gui/pane_commands.h"
#include "gui/pane_view.h"
#include "gui/race_data_window.h"
#include "gui_fixture.h"
#include "platform/press_files.h"

namespace pado::gui::test {
namespace {

namespace fsys = std::filesystem;

std::string Slurp(const fsys::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Flow : public GuiProgramTest {
protected:
    void SetUp() override
    {
        StartOn({ "tests/data/mini" });
        messages.clear(); // start-up's own notes about the race
    }

    // A race folder in the staging folder: the sample race's files, with its jockey file or without.
    fsys::path StageRace(const std::string& name, bool jockeys)
    {
        const fsys::path folder = ProgramFolder().parent_path() / "PADO-tdy" / name;
        fsys::create_directories(folder);
        for (const char* f : { "R1.txt", "Rall.txt", "pado.txt", "kisyuE.txt" })
            if (jockeys || std::string(f) != "kisyuE.txt")
                fsys::copy_file(fsys::path(PADO_SOURCE_DIR) / "sample" / f, folder / f);
        program().Shell().hooks.browse = [folder](const Text&, const std::string&) { return folder.string(); };
        return folder;
    }
    bool Asked(const char* part)
    {
        for (const ShownMessage& m : messages)
            if (ToUtf8(m.text).find(part) != std::string::npos)
                return true;
        return false;
    }
    std::string PaneText(const char* form) { return ToUtf8(app().FindForm(form)->Panes().at("Text1")->GetText()); }
};

TEST_F(Flow, TransferCopiesTheJockeyFileAndStartsAgainOnTheNewRace)
{
    const fsys::path race = StageRace("見本", true);
    const std::string before = PaneText("Form2");
    answers = { MsgAnswer::Yes };
    app().FindForm("Form2")->Click("Image2");
    ASSERT_TRUE(Asked("４ファイルコピーしました。"));
    EXPECT_EQ(messages.back().buttons, MsgButtons::YesNo) << "yes starts again, with nothing more to say";
    for (const char* f : { "R1.txt", "Rall.txt", "pado.txt", "kisyuE.txt" })
        EXPECT_EQ(Slurp(ProgramFolder() / f), Slurp(race / f)) << f;
    // Started again: every window open on the sample race, the program running, no press left open.
    Settle();
    EXPECT_TRUE(app().Running());
    EXPECT_EQ(PressFiles::Active(), nullptr);
    for (const char* form : { "Form1", "Form2", "Form3", "Form4" }) {
        EXPECT_TRUE(app().FindForm(form)->IsVisible()) << form;
        EXPECT_TRUE(Window(form).isVisible()) << form;
    }
    EXPECT_NE(PaneText("Form2"), before);
    EXPECT_EQ(Window("Form2").Pane("Text1")->toPlainText().toStdString(), PaneText("Form2"));
}

TEST_F(Flow, TheUnsavedMemoIsAskedAboutFirstAndKeepingItKeepsEveryWindow)
{
    StageRace("見本", true);
    Type(Window("Form3").Pane("Text1"), QStringLiteral("自分の予想"));
    const std::string memo = PaneText("Form3");
    const std::string members = PaneText("Form2");
    answers = { MsgAnswer::Yes, MsgAnswer::No }; // start again: yes; throw the memo away: no
    app().FindForm("Form2")->Click("Image2");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_NE(ToUtf8(messages[1].text).find("メモ用紙"), std::string::npos);
    EXPECT_EQ(ToUtf8(messages[2].text), "４ファイルコピーしました。PADOを起動し直すと反映されます。");
    EXPECT_EQ(PaneText("Form3"), memo);
    EXPECT_EQ(PaneText("Form2"), members);
    EXPECT_TRUE(app().FindForm("Form1")->IsVisible());

    // Said no to starting again: the files wait for the next start and nothing is asked about the memo.
    messages.clear();
    answers = { MsgAnswer::No };
    app().FindForm("Form2")->Click("Image2");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(ToUtf8(messages[1].text), "４ファイルコピーしました。PADOを起動し直すと反映されます。");
    EXPECT_EQ(PaneText("Form3"), memo);
}

TEST_F(Flow, AFolderWithoutJockeysCopiesThreeFilesAndLeavesTheOldOne)
{
    std::ofstream(ProgramFolder() / "kisyuE.txt") << "old";
    StageRace("三つ", false);
    answers = { MsgAnswer::No };
    app().FindForm("Form2")->Click("Image2");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(ToUtf8(messages[0].text).rfind("３ファイルコピーしました。", 0), 0u);
    EXPECT_EQ(ToUtf8(messages[1].text), "３ファイルコピーしました。PADOを起動し直すと反映されます。");
    EXPECT_EQ(Slurp(ProgramFolder() / "kisyuE.txt"), "old");
}

TEST_F(Flow, TheRaceDataWindowStandsBesideTheOthersAndKeepsItsState)
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8()); // the store of this test only
    app().FindForm("Form2")->Click("Image9");
    RaceDataDialog* window = program().Shell().RaceData();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The press that opened it is over: other windows' buttons work while it is open.
    EXPECT_EQ(PressFiles::Active(), nullptr);
    EXPECT_FALSE(ImageButtonView::PressRunning());
    app().FindForm("Form1")->Click("Image4");
    EXPECT_TRUE(app().FindForm("Form1")->Panes().at("Text1")->GetText().empty());

    auto* date = window->findChild<QDateEdit*>("Date");
    date->setDate(QDate(2020, 2, 3));
    window->findChild<QPlainTextEdit*>("Log")->appendPlainText(QStringLiteral("前の取り込み"));
    window->close(); // closed by the user
    EXPECT_FALSE(window->isVisible());
    Window("Form2").activateWindow();
    QApplication::setActiveWindow(&Window("Form2"));
    QTest::keyClick(&Window("Form2"), Qt::Key_N, Qt::ControlModifier); // its shortcut opens it again
    EXPECT_EQ(program().Shell().RaceData(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(date->date(), QDate(2020, 2, 3));
    EXPECT_TRUE(window->findChild<QPlainTextEdit*>("Log")->toPlainText().contains(QStringLiteral("前の取り込み")));
    EXPECT_EQ(window->findChild<QLabel*>("StoreInfo")->text(), QStringLiteral("取り込んだレースはまだありません。"));
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(Flow, SpaceInTheMembersWindowAtStartPressesNothing)
{
    FormWindow& members = Window("Form2");
    members.activateWindow();
    QApplication::setActiveWindow(&members);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&members));
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus, members.Pane("Text1"));
    EXPECT_NE(focus, members.Button("Image3"));
    QTest::keyClick(focus, Qt::Key_Space);
    EXPECT_TRUE(app().Running());
    EXPECT_TRUE(app().FindForm("Form2")->IsVisible());
    EXPECT_TRUE(messages.empty());
    // The close-all button itself still ends the program when pressed on purpose.
    QTest::keyClick(members.Button("Image3"), Qt::Key_Space);
    EXPECT_FALSE(app().Running());
}

TEST_F(Flow, TabLeavesTheViewPanesAndCtrlTabTheMemo)
{
    for (const char* form : { "Form1", "Form2", "Form4" }) {
        FormWindow& w = Window(form);
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        PaneView* pane = w.Pane("Text1");
        pane->setFocus();
        const QString text = pane->toPlainText();
        QTest::keyClick(pane, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), pane) << form;
        pane->setFocus();
        QTest::keyClick(pane, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_NE(QApplication::focusWidget(), pane) << form;
        EXPECT_EQ(pane->toPlainText(), text) << form;
    }
    FormWindow& memo = Window("Form3");
    memo.activateWindow();
    QApplication::setActiveWindow(&memo);
    PaneView* pad = memo.Pane("Text1");
    pad->setFocus();
    QTest::keyClick(pad, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), pad);
    EXPECT_TRUE(pad->toPlainText().contains('\t'));
    QTest::keyClick(pad, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_NE(QApplication::focusWidget(), pad);
    answers = { MsgAnswer::Yes }; // the tab made the memo the user's
}

TEST_F(Flow, TheNewShortcutsAreNamedInTheToolTips)
{
    EXPECT_TRUE(Window("Form1").Button("Image11")->toolTip().endsWith(QStringLiteral("（Ctrl+K）")));
    EXPECT_TRUE(Window("Form1").Button("Image3")->toolTip().endsWith(QStringLiteral("（Ctrl+U）")));
    EXPECT_TRUE(Window("Form2").Button("Image9")->toolTip().endsWith(QStringLiteral("（Ctrl+N）")));
}

TEST_F(Flow, CtrlPPrintsTheWindowsPaneAndTheContextMenuExports)
{
    QTemporaryDir out;
    const QString pdf = out.filePath("members.pdf");
    int printed = 0;
    PaneHooks().print = [&](QPrinter& printer) {
        ++printed;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    FormWindow& members = Window("Form2");
    members.activateWindow();
    QApplication::setActiveWindow(&members);
    QTest::keyClick(members.Pane("Text1"), Qt::Key_P, Qt::ControlModifier);
    PaneHooks() = {};
    EXPECT_EQ(printed, 1);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_GT(file.size(), 1000);
}

TEST(PaneExport, CsvCellsAreSplitAtSpacesQuotedAndNeverFormulas)
{
    const QString pane
        = QStringLiteral("090405 阪神 11 芝1600m\n=HYPERLINK(\"x\")  武　豊  -4  +2.5  -x\n@SUM ＝１ \x1b[31m\n");
    const QByteArray csv = PaneCsvFile(pane);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(csv.mid(3)),
        QStringLiteral("\"090405\",\"阪神\",\"11\",\"芝1600m\"\r\n"
                       "\"'=HYPERLINK(\"\"x\"\")\",\"武　豊\",\"-4\",\"+2.5\",\"'-x\"\r\n"
                       "\"'@SUM\",\"'＝１\",\"[31m\"\r\n"));
    EXPECT_EQ(CsvCell(QStringLiteral("+1+1")), QStringLiteral("\"'+1+1\""));
    EXPECT_EQ(CsvCell(QString()), QStringLiteral("\"\""));
}

TEST(PaneExport, TextKeepsTheLinesBehindAMarkAndDropsControlCharacters)
{
    const QByteArray text = PaneTextFile(QStringLiteral("◎アサカゼ\t1\n\x07○ヨイヤミ\n"));
    EXPECT_EQ(text, QByteArray("\xEF\xBB\xBF") + QStringLiteral("◎アサカゼ\t1\n ○ヨイヤミ\n").toUtf8());
    EXPECT_EQ(PaneTextFile(QString()), QByteArray("\xEF\xBB\xBF"));
    EXPECT_TRUE(AboutText().contains(QStringLiteral("ライセンス")));
    EXPECT_TRUE(AboutText().contains(QStringLiteral("JV-Data")));
}

} // namespace
} // namespace pado::gui::test
