#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <new>
#include <string_view>
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

const char kHelp[] = "使い方: pado [--help] [--version]\n"
                     "PADO 予想ワークベンチ: 中央競馬の１レースを、出馬表(R1.txt)・全過去走(Rall.txt)・\n"
                     "過去レースの成績表(pado.txt)から検討します。\n"
                     "プログラムフォルダーは ~/PADO（初回の起動でサンプルレースを置きます）、\n"
                     "転送するレースのフォルダーは ~/PADO-tdy です。\n"
                     "レースデータの取り込みとレースの作成: pado-import --help\n"
                     "  --help     この説明を表示して終了します\n"
                     "  --version  版を表示して終了します\n";

// The options that only print are answered before Qt is started, so they work without a display.
// Returns the exit status, or -1 when the program should start.
int AnswerOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (a == "--version" || a == "-v") {
            std::printf("pado %s\n", PADO_VERSION);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (const int status = AnswerOptions(argc, argv); status >= 0)
        return status;
    GuardedApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PADO"));
    QApplication::setOrganizationName(QStringLiteral("pado")); // window places: ~/.config/pado/PADO.conf
    QGuiApplication::setDesktopFileName(QStringLiteral("pado"));
    // The windows come and go with the forms; the program ends when the forms say none is open.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(pado::gui::AppIcon());
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
