#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/backtest_window.h"
#include "gui/tune_panel.h"
#include "tune/space.h"
#include "tune/spread_source.h"

namespace pado::gui::test {
namespace {

using pado::testing::SpreadSource;

QDate Q(const Date& d)
{
    return QDate(d.year, d.month, d.day);
}

TunePanel* PanelOf(BacktestWindow& w, const std::string&)
{
    auto* panel = w.findChild<TunePanel*>();
    EXPECT_NE(panel, nullptr) << "the 検証 window has no 最適化 part";
    panel->From()->setDate(QDate(2026, 12, 1));
    panel->To()->setDate(QDate(2027, 12, 31));
    panel->Holdout()->setDate(Q(SpreadSource::Day(5)));
    panel->Mode()->setCurrentIndex(1);
    return panel;
}

// The 検証 window's 最適化 tab searches on a worker thread while the window answers, shows a row per set and
// the chart, and puts the best set into the program folder's repara.txt, where the dialog reads it.
TEST(TunePanel, SearchesOnAThreadShowsTheSetsAndWritesTheChosenOne)
{
    QTemporaryDir dir;
    const std::string program = dir.path().toStdString();
    BacktestWindow w(program, [] { return std::make_unique<SpreadSource>(); });
    TunePanel* panel = PanelOf(w, program);
    ASSERT_NE(panel, nullptr);
    panel->Budget()->setValue(6);
    ASSERT_TRUE(panel->Start());
    EXPECT_TRUE(panel->Running());
    EXPECT_FALSE(panel->Start()) << "a second search while one runs";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Running(); }, 120000));
    const tune::TuneResult& r = panel->Result();
    ASSERT_EQ(r.evaluations.size(), 6u) << panel->Status()->text().toStdString();
    EXPECT_EQ(panel->Table()->rowCount(), 6);
    EXPECT_FALSE(panel->Chart()->pixmap().isNull());
    EXPECT_TRUE(panel->Status()->text().contains(QStringLiteral("確認期間"))) << panel->Status()->text().toStdString();
    if (r.best == 0) {
        EXPECT_FALSE(panel->UseButton()->isEnabled());
        EXPECT_FALSE(panel->UseBest(false));
        return;
    }
    const QString ask = panel->Confirmation();
    for (std::size_t i = 0; i < assistParamCount; ++i)
        if (r.Best().values[i] != r.Start().values[i]) {
            EXPECT_TRUE(ask.contains(QString::fromStdString(ToUtf8(ParameterFieldName(i))))) << i + 1;
        }
    EXPECT_TRUE(ask.contains(QStringLiteral("調整期間")) && ask.contains(QStringLiteral("確認期間")));
    ASSERT_TRUE(panel->UseBest(false));
    EXPECT_EQ(tune::ReadParameterFile(program + "/repara.txt"), r.Best().values);
}

TEST(TunePanel, CancelStopsTheSearchAndABadPeriodDoesNotStart)
{
    QTemporaryDir dir;
    const std::string program = dir.path().toStdString();
    BacktestWindow w(program, [] { return std::make_unique<SpreadSource>(); });
    TunePanel* panel = PanelOf(w, program);
    ASSERT_NE(panel, nullptr);
    panel->Holdout()->setDate(QDate(2026, 11, 1));
    EXPECT_FALSE(panel->Start());
    EXPECT_TRUE(panel->Status()->text().contains(QStringLiteral("確認の始まり")));
    panel->Holdout()->setDate(Q(SpreadSource::Day(5)));
    panel->Budget()->setValue(500);
    ASSERT_TRUE(panel->Start());
    panel->Cancel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Running(); }, 120000));
    EXPECT_LT(panel->Result().evaluations.size(), 500u);
    EXPECT_FALSE(panel->UseBest(false) && !QFile::exists(QString::fromStdString(program + "/repara.txt")));
}

} // namespace
} // namespace pado::gui::test
