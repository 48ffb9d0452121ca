#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <new>
#include <unistd.h>

#include "app/app.h"
#include "gui/backtest_window.h"
#include "gui/gui_program.h"
#include "gui/icons.h"
#include "gui/program_folder.h"
#include "gui/qt_text.h"
#include "gui/translations.h"
#include "platform/fs.h"

namespace {

void ReportFailure(const char* japanese)
{
    try {
        QMessageBox::critical(nullptr, QStringLiteral("PADO"), QString::fromUtf8(japanese));
    } catch (...) {
        // Nothing more can be said; the windows stay as they are.
    }
}

void ReportCurrentException()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        ReportFailure("メモリーが足りないため、この操作を最後まで行えませんでした。\n"
                      "大きすぎるファイルがないか確認してください。");
    } catch (...) {
        ReportFailure("思いがけないエラーのため、この操作を最後まで行えませんでした。");
    }
}

// The forms catch what their presses throw; this catches what the window code around them throws
// (a pane given more text than memory holds), so an event never ends the program.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            ReportCurrentException();
            return false;
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    GuardedApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PADO"));
    QApplication::setOrganizationName(QStringLiteral("pado")); // window places: ~/.config/pado/PADO.conf
    QGuiApplication::setDesktopFileName(QStringLiteral("pado"));
    // The windows come and go with the forms; the program ends when the forms say none is open.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(pado::gui::IconPixmap(147)));
    pado::gui::InstallQtJapanese();

    // The program folder is where the executable lies (installed: ~/PADO). The executable's path is
    // taken as bytes from the system where it can be, as Qt would replace the bytes of a folder name
    // in another encoding.
    std::string exeFolder = pado::fs::Parent(pado::fs::LinkTarget("/proc/self/exe"));
    if (exeFolder.empty() || exeFolder[0] != '/' || !pado::fs::IsFolder(exeFolder))
        exeFolder = pado::gui::PathFromQString(QCoreApplication::applicationDirPath());
    const QString exeQt = pado::gui::PathToQString(exeFolder);
    const QString chosen = pado::gui::ChooseProgramFolder(exeQt, QDir::homePath());
    const std::string folder = chosen == exeQt ? exeFolder : pado::gui::PathFromQString(chosen);

    pado::gui::GuiProgram program(folder);
    try {
        program.Start();
    } catch (...) {
        // The windows that did open stay usable.
        ReportCurrentException();
    }
    if (!program.GetApp().Running())
        return 0;
    const int status = QApplication::exec();
    // A 検証 window left open on its own stops its run and waits for the races in flight before the
    // program goes, so no thread outlives what it uses.
    QList<pado::gui::BacktestWindow*> backtests;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<pado::gui::BacktestWindow*>(w))
            backtests << b;
    qDeleteAll(backtests);
    return status;
}
