#include "gui/race_data_window.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/backtest_window.h"
#include "gui/screen_fit.h"
#include "gui/shortcuts.h"
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

// Counts the worker's records over every file of the run for the progress bar, and stops it on cancel.
class Observer : public store::ImportObserver {
public:
    Observer(std::atomic<long>& records, std::atomic<bool>& cancelled)
        : records_(records)
        , cancelled_(cancelled)
    {
    }
    void FileStarted(const std::filesystem::path&, std::uintmax_t) override
    {
        before_ += inFile_;
        inFile_ = 0;
    }
    void Progress(long records) override
    {
        inFile_ = records;
        records_ = before_ + records;
    }
    bool Cancelled() override { return cancelled_; }

private:
    std::atomic<long>& records_;
    std::atomic<bool>& cancelled_;
    long before_ = 0, inFile_ = 0;
};

QString Number(long long n)
{
    return QLocale(QLocale::Japanese).toString(n);
}

QString DateText(long long yyyymmdd)
{
    const QDate d(int(yyyymmdd / 10000), int(yyyymmdd / 100 % 100), int(yyyymmdd % 100));
    return d.isValid() ? d.toString("yyyy-MM-dd") : QString::number(yyyymmdd);
}

// The log takes this many lines per turn of the event loop, so a long problem list never holds the window.
constexpr int kLogBatch = 4000;

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
    // No button takes Enter: in the list it builds the race, elsewhere it does nothing.
    for (QPushButton* b : { addFiles_, addFolder_, cancel_ })
        b->setAutoDefault(false);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setTextVisible(false); // an idle bar says nothing rather than "0%"
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
    log_->setTabChangesFocus(true);
    layout->addWidget(log_, 1);
    storeInfo_ = new QLabel(this);
    storeInfo_->setObjectName("StoreInfo");
    storeInfo_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(storeInfo_);

    auto* day = new QHBoxLayout;
    date_ = new QDateEdit(QDate::currentDate(), this);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat("yyyy-MM-dd");
    date_->setObjectName("Date");
    // The day is typed digit by digit; the list follows once the date is complete, not at every digit.
    date_->setKeyboardTracking(false);
    date_->setCurrentSection(QDateTimeEdit::YearSection);
    date_->installEventFilter(this);
    auto* dayLabel = new QLabel(QStringLiteral("開催日(&D)"), this);
    dayLabel->setBuddy(date_);
    day->addWidget(dayLabel);
    day->addWidget(date_);
    day->addStretch(1);
    build_ = new QPushButton(QStringLiteral("作成"), this);
    build_->setObjectName("Build");
    build_->setToolTip(QStringLiteral("選んだレースのファイルを作ります（一覧で Enter またはダブルクリック）"));
    day->addWidget(build_);
    backtest_ = new QPushButton(QStringLiteral("検証…"), this);
    backtest_->setObjectName("Backtest");
    const QKeySequence backtestKey = ButtonShortcut("RaceData", "Backtest");
    backtest_->setShortcut(backtestKey);
    backtest_->setToolTip(QStringLiteral("取り込んだレースで予想の印を結果と照らし合わせます（%1）")
                              .arg(backtestKey.toString(QKeySequence::NativeText)));
    day->addWidget(backtest_);
    for (QPushButton* b : { build_, backtest_ })
        b->setAutoDefault(false);
    layout->addLayout(day);
    races_ = new QListWidget(this);
    races_->setObjectName("Races");
    races_->installEventFilter(this);
    layout->addWidget(races_, 1);
    FitWindowToScreen(this, QSize(640, 560));

    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] { Poll(); });
    logTimer_ = new QTimer(this);
    logTimer_->setInterval(0);
    connect(logTimer_, &QTimer::timeout, this, [this] { FlushLog(); });
    connect(addFiles_, &QPushButton::clicked, this, [this] {
        // Files are told by content, so every file is offered first; archives are read without unpacking.
        QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("取り込むファイル"), QString(),
            QStringLiteral("すべてのファイル (*);;アーカイブ (*.zip *.lzh *.lha *.tar.gz *.tgz);;"
                           "CSV (*.csv *.txt)"));
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
    // A calendar page of another month shows that month's race days too.
    connect(date_->calendarWidget(), &QCalendarWidget::currentPageChanged, this, [this] { ShowStore(); });
    ShowDay();
    ShowStore();
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
    // A window of its own beside this one: the user goes on importing while it runs. As this window's child it
    // takes no input from it; when this window goes, it stays on its own.
    if (!backtestWindow_) {
        backtestWindow_ = new BacktestWindow(programFolder_, {}, this);
        backtestWindow_->setAttribute(Qt::WA_DeleteOnClose);
        backtestWindow_->SetParametersChanged(parametersChanged);
    }
    backtestWindow_->show();
    backtestWindow_->raise();
    backtestWindow_->activateWindow();
    return backtestWindow_;
}

void RaceDataDialog::Log(const QString& line)
{
    pendingLog_ << line;
    if (!logTimer_->isActive())
        logTimer_->start();
}

