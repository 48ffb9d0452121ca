#include "gui/tune_panel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "backtest/store_source.h"
#include "gui/qt_text.h"
#include "gui/race_choices.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "tune/outputs.h"

namespace pado::gui {

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

QString Figure(const tune::Tally& t, tune::Objective o)
{
    return QStringLiteral("%1%（印のあるレース %2/%3）").arg(t.Value(o), 0, 'f', 1).arg(t.markedRaces).arg(t.races);
}

// Asks before the window goes while a search runs; a search stopped this way keeps nothing.
class CloseGuard : public QObject {
public:
    CloseGuard(TunePanel* panel)
        : QObject(panel)
        , panel_(panel)
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close || !panel_->Running())
            return QObject::eventFilter(watched, event);
        const auto answer = QMessageBox::question(panel_, QStringLiteral("最適化"),
            QStringLiteral("最適化を実行中です。中止して閉じますか？\n（ここまでの結果は残りません）"));
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return true;
        }
        panel_->Cancel();
        return false;
    }

private:
    TunePanel* panel_;
};

} // namespace

TunePanel* TunePanel::AddTo(QWidget* window, std::string programFolder, backtest::RaceSourceFactory source)
{
    // The window's own layout moves onto the first tab as it is.
    QLayout* old = window->layout();
    auto* page = new QWidget;
    auto* moved = new QVBoxLayout(page);
    moved->setContentsMargins(0, 0, 0, 0);
    auto* box = qobject_cast<QBoxLayout*>(old);
    while (old && old->count() > 0) {
        const int stretch = box ? box->stretch(0) : 0;
        QLayoutItem* item = old->takeAt(0);
        if (QWidget* w = item->widget()) {
            moved->addWidget(w, stretch);
            delete item;
        } else if (QLayout* l = item->layout()) {
            l->setParent(nullptr);
            moved->addLayout(l, stretch);
        } else
            moved->addItem(item);
    }
    delete old;
    auto* tabs = new QTabWidget(window);
    tabs->addTab(page, QStringLiteral("検証"));
    auto* panel = new TunePanel(std::move(programFolder), std::move(source));
    tabs->addTab(panel, QStringLiteral("最適化"));
    auto* top = new QVBoxLayout(window);
    top->addWidget(tabs);
    window->installEventFilter(new CloseGuard(panel));
    return panel;
}

