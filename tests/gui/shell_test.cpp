#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

#include "gui/qt_shell.h"
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

// Without a browser the opener fails after the click; the user hears of it, with the manual's path.
TEST(QtShell, AManualThatCannotBeOpenedIsReportedWithItsPath)
{
    for (const char* opener : { "false", "/nonexistent/opener", "true" }) {
        QtShell shell;
        shell.urlOpener = QString::fromUtf8(opener);
        std::vector<Text> told;
        shell.hooks.msgBox = [&](const Text& text, const Text&, MsgButtons, MsgIcon) {
            told.push_back(text);
            return MsgAnswer::Ok;
        };
        shell.OpenWebPage("file:///opt/pado/docs/manual.html");
        QElapsedTimer waited;
        waited.start();
        const int patience = std::string(opener) == "true" ? 500 : 3000;
        while (told.empty() && waited.elapsed() < patience)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (std::string(opener) == "true") {
            EXPECT_TRUE(told.empty());
            continue;
        }
        ASSERT_EQ(told.size(), 1u) << opener;
        EXPECT_EQ(told[0], U"ブラウザーを起動できませんでした。\n/opt/pado/docs/manual.html");
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
