#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "backtest/outputs.h"
#include "backtest/race_assist.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace pado::gui {

class TunePanel;

// The window 「検証」: the assist replayed on the stored races of a period, its marks against the results,
// as a table and a chart. The engine runs on a thread of its own while this window keeps answering; the
// window looks at its progress a few times a second, lists the races that failed as they come, and the
// outputs go to a temporary folder until the user saves them.
class BacktestWindow : public QWidget {
    Q_OBJECT
public:
    // programFolder: its repara.txt is offered as the first parameter file. source: where the races come
    // from; empty for the race store named in the window.
    explicit BacktestWindow(
        std::string programFolder, backtest::RaceSourceFactory source = {}, QWidget* parent = nullptr);
    ~BacktestWindow() override;

    // Starts a run with the window's settings and returns at once; false when it could not start (the
    // reason is in the status line).
    bool Run();
    // Asks the run to stop: no race starts any more, and what was done is shown.
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }
    // Lets the window answer events until the run has ended and its results are shown; false when
    // timeoutMs passed first.
    bool Wait(int timeoutMs = 600000);
    // Copies the outputs of the last run into folder; false when there are none or they cannot be copied.
    bool SaveTo(const QString& folder);
    // Told on the window's thread once the 最適化 tab has put a new set into repara.txt.
    void SetParametersChanged(std::function<void()> changed);
    // The 「最適化」 tab.
    TunePanel* TuneTab() const { return tune_; }

    QDateEdit* From() const { return from_; }
    QDateEdit* To() const { return to_; }
    QComboBox* Mode() const { return mode_; }
    QLineEdit* Params(int i) const { return params_[i]; }
    QTableWidget* Table() const { return table_; }
    QLabel* Chart() const { return chart_; }
    QLabel* Status() const { return status_; }
    QLineEdit* Store() const { return store_; }
    // The races that could not be replayed: race and reason.
    QTableWidget* Failures() const { return failures_; }
    QProgressBar* Progress() const { return progress_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // What the engine's thread hands over; the window takes it under the lock when it polls.
    struct Shared {
        std::mutex mutex;
        backtest::Progress progress;
        std::vector<std::pair<std::string, std::string>> failures; // race, reason; not yet listed
        bool finished = false;
        backtest::BacktestRun run;
        QImage chart;
    };

    void Poll();
    void Finish();
    void ShowResults(const backtest::BacktestRun& run, const QImage& chart);
    void SetStatus(const QString& text);
    // Stops the run and waits for its thread (the races in flight finish).
    void StopAndJoin();

    std::string programFolder_;
    backtest::RaceSourceFactory source_;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* venue_ = nullptr;
    QComboBox* surface_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLineEdit* store_ = nullptr;
    QLineEdit* params_[2] = { nullptr, nullptr };
    QPushButton* run_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* save_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* chart_ = nullptr;
    QTableWidget* failures_ = nullptr;
    TunePanel* tune_ = nullptr;
    QTimer* poll_ = nullptr;
    std::unique_ptr<backtest::WorkFolder> outputs_;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    bool running_ = false;
    std::atomic<bool> cancel_ { false };
};

} // namespace pado::gui