TunePanel::TunePanel(std::string programFolder, backtest::RaceSourceFactory source, QWidget* parent)
    : QWidget(parent)
    , programFolder_(std::move(programFolder))
    , source_(std::move(source))
{
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    top->addLayout(form);

    auto* period = new QWidget(this);
    auto* ph = new QHBoxLayout(period);
    ph->setContentsMargins(0, 0, 0, 0);
    const QDate today = QDate::currentDate();
    from_ = new QDateEdit(today.addYears(-2), period);
    holdout_ = new QDateEdit(today.addMonths(-6), period);
    to_ = new QDateEdit(today.addDays(-1), period);
    for (QDateEdit* d : { from_, holdout_, to_ }) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
    }
    ph->addWidget(new QLabel(QStringLiteral("調整"), period));
    ph->addWidget(from_);
    ph->addWidget(new QLabel(QStringLiteral("〜　確認"), period));
    ph->addWidget(holdout_);
    ph->addWidget(new QLabel(QStringLiteral("〜"), period));
    ph->addWidget(to_);
    ph->addStretch();
    form->addRow(QStringLiteral("期間"), period);

    auto* filters = new QWidget(this);
    auto* fh = new QHBoxLayout(filters);
    fh->setContentsMargins(0, 0, 0, 0);
    venue_ = NewVenueBox(filters);
    surface_ = NewSurfaceBox(filters);
    mode_ = NewModeBox(filters);
    objective_ = new QComboBox(filters);
    objective_->addItems({ QStringLiteral("複勝率"), QStringLiteral("勝率"), QStringLiteral("単勝回収率") });
    for (QWidget* w : std::initializer_list<QWidget*> { venue_, surface_, mode_, objective_ })
        fh->addWidget(w);
    fh->addStretch();
    form->addRow(QStringLiteral("条件"), filters);

    auto* sizes = new QWidget(this);
    auto* sh = new QHBoxLayout(sizes);
    sh->setContentsMargins(0, 0, 0, 0);
    budget_ = new QSpinBox(sizes);
    budget_->setRange(1, 100000);
    budget_->setValue(200);
    seed_ = new QSpinBox(sizes);
    seed_->setRange(0, 999999);
    seed_->setValue(1);
    sh->addWidget(new QLabel(QStringLiteral("評価する組数"), sizes));
    sh->addWidget(budget_);
    folds_ = new QSpinBox(this);
    folds_->setRange(0, 50);
    folds_->setValue(0);
    folds_->setSpecialValueText(QStringLiteral("なし"));
    folds_->setSuffix(QStringLiteral(" 期間"));
    folds_->setToolTip(QStringLiteral("確認期間をこの数に分け、各期間をその前の全レースで最適化して確かめます。"));
    sh->addWidget(new QLabel(QStringLiteral("乱数の種"), sizes));
    sh->addWidget(seed_);
    minutes_ = new QSpinBox(sizes);
    minutes_->setRange(0, 10000);
    minutes_->setSpecialValueText(QStringLiteral("なし"));
    minutes_->setSuffix(QStringLiteral(" 分"));
    minutes_->setToolTip(QStringLiteral("この時間が過ぎたら新しい組を評価しません（組数に届く前でも）。"));
    sh->addWidget(new QLabel(QStringLiteral("時間の上限"), sizes));
    sh->addWidget(minutes_);
    sh->addStretch();
    form->addRow(QStringLiteral("探索"), sizes);
    // On a row of its own: beside the search's sizes it would make the window wider than a small screen.
    auto* foldsRow = new QHBoxLayout;
    foldsRow->addWidget(folds_);
    foldsRow->addStretch();
    form->addRow(QStringLiteral("前へ進む検証"), foldsRow);

    // A file box with its 参照… button, as a row of the form.
    auto fileRow = [&](const QString& label, const QString& empty, const QString& title) {
        auto* row = new QWidget(this);
        auto* rh = new QHBoxLayout(row);
        rh->setContentsMargins(0, 0, 0, 0);
        auto* edit = new QLineEdit(row);
        edit->setPlaceholderText(empty);
        auto* pick = new QPushButton(QStringLiteral("参照…"), row);
        connect(pick, &QPushButton::clicked, this, [this, edit, title] {
            const QString f = QFileDialog::getOpenFileName(this, title, edit->text());
            if (!f.isEmpty())
                edit->setText(f);
        });
        rh->addWidget(edit, 1);
        rh->addWidget(pick);
        form->addRow(label, row);
        return edit;
    };
    start_ = fileRow(QStringLiteral("開始パラメーター"), QStringLiteral("空欄: 規定値"),
        QStringLiteral("開始のパラメーターファイル"));
    const std::string current = fs::Join(programFolder_, "repara.txt");
    if (fs::IsFile(current))
        start_->setText(Q(current));
    space_ = fileRow(QStringLiteral("探索範囲"), QStringLiteral("空欄: すべてのパラメーターを既定の範囲で"),
        QStringLiteral("探索範囲のファイル"));
    space_->setToolTip(
        QStringLiteral("1行に「番号=最小:最大:刻み」か「番号=値」。pado-import tune --space と同じです。"));
    if (!source_) {
        store_ = new QLineEdit(Q(backtest::DefaultStorePath()), this);
        form->addRow(QStringLiteral("レースデータ"), store_);
    }

    auto* buttons = new QHBoxLayout;
    run_ = new QPushButton(QStringLiteral("実行"), this);
    cancelButton_ = new QPushButton(QStringLiteral("中止"), this);
    use_ = new QPushButton(QStringLiteral("このパラメーターを使う"), this);
    save_ = new QPushButton(QStringLiteral("保存…"), this);
    cancelButton_->setEnabled(false);
    use_->setEnabled(false);
    save_->setEnabled(false);
    progress_ = new QProgressBar(this);
    buttons->addWidget(run_);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(save_);
    buttons->addWidget(use_);
    top->addLayout(buttons);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setTextFormat(Qt::PlainText); // a folder name never reads as markup
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The report runs to twenty lines: it scrolls in its own pane, beside the walk-forward parts.
    auto* statusScroll = new QScrollArea(this);
    statusScroll->setWidget(status_);
    statusScroll->setWidgetResizable(true);
    statusScroll->setFrameShape(QFrame::NoFrame);
    statusScroll->setMinimumHeight(40);

    table_ = new QTableWidget(this);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    foldsTable_ = new QTableWidget(this);
    foldsTable_->setObjectName(QStringLiteral("Folds"));
    foldsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    foldsTable_->verticalHeader()->setVisible(false);
    foldsTable_->hide();
    chart_ = new QLabel(this);
    chart_->setAlignment(Qt::AlignCenter);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(chart_);
    scroll->setWidgetResizable(true);
    // The user shares the height between the sets, the walk-forward parts and the chart.
    report_ = new QSplitter(Qt::Horizontal, this);
    report_->setChildrenCollapsible(false);
    report_->addWidget(statusScroll);
    report_->addWidget(foldsTable_);
    report_->setStretchFactor(0, 1);
    report_->setStretchFactor(1, 0);
    auto* results = new QSplitter(Qt::Vertical, this);
    results->setObjectName(QStringLiteral("Results"));
    results->setChildrenCollapsible(false);
    results->addWidget(report_);
    results->addWidget(table_);
    results->addWidget(scroll);
    table_->setMinimumHeight(80);
    foldsTable_->setMinimumWidth(200);
    scroll->setMinimumHeight(120);
    results->setStretchFactor(0, 1);
    results->setStretchFactor(1, 1);
    results->setStretchFactor(2, 2);
    results->setSizes({ 160, 160, 320 });
    top->addWidget(results, 1);

    connect(run_, &QPushButton::clicked, this, [this] { Start(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(use_, &QPushButton::clicked, this, [this] { UseBest(true); });
    connect(save_, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("保存するフォルダー"));
        if (!folder.isEmpty() && !SaveTo(folder))
            QMessageBox::warning(this, QStringLiteral("最適化"), status_->text());
    });
}

