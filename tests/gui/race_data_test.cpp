// The race data window: files dropped in are imported on a worker thread, and the day's races are listed.
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextCharFormat>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "gui/backtest_window.h"
#include "gui/race_data_window.h"

namespace pado::gui::test {
namespace {

class TempFolder {
public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() / ("pado-race-data-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

TEST(RaceDataWindow, ImportsOnAWorkerAndListsTheRacesOfTheDay)
{
    TempFolder dir;
    std::ofstream(dir.Path() / "card.csv") << "日付,場,R,レース名,距離\n2026-12-27,中山,11,冬星記念,芝2500\n"
                                              "馬番,馬名,性齢,斤量,騎手\n1,カスミゲイル,牡6,58,▲早 瀬\n";
    RaceDataDialog window(dir.Path() / "store" / "races.sqlite", dir.Path() / "PADO-tdy");
    window.findChild<QDateEdit*>()->setDate(QDate(2026, 12, 27));
    auto* races = window.findChild<QListWidget*>("Races");
    ASSERT_NE(races, nullptr);
    EXPECT_EQ(races->count(), 0);

    window.Import({ dir.Path() / "card.csv" });
    for (int i = 0; i < 500 && window.Importing(); ++i)
        QTest::qWait(20); // the window polls the worker from its event loop
    ASSERT_FALSE(window.Importing());
    ASSERT_EQ(races->count(), 1);
    EXPECT_TRUE(races->item(0)->text().contains(QStringLiteral("冬星記念")));
    EXPECT_TRUE(races->item(0)->text().contains(QStringLiteral("出馬表")));
    EXPECT_EQ(races->item(0)->data(Qt::UserRole).toString(), QStringLiteral("202612270611"));
    for (int i = 0; i < 100 && window.LogPending(); ++i)
        QTest::qWait(10);
    const QString log = window.findChild<QPlainTextEdit*>("Log")->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("出走馬: 追加 1")));
    EXPECT_TRUE(log.contains(QStringLiteral("―― 終了: 1 ファイル中 1 を取り込み"))) << log.toStdString();
}

// Two files and a run that counts both, the day marked in the calendar, and Enter in the list building the race.
TEST(RaceDataWindow, EnterOnARaceBuildsItAndTheWindowStaysForTheTransfer)
{
    TempFolder dir;
    std::filesystem::create_directories(dir.Path() / "in");
    std::ofstream(dir.Path() / "in" / "a.csv")
        << "日付,場,R,レース名,距離\n2026-12-27,中山,11,冬星記念,芝2500\n"
           "馬番,馬名,性齢,斤量,騎手\n1,カスミゲイル,牡6,58,▲早 瀬\n2,ヨイヤミ,牝4,55,真 柴\n";
    std::ofstream(dir.Path() / "in" / "b.csv") << "日付,場,R,レース名,距離\n2026-12-27,中山,10,師走特別,ダ1200\n"
                                                  "馬番,馬名,性齢,斤量,騎手\n1,アサカゼ,牡4,57,早 瀬\n";
    RaceDataDialog window(dir.Path() / "store" / "races.sqlite", dir.Path() / "PADO-tdy");
    std::vector<QString> said;
    std::vector<std::string> transferred;
    window.ask = [&](const QString& text, bool question) {
        said.push_back(text);
        return question;
    };
    window.transfer = [&](const std::string& folder) { transferred.push_back(folder); };
    window.show();
    window.findChild<QDateEdit*>()->setDate(QDate(2026, 12, 27));
    window.Import({ dir.Path() / "in" });
    for (int i = 0; i < 500 && (window.Importing() || window.LogPending()); ++i)
        QTest::qWait(20);
    ASSERT_FALSE(window.Importing());
    auto* bar = window.findChild<QProgressBar*>();
    EXPECT_EQ(bar->value(), 2);
    EXPECT_TRUE(bar->text().startsWith(QStringLiteral("2 / 2 ファイル"))) << bar->text().toStdString();
    const QString log = window.findChild<QPlainTextEdit*>("Log")->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("―― 終了: 2 ファイル中 2 を取り込み"))) << log.toStdString();
    EXPECT_TRUE(window.findChild<QLabel*>("StoreInfo")
                    ->text()
                    .contains(QStringLiteral("2026-12-27 〜 2026-12-27、2 レース、出走馬 3 頭")));
    EXPECT_TRUE(window.findChild<QDateEdit*>()->calendarWidget()->dateTextFormat(QDate(2026, 12, 27)).fontWeight()
        == QFont::Bold);
    EXPECT_FALSE(window.findChild<QDateEdit*>()->calendarWidget()->dateTextFormat(QDate(2026, 12, 26)).fontWeight()
        == QFont::Bold);

    auto* races = window.findChild<QListWidget*>("Races");
    ASSERT_EQ(races->count(), 2);
    races->setCurrentRow(1);
    races->setFocus();
    QTest::keyClick(races, Qt::Key_Return);
    ASSERT_EQ(transferred.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(transferred[0]) / "kisyuE.txt"));
    EXPECT_TRUE(said.back().contains(QStringLiteral("今すぐ転送しますか")));
    EXPECT_TRUE(window.isVisible()); // the report stays on the screen after yes
    // The list and the chosen race survive a refresh of the day.
    window.ShowDay();
    EXPECT_EQ(races->currentRow(), 1);
}

