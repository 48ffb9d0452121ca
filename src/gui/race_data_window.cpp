#include "gui/race_data_window.h"

#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/backtest_window.h"
#include "platform/errors.h"
#include "sources/venue_codes.h"
#include "store/race_builder.h"
#include "store/race_store.h"

namespace pado::gui {

namespace {

QString Q(const std::string& utf8)
{
    return QString::fromUtf8(utf8.c_str(), static_cast<int>(utf8.size()));
}

QString Q(const Text& t)
{
    return Q(ToUtf8(t));
}

std::filesystem::path PathOf(const QString& s)
{
    return std::filesystem::path(s.toUtf8().toStdString());
}

// Counts the worker's records for the progress bar and stops it on cancel.
class Observer : public store::ImportObserver {
public:
    Observer(std::atomic<long>& records, std::atomic<bool>& cancelled)
        : records_(records)
        , cancelled_(cancelled)
    {
    }
    void Progress(long records) override { records_ = records; }
    bool Cancelled() override { return cancelled_; }

private:
    std::atomic<long>& records_;
    std::atomic<bool>& cancelled_;
};

} // namespace

RaceDataDialog::RaceDataDialog(
    std::filesystem::path store, std::filesystem::path staging, QWidget* parent, std::string programFolder)
    : QDialog(parent)
    , store_(std::move(store))
    , staging_(std::move(staging))
    , programFolder_(std::move(programFolder))
{
    setObjectName("RaceData");
    setWindowTitle(QStringLiteral("レースデータ"));
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    addFiles_ = new QPushButton(QStringLiteral("ファイルを追加…"), this);
    addFolder_ = new QPushButton(QStringLiteral("フォルダーを追加…"), this);
    cancel_ = new QPushButton(QStringLiteral("中止"), this);
    cancel_->setEnabled(false);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1);
    progress_->setValue(0);
    top->addWidget(addFiles_);
    top->addWidget(addFolder_);
    top->addWidget(progress_, 1);
    top->addWidget(cancel_);
    layout->addLayout(top);
    layout->addWidget(new QLabel(
        QStringLiteral("JRDB・JV-Data・CSV のファイルやフォルダーをここへドラッグしても取り込めます。"), this));
    log_ = new QPlainTextEdit(this);
    log_->setReadOnly(true);
    log_->setObjectName("Log");
    layout->addWidget(log_, 1);

    auto* day = new QHBoxLayout;
    date_ = new QDateEdit(QDate::currentDate(), this);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat("yyyy-MM-dd");
    day->addWidget(new QLabel(QStringLiteral("開催日"), this));
    day->addWidget(date_);
    day->addStretch(1);
    build_ = new QPushButton(QStringLiteral("作成"), this);
    day->addWidget(build_);
    backtest_ = new QPushButton(QStringLiteral("検証…"), this);
    backtest_->setObjectName("Backtest");
    backtest_->setToolTip(QStringLiteral("取り込んだレースで予想の印を結果と照らし合わせます"));
    day->addWidget(backtest_);
    layout->addLayout(day);
    races_ = new QListWidget(this);
    races_->setObjectName("Races");
    layout->addWidget(races_, 1);
    resize(640, 560);

    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] { Poll(); });
    connect(addFiles_, &QPushButton::clicked, this, [this] {
        QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("取り込むファイル"));
        std::vector<std::filesystem::path> paths;
        for (const QString& f : files)
            paths.push_back(PathOf(f));
        Import(paths);
    });
    connect(addFolder_, &QPushButton::clicked, this, [this] {
        QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("取り込むフォルダー"));
        if (!folder.isEmpty())
            Import({ PathOf(folder) });
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    connect(date_, &QDateEdit::dateChanged, this, [this] { ShowDay(); });
    connect(build_, &QPushButton::clicked, this, [this] { Build(); });
    connect(backtest_, &QPushButton::clicked, this, [this] { OpenBacktest(); });
    connect(races_, &QListWidget::itemDoubleClicked, this, [this] { Build(); });
    ShowDay();
}

RaceDataDialog::~RaceDataDialog()
{
    // A 検証 window that is open stays when this window goes (its run goes on, its results stay on screen);
    // the user closes it when done with it.
    if (backtestWindow_ && backtestWindow_->isVisible()) {
        backtestWindow_->setParent(nullptr, Qt::Window);
        backtestWindow_->show();
    }
    cancelled_ = true;
    if (worker_.joinable())
        worker_.join();
}