TunePanel::~TunePanel()
{
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
}

tune::Objective TunePanel::CurrentObjective() const
{
    const tune::Objective all[] = { tune::Objective::Top3, tune::Objective::Win, tune::Objective::Return };
    return all[std::clamp(objective_->currentIndex(), 0, 2)];
}

bool TunePanel::Start()
{
    if (running_)
        return false;
    tune::TuneOptions options;
    options.from = DateOf(from_->date());
    options.to = DateOf(to_->date());
    options.holdout = DateOf(holdout_->date());
    if (options.to < options.from) {
        status_->setText(QStringLiteral("期間の終わりが始まりより前です。"));
        return false;
    }
    if (!(options.from < options.holdout) || options.to < options.holdout) {
        status_->setText(QStringLiteral("確認の始まりは、期間の始まりより後で終わり以前の日付にしてください。"));
        return false;
    }
    const int folds = folds_->value();
    if (!tune::FoldsFit(options, folds)) {
        status_->setText(QStringLiteral("前へ進む検証の期間の数(%1)が確認期間の日数(%2)より多くなっています。")
                             .arg(folds)
                             .arg(tune::CheckingDays(options)));
        return false;
    }
    options.objective = CurrentObjective();
    options.budget = static_cast<std::size_t>(budget_->value());
    options.minutes = minutes_->value();
    options.seed = static_cast<std::uint64_t>(seed_->value());
    const std::string spaceFile = PathFromQString(space_->text().trimmed());
    if (std::string why; !spaceFile.empty() && !options.space.ApplyFile(spaceFile, why)) {
        status_->setText(Q(why));
        return false;
    }
    options.start = DefaultAssistParameters();
    const std::string startFile = PathFromQString(start_->text().trimmed());
    if (!startFile.empty()) {
        try {
            options.start = tune::ReadParameterFile(startFile);
        } catch (const UserError& e) {
            status_->setText(Q(ToUtf8(e.Message())));
            return false;
        }
    }
    backtest::EngineOptions engine;
    ReadRaceChoices(*venue_, *surface_, engine.query);
    engine.mode = mode_->currentIndex() + 1;
    engine.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    backtest::RaceSourceFactory factory = source_;
    if (!factory) {
        const std::string store = PathFromQString(store_->text().trimmed());
        factory = backtest::StoreSourceFactory(store);
    }
    if (worker_.joinable())
        worker_.join();
    running_ = true;
    cancel_ = false;
    shown_ = tune::DescribeRun(options, engine, startFile);
    shownBudget_ = options.budget;
    shownFolds_ = folds;
    run_->setEnabled(false);
    use_->setEnabled(false);
    save_->setEnabled(false);
    cancelButton_->setEnabled(true);
    foldsTable_->hide();
    // Each walk-forward part searches as many sets as the main search.
    progress_->setRange(0,
        static_cast<int>(std::min<std::size_t>(options.budget * static_cast<std::size_t>(1 + folds),
            static_cast<std::size_t>(std::numeric_limits<int>::max()))));
    progress_->setValue(0);
    status_->setText(QStringLiteral("実行中…"));
    worker_ = std::thread([this, options, engine, factory, folds] {
        auto outcome = std::make_shared<Outcome>();
        try {
            std::unique_ptr<backtest::RaceSource> listing = factory();
            auto evaluator = tune::MakeRaceEvaluator(engine, *listing, factory);
            tune::TuneCallbacks callbacks;
            callbacks.stop = [this] { return cancel_.load(); };
            callbacks.progress = [this](const std::vector<tune::Evaluation>& evals, std::size_t best) {
                auto snapshot = std::make_shared<tune::TuneResult>();
                snapshot->evaluations = evals;
                snapshot->best = best;
                QMetaObject::invokeMethod(
                    this, [this, snapshot] { Show(*snapshot, false); }, Qt::QueuedConnection);
            };
            outcome->result = tune::Tune(*evaluator, options, callbacks);
            const tune::TuneResult& main = outcome->result;
            if (folds > 0 && !main.interrupted && main.error.empty() && !main.evaluations.empty()) {
                auto fold = std::make_shared<std::atomic<int>>(0);
                tune::TuneCallbacks foldCallbacks;
                foldCallbacks.stop = callbacks.stop;
                foldCallbacks.progress = [this, fold](const std::vector<tune::Evaluation>& evals, std::size_t) {
                    const int k = fold->load();
                    const std::size_t n = evals.size();
                    QMetaObject::invokeMethod(
                        this, [this, k, n] { ShowFoldProgress(k, n); }, Qt::QueuedConnection);
                };
                outcome->walk = tune::RunWalkForward(*evaluator, options, folds, foldCallbacks, [this, fold](int k) {
                    fold->store(k);
                    QMetaObject::invokeMethod(
                        this, [this, k] { ShowFoldProgress(k, 0); }, Qt::QueuedConnection);
                });
            }
        } catch (const UserError& e) {
            outcome->result.error = ToUtf8(e.Message());
        } catch (const std::exception& e) {
            outcome->result.error = e.what();
        }
        QMetaObject::invokeMethod(
            this, [this, outcome] { Finished(outcome); }, Qt::QueuedConnection);
    });
    return true;
}

