// The race data window: files dropped in are imported on a worker thread, and the day's races are listed.
#include <QApplication>
#include <QDateEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
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
    EXPECT_TRUE(window.findChild<QPlainTextEdit*>("Log")->toPlainText().contains(QStringLiteral("出走馬: 追加 1")));
    EXPECT_FALSE(window.FolderToTransfer());
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
