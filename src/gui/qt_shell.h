#pragma once

#include <QMargins>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "platform/shell.h"

class QWidget;

namespace pado {
class App;
}

namespace pado::gui {

class FormDialog;
class RaceDataDialog;
class FormWindow;

// The shell services on Qt: real windows, message boxes, the folder picker, the browser. Everything
// that would block in a nested event loop (message boxes, pickers, dialogs, the pop-up) can be
// replaced by a hook, so tests drive the program without ever reaching a real modal exec().
class QtShell : public Shell {
public:
    struct Hooks {
        std::function<MsgAnswer(const Text& text, const Text& title, MsgButtons buttons, MsgIcon icon)> msgBox;
        std::function<void(const Text& text, const Text& title, int seconds)> popup;
        // Returns the folder the user picked, before the check that it lies inside root.
        std::function<std::optional<std::string>(const Text& title, const std::string& root)> browse;
        std::function<void(const std::string& url)> openUrl;
        std::function<std::optional<Text>(const Text& prompt, const std::vector<Text>& items)> pick;
        // Runs the dialog instead of exec(): the dialog is shown, the hook acts on it and returns.
        std::function<void(FormDialog& dialog)> modal;
        // Runs the race data window instead of exec(): the window is shown, the hook acts on it and returns.
        std::function<void(RaceDataDialog& window)> raceData;
    };

    QtShell();
    ~QtShell() override;

    // The windows are made when the App exists, since they bind to its forms.
    void Attach(App& app);
    // Drops the windows; they must go before the forms whose models they watch.
    void Detach();
    Hooks hooks;
    // The program that opens the manual and web pages in the desktop's browser.
    QString urlOpener = QStringLiteral("xdg-open");

    FormWindow* Window(const std::string& formName) const;
    // The dialog being shown (nullptr when none).
    FormDialog* ActiveDialog() const { return dialogs_.empty() ? nullptr : dialogs_.back(); }
    // Brings every window up to date with its models.
    void SyncAll();
    // After start-up: the windows' places corrected for the real window frames, and the main
    // window's split showing the race and its entrants, unless the user's own split was remembered.
    void FinishStart();

    MsgAnswer MsgBox(const Text& text, const Text& title, MsgButtons buttons, MsgIcon icon) override;
    void Popup(const Text& text, const Text& title, int seconds) override;
    std::optional<std::string> BrowseForFolder(const Text& title, const std::string& root) override;
    std::optional<Text> PickItem(const Text& title, const Text& prompt, const std::vector<Text>& items) override;
    void OpenWebPage(const std::string& url) override;
    std::optional<std::string> RaceDataWindow(const std::string& staging) override;
    void ShowModal(Form& form) override;
    void ShowWindow(Form& form) override;
    void CloseWindow(Form& form) override;
    void PumpEvents() override;
    void SetBusy(bool busy) override;

private:
    QWidget* DialogParent() const;
    // The windows where the user last left them on this screen arrangement, else side by side.
    // again: the windows are on the screen and placed once already (the split is left alone).
    void PlaceAtStart(const QMargins& frame, bool again);
    void RememberPlace(FormWindow& w);
    void CorrectForFrames();
    std::optional<std::string> PickFolder(const Text& title, const std::string& root);

    App* app_ = nullptr;
    std::map<std::string, std::unique_ptr<FormWindow>> windows_;
    std::vector<FormDialog*> dialogs_;
    bool placed_ = false;
    bool splitRestored_ = false;
    QMargins frameUsed_; // the frames the windows were last placed for
    std::map<std::string, QRect> placedAt_; // where they were placed
    int busy_ = 0;
};

// Whether path is root itself or lies inside it (after resolving "..", links and the like).
bool IsInsideFolder(const std::string& path, const std::string& root);

} // namespace pado::gui