void TunePanel::ShowFoldProgress(int fold, std::size_t evaluations)
{
    if (!running_)
        return;
    const std::size_t done = shownBudget_ * static_cast<std::size_t>(fold + 1) + std::min(evaluations, shownBudget_);
    progress_->setValue(static_cast<int>(std::min<std::size_t>(done, static_cast<std::size_t>(progress_->maximum()))));
    status_->setText(QStringLiteral("前へ進む検証 %1/%2 期間目: %3 組を評価しました%4")
                         .arg(fold + 1)
                         .arg(shownFolds_)
                         .arg(evaluations)
                         .arg(cancel_ ? QStringLiteral("　（中止しています…）") : QString()));
}

void TunePanel::Finished(std::shared_ptr<Outcome> outcome)
{
    if (worker_.joinable())
        worker_.join();
    running_ = false;
    run_->setEnabled(true);
    cancelButton_->setEnabled(false);
    result_ = std::make_shared<tune::TuneResult>(std::move(outcome->result));
    walk_ = std::move(outcome->walk);
    if (!result_->error.empty() && result_->evaluations.empty()) {
        status_->setText(Q(result_->error));
        return;
    }
    Show(*result_, true);
    if (!result_->interrupted && !walk_.cutShort)
        progress_->setValue(progress_->maximum());
    if (!result_->error.empty()) {
        // As on the command line, a run that ended on an error leaves nothing to save.
        status_->setText(status_->text() + QStringLiteral("\n") + Q(result_->error));
        return;
    }
    ShowFolds();
    save_->setEnabled(true);
}

