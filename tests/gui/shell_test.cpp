#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <filesystem>
#include <gtest/gtest.h>

#include "gui/help_viewer.h"
#include "gui/qt_shell.h"
#include "gui/qt_text.h"
#include "gui/translations.h"

namespace pado::gui {
namespace {

namespace fsys = std::filesystem;

TEST(IsInsideFolder, OnlyTheRootAndWhatLiesBelowIt)
{
    QTemporaryDir temp;
    const fsys::path root = fsys::path(temp.path().toStdString()) / "PADO-tdy";
    fsys::create_directories(root / "有馬記念");
    fsys::create_directories(fsys::path(temp.path().toStdString()) / "PADO-tdy2");
    fsys::create_directories(fsys::path(temp.path().toStdString()) / "elsewhere");
    fsys::create_directory_symlink(fsys::path(temp.path().toStdString()) / "elsewhere", root / "link");

    EXPECT_TRUE(IsInsideFolder(root.string(), root.string()));
    EXPECT_TRUE(IsInsideFolder((root / "有馬記念").string(), root.string()));
    EXPECT_TRUE(IsInsideFolder((root / "有馬記念").string() + "/", root.string() + "/"));
    // A sibling whose name only starts like the root, a way out through "..", a link that
    // leads elsewhere.
    EXPECT_FALSE(IsInsideFolder((root.parent_path() / "PADO-tdy2").string(), root.string()));
    EXPECT_FALSE(IsInsideFolder((root / ".." / "elsewhere").string(), root.string()));
    EXPECT_FALSE(IsInsideFolder((root / "link").string(), root.string()));
    EXPECT_FALSE(IsInsideFolder(root.parent_path().string(), root.string()));
}

TEST(QtShell, TheFolderPickerRefusesAChoiceOutsideItsRootAndAsksAgain)
{
    QTemporaryDir temp;
    const std::string root = temp.path().toStdString() + "/PADO-tdy";
    QDir().mkpath(QString::fromStdString(root + "/race"));
    QtShell shell;
    std::vector<std::optional<std::string>> picks = { temp.path().toStdString(), root + "/race" };
    std::size_t next = 0;
    std::vector<Text> told;
    shell.hooks.browse = [&](const Text&, const std::string&) { return picks.at(next++); };
    shell.hooks.msgBox = [&](const Text& text, const Text&, MsgButtons, MsgIcon) {
        told.push_back(text);
        return MsgAnswer::Ok;
    };
    EXPECT_EQ(shell.BrowseForFolder(U"フォルダー選択", root), std::optional<std::string>(root + "/race"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(U"の中から選んでください。"), Text::npos);

    // Cancelling ends the picking with no folder.
    picks = { temp.path().toStdString(), std::nullopt };
    next = 0;
    EXPECT_EQ(shell.BrowseForFolder(U"フォルダー選択", root), std::nullopt);
}

TEST(QtShell, TheWaitCursorFollowsNestedBusyWork)
{
    QtShell shell;
    shell.SetBusy(true);
    shell.SetBusy(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    shell.SetBusy(false);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    shell.SetBusy(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    shell.SetBusy(false); // an unmatched end does no harm
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Without a browser the opener fails after the click; the user hears of it, with the manual's path, and
// may read it in the program's own viewer instead.
TEST(QtShell, AManualThatCannotBeOpenedIsReportedWithItsPathAndOfferedInTheViewer)
{
    QTemporaryDir temp;
    const QString manual = temp.filePath(QStringLiteral("manual.html"));
    {
        QFile f(manual);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body><h1>使い方</h1><p id=\"x\">F1</p></body></html>");
    }
    const std::string url = "file://" + manual.toStdString();
    for (const char* opener : { "false", "/nonexistent/opener", "true" }) {
        QtShell shell;
        shell.urlOpener = QString::fromUtf8(opener);
        std::vector<Text> told;
        const bool read = std::string(opener) == "/nonexistent/opener";
        shell.hooks.msgBox = [&](const Text& text, const Text&, MsgButtons buttons, MsgIcon) {
            told.push_back(text);
            EXPECT_EQ(buttons, MsgButtons::YesNo);
            return read ? MsgAnswer::Yes : MsgAnswer::No;
        };
        shell.OpenWebPage(url);
        QElapsedTimer waited;
        waited.start();
        const int patience = std::string(opener) == "true" ? 500 : 3000;
        while (told.empty() && waited.elapsed() < patience)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (std::string(opener) == "true") {
            EXPECT_TRUE(told.empty());
            EXPECT_EQ(shell.Help(), nullptr);
            continue;
        }
        ASSERT_EQ(told.size(), 1u) << opener;
        EXPECT_EQ(told[0],
            U"ブラウザーを起動できませんでした。\n" + FromQString(manual) + U"\n\nPADO のヘルプ画面で開きますか？");
        if (!read) {
            EXPECT_EQ(shell.Help(), nullptr);
            continue;
        }
        ASSERT_NE(shell.Help(), nullptr);
        EXPECT_TRUE(shell.Help()->isVisible());
        EXPECT_TRUE(shell.Help()->Browser()->toPlainText().contains(QStringLiteral("使い方")));
        // A web page is only reported: the viewer is for the program's own pages.
        told.clear();
        shell.OpenWebPage("https://example.invalid/");
        waited.restart();
        shell.hooks.msgBox = [&](const Text& text, const Text&, MsgButtons buttons, MsgIcon) {
            told.push_back(text);
            EXPECT_EQ(buttons, MsgButtons::Ok);
            return MsgAnswer::Ok;
        };
        while (told.empty() && waited.elapsed() < patience)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(told.size(), 1u);
    }
}

// The folder picker and the standard buttons speak Japanese.
TEST(QtJapanese, QtsOwnTextsAreTranslated)
{
    ASSERT_TRUE(InstallQtJapanese()) << "qt6-translations-l10n is not installed";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

} // namespace
} // namespace pado::gui
