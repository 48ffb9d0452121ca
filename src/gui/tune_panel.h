#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "backtest/race_source.h"
#include "gui/tune_chart.h"
#include "tune/tuner.h"
#include "tune/walk_forward.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableWidget;

namespace pado::gui {

// The chart of a tuning run as the window shows it.
QImage TuneChartImage(const TuneChartData& data);

// 「最適化」: searches the assist's parameters on the races before a day and checks the best set on the
// races from that day on, then, when asked, walks forward through the checking period. The work runs on a
// thread of its own; the panel shows each batch as it ends, saves the run's files as pado-import tune
// writes them, and can put the best set into the program folder's repara.txt.
class TunePanel : public QWidget {
    Q_OBJECT
public:
    TunePanel(std::string programFolder, backtest::RaceSourceFactory source, QWidget* parent = nullptr);
    ~TunePanel() override;

    // Puts the window's own contents on a tab 「検証」 and this panel on a tab 「最適化」 beside it.
    static TunePanel* AddTo(QWidget* window, std::string programFolder, backtest::RaceSourceFactory source);

    // Starts a search with the panel's settings; false when it could not start (the reason is in the
    // status line).
    bool Start();
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }
    // Writes the best set into the program folder's repara.txt, then tells parametersChanged. ask: show the
    // confirmation first. False when there is nothing to write, the user declined or the file could not be
    // written.
    bool UseBest(bool ask = true);
    // Writes the last run's files into folder, each complete or not at all: repara.txt, tuning.csv,
    // summary.csv, the chart and folds.csv. False when there is no run to save or a file could not be
    // written (the problems are in the status line).
    bool SaveTo(const QString& folder);
    // Told on the window's thread once repara.txt holds a new set, so that the running program reads it.
    std::function<void()> parametersChanged;
    // The text of the confirmation: the parameters that change and both periods' results.
    QString Confirmation() const;

    QDateEdit* From() const { return from_; }
    QDateEdit* To() const { return to_; }
    QDateEdit* Holdout() const { return holdout_; }
    QComboBox* Venue() const { return venue_; }
    QComboBox* Surface() const { return surface_; }
    QComboBox* Mode() const { return mode_; }
    QComboBox* Objective() const { return objective_; }
    QSpinBox* Budget() const { return budget_; }
    QSpinBox* Seed() const { return seed_; }
    // Parts of the walk-forward run through the checking period; 0: none.
    QSpinBox* Folds() const { return folds_; }
    QLineEdit* StartFile() const { return start_; }
    QLineEdit* SpaceFile() const { return space_; }
    QSpinBox* Minutes() const { return minutes_; }
    QTableWidget* Table() const { return table_; }
    QLabel* Chart() const { return chart_; }
    QLabel* Status() const { return status_; }
    QPushButton* UseButton() const { return use_; }
    QPushButton* SaveButton() const { return save_; }
    // A row per walk-forward part and one for them together; hidden when the run had none.
    QTableWidget* FoldsTable() const { return foldsTable_; }
    const tune::TuneResult& Result() const { return *result_; }
    const tune::WalkForward& Walk() const { return walk_; }

private:
    // What the worker hands over when it ends.
    struct Outcome {
        tune::TuneResult result;
        tune::WalkForward walk;
    };

    void Show(const tune::TuneResult& result, bool final);
    void ShowFoldProgress(int fold, std::size_t evaluations);
    void ShowFolds();
    void Finished(std::shared_ptr<Outcome> outcome);
    tune::Objective CurrentObjective() const;

    std::string programFolder_;
    backtest::RaceSourceFactory source_;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QDateEdit* holdout_ = nullptr;
    QComboBox* venue_ = nullptr;
    QComboBox* surface_ = nullptr;
    QComboBox* mode_ = nullptr;
    QComboBox* objective_ = nullptr;
    QLineEdit* start_ = nullptr;
    QLineEdit* space_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    QLineEdit* store_ = nullptr;
    QSpinBox* budget_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QSpinBox* folds_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* use_ = nullptr;
    QPushButton* save_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* table_ = nullptr;
    QTableWidget* foldsTable_ = nullptr;
    QSplitter* report_ = nullptr;
    QLabel* chart_ = nullptr;
    std::shared_ptr<tune::TuneResult> result_;
    tune::WalkForward walk_;
    // The settings of the run shown, as they were when it started.
    tune::RunDescription shown_;
    std::size_t shownBudget_ = 0;
    int shownFolds_ = 0;
    std::thread worker_;
    std::atomic<bool> cancel_ { false };
    bool running_ = false;
};

} // namespace pado::gui
