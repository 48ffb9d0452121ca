#include "gui/backtest_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "backtest/store_source.h"
#include "gui/backtest_chart.h"
#include "gui/backtest_chart_image.h"
#include "gui/qt_text.h"
#include "gui/race_choices.h"
#include "gui/screen_fit.h"
#include "gui/tune_panel.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado::gui {

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A parameter file row: the path and a button that picks it.
QWidget* FileRow(QLineEdit*& edit, QWidget* parent, const QString& placeholder)
{
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    edit = new QLineEdit(row);
    edit->setPlaceholderText(placeholder);
    auto* pick = new QPushButton(QStringLiteral("参照…"), row);
    QLineEdit* target = edit;
    QObject::connect(pick, &QPushButton::clicked, row, [row, target] {
        const QString f = QFileDialog::getOpenFileName(row, QStringLiteral("パラメーターファイル"), target->text());
        if (!f.isEmpty())
            target->setText(f);
    });
    h->addWidget(edit, 1);
    h->addWidget(pick);
    return row;
}

} // namespace

BacktestWindow::BacktestWindow(std::string programFolder, backtest::RaceSourceFactory source, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , programFolder_(std::move(programFolder))
    , source_(std::move(source))
{
    setWindowTitle(QStringLiteral("検証"));
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    top->addLayout(form);

    auto* period = new QWidget(this);
    auto* ph = new QHBoxLayout(period);
    ph->setContentsMargins(0, 0, 0, 0);
    const QDate today = QDate::currentDate();
    from_ = new QDateEdit(today.addYears(-1), period);
    to_ = new QDateEdit(today.addDays(-1), period);
    for (QDateEdit* d : { from_, to_ }) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
    }
    ph->addWidget(from_);
    ph->addWidget(new QLabel(QStringLiteral("〜"), period));
    ph->addWidget(to_);
    ph->addStretch();
    form->addRow(QStringLiteral("期間"), period);

    auto* filters = new QWidget(this);
    auto* fh = new QHBoxLayout(filters);
    fh->setContentsMargins(0, 0, 0, 0);
    venue_ = NewVenueBox(filters);
    surface_ = NewSurfaceBox(filters);
    fh->addWidget(venue_);
    fh->addWidget(surface_);
    fh->addStretch();
    form->addRow(QStringLiteral("絞り込み"), filters);

    mode_ = NewModeBox(this);
    form->addRow(QStringLiteral("モード"), mode_);

    form->addRow(QStringLiteral("パラメーター１"), FileRow(params_[0], this, QStringLiteral("空欄: 規定値")));
    form->addRow(QStringLiteral("パラメーター２"), FileRow(params_[1], this, QStringLiteral("空欄: 比べない")));
    const std::string current = fs::Join(programFolder_, "repara.txt");
    if (fs::IsFile(current))
        params_[0]->setText(Q(current));
    if (!source_) {
        store_ = new QLineEdit(Q(backtest::DefaultStorePath()), this);
        form->addRow(QStringLiteral("レースデータ"), store_);
    }

    auto* buttons = new QHBoxLayout;
    run_ = new QPushButton(QStringLiteral("実行"), this);
    cancelButton_ = new QPushButton(QStringLiteral("中止"), this);
    save_ = new QPushButton(QStringLiteral("保存…"), this);
    cancelButton_->setEnabled(false);
    save_->setEnabled(false);
    progress_ = new QProgressBar(this);
    buttons->addWidget(run_);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(save_);
    top->addLayout(buttons);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    top->addWidget(status_);

    table_ = new QTableWidget(this);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(true);
    chart_ = new QLabel(this);
    chart_->setAlignment(Qt::AlignCenter);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(chart_);
    scroll->setWidgetResizable(true);
    // The user shares the height between table and chart; on a low screen both stay a few lines high.
    auto* results = new QSplitter(Qt::Vertical, this);
    results->setObjectName("Results");
    results->setChildrenCollapsible(false);
    results->addWidget(table_);
    results->addWidget(scroll);
    table_->setMinimumHeight(80);
    scroll->setMinimumHeight(120);
    results->setStretchFactor(0, 1);
    results->setStretchFactor(1, 2);
    results->setSizes({ 200, 400 }); // the chart, the picture worth reading, gets two thirds
    top->addWidget(results, 1);
    failures_ = new QTableWidget(0, 2, this);
    failures_->setObjectName(QStringLiteral("Failures"));
    failures_->setHorizontalHeaderLabels({ QStringLiteral("失敗したレース"), QStringLiteral("理由") });
    failures_->horizontalHeader()->setStretchLastSection(true);
    failures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    failures_->setMaximumHeight(140);
    top->addWidget(failures_);

    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, [this] { Poll(); });

    connect(run_, &QPushButton::clicked, this, [this] { Run(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(save_, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("保存するフォルダー"));
        if (!folder.isEmpty() && !SaveTo(folder))
            QMessageBox::warning(
                this, QStringLiteral("検証"), QStringLiteral("フォルダー(%1)に保存できませんでした。").arg(folder));
    });
    tune_ = TunePanel::AddTo(this, programFolder_, source_);
    SetParametersChanged({});
    FitWindowToScreen(this, QSize(980, 860));
}

