#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

#include "gui/qt_shell.h"

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

} // namespace
} // namespace pado::gui
