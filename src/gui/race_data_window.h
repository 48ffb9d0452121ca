#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "store/importer.h"

class QDateEdit;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace pado::gui {
class BacktestWindow;
}

namespace pado::gui {

// 「レースデータ」: adds data files and folders to the race store (file dialog or drag and drop, with a progress
// bar and a cancel button), lists the races of a day, and builds the chosen one into the staging folder.
// The import runs on a worker thread with its own connection to the store; the window polls its progress.
// It is a window beside the others, not a modal step: it keeps its log, day and list for as long as it lives.
class RaceDataDialog : public QDialog {
public:
    // programFolder: where the 「検証」 window finds the program's parameter file; empty when there is none.
    RaceDataDialog(std::filesystem::path store, std::filesystem::path staging, QWidget* parent = nullptr,
        std::string programFolder = {});
    ~RaceDataDialog() override;

    // Told the folder of a race just built when the user wants it transferred at once (the window stays).
    std::function<void(const std::string& folder)> transfer;
    // Says text to the user; for a question, true means yes. Unset: a message box over this window.
    std::function<bool(const QString& text, bool question)> ask;
    // Given to the 「検証」 window: told once its 最適化 tab has put a new set into the program's repara.txt.
    std::function<void()> parametersChanged;

    void Import(const std::vector<std::filesystem::path>& paths);
    void ShowDay();
    // The store's period, counts and newest import, and the days with races marked in the calendar.
    void ShowStore();
    // Builds the race chosen in the list (Enter and a double-click on the list do the same).
    void Build();
    bool Importing() const { return worker_.joinable(); }
    // Log lines waiting to be appended (a long problem list goes in by batches between events).
    bool LogPending() const { return !pendingLog_.isEmpty(); }
    // Opens the 「検証」 window over the stored races, or brings it to the front when it is open.
    BacktestWindow* OpenBacktest();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Poll();
    void Finished();
    void Log(const QString& line);
    void FlushLog();
    bool Say(const QString& text, bool question);
    void SetIdle(bool idle);

    std::filesystem::path store_, staging_;
    std::string programFolder_;
    QPushButton *addFiles_, *addFolder_, *cancel_, *build_, *backtest_;
    QPointer<BacktestWindow> backtestWindow_;
    QProgressBar* progress_;
    QPlainTextEdit* log_;
    QLabel* storeInfo_;
    QDateEdit* date_;
    QListWidget* races_;
    QTimer* timer_;
    QTimer* logTimer_;
    bool typingDate_ = false; // the last key into the date was a digit
    QStringList pendingLog_;
    qsizetype logged_ = 0; // lines of pendingLog_ already in the log

    std::thread worker_;
    std::atomic<bool> cancelled_ { false }, done_ { false };
    std::atomic<long> records_ { 0 };
    std::atomic<std::size_t> file_ { 0 };
    std::size_t files_ = 0;
    std::mutex mutex_;
    std::vector<store::FileImport> reports_;
    std::string failure_;
};

} // namespace pado::gui