void BacktestWindow::SetParametersChanged(std::function<void()> changed)
{
    tune_->parametersChanged = [this, changed = std::move(changed)] {
        // The first parameter set is the program's own, as when the window opens with the file there.
        if (params_[0]->text().trimmed().isEmpty())
            params_[0]->setText(PathToQString(fs::Join(programFolder_, "repara.txt")));
        if (changed)
            changed();
    };
}

BacktestWindow::~BacktestWindow()
{
    StopAndJoin();
}

void BacktestWindow::StopAndJoin()
{
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
}

void BacktestWindow::SetStatus(const QString& text)
{
    status_->setText(text);
}

void BacktestWindow::closeEvent(QCloseEvent* event)
{
    // Closing while a run goes would throw its results away: the user says whether to stop it.
    if (running_) {
        const auto answer = QMessageBox::question(this, QStringLiteral("検証"),
            QStringLiteral("検証を実行中です。中止してウィンドウを閉じますか？\n"
                           "「いいえ」で実行を続けます。"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes || !running_) {
            event->ignore();
            return;
        }
        StopAndJoin();
        Poll();
    }
    QWidget::closeEvent(event);
}

bool BacktestWindow::Run()
{
    if (running_)
        return false;
    backtest::EngineOptions options;
    options.query.from = DateOf(from_->date());
    options.query.to = DateOf(to_->date());
    if (options.query.to < options.query.from) {
        SetStatus(QStringLiteral("期間の終わりが始まりより前です。"));
        return false;
    }
    ReadRaceChoices(*venue_, *surface_, options.query);
    options.mode = mode_->currentIndex() + 1;
    options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    options.params.clear();
    for (int i = 0; i < 2; ++i) {
        const std::string file = params_[i]->text().trimmed().toStdString();
        if (file.empty()) {
            if (i == 0)
                options.params.push_back({ "既定", "" });
            continue;
        }
        try {
            ReadTextFile(file);
        } catch (const UserError& e) {
            SetStatus(Q(ToUtf8(e.Message())));
            return false;
        }
        std::string label = fs::FileName(file);
        if (!options.params.empty() && options.params[0].label == label)
            label += "(2)";
        options.params.push_back({ label, file });
    }

    backtest::RaceSourceFactory factory = source_;
    if (!factory) {
        const std::string store = store_->text().trimmed().toStdString();
        factory = backtest::StoreSourceFactory(store);
    }
    std::unique_ptr<backtest::RaceSource> listing;
    try {
        listing = factory();
    } catch (const UserError& e) {
        SetStatus(Q(ToUtf8(e.Message())));
        return false;
    }
    if (worker_.joinable())
        worker_.join();
    auto outputs = std::make_unique<backtest::WorkFolder>();
    if (outputs->Path().empty()) {
        SetStatus(QStringLiteral("一時フォルダーを作成できません。"));
        return false;
    }
    outputs_ = std::move(outputs);

    running_ = true;
    cancel_ = false;
    run_->setEnabled(false);
    save_->setEnabled(false);
    cancelButton_->setEnabled(true);
    progress_->setValue(0);
    failures_->setRowCount(0);
    SetStatus(QStringLiteral("実行中…"));

    // The thread owns what it uses; the window may go first only after it has stopped and joined it.
    auto shared = std::make_shared<Shared>();
    shared_ = shared;
    const std::string outDir = outputs_->Path();
    const std::string title = "アシストの印と結果 " + from_->date().toString("yyyy-MM-dd").toStdString() + "〜"
        + to_->date().toString("yyyy-MM-dd").toStdString() + " (モード" + std::to_string(options.mode) + ")";
    worker_ = std::thread([this, shared, options, factory, outDir, title, listing = std::move(listing)]() mutable {
        backtest::EngineCallbacks callbacks;
        callbacks.stop = [this] { return cancel_.load(); };
        callbacks.race = [shared](const backtest::RaceResult& r) {
            if (r.ok)
                return;
            std::lock_guard lock(shared->mutex);
            shared->failures.emplace_back(r.race.raceId + " " + backtest::DateText(r.race.date) + " " + r.race.venue
                    + std::to_string(r.race.raceNumber) + "R",
                r.reason);
        };
        callbacks.progress = [shared](const backtest::Progress& p) {
            std::lock_guard lock(shared->mutex);
            shared->progress = p;
        };
        backtest::BacktestRun result;
        QImage chart;
        try {
            result = backtest::RunBacktestIntoFolder(options, *listing, factory, outDir, callbacks);
            // Drawn here too, so the window never waits for the picture or its files.
            const ChartData data = BacktestChartData(title, result.labels, result.rows);
            chart = BacktestChartImage(data);
            if (!WriteBacktestChart(data, fs::Join(outDir, "summary.svg"), fs::Join(outDir, "summary.png")).empty())
                result.written = false;
        } catch (const std::exception& e) {
            result.report.error = e.what();
        }
        std::lock_guard lock(shared->mutex);
        shared->run = std::move(result);
        shared->chart = std::move(chart);
        shared->finished = true;
    });
    poll_->start();
    return true;
}

void BacktestWindow::Poll()
{
    if (!shared_)
        return;
    backtest::Progress p;
    std::vector<std::pair<std::string, std::string>> failures;
    bool finished;
    {
        std::lock_guard lock(shared_->mutex);
        p = shared_->progress;
        failures.swap(shared_->failures);
        finished = shared_->finished;
    }
    for (const auto& [race, reason] : failures) {
        const int row = failures_->rowCount();
        failures_->insertRow(row);
        failures_->setItem(row, 0, new QTableWidgetItem(Q(race)));
        failures_->setItem(row, 1, new QTableWidgetItem(Q(reason)));
    }
    if (finished) {
        Finish();
        return;
    }
    if (p.total == 0 && p.done == 0)
        return;
    progress_->setMaximum(static_cast<int>(std::max<std::size_t>(p.total, 1)));
    progress_->setValue(static_cast<int>(p.done));
    const double rate = p.seconds > 0 ? static_cast<double>(p.done) / p.seconds : 0;
    const double left = rate > 0 && p.total > p.done ? static_cast<double>(p.total - p.done) / rate : 0;
    SetStatus(QStringLiteral("%1 / %2 レース　%3 レース/秒　残り %4 秒%5")
                  .arg(p.done)
                  .arg(p.total)
                  .arg(rate, 0, 'f', 1)
                  .arg(static_cast<int>(left + 0.5))
                  .arg(cancel_ ? QStringLiteral("　（中止しています…）") : QString()));
}

void BacktestWindow::Finish()
{
    poll_->stop();
    if (worker_.joinable())
        worker_.join();
    const backtest::BacktestRun result = std::move(shared_->run);
    const QImage chart = std::move(shared_->chart);
    shared_.reset();
    running_ = false;
    run_->setEnabled(true);
    cancelButton_->setEnabled(false);
    save_->setEnabled(true);
    progress_->setMaximum(static_cast<int>(std::max<std::size_t>(result.report.total, 1)));
    progress_->setValue(static_cast<int>(result.report.done));
    ShowResults(result, chart);
    QString status = QStringLiteral("レース %1　処理 %2　失敗 %3")
                         .arg(result.report.total)
                         .arg(result.report.done - result.report.failed)
                         .arg(result.report.failed);
    if (result.report.interrupted)
        status += QStringLiteral("　（中止しました）");
    if (!result.report.error.empty())
        status += QStringLiteral("\n") + Q(result.report.error);
    if (!result.written)
        status += QStringLiteral("\n結果のファイルを一時フォルダーに書き込めませんでした。");
    SetStatus(status);
}

bool BacktestWindow::Wait(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (running_) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (running_ && shared_) {
            bool finished;
            {
                std::lock_guard lock(shared_->mutex);
                finished = shared_->finished;
            }
            if (finished)
                Poll();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return true;
}

void BacktestWindow::ShowResults(const backtest::BacktestRun& run, const QImage& chart)
{
    const std::size_t sets = run.rows.size();
    const QStringList columns { QStringLiteral("頭数"), QStringLiteral("勝率%"), QStringLiteral("複勝率%"),
        QStringLiteral("平均着順"), QStringLiteral("単回収%") };
    QStringList headers;
    for (std::size_t p = 0; p < sets; ++p)
        for (const QString& c : columns)
            headers << (sets > 1 ? Q(run.labels[p]) + QStringLiteral("\n") : QString()) + c;
    if (sets > 1)
        for (int c = 1; c < columns.size(); ++c)
            headers << QStringLiteral("差\n") + columns[c];
    const auto& groups = sets ? run.rows[0] : std::vector<backtest::GroupStats> {};
    table_->clear();
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    table_->setRowCount(static_cast<int>(groups.size()));
    auto cell = [&](int r, int c, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
    };
    auto values = [](const backtest::GroupStats& g) {
        return std::vector<double> { static_cast<double>(g.runners), g.WinPct(), g.Top3Pct(), g.MeanFinish(),
            g.WinReturnPct() };
    };
    for (std::size_t r = 0; r < groups.size(); ++r) {
        table_->setVerticalHeaderItem(static_cast<int>(r), new QTableWidgetItem(Q(groups[r].group)));
        std::vector<std::vector<double>> perSet;
        for (std::size_t p = 0; p < sets; ++p) {
            backtest::GroupStats g;
            for (const auto& row : run.rows[p])
                if (row.group == groups[r].group)
                    g = row;
            perSet.push_back(values(g));
            for (int c = 0; c < 5; ++c)
                cell(static_cast<int>(r), static_cast<int>(p) * 5 + c,
                    c == 0 ? QString::number(g.runners) : QString::number(perSet.back()[c], 'f', c == 3 ? 2 : 1));
        }
        if (sets > 1)
            for (int c = 1; c < 5; ++c)
                cell(static_cast<int>(r), static_cast<int>(sets) * 5 + c - 1,
                    QString::number(perSet[1][c] - perSet[0][c], 'f', c == 3 ? 2 : 1));
    }
    table_->resizeColumnsToContents();

    chart_->setPixmap(QPixmap::fromImage(chart));
}

bool BacktestWindow::SaveTo(const QString& folder)
{
    if (!outputs_ || running_)
        return false;
    const std::string target = PathFromQString(folder);
    // Temporary files a save killed half-way left behind.
    fs::RemoveStaleTemporaries(target);
    bool ok = true;
    const std::vector<std::string> names = fs::FilesIn(outputs_->Path());
    std::size_t saved = 0;
    for (const std::string& name : names) {
        if (name.empty() || name[0] == '.')
            continue; // the work folder's marker
        // Copied under an unguessable name beside the target and renamed over it: an earlier save is never
        // left half replaced, and a link planted in the folder is replaced rather than followed.
        ok = fs::CopyFileAtomic(fs::Join(outputs_->Path(), name), fs::Join(target, name)) && ok;
        ++saved;
    }
    return ok && saved > 0;
}

} // namespace pado::gui