BacktestWindow* RaceDataDialog::OpenBacktest()
{
    // A window of its own beside this one, not a modal step: the user goes on importing while it runs. As this
    // window's child it takes no input block from this modal window; when this window goes, it stays on its own.
    if (!backtestWindow_) {
        backtestWindow_ = new BacktestWindow(programFolder_, {}, this);
        backtestWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    backtestWindow_->show();
    backtestWindow_->raise();
    backtestWindow_->activateWindow();
    return backtestWindow_;
}

void RaceDataDialog::Log(const QString& line)
{
    log_->appendPlainText(line);
}

void RaceDataDialog::Import(const std::vector<std::filesystem::path>& paths)
{
    if (paths.empty() || worker_.joinable())
        return;
    std::vector<std::filesystem::path> files;
    for (const auto& p : paths)
        for (const auto& f : store::FilesToImport(p))
            files.push_back(f);
    files_ = files.size();
    file_ = 0;
    records_ = 0;
    cancelled_ = false;
    done_ = false;
    reports_.clear();
    failure_.clear();
    progress_->setRange(0, static_cast<int>(files_));
    progress_->setValue(0);
    addFiles_->setEnabled(false);
    addFolder_->setEnabled(false);
    build_->setEnabled(false);
    cancel_->setEnabled(true);
    Log(QStringLiteral("%1 個のファイルを取り込みます…").arg(files_));
    worker_ = std::thread([this, files] {
        try {
            store::RaceStore store(store_);
            Observer observer(records_, cancelled_);
            for (const auto& f : files) {
                if (cancelled_)
                    break;
                store::FileImport r = store::ImportFile(store, f, &observer);
                std::lock_guard lock(mutex_);
                reports_.push_back(std::move(r));
                ++file_;
            }
            if (!cancelled_) {
                std::lock_guard lock(mutex_);
                store::RetryUnresolved(store, reports_, &observer);
            }
        } catch (const UserError& e) {
            std::lock_guard lock(mutex_);
            failure_ = ToUtf8(e.Message());
        }
        done_ = true;
    });
    timer_->start();
}

void RaceDataDialog::Poll()
{
    progress_->setValue(static_cast<int>(file_));
    progress_->setFormat(QStringLiteral("%v / %m ファイル  %1 レコード").arg(records_.load()));
    if (done_)
        Finished();
}

void RaceDataDialog::Finished()
{
    timer_->stop();
    worker_.join();
    std::lock_guard lock(mutex_);
    for (const store::FileImport& r : reports_) {
        QString line = Q(r.file.string());
        if (!r.committed) {
            Log(line + QStringLiteral(": 取り込みませんでした: ")
                + (r.cancelled ? QStringLiteral("中止しました") : Q(r.error)));
            continue;
        }
        Log(r.retried ? line
                    + QStringLiteral(": ほかのファイルの取り込み後に読み直し、開催日の分かったレースを取り込みました")
                      : line);
        for (const auto& [type, c] : r.byType)
            Log(QStringLiteral("  %1: 追加 %2, 置換 %3, 変更なし %4, 対象外 %5, 不正 %6")
                    .arg(Q(type))
                    .arg(c.imported)
                    .arg(c.replaced)
                    .arg(c.unchanged)
                    .arg(c.skipped)
                    .arg(c.malformed));
        for (const std::string& p : r.problems)
            Log("  " + Q(p));
    }
    if (!failure_.empty())
        Log(Q(failure_));
    addFiles_->setEnabled(true);
    addFolder_->setEnabled(true);
    build_->setEnabled(true);
    cancel_->setEnabled(false);
    ShowDay();
}

void RaceDataDialog::ShowDay()
{
    races_->clear();
    const QDate d = date_->date();
    const int day = (d.year() * 100 + d.month()) * 100 + d.day();
    try {
        store::RaceStore store(store_);
        for (const sources::RaceRecord& r : store.Races(day, day)) {
            QString course = r.surface ? Q(Text(1, r.surface)) : QString();
            if (r.distance)
                course += QString::number(r.distance);
            auto* item = new QListWidgetItem(QStringLiteral("%1 %2R  %3  %4  %5頭  %6")
                                                 .arg(Q(sources::VenueName(r.key.venue)))
                                                 .arg(r.key.number, 2)
                                                 .arg(Q(r.name))
                                                 .arg(course)
                                                 .arg(store.Runners(r.key).size())
                                                 .arg(r.hasResult ? QStringLiteral("結果") : QStringLiteral("出馬表")),
                races_);
            item->setData(Qt::UserRole, Q(store::RaceIdText(r.key)));
        }
    } catch (const UserError& e) {
        Log(Q(e.Message()));
    }
}

void RaceDataDialog::Build()
{
    QListWidgetItem* item = races_->currentItem();
    if (!item) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("作成するレースを選んでください。"));
        return;
    }
    try {
        store::RaceStore store(store_);
        auto key = store::ParseRaceName(item->data(Qt::UserRole).toString().toStdString());
        if (!key)
            return;
        store::BuiltRace race = store::BuildRace(store, *key);
        std::filesystem::path folder = store::WriteRaceFolder(race, staging_);
        QString report = Q(folder.string()) + QStringLiteral(" に作成しました。\n");
        for (const std::string& l : race.report.Lines())
            report += "\n" + Q(l);
        Log(report);
        if (QMessageBox::question(this, windowTitle(), report + QStringLiteral("\n\nこのレースを今すぐ転送しますか？"))
            == QMessageBox::Yes) {
            transfer_ = folder.string();
            accept();
        }
    } catch (const UserError& e) {
        QMessageBox::warning(this, windowTitle(), Q(e.Message()));
    }
}

void RaceDataDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && !worker_.joinable())
        event->acceptProposedAction();
}

void RaceDataDialog::dropEvent(QDropEvent* event)
{
    std::vector<std::filesystem::path> paths;
    for (const QUrl& u : event->mimeData()->urls())
        if (u.isLocalFile())
            paths.push_back(PathOf(u.toLocalFile()));
    Import(paths);
}

void RaceDataDialog::reject()
{
    // Closing while importing cancels the file under way (it is rolled back) and waits for the worker.
    cancelled_ = true;
    if (worker_.joinable()) {
        worker_.join();
        timer_->stop();
    }
    QDialog::reject();
}

} // namespace pado::gui