// 作成 from the window with names from data: a user's folder under the race's name keeps its file and the race
// goes beside it, and a name that would climb out of the staging folder builds inside it.
TEST(RaceDataWindow, BuildingNeverReplacesWhatItDidNotMakeNorLeavesTheStagingFolder)
{
    TempFolder dir;
    std::filesystem::create_directories(dir.Path() / "cards");
    std::ofstream(dir.Path() / "cards" / "11.csv") << "日付,場,R,レース名,距離\n2026-12-27,中山,11,冬星記念,芝2500\n"
                                                      "馬番,馬名,性齢,斤量,騎手\n1,カスミゲイル,牡6,58,早 瀬\n";
    std::ofstream(dir.Path() / "cards" / "10.csv") << "日付,場,R,レース名,距離\n2026-12-27,中山,10,..,ダ1200\n"
                                                      "馬番,馬名,性齢,斤量,騎手\n1,アサカゼ,牡4,57,早 瀬\n";
    const std::filesystem::path staging = dir.Path() / "PADO-tdy";
    std::filesystem::create_directories(staging / "冬星記念");
    std::ofstream(staging / "冬星記念" / "日記.txt") << "mine";
    RaceDataDialog window(dir.Path() / "store" / "races.sqlite", staging);
    std::vector<std::string> transferred;
    window.ask = [](const QString&, bool question) { return question; };
    window.transfer = [&](const std::string& folder) { transferred.push_back(folder); };
    window.show();
    window.findChild<QDateEdit*>()->setDate(QDate(2026, 12, 27));
    window.Import({ dir.Path() / "cards" });
    for (int i = 0; i < 500 && (window.Importing() || window.LogPending()); ++i)
        QTest::qWait(20);
    auto* races = window.findChild<QListWidget*>("Races");
    ASSERT_EQ(races->count(), 2);
    for (int row = 0; row < 2; ++row) {
        races->setCurrentRow(row);
        races->setFocus();
        QTest::keyClick(races, Qt::Key_Return);
    }
    ASSERT_EQ(transferred.size(), 2u);
    for (const std::string& folder : transferred) {
        const std::filesystem::path built(folder);
        EXPECT_EQ(built.parent_path(), staging) << folder;
        EXPECT_NE(built.filename(), "冬星記念");
        EXPECT_TRUE(std::filesystem::is_regular_file(built / "R1.txt")) << folder;
    }
    std::ifstream kept(staging / "冬星記念" / "日記.txt");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "mine");
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "cards" / "10.csv")); // nothing above the staging folder went
}

TEST(RaceDataWindow, DigitsTypedIntoTheDateChooseTheDay)
{
    TempFolder dir;
    RaceDataDialog window(dir.Path() / "store" / "races.sqlite", dir.Path() / "PADO-tdy");
    window.show();
    auto* date = window.findChild<QDateEdit*>("Date");
    date->setDate(QDate(2020, 1, 1));
    // As the user clicks into it, the caret in the day: the digits of the whole date, the sections in turn.
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QTest::mouseClick(date->findChild<QLineEdit*>(), Qt::LeftButton, {}, QPoint(date->width() / 2, date->height() / 2));
    QTest::keyClicks(date, QStringLiteral("20261227"));
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(date->date(), QDate(2026, 12, 27));
}

TEST(RaceDataWindow, BacktestButtonOpensOneModelessWindowThatOutlivesIt)
{
    TempFolder dir;
    BacktestWindow* opened = nullptr;
    {
        RaceDataDialog window(dir.Path() / "store" / "races.sqlite", dir.Path() / "PADO-tdy", nullptr, "/nonexistent");
        window.show();
        auto* button = window.findChild<QPushButton*>("Backtest");
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QStringLiteral("検証…"));
        EXPECT_TRUE(window.findChildren<BacktestWindow*>().isEmpty());

        QTest::mouseClick(button, Qt::LeftButton);
        auto windows = window.findChildren<BacktestWindow*>();
        ASSERT_EQ(windows.size(), 1);
        opened = windows.front();
        EXPECT_TRUE(opened->isVisible());
        EXPECT_TRUE(opened->isWindow());
        EXPECT_FALSE(opened->isModal());
        EXPECT_EQ(opened->windowTitle(), QStringLiteral("検証"));

        // A second click brings the same window back rather than opening another.
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(window.findChildren<BacktestWindow*>().size(), 1);

        // Closed by the user, it is gone, and the button makes a fresh one.
        opened->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.findChildren<BacktestWindow*>().isEmpty());
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(window.findChildren<BacktestWindow*>().size(), 1);
        opened = window.findChildren<BacktestWindow*>().front();
    }
    // An open 検証 window stays on its own when the race data window goes; closed, it is gone.
    QPointer<BacktestWindow> kept = opened;
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->isWindow() && kept->isVisible());
    EXPECT_EQ(kept->parent(), nullptr);
    kept->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(kept);
}

} // namespace
} // namespace pado::gui::test
