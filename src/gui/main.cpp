#include <QApplication>
#include <QDir>
#include <QIcon>

#include "app/app.h"
#include "gui/gui_program.h"
#include "gui/icons.h"
#include "gui/program_folder.h"
#include "gui/qt_text.h"
#include "gui/translations.h"

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PADO"));
    QApplication::setOrganizationName(QStringLiteral("pado")); // window places: ~/.config/pado/PADO.conf
    QGuiApplication::setDesktopFileName(QStringLiteral("pado"));
    // The windows come and go with the forms; the program ends when the forms say none is open.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(pado::gui::IconPixmap(147)));
    pado::gui::InstallQtJapanese();

    // The program folder is where the executable lies (installed: ~/PADO); the settings file is
    // opened by its bare name, so that folder is also the current directory.
    const QString folder = pado::gui::ChooseProgramFolder(QCoreApplication::applicationDirPath(), QDir::homePath());
    QDir::setCurrent(folder);

    pado::gui::GuiProgram program(pado::gui::PathFromQString(folder));
    program.Start();
    if (!program.GetApp().Running())
        return 0;
    return QApplication::exec();
}