void RaceDataDialog::FlushLog()
{
    const qsizetype n = std::min<qsizetype>(kLogBatch, pendingLog_.size() - logged_);
    if (n > 0)
        log_->appendPlainText(pendingLog_.mid(logged_, n).join('\n'));
    logged_ += n;
    if (logged_ >= pendingLog_.size()) {
        pendingLog_.clear();
        logged_ = 0;
        logTimer_->stop();
    }
}

bool RaceDataDialog::Say(const QString& text, bool question)
{
    if (ask)
        return ask(text, question);
    if (question)
        return QMessageBox::question(this, windowTitle(), text) == QMessageBox::Yes;
    QMessageBox::information(this, windowTitle(), text);
    return false;
}

void RaceDataDialog::SetIdle(bool idle)
{
    addFiles_->setEnabled(idle);
    addFolder_->setEnabled(idle);
    build_->setEnabled(idle);
    cancel_->setEnabled(!idle);
    progress_->setTextVisible(!idle || progress_->maximum() > 0);
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
    if (files_ == 0) {
        Log(QStringLiteral("取り込むファイルがありません。"));
        return;
    }
    progress_->setRange(0, static_cast<int>(files_));
    progress_->setValue(0);
    SetIdle(false);
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
    progress_->setFormat(QStringLiteral("%v / %m ファイル  %1 レコード").arg(Number(records_.load())));
    if (done_)
        Finished();
}

void RaceDataDialog::Finished()
{
    timer_->stop();
    if (worker_.joinable())
        worker_.join();
    std::lock_guard lock(mutex_);
    store::ImportCounts total;
    std::size_t committed = 0, refused = 0, cancelledFiles = 0;
    long problems = 0;
    for (const store::FileImport& r : reports_) {
        QString line = Q(r.file.string());
        if (!r.committed) {
            (r.cancelled ? cancelledFiles : refused) += 1;
            Log(line + QStringLiteral(": 取り込みませんでした: ")
                + (r.cancelled ? QStringLiteral("中止しました") : Q(r.error)));
            continue;
        }
        ++committed;
        Log(r.retried ? line
                    + QStringLiteral(": ほかのファイルの取り込み後に読み直し、開催日の分かったレースを取り込みました")
                      : line);
        for (const auto& [type, c] : r.byType) {
            Log(QStringLiteral("  %1: 追加 %2, 置換 %3, 変更なし %4, 対象外 %5, 不正 %6")
                    .arg(Q(type))
                    .arg(c.imported)
                    .arg(c.replaced)
                    .arg(c.unchanged)
                    .arg(c.skipped)
                    .arg(c.malformed));
            total.imported += c.imported;
            total.replaced += c.replaced;
            total.unchanged += c.unchanged;
            total.skipped += c.skipped;
            total.malformed += c.malformed;
        }
        problems += static_cast<long>(r.problems.size());
        for (const std::string& n : r.notes)
            Log("  " + Q(n));
        for (const std::string& p : r.problems)
            Log("  " + Q(p));
    }
    if (!failure_.empty())
        Log(Q(failure_));
    // One closing line sums the run up, whatever scrolled past above it.
    const std::size_t notTried = files_ - std::min(files_, reports_.size());
    QString summary = QStringLiteral("―― %1: %2 ファイル中 %3 を取り込み")
                          .arg(cancelled_ ? QStringLiteral("中止") : QStringLiteral("終了"))
                          .arg(files_)
                          .arg(committed);
    if (refused)
        summary += QStringLiteral("、%1 は取り込めず").arg(refused);
    if (cancelledFiles + notTried)
        summary += QStringLiteral("、%1 は中止で取り込まず").arg(cancelledFiles + notTried);
    summary += QStringLiteral("（%1 レコード: 追加 %2・置換 %3・変更なし %4・対象外 %5・不正 %6、問題 %7 件）")
                   .arg(Number(records_.load()), Number(total.imported), Number(total.replaced),
                       Number(total.unchanged), Number(total.skipped), Number(total.malformed), Number(problems));
    Log(summary);
    progress_->setValue(static_cast<int>(std::min(files_, reports_.size())));
    SetIdle(true);
    ShowDay();
    ShowStore();
}

void RaceDataDialog::ShowDay()
{
    // The race chosen before stays chosen when it is still listed.
    const QString chosen = races_->currentItem() ? races_->currentItem()->data(Qt::UserRole).toString() : QString();
    races_->clear();
    const QDate d = date_->date();
    const int day = (d.year() * 100 + d.month()) * 100 + d.day();
    try {
        store::RaceStore store(store_, store::RaceStore::Access::ReadOnly); // while an import writes
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
            if (item->data(Qt::UserRole).toString() == chosen)
                races_->setCurrentItem(item);
        }
    } catch (const UserError& e) {
        Log(Q(e.Message()));
    }
    if (!races_->currentItem() && races_->count() > 0)
        races_->setCurrentRow(0);
}

