#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "backtest/race_source.h"
#include "gui/tune_chart.h"
#include "tune/tuner.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace pado::gui {

// The chart of a tuning run as the window shows it.
QImage TuneChartImage(const TuneChartData& data);

// 「最適化」: searches the assist's parameters on the races before a day and checks the best set on the
// races from that day on. The search runs on a thread of its own; the panel shows each batch as it ends
// and can put the best set into the program folder's repara.txt.
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
    // Writes the best set into the program folder's repara.txt. ask: show the confirmation first. False
    // when there is nothing to write, the user declined or the file could not be written.
    bool UseBest(bool ask = true);
    // The text of the confirmation: the parameters that change and both periods' results.
    QString Confirmation() const;

    QDateEdit* From() const { return from_; }
    QDateEdit* To() const { return to_; }
    QDateEdit* Holdout() const { return holdout_; }
    QComboBox* Mode() const { return mode_; }
    QComboBox* Objective() const { return objective_; }
    QSpinBox* Budget() const { return budget_; }
    QSpinBox* Seed() const { return seed_; }
    QTableWidget* Table() const { return table_; }
    QLabel* Chart() const { return chart_; }
    QLabel* Status() const { return status_; }
    QPushButton* UseButton() const { return use_; }
    const tune::TuneResult& Result() const { return *result_; }

private:
    void Show(const tune::TuneResult& result, bool final);
    void Finished(std::shared_ptr<tune::TuneResult> result);
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
    QLineEdit* store_ = nullptr;
    QSpinBox* budget_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* use_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* chart_ = nullptr;
    std::shared_ptr<tune::TuneResult> result_;
    tune::Objective shownObjective_ = tune::Objective::Top3;
    std::string shownStart_;
    std::thread worker_;
    std::atomic<bool> cancel_ { false };
    bool running_ = false;
};

} // namespace pado::gui
