#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "backtest/make_race_source.h"
#include "gui/backtest_window.h"

namespace pado::gui::test {
namespace {

pado::testing::MakeRaceSource::Config Races()
{
    pado::testing::MakeRaceSource::Config c;
    c.races = 4;
    c.entrants = 10;
    c.runs = 14;
    c.unbuildable = { 2 };
    return c;
}

// A run fills the table and the chart, says how many races failed, and its outputs can be saved; a
// cancelled run stops and says so.
TEST(BacktestWindow, RunsShowsSavesAndCancels)
{
    const auto config = Races();
    BacktestWindow w("/nonexistent", [config] { return std::make_unique<pado::testing::MakeRaceSource>(config); });
    w.From()->setDate(QDate(2026, 12, 1));
    w.To()->setDate(QDate(2026, 12, 31));
    w.Mode()->setCurrentIndex(3);
    ASSERT_TRUE(w.Run());
    ASSERT_TRUE(w.Wait());
    EXPECT_TRUE(w.Status()->text().contains(QStringLiteral("失敗 1"))) << w.Status()->text().toStdString();
    ASSERT_GE(w.Table()->rowCount(), 3);
    EXPECT_EQ(w.Table()->verticalHeaderItem(w.Table()->rowCount() - 2)->text(), QStringLiteral("全出走馬"));
    EXPECT_EQ(w.Table()->item(w.Table()->rowCount() - 2, 0)->text(), QStringLiteral("30"));
    ASSERT_FALSE(w.Chart()->pixmap().isNull());

    QTemporaryDir saved;
    ASSERT_TRUE(w.SaveTo(saved.path()));
    for (const char* name : { "marks.csv", "summary.csv", "failures.csv", "summary.png", "summary.svg" })
        EXPECT_TRUE(QFile::exists(saved.filePath(name))) << name;

    QTimer::singleShot(0, &w, [&w] { w.Cancel(); });
    ASSERT_TRUE(w.Run());
    ASSERT_TRUE(w.Wait());
    EXPECT_TRUE(w.Status()->text().contains(QStringLiteral("中止しました"))) << w.Status()->text().toStdString();
    EXPECT_FALSE(w.Running());
}

// A parameter file that cannot be read stops the run before it starts, with the reason.
TEST(BacktestWindow, UnreadableParameterFileIsReported)
{
    const auto config = Races();
    BacktestWindow w("/nonexistent", [config] { return std::make_unique<pado::testing::MakeRaceSource>(config); });
    w.Params(0)->setText(QStringLiteral("/nonexistent/repara.txt"));
    EXPECT_FALSE(w.Run());
    EXPECT_TRUE(w.Status()->text().contains(QStringLiteral("repara.txt"))) << w.Status()->text().toStdString();
}

} // namespace
} // namespace pado::gui::test
