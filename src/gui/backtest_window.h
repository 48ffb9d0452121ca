#pragma once

#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>

#include "backtest/outputs.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace pado::gui {

// The window 「検証」: the assist replayed on the stored races of a period, its marks against the results,
// as a table and a chart. The races run in processes of their own while this window keeps answering;
// the outputs go to a temporary folder until the user saves them.
class BacktestWindow : public QWidget {
    Q_OBJECT
public:
    // programFolder: its repara.txt is offered as the first parameter file. source: where the races come
    // from; empty for the race store named in the window.
    explicit BacktestWindow(
        std::string programFolder, backtest::RaceSourceFactory source = {}, QWidget* parent = nullptr);
    ~BacktestWindow() override;

    // Runs with the window's settings and returns when done or cancelled; false when it could not start
    // (the reason is in the status line).
    bool Run();
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }
    // Copies the outputs of the last run into folder; false when there are none or they cannot be copied.
    bool SaveTo(const QString& folder);

    QDateEdit* From() const { return from_; }
    QDateEdit* To() const { return to_; }
    QComboBox* Mode() const { return mode_; }
    QLineEdit* Params(int i) const { return params_[i]; }
    QTableWidget* Table() const { return table_; }
    QLabel* Chart() const { return chart_; }
    QLabel* Status() const { return status_; }
    QProgressBar* Progress() const { return progress_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowResults(const backtest::BacktestRun& run);
    void SetStatus(const QString& text);

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
    std::unique_ptr<QTemporaryDir> outputs_;
    bool running_ = false;
    bool cancel_ = false;
};

} // namespace pado::gui
