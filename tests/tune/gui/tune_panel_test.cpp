#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/backtest_window.h"
#include "gui/tune_panel.h"
#include "tune/outputs.h"
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

// A space file narrows the search as it does for the command line; one that cannot be used stops the run
// before it starts, naming the file.
TEST(TunePanel, TheSpaceFileFixesParametersAndAWrongOneDoesNotStart)
{
    QTemporaryDir dir;
    const std::string program = dir.path().toStdString();
    BacktestWindow w(program, [] { return std::make_unique<SpreadSource>(); });
    TunePanel* panel = PanelOf(w, program);
    ASSERT_NE(panel, nullptr);
    const QString space = dir.filePath("space.txt"), wrong = dir.filePath("wrong.txt");
    std::string fixAllBut3;
    for (std::size_t i = 1; i <= assistParamCount; ++i)
        if (i != 3)
            fixAllBut3 += std::to_string(i) + "=" + ToUtf8(ParameterText(DefaultAssistParameters()[i - 1])) + "\n";
    {
        QFile f(space);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(fixAllBut3.c_str());
        QFile g(wrong);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("3=9:1:1\n");
    }
    for (const QString& bad : { wrong, dir.filePath("missing.txt") }) {
        panel->SpaceFile()->setText(bad);
        EXPECT_FALSE(panel->Start());
        EXPECT_TRUE(panel->Status()->text().contains(bad)) << panel->Status()->text().toStdString();
    }
    panel->SpaceFile()->setText(space);
    panel->Budget()->setValue(6);
    ASSERT_TRUE(panel->Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Running(); }, 120000));
    const tune::TuneResult& r = panel->Result();
    ASSERT_EQ(r.evaluations.size(), 6u) << panel->Status()->text().toStdString();
    for (const tune::Evaluation& e : r.evaluations)
        for (std::size_t i = 0; i < assistParamCount; ++i)
            if (i != 2) {
                EXPECT_EQ(e.values[i], DefaultAssistParameters()[i]) << e.index << " " << i + 1;
            }
}

// After the search the panel walks forward through the checking period; a stop there keeps the search, and
// what ended is saved as the command line would.
TEST(TunePanel, WalksForwardAfterTheSearchAndAStopThereKeepsTheSearch)
{
    QTemporaryDir dir;
    const std::string program = dir.path().toStdString();
    BacktestWindow w(program, [] { return std::make_unique<SpreadSource>(); });
    TunePanel* panel = PanelOf(w, program);
    ASSERT_NE(panel, nullptr);
    panel->Budget()->setValue(4);
    panel->Folds()->setValue(3);
    panel->To()->setDate(Q(SpreadSource::Day(6))); // two checking days
    EXPECT_FALSE(panel->Start());
    EXPECT_TRUE(panel->Status()->text().contains(QStringLiteral("前へ進む検証")))
        << panel->Status()->text().toStdString();
    panel->To()->setDate(QDate(2027, 12, 31));
    ASSERT_TRUE(panel->Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Running(); }, 120000));
    ASSERT_EQ(panel->Walk().folds.size(), 3u) << panel->Status()->text().toStdString();
    EXPECT_EQ(panel->FoldsTable()->rowCount(), 4);
    EXPECT_EQ(panel->Walk().folds.front().startTuning.races, panel->Result().Start().tuning.tally.races);
    ASSERT_TRUE(panel->SaveButton()->isEnabled());
    ASSERT_TRUE(panel->SaveTo(dir.path()));
    QFile folds(dir.filePath("folds.csv"));
    ASSERT_TRUE(folds.open(QIODevice::ReadOnly));
    EXPECT_EQ(folds.readAll().toStdString(), tune::FoldsCsv(panel->Walk().folds, tune::Objective::Top3));
    for (const char* name : { "repara.txt", "tuning.csv", "summary.csv", "tuning.svg", "tuning.png" })
        EXPECT_TRUE(QFile::exists(dir.filePath(name))) << name;

    panel->Budget()->setValue(48);
    ASSERT_TRUE(panel->Start());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return panel->Status()->text().startsWith(QStringLiteral("前へ進む検証")); }, 120000));
    panel->Cancel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Running(); }, 120000));
    EXPECT_FALSE(panel->Result().interrupted);
    EXPECT_EQ(panel->Result().evaluations.size(), 48u);
    const std::size_t ended = panel->Walk().folds.size();
    EXPECT_LT(ended, 3u);
    EXPECT_TRUE(panel->Status()->text().contains(QStringLiteral("%1/3 期間で中断しました").arg(ended)))
        << panel->Status()->text().toStdString();
    EXPECT_EQ(panel->FoldsTable()->isVisibleTo(panel), ended > 0);
    EXPECT_TRUE(panel->SaveButton()->isEnabled()) << "the search itself ended";
}

} // namespace
} // namespace pado::gui::test
