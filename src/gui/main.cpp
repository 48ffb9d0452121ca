#include <QApplication>
#include <QDir>
#include <QIcon>
#include <unistd.h>

#include "app/app.h"
#include "gui/gui_program.h"
#include "gui/icons.h"
#include "gui/qt_text.h"
#include "platform/fs.h"

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PADO"));
    // The windows come and go with the forms; the program ends when the forms say none is open.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(pado::gui::IconPixmap(147)));

    // The program folder is where the executable lies; the settings file is opened by its bare
    // name, so that folder is also the current directory. Its path is taken as bytes from the system
    // where it can be, as Qt would replace the bytes of a folder name in another encoding.
    std::string folder = pado::fs::Parent(pado::fs::LinkTarget("/proc/self/exe"));
    if (folder.empty() || folder[0] != '/' || !pado::fs::IsFolder(folder))
        folder = pado::gui::PathFromQString(QCoreApplication::applicationDirPath());
    if (chdir(folder.c_str()) != 0)
        QDir::setCurrent(pado::gui::PathToQString(folder));

    pado::gui::GuiProgram program(folder);
    program.Start();
    if (!program.GetApp().Running())
        return 0;
    return QApplication::exec();
}