void TunePanel::Show(const tune::TuneResult& result, bool final)
{
    const tune::Objective o = shown_.objective;
    if (!final)
        progress_->setValue(static_cast<int>(std::min<std::size_t>(
            result.evaluations.size(), static_cast<std::size_t>(std::numeric_limits<int>::max()))));
    const QStringList headers { QStringLiteral("段階"), QStringLiteral("調整 %1").arg(tune::ObjectiveLabel(o)),
        QStringLiteral("調整 印のレース"), QStringLiteral("確認 %1").arg(tune::ObjectiveLabel(o)),
        QStringLiteral("確認 印のレース"), QStringLiteral("開始から変えたパラメーター") };
    table_->clear();
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    table_->setRowCount(static_cast<int>(result.evaluations.size()));
    for (const tune::Evaluation& e : result.evaluations) {
        const int r = static_cast<int>(e.index);
        QString changed;
        for (std::size_t i = 0; i < assistParamCount; ++i)
            if (e.values[i] != result.Start().values[i])
                changed += QStringLiteral("%1:%2 ").arg(i + 1).arg(Q(ToUtf8(ParameterText(e.values[i]))));
        const QString cells[] = { Q(e.phase), QString::number(e.tuning.tally.Value(o), 'f', 1),
            QString::number(e.tuning.tally.markedRaces), QString::number(e.checking.tally.Value(o), 'f', 1),
            QString::number(e.checking.tally.markedRaces), changed.trimmed() };
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment((c == 0 || c == 5 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (e.index == result.best) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            table_->setItem(r, c, item);
        }
        table_->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(e.index)));
    }
    table_->resizeColumnsToContents();

    chart_->setPixmap(QPixmap::fromImage(TuneChartImage(TuneChartDataOf(result, o, TuneChartTitle(shown_)))));
    if (!final || result.evaluations.empty()) {
        if (!result.evaluations.empty())
            status_->setText(QStringLiteral("%1 組を評価しました　最良 %2%3")
                                 .arg(result.evaluations.size())
                                 .arg(Figure(result.Best().tuning.tally, o))
                                 .arg(cancel_ ? QStringLiteral("　（中止しています…）") : QString()));
        return;
    }
    QString status = Q(tune::TuneReport(result, shown_)).trimmed();
    if (result.interrupted)
        status += QStringLiteral("\n（中止しました）");
    if (result.failed)
        status += QStringLiteral("\n処理できなかったレース: %1").arg(result.failed);
    status_->setText(status);
    use_->setEnabled(result.best != 0);
}

void TunePanel::ShowFolds()
{
    const tune::Objective o = shown_.objective;
    QString status = status_->text();
    const std::string note = tune::CutShortNote(walk_, shownFolds_);
    if (!note.empty())
        status += QStringLiteral("\n") + Q(note).trimmed();
    if (!walk_.error.empty())
        status += QStringLiteral("\n") + Q(walk_.error);
    if (walk_.folds.empty()) {
        status_->setText(status);
        return;
    }
    const QString label = Q(tune::ObjectiveLabel(o));
    const QStringList headers { QStringLiteral("確認期間"), QStringLiteral("組数"),
        QStringLiteral("開始 %1").arg(label), QStringLiteral("最良 %1").arg(label),
        QStringLiteral("最良 印のあるレース") };
    foldsTable_->clear();
    foldsTable_->setColumnCount(static_cast<int>(headers.size()));
    foldsTable_->setHorizontalHeaderLabels(headers);
    foldsTable_->setRowCount(static_cast<int>(walk_.folds.size()) + 1);
    auto row = [&](int r, const QString& period, const QString& sets, const tune::Tally& start,
                   const tune::Tally& best) {
        const QString cells[] = { period, sets, QString::number(start.Value(o), 'f', 1),
            QString::number(best.Value(o), 'f', 1), QStringLiteral("%1/%2").arg(best.markedRaces).arg(best.races) };
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            foldsTable_->setItem(r, c, item);
        }
    };
    tune::Tally start, best;
    for (std::size_t k = 0; k < walk_.folds.size(); ++k) {
        const tune::FoldResult& f = walk_.folds[k];
        row(static_cast<int>(k), QStringLiteral("%1 %2〜%3").arg(k + 1).arg(Q(f.checkFrom)).arg(Q(f.checkTo)),
            QString::number(f.evaluations), f.startChecking, f.bestChecking);
        start.Merge(f.startChecking);
        best.Merge(f.bestChecking);
    }
    row(static_cast<int>(walk_.folds.size()), QStringLiteral("合計"), QString(), start, best);
    foldsTable_->resizeColumnsToContents();
    foldsTable_->show();
    // The parts take the room their columns need, at most half; the report keeps the rest.
    int columns = 2 * foldsTable_->frameWidth() + foldsTable_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < foldsTable_->columnCount(); ++c)
        columns += foldsTable_->columnWidth(c);
    const int total = report_->width() - report_->handleWidth();
    const int parts = std::min(columns, total / 2);
    report_->setSizes({ total - parts, parts });
    status += QStringLiteral("\n前へ進む検証 合計: 開始 %1 → 最良 %2").arg(Figure(start, o)).arg(Figure(best, o));
    if (best.Value(o) < start.Value(o))
        status += QStringLiteral("\n%1: 各期間で選んだ組は、その後のレースで開始の組より悪い成績です。")
                      .arg(tune::kOverfitWarning);
    status_->setText(status);
}

