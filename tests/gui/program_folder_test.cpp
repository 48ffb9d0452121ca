#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "gui/program_folder.h"

namespace pado::gui {
namespace {

void Put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// Built: the program's own folder named PADO. Installed: ~/PADO, filled from the shared data on the
// first start, the user's race never replaced, the manual kept current.
TEST(ProgramFolder, TheBuildTreeKeepsItsFolderAnInstallUsesTheHomeFolder)
{
    QTemporaryDir temp;
    const QString built = temp.path() + "/build/PADO";
    QDir().mkpath(built);
    EXPECT_EQ(ChooseProgramFolder(built, temp.path() + "/home"), built);
    EXPECT_FALSE(QDir(temp.path() + "/home").exists());

    const QString prefix = temp.path() + "/usr";
    const QString exe = prefix + "/lib/pado";
    QDir().mkpath(exe);
    Put(prefix + "/share/pado/sample/R1.txt", "sample card");
    Put(prefix + "/share/pado/sample/Rall.txt", "sample runs");
    Put(prefix + "/share/doc/pado/manual.html", "manual 1");
    const QString home = temp.path() + "/home";
    const QString folder = ChooseProgramFolder(exe, home);
    EXPECT_EQ(folder, home + "/PADO");
    EXPECT_EQ(Get(folder + "/R1.txt"), "sample card");
    EXPECT_EQ(Get(folder + "/Rall.txt"), "sample runs");
    EXPECT_EQ(Get(folder + "/docs/manual.html"), "manual 1");
    EXPECT_TRUE(QDir(home + "/PADO-tdy").exists());
    EXPECT_FALSE(QFile::exists(folder + "/R1.txt.part"));

    // The user's own race stays; a newer manual replaces the old one.
    Put(folder + "/R1.txt", "my race");
    QFile::remove(folder + "/Rall.txt");
    Put(prefix + "/share/doc/pado/manual.html", "manual 2");
    EXPECT_EQ(ChooseProgramFolder(exe, home), folder);
    EXPECT_EQ(Get(folder + "/R1.txt"), "my race");
    EXPECT_FALSE(QFile::exists(folder + "/Rall.txt"));
    EXPECT_EQ(Get(folder + "/docs/manual.html"), "manual 2");
}

} // namespace
} // namespace pado::gui
