#include "gui/qt_shell.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "assist/parameters.h"
#include "gui/dialog_layouts.h"
#include "gui/form_dialog.h"
#include "gui/form_window.h"
#include "gui/help_viewer.h"
#include "gui/image_button_view.h"
#include "gui/layouts.h"
#include "gui/pane_commands.h"
#include "gui/pane_view.h"
#include "gui/qt_text.h"
#include "gui/race_data_window.h"
#include "gui/screen_fit.h"
#include "gui/shape_window.h"
#include "gui/window_arrangement.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "platform/errors.h"
#include "shape/form7.h"
#include "store/race_store.h"
#include "timeorder/form4.h"

namespace pado::gui {

namespace {

QString Canonical(const std::string& path)
{
    const QString p = PathToQString(path);
    const QString c = QFileInfo(p).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QFileInfo(p).absoluteFilePath()) : c;
}

QMessageBox::Icon ToQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

namespace {

QString PlaceKey(const std::string& form)
{
    return QStringLiteral("places/") + ScreenArrangementKey() + QLatin1Char('/') + QString::fromStdString(form);
}

// The split is kept per screen arrangement too: one made on a big screen would squeeze the lower pane to
// a line on a small one.
QString SplitKey()
{
    return QStringLiteral("split/") + ScreenArrangementKey() + QStringLiteral("/Form1");
}

} // namespace

bool IsInsideFolder(const std::string& path, const std::string& root)
{
    const QString p = Canonical(path);
    const QString r = Canonical(root);
    return p == r || p.startsWith(r.endsWith('/') ? r : r + '/');
}

QtShell::QtShell() = default;

QtShell::~QtShell()
{
    if (busy_ > 0)
        QApplication::restoreOverrideCursor();
}

void QtShell::Attach(App& app)
{
    app_ = &app;
    windows_["Form1"] = std::make_unique<FormWindow>(app, app.form1(), Form1Layout());
    windows_["Form2"] = std::make_unique<FormWindow>(app, app.form2(), Form2Layout());
    windows_["Form3"] = std::make_unique<FormWindow>(app, app.form3(), Form3Layout());
    windows_["Form4"] = std::make_unique<FormWindow>(app, app.form4(), Form4Layout());
    windows_["Form7"] = std::make_unique<ShapeWindow>(app, app.form7());
    // Where views are read, their pane prints and exports; the members window also leads to the about box.
    for (const char* name : { "Form1", "Form2", "Form4" })
        AddPaneCommands(*Window(name)->Pane("Text1"), std::string(name) == "Form2");
    PlaceAtStart(ExpectedFrame(), false);
}

void QtShell::Detach()
{
    for (auto& [name, w] : windows_)
        if (w->isVisible())
            RememberPlace(*w);
    // The race data window may hold a transfer into the forms; it goes before them.
    raceData_.reset();
    windows_.clear();
    app_ = nullptr;
}

FormWindow* QtShell::Window(const std::string& formName) const
{
    auto it = windows_.find(formName);
    return it == windows_.end() ? nullptr : it->second.get();
}

void QtShell::SyncAll()
{
    for (auto& [name, w] : windows_)
        w->SyncFromModels();
    for (FormDialog* d : dialogs_)
        d->SyncFromModels();
}

void QtShell::PlaceAtStart(const QMargins& frame, bool again)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    const std::vector<std::string> order = { "Form1", "Form2", "Form4", "Form3", "Form7" };
    std::vector<WindowSizes> sizes;
    for (const std::string& name : order)
        sizes.push_back({ Window(name)->DesignedClient(), Window(name)->MinimumClient() });
    const std::vector<QRect> at = ArrangeWindows(avail, sizes, frame);
    QSettings settings;
    for (std::size_t i = 0; i < order.size(); ++i) {
        FormWindow* w = Window(order[i]);
        // Remembered: where the frame's corner was and the client's size. The corner is given back as the
        // window's position, which the window manager takes as the frame's; a client position would be
        // pushed down by the title bar on every start.
        const QRect remembered = settings.value(PlaceKey(order[i])).toRect();
        if (remembered.isValid()) {
            const QPoint inset(frame.left(), frame.top());
            const QRect client(remembered.topLeft() + inset, remembered.size());
            // The screens of this arrangement may have changed their free area (a panel moved).
            const QScreen* s = QGuiApplication::screenAt(client.center());
            const QRect r = ClampToScreen(client, s ? s->availableGeometry() : avail, frame, w->MinimumClient());
            w->resize(r.size());
            w->move(r.topLeft() - inset);
        } else {
            w->setGeometry(at[i]);
        }
        placedAt_[order[i]] = w->geometry();
    }
    frameUsed_ = frame;
    if (again)
        return;
    if (QSplitter* split = Window("Form1")->Splitter())
        splitRestored_ = split->restoreState(settings.value(SplitKey()).toByteArray());
}