QString TunePanel::Confirmation() const
{
    if (!result_ || result_->evaluations.empty())
        return {};
    const tune::Objective o = shown_.objective;
    const tune::Evaluation& start = result_->Start();
    const tune::Evaluation& best = result_->Best();
    QString text = QStringLiteral("プログラムフォルダーの repara.txt を次のように変えます。\n\n");
    for (std::size_t i = 0; i < assistParamCount; ++i)
        if (best.values[i] != start.values[i])
            text += QStringLiteral("%1 %2: %3 → %4\n")
                        .arg(i + 1)
                        .arg(Q(ToUtf8(ParameterFieldName(i))))
                        .arg(Q(ToUtf8(ParameterText(start.values[i]))))
                        .arg(Q(ToUtf8(ParameterText(best.values[i]))));
    text += QStringLiteral("\n%1　調整期間: %2 → %3\n%1　確認期間: %4 → %5\n")
                .arg(tune::ObjectiveLabel(o))
                .arg(Figure(start.tuning.tally, o))
                .arg(Figure(best.tuning.tally, o))
                .arg(Figure(start.checking.tally, o))
                .arg(Figure(best.checking.tally, o));
    if (result_->Overfit(o))
        text += QStringLiteral("\n%1: 確認期間では開始の組より悪い成績です。\n").arg(tune::kOverfitWarning);
    text += QStringLiteral("\n新しい値は、このあとアシストを押したときからすぐに使われます。よろしいですか？");
    return text;
}

bool TunePanel::UseBest(bool ask)
{
    if (running_ || !result_ || result_->evaluations.empty() || result_->best == 0)
        return false;
    if (ask
        && QMessageBox::question(this, QStringLiteral("このパラメーターを使う"), Confirmation()) != QMessageBox::Yes)
        return false;
    const std::string path = fs::Join(programFolder_, "repara.txt");
    try {
        tune::WriteParameterFile(path, result_->Best().values);
    } catch (const UserError& e) {
        status_->setText(Q(ToUtf8(e.Message())));
        if (ask)
            QMessageBox::warning(this, QStringLiteral("このパラメーターを使う"), Q(ToUtf8(e.Message())));
        return false;
    }
    // The next search starts from what the program now uses, as it does when the window opens with the file.
    if (start_->text().trimmed().isEmpty())
        start_->setText(PathToQString(path));
    if (parametersChanged)
        parametersChanged();
    status_->setText(QStringLiteral("repara.txt に書き込みました。実行中のプログラムは新しい値を使っています。"));
    return true;
}

bool TunePanel::SaveTo(const QString& folder)
{
    if (running_ || !result_ || result_->evaluations.empty() || !result_->error.empty())
        return false;
    const std::string target = PathFromQString(folder);
    if (!fs::IsFolder(target)) {
        status_->setText(QStringLiteral("保存するフォルダー(%1)がありません。").arg(folder));
        return false;
    }
    // Temporary files a save killed half-way left behind.
    fs::RemoveStaleTemporaries(target);
    const tune::TuneResult& result = *result_;
    std::string problems
        = tune::WriteTuneOutputs(target, result, shown_, [&](const std::string& svg, const std::string& png) {
              return WriteTuneChart(TuneChartDataOf(result, shown_.objective, TuneChartTitle(shown_)), svg, png);
          });
    problems += tune::WriteWalkForward(target, walk_, shown_.objective);
    if (!problems.empty()) {
        status_->setText(
            QStringLiteral("%1 に保存できなかったものがあります。\n%2").arg(folder, Q(problems).trimmed()));
        return false;
    }
    status_->setText(QStringLiteral("%1 に保存しました。").arg(folder));
    return true;
}

} // namespace pado::gui
