// 最適化 as the user reaches it: the members window's race data button, the race data window's 検証…, its
// 最適化 tab with a walk forward, 保存… and 「このパラメーターを使う」, against pado-import tune on the same store.
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <fstream>
#include <sstream>

#include "app/app.h"
#include "gui/tune_panel.h"
#include "store_path.h"

#ifdef PADO_IMPORT

namespace pado::gui::test {

namespace {

namespace fsys = std::filesystem;

std::string Bytes(const fsys::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

using TunePath = StorePathTest;

} // namespace

TEST_F(TunePath, FoldsSaveTheCommandLinesFilesAndTheChosenSetIsUsedAtOnce)
{
    RaceDataDialog* raceData = ImportInventedRaces();
    ASSERT_NE(raceData, nullptr);
    QPointer<BacktestWindow> window = PressBacktest(*raceData);
    ASSERT_NE(window, nullptr);
    TunePanel* panel = window->TuneTab();
    ASSERT_NE(panel, nullptr);
    auto* tabs = window->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentWidget(panel);

    // Few races and few sets keep it quick: 中山 over three years, the last ten months checking.
    panel->From()->setDate(QDate(2024, 1, 1));
    panel->Holdout()->setDate(QDate(2026, 3, 1));
    panel->To()->setDate(QDate(2026, 12, 31));
    panel->Venue()->setCurrentIndex(panel->Venue()->findText(QStringLiteral("中山")));
    panel->Mode()->setCurrentIndex(1);
    panel->Objective()->setCurrentIndex(1);
    panel->Budget()->setValue(12);
    panel->Folds()->setValue(2);
    EXPECT_FALSE(panel->SaveButton()->isEnabled()) << "nothing to save before a run";
    ASSERT_TRUE(panel->StartFile()->text().isEmpty()) << "the sample program folder has no repara.txt";
    QPushButton* run = nullptr;
    for (auto* b : panel->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("実行"))
            run = b;
    ASSERT_NE(run, nullptr);
    QTest::mouseClick(run, Qt::LeftButton);
    ASSERT_TRUE(panel->Running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Running(); }, 120000));
    const tune::TuneResult& result = panel->Result();
    ASSERT_EQ(result.evaluations.size(), 12u) << panel->Status()->text().toStdString();
    ASSERT_EQ(panel->Walk().folds.size(), 2u) << panel->Status()->text().toStdString();
    EXPECT_TRUE(panel->FoldsTable()->isVisibleTo(panel));
    EXPECT_EQ(panel->FoldsTable()->rowCount(), 3); // two parts and their total
    EXPECT_TRUE(panel->SaveButton()->isEnabled());

    const fsys::path gui = Data() / "gui", cli = Data() / "cli";
    EXPECT_FALSE(panel->SaveTo(QString::fromStdString(gui.string()))) << "a folder that is not there";
    fsys::create_directories(gui);
    ASSERT_TRUE(panel->SaveTo(QString::fromStdString(gui.string()))) << panel->Status()->text().toStdString();
    const std::string command = "'" PADO_IMPORT "' tune --store '" + Store()
        + "' --from 2024-01-01 --to 2026-12-31 --holdout 2026-03-01 --venue 中山 --mode 2 --objective win"
          " --budget 12 --folds 2 --jobs 2 --out '"
        + cli.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // The chart's picture carries the title: the same run has the same one in both.
    for (const char* name : { "repara.txt", "tuning.csv", "summary.csv", "folds.csv", "tuning.svg" }) {
        ASSERT_TRUE(fsys::exists(gui / name)) << name;
        EXPECT_EQ(Bytes(gui / name), Bytes(cli / name)) << name;
    }
    EXPECT_TRUE(fsys::exists(gui / "tuning.png"));

    // The chosen set reaches the running program without a restart, and both tabs now start from its file.
    ASSERT_NE(result.best, 0u) << "the search found nothing better than the start: choose another seed";
    ASSERT_NE(app().module1.params, result.Best().values);
    EXPECT_FALSE(panel->Confirmation().contains(QStringLiteral("次に起動")));
    ASSERT_TRUE(panel->UseBest(false));
    EXPECT_EQ(app().module1.params, result.Best().values);
    const QString file = QString::fromStdString((ProgramFolder() / "repara.txt").string());
    EXPECT_EQ(window->Params(0)->text(), file);
    EXPECT_EQ(panel->StartFile()->text(), file);
    window->close();
}

} // namespace pado::gui::test

#endif