void QtShell::FinishStart()
{
    CorrectForFrames();
    // A window manager may draw its frames a moment after the windows appear.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QTimer::singleShot(1500, Window("Form1"), [this] { CorrectForFrames(); });
    if (!splitRestored_)
        Window("Form1")->FitSplitToFolders();
}

void QtShell::CorrectForFrames()
{
    // Once the frames are known, and when they differ from the guess, the windows are placed
    // again so that no frame overlaps another window or the screen's edge. A window the user has
    // moved or resized meanwhile stays where the user put it.
    FormWindow* main = Window("Form1");
    if (!main || !main->isVisible())
        return;
    const QRect outer = main->frameGeometry(), inner = main->geometry();
    const QMargins real(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
        outer.bottom() - inner.bottom());
    if (real.isNull() || real == frameUsed_ || real.left() < 0 || real.top() < 0)
        return;
    for (auto& [name, w] : windows_) {
        // The window system may have shifted a window by its frame; more than that is the user.
        const QRect now = w->geometry(), was = placedAt_[name];
        if (now.size() != was.size() || (now.topLeft() - was.topLeft()).manhattanLength() > 64)
            return;
    }
    PlaceAtStart(real, true);
}

void QtShell::RememberPlace(FormWindow& w)
{
    QSettings settings;
    settings.setValue(PlaceKey(w.GetForm().Name()), QRect(w.frameGeometry().topLeft(), w.geometry().size()));
    if (QSplitter* split = w.Splitter())
        settings.setValue(SplitKey(), split->saveState());
}

QWidget* QtShell::DialogParent() const
{
    if (!dialogs_.empty())
        return dialogs_.back();
    // Centred over the window whose button asked, even when another window is active.
    if (QWidget* w = ImageButtonView::PressingWindow(); w && w->isVisible())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    FormWindow* main = Window("Form1");
    return main && main->isVisible() ? main : nullptr;
}

