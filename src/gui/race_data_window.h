#pragma once

#include <QDialog>
#include <QPointer>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "store/importer.h"

class QDateEdit;
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
class RaceDataDialog : public QDialog {
public:
    // programFolder: where the 「検証」 window finds the program's parameter file; empty when there is none.
    RaceDataDialog(std::filesystem::path store, std::filesystem::path staging, QWidget* parent = nullptr,
        std::string programFolder = {});
    ~RaceDataDialog() override;

    // The race folder built and to be transferred at once, when the user asked for that.
    const std::optional<std::string>& FolderToTransfer() const { return transfer_; }

    void Import(const std::vector<std::filesystem::path>& paths);
    void ShowDay();
    bool Importing() const { return worker_.joinable(); }
    // Opens the 「検証」 window over the stored races, or brings it to the front when it is open.
    BacktestWindow* OpenBacktest();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void reject() override;

private:
    void Poll();
    void Finished();
    void Build();
    void Log(const QString& line);

    std::filesystem::path store_, staging_;
    std::string programFolder_;
    QPushButton *addFiles_, *addFolder_, *cancel_, *build_, *backtest_;
    QPointer<BacktestWindow> backtestWindow_;
    QProgressBar* progress_;
    QPlainTextEdit* log_;
    QDateEdit* date_;
    QListWidget* races_;
    QTimer* timer_;

    std::thread worker_;
    std::atomic<bool> cancelled_ { false }, done_ { false };
    std::atomic<long> records_ { 0 };
    std::atomic<std::size_t> file_ { 0 };
    std::size_t files_ = 0;
    std::mutex mutex_;
    std::vector<store::FileImport> reports_;
    std::string failure_;
    std::optional<std::string> transfer_;
};

} // namespace pado::gui
