// pado_screenshots PROGRAM_FOLDER OUT_FOLDER [--startup NAME]: starts the program on the race in
// PROGRAM_FOLDER, fills the panes with a few views, runs the assist and saves a picture of every
// window and of both dialogs. With --startup it saves the whole screen just after start-up as
// NAME.png instead, as a user sees it, with the 検証, レースデータ or 展開図 window open when named.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "assist/form5.h"
#include "assist/form6.h"
#include "gui/backtest_window.h"
#include "gui/form_dialog.h"
#include "gui/form_window.h"
#include "gui/gui_program.h"
#include "gui/qt_text.h"
#include "gui/race_data_window.h"
#include "gui/translations.h"

namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

bool Save(QWidget& w, const QString& file)
{
    Settle();
    if (!w.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    pado::gui::InstallQtJapanese();
    const bool startup = (argc == 5 || argc == 6) && QString::fromLocal8Bit(argv[3]) == QLatin1String("--startup");
    if (argc != 3 && !startup) {
        std::fprintf(
            stderr, "usage: pado_screenshots PROGRAM_FOLDER OUT_FOLDER [--startup NAME [backtest|racedata|shape]]\n");
        return 2;
    }
    // The pictures show the program as it starts the first time, not where this user left it.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(out);
    QDir::setCurrent(folder);

    using namespace pado;
    gui::GuiProgram program(gui::PathFromQString(folder));
    gui::QtShell& shell = program.Shell();
    // Nothing may wait for a user here: boxes are answered and the browser is not started.
    shell.hooks.msgBox = [](const Text& text, const Text&, MsgButtons b, MsgIcon) {
        std::fprintf(stderr, "message: %s\n", ToUtf8(text).c_str());
        return b == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    };
    shell.hooks.popup = [](const Text&, const Text&, int) {};
    shell.hooks.openUrl = [](const std::string&) {};
    shell.hooks.browse = [](const Text&, const std::string&) { return std::nullopt; };
    shell.hooks.pick = [](const Text&, const std::vector<Text>&) { return std::nullopt; };
    bool ok = true;
    // The assist dialog opens the parameter dialog, then starts the assist over all classes.
    shell.hooks.modal = [&](gui::FormDialog& d) {
        ok &= Save(d, out + "/" + QString::fromStdString(d.GetForm().Name()) + ".png");
        if (d.GetForm().Name() == "Form5") {
            d.Command("Command3")->click();
            d.Option(2)->click();
            d.Command("Command1")->click();
        } else {
            d.Command("Command2")->click();
        }
    };
    program.Start();
    App& app = program.GetApp();
    Settle();
    if (startup) {
        const QString file = out + "/" + QString::fromLocal8Bit(argv[4]) + ".png";
        // One more window over the start-up ones, to see how it fits the screen.
        const QString extra = argc == 6 ? QString::fromLocal8Bit(argv[5]) : QString();
        std::unique_ptr<QWidget> window;
        if (extra == QLatin1String("backtest"))
            window = std::make_unique<gui::BacktestWindow>(gui::PathFromQString(folder));
        else if (extra == QLatin1String("racedata"))
            window = std::make_unique<gui::RaceDataDialog>(
                settings.filePath("races.sqlite").toStdString(), settings.filePath("PADO-tdy").toStdString());
        else if (extra == QLatin1String("shape"))
            app.form1().Click("Image11");
        if (window)
            window->show();
        // As the user sees it once a window manager has framed the windows and they have settled.
        QElapsedTimer settling;
        settling.start();
        while (settling.elapsed() < 2500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(file);
        std::printf("%s\n", qPrintable(file));
        for (const char* name : { "Form3", "Form4", "Form2", "Form1" })
            app.Close(*app.FindForm(name));
        return saved ? 0 : 1;
    }

    // The assist marks the memo pad from the race folder (it empties the lower pane when done);
    // then the main window lists the first entrant's career.
    Form1& f1 = app.form1();
    DirList& dir = f1.Dir1;
    const int raceRow = static_cast<int>(dir.ChainLength()) - 1;
    dir.Highlight(raceRow);
    f1.Click("Image6");
    if (static_cast<int>(dir.Entries().size()) > raceRow + 1) {
        dir.Highlight(raceRow + 1);
        f1.Click("Image8");
    }
    app.FindForm("Form4")->Click("Image3");
    f1.Click("Image11"); // the running styles and the picture of the field
    shell.SyncAll();

    for (const char* name : { "Form1", "Form2", "Form3", "Form4", "Form7" })
        ok &= Save(*program.Window(name), out + "/" + name + ".png");
    // The race data window over the store XDG_DATA_HOME names (an empty one of this run when it is unset).
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
        qputenv("XDG_DATA_HOME", settings.path().toUtf8());
    app.FindForm("Form2")->Click("Image9");
    if (gui::RaceDataDialog* data = shell.RaceData())
        ok &= Save(*data, out + "/RaceData.png");
    if (!QFile::exists(out + "/Form5.png"))
        app.ShowModal(app.form5());
    if (!QFile::exists(out + "/Form6.png"))
        app.ShowModal(app.form6());

    // Closing the main window removes the race workspace the start-up built; the memo is let go.
    shell.hooks.msgBox = [](const Text&, const Text&, MsgButtons b, MsgIcon) {
        return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    };
    for (const char* name : { "Form7", "Form3", "Form4", "Form2", "Form1" })
        app.Close(*app.FindForm(name));
    return ok ? 0 : 1;
}