MsgAnswer QtShell::MsgBox(const Text& text, const Text& title, MsgButtons buttons, MsgIcon icon)
{
    SyncAll();
    if (hooks.msgBox)
        return hooks.msgBox(text, title, buttons, icon);
    QMessageBox box(ToQtIcon(icon), ToQString(title), ToQString(text), QMessageBox::NoButton, DialogParent());
    if (buttons == MsgButtons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return MsgAnswer::Ok;
}

void QtShell::Popup(const Text& text, const Text& title, int seconds)
{
    SyncAll();
    if (hooks.popup) {
        hooks.popup(text, title, seconds);
        return;
    }
    QMessageBox box(QMessageBox::Information, ToQString(title), ToQString(text), QMessageBox::NoButton, DialogParent());
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    QTimer::singleShot(seconds * 1000, &box, [&box] { box.done(0); });
    box.exec();
}

std::optional<std::string> QtShell::PickFolder(const Text& title, const std::string& root)
{
    if (hooks.browse)
        return hooks.browse(title, root);
    QFileDialog dialog(DialogParent(), ToQString(title), PathToQString(root));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setSidebarUrls({ QUrl::fromLocalFile(PathToQString(root)) });
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("選択"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return PathFromQString(dialog.selectedFiles().first());
}

std::optional<std::string> QtShell::BrowseForFolder(const Text& title, const std::string& root)
{
    SyncAll();
    for (;;) {
        std::optional<std::string> picked = PickFolder(title, root);
        if (!picked)
            return std::nullopt;
        if (IsInsideFolder(*picked, root))
            return picked;
        // The picker on this platform can walk anywhere; the transfer only ever takes a race
        // folder from the staging folder, so anything else is refused and the user picks again.
        MsgBox(U"フォルダー(" + FromQString(PathToQString(root)) + U")の中から選んでください。", U"PADO",
            MsgButtons::Ok, MsgIcon::Warning);
    }
}

void QtShell::RaceDataWindow(const std::string& staging, std::function<void(const std::string& folder)> transfer)
{
    SyncAll();
    if (!raceData_) {
        // A window of its own, owned by no other: it stays while the windows of the race close and open
        // again on a transfer, and keeps its log, day and list until the program ends.
        raceData_ = std::make_unique<RaceDataDialog>(
            store::DefaultStorePath(), staging, nullptr, app_ ? app_->ProgramFolder() : std::string());
        raceData_->ask = [this](const QString& text, bool question) {
            return MsgBox(FromQString(text), U"レースデータ", question ? MsgButtons::YesNo : MsgButtons::Ok,
                       question ? MsgIcon::Question : MsgIcon::Information)
                == MsgAnswer::Yes;
        };
        // A set the 最適化 tab chose is used from the next press of the assist on, without a restart.
        raceData_->parametersChanged = [this] {
            if (!app_)
                return;
            try {
                LoadAssistParameters(*app_);
            } catch (const UserError& e) {
                MsgBox(e.Message(), U"PADO", MsgButtons::Ok, MsgIcon::Warning);
            }
        };
    }
    raceData_->transfer = std::move(transfer);
    raceData_->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raceData_->raise();
    raceData_->activateWindow();
}

std::optional<Text> QtShell::PickItem(const Text& title, const Text& prompt, const std::vector<Text>& items)
{
    SyncAll();
    if (hooks.pick)
        return hooks.pick(prompt, items);
    QStringList list;
    for (const Text& item : items)
        list << ToQString(item);
    bool ok = false;
    const QString chosen
        = QInputDialog::getItem(DialogParent(), ToQString(title), ToQString(prompt), list, 0, false, &ok);
    if (!ok || chosen.isEmpty())
        return std::nullopt;
    return FromQString(chosen);
}

void QtShell::OpenWebPage(const std::string& url)
{
    if (hooks.openUrl) {
        hooks.openUrl(url);
        return;
    }
    const std::string filePrefix = "file://";
    const QUrl u = url.rfind(filePrefix, 0) == 0 ? QUrl::fromLocalFile(PathToQString(url.substr(filePrefix.size())))
                                                 : QUrl(PathToQString(url));
    // The opener is run and watched rather than handed over blindly: without a browser it fails
    // after the click, and the user must hear of it, with the page's path to open by hand.
    const Text failed
        = U"ブラウザーを起動できませんでした。\n" + FromQString(u.isLocalFile() ? u.toLocalFile() : u.toString());
    auto* opener = new QProcess(QCoreApplication::instance());
    // A page of our own (the manual) can still be read in the program's own viewer.
    const QString page = u.isLocalFile() ? u.toLocalFile() : QString();
    auto report = [this, opener, failed, page] {
        opener->deleteLater();
        if (page.isEmpty()) {
            MsgBox(failed, U"PADO", MsgButtons::Ok, MsgIcon::Warning);
            return;
        }
        if (MsgBox(failed + U"\n\nPADO のヘルプ画面で開きますか？", U"PADO", MsgButtons::YesNo, MsgIcon::Question)
            == MsgAnswer::Yes)
            ShowHelp(page);
    };
    QObject::connect(opener, &QProcess::finished, opener, [opener, report](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            report();
        else
            opener->deleteLater();
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [report](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            report();
    });
    opener->start(urlOpener, { u.toString() });
}

HelpViewer* QtShell::ShowHelp(const QString& file)
{
    if (!help_)
        help_ = std::make_unique<HelpViewer>();
    help_->Open(file);
    return help_.get();
}

void QtShell::ShowModal(Form& form)
{
    if (!app_)
        return;
    SyncAll();
    DialogLayout layout = form.Name() == "Form6" ? Form6Layout() : Form5Layout();
    auto* dialog = new FormDialog(*app_, form, layout, DialogParent());
    dialogs_.push_back(dialog);
    if (hooks.modal) {
        dialog->show();
        hooks.modal(*dialog);
    } else {
        dialog->exec();
    }
    dialogs_.pop_back();
    dialog->hide();
    delete dialog;
}

void QtShell::ShowWindow(Form& form)
{
    FormWindow* w = Window(form.Name());
    if (!w)
        return;
    w->SyncFromModels();
    w->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) // it cannot stack windows
        w->raise();
    w->activateWindow();
}

void QtShell::CloseWindow(Form& form)
{
    for (FormDialog* d : dialogs_)
        if (&d->GetForm() == &form) {
            d->FinishClosed();
            return;
        }
    if (FormWindow* w = Window(form.Name())) {
        if (w->isVisible())
            RememberPlace(*w);
        w->HideClosed();
    }
    if (app_ && !app_->Running())
        QCoreApplication::quit();
}

void QtShell::PumpEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // The wait is a busy loop by design; a short nap keeps it from eating a whole core.
    QThread::usleep(500);
}

void QtShell::SetBusy(bool busy)
{
    if (busy) {
        if (busy_++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_ > 0 && --busy_ == 0) {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace pado::gui