void RaceDataDialog::ShowStore()
{
    if (Importing())
        return; // the worker holds the store; the summary follows when it is done
    QCalendarWidget* calendar = date_->calendarWidget();
    calendar->setDateTextFormat(QDate(), QTextCharFormat()); // forgets every mark
    QTextCharFormat raceDay;
    raceDay.setFontWeight(QFont::Bold);
    raceDay.setForeground(QColor(0x1f, 0x5f, 0xbf));
    raceDay.setBackground(QColor(0xdd, 0xea, 0xfb));
    try {
        store::RaceStore store(store_, store::RaceStore::Access::ReadOnly);
        long long first = 0, last = 0, races = 0;
        {
            store::Stmt s(store.Database(), "SELECT min(date), max(date), count(*) FROM races");
            if (s.Step() && !s.IsNull(0)) {
                first = s.Int(0);
                last = s.Int(1);
                races = s.Int(2);
            }
        }
        // The days of the month the calendar shows and those around it, so the page's edges are marked too.
        const QDate page(calendar->yearShown(), calendar->monthShown(), 1);
        const QDate from = page.addMonths(-1), to = page.addMonths(2);
        store::Stmt days(store.Database(), "SELECT DISTINCT date FROM races WHERE date BETWEEN ? AND ?");
        days.Bind(1, std::int64_t(from.year() * 10000 + from.month() * 100 + 1));
        days.Bind(2, std::int64_t(to.year() * 10000 + to.month() * 100 + 31));
        while (days.Step()) {
            const long long n = days.Int(0);
            const QDate d(int(n / 10000), int(n / 100 % 100), int(n % 100));
            if (d.isValid())
                calendar->setDateTextFormat(d, raceDay);
        }
        if (races == 0) {
            storeInfo_->setText(QStringLiteral("取り込んだレースはまだありません。"));
            return;
        }
        // The store is written by imports only, so its files' last change is the newest import.
        QDateTime newest;
        for (const char* suffix : { "", "-wal" }) {
            const QFileInfo info(Q(store_.string() + suffix));
            if (info.exists() && (!newest.isValid() || info.lastModified() > newest))
                newest = info.lastModified();
        }
        storeInfo_->setText(QStringLiteral("取り込み済み: %1 〜 %2、%3 レース、出走馬 %4 頭、最終取り込み %5")
                                .arg(DateText(first), DateText(last), Number(races), Number(store.CountRows("runners")),
                                    newest.isValid() ? newest.toString("yyyy-MM-dd HH:mm") : QStringLiteral("不明")));
    } catch (const UserError& e) {
        storeInfo_->setText(Q(e.Message()));
    }
}

void RaceDataDialog::Build()
{
    if (Importing())
        return;
    QListWidgetItem* item = races_->currentItem();
    if (!item) {
        Say(QStringLiteral("作成するレースを選んでください。"), false);
        return;
    }
    try {
        std::filesystem::path folder;
        QString report;
        {
            store::RaceStore store(store_, store::RaceStore::Access::ReadOnly); // a build only reads
            auto key = store::ParseRaceName(item->data(Qt::UserRole).toString().toStdString());
            if (!key)
                return;
            store::BuiltRace race = store::BuildRace(store, *key);
            folder = store::WriteRaceFolder(race, staging_);
            report = Q(folder.string()) + QStringLiteral(" に作成しました。\n");
            for (const std::string& l : race.report.Lines())
                report += "\n" + Q(l);
        }
        Log(report);
        // The window stays with its report whatever the answer; the transfer may start the program again.
        if (Say(report + QStringLiteral("\n\nこのレースを今すぐ転送しますか？"), true) && transfer)
            transfer(folder.string());
    } catch (const UserError& e) {
        Say(Q(e.Message()), false);
    }
}

bool RaceDataDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == date_ && event->type() == QEvent::KeyPress) {
        // A digit typed where nothing is selected would go into a full section and be refused; it starts the
        // date over at the year instead, and the sections follow one another as they fill (20261227).
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        const bool digit = typed.size() == 1 && typed[0].isDigit();
        const auto* edit = date_->findChild<QLineEdit*>();
        if (digit && !typingDate_ && edit && !edit->hasSelectedText())
            date_->setSelectedSection(QDateTimeEdit::YearSection);
        typingDate_ = digit;
        return false;
    }
    if (watched == date_ && event->type() == QEvent::FocusOut)
        typingDate_ = false;
    if (watched == races_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Build();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RaceDataDialog::showEvent(QShowEvent* event)
{
    // Opened again, the window shows what another program (pado-import) may have added meanwhile.
    if (!Importing()) {
        ShowDay();
        ShowStore();
    }
    QDialog::showEvent(event);
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
    // Closing while importing cancels the file under way (it is rolled back), waits for the worker and
    // reports the run, so the window opened again is ready for the next one.
    if (worker_.joinable()) {
        cancelled_ = true;
        Finished();
    }
    QDialog::reject();
}

} // namespace pado::gui
