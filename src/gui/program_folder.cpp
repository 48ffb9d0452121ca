#include "gui/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "gui/qt_text.h"
#include "platform/fs.h"

namespace pado::gui {

namespace {

// The installed layout: <prefix>/lib/pado/PADO beside <prefix>/share/pado and <prefix>/share/doc/pado.
QString SharedData(const QString& executableFolder, const QString& below)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../../share/") + below);
}

// Through the program's own atomic copy (an unguessable temporary name in the target's folder), so an
// interrupted start never leaves half a file behind.
void CopyReplacing(const QString& from, const QString& to)
{
    if (QFile::exists(from))
        pado::fs::CopyFileAtomic(PathFromQString(from), PathFromQString(to));
}

} // namespace

QString ChooseProgramFolder(const QString& executableFolder, const QString& home)
{
    const QFileInfo own(executableFolder);
    if (own.fileName() == QLatin1String("PADO") && own.isWritable())
        return executableFolder;

    const QString folder = QDir(home).filePath(QStringLiteral("PADO"));
    QDir().mkpath(folder);
    QDir().mkpath(QDir(home).filePath(QStringLiteral("PADO-tdy")));
    if (!QFile::exists(folder + QStringLiteral("/R1.txt"))) {
        const QDir sample(SharedData(executableFolder, QStringLiteral("pado/sample")));
        for (const QString& name : sample.entryList(QDir::Files))
            if (!QFile::exists(folder + QLatin1Char('/') + name))
                CopyReplacing(sample.filePath(name), folder + QLatin1Char('/') + name);
    }
    QDir().mkpath(folder + QStringLiteral("/docs"));
    CopyReplacing(SharedData(executableFolder, QStringLiteral("doc/pado/manual.html")),
        folder + QStringLiteral("/docs/manual.html"));
    return folder;
}

} // namespace pado::gui
