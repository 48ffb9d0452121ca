// 検証 as the user reaches it: the members window's race data button, the race data window's 検証…, then
// 実行, on a store of make-race's invented races, all inside the button's press.
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "store_path.h"

#ifdef PADO_IMPORT

namespace pado::gui::test {

namespace {

namespace fsys = std::filesystem;

// The rows of a CSV file the backtest wrote (no quoted fields in summary.csv's numbers and groups).
std::vector<std::vector<std::string>> CsvRows(const fsys::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (rows.empty() && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line = line.substr(3);
        std::vector<std::string> row;
        std::stringstream s(line);
        for (std::string f; std::getline(s, f, ',');)
            row.push_back(f);
        rows.push_back(row);
    }
    return rows;
}

using BacktestPath = StorePathTest;

} // namespace

TEST_F(BacktestPath, MembersButtonRaceDataBacktestRunEveryRaceOfThePeriod)
{
    const QDate from(2026, 1, 1), to(2026, 12, 31); // a small period: some fifty races
    backtest::RaceQuery query;
    query.from = { 2026, 1, 1 };
    query.to = { 2026, 12, 31 };
    std::size_t inPeriod = 0;
    QPointer<BacktestWindow> backtestWindow;
    bool runningWhenLeft = false;
    // The members window's button opens the race data window beside the others; the user works in it.
    RaceDataDialog* raceData = ImportInventedRaces();
    ASSERT_NE(raceData, nullptr);
    [&] {
        RaceDataDialog& window = *raceData;
        std::string why;
        auto listing = backtest::OpenStoreSource(Store(), why);
        ASSERT_TRUE(listing) << why;
        inPeriod = listing->CountRaces(query);

        backtestWindow = PressBacktest(window);
        ASSERT_NE(backtestWindow, nullptr);
        EXPECT_EQ(backtestWindow->Store()->text().toStdString(), Store());
        backtestWindow->From()->setDate(from);
        backtestWindow->To()->setDate(to);
        QPushButton* run = nullptr;
        for (auto* b : backtestWindow->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("実行"))
                run = b;
        ASSERT_NE(run, nullptr);
        QTest::mouseClick(run, Qt::LeftButton);
        // The user closes the race data window while 検証 runs.
        runningWhenLeft = backtestWindow->Running();
        window.close();
    }();

    ASSERT_GT(inPeriod, 0u);
    ASSERT_TRUE(backtestWindow) << "the 検証 window went with the race data window";
    EXPECT_TRUE(runningWhenLeft);
    EXPECT_TRUE(backtestWindow->isWindow() && backtestWindow->isVisible());
    ASSERT_TRUE(backtestWindow->Wait());
    BacktestWindow& w = *backtestWindow;
    const QString status = w.Status()->text();
    EXPECT_TRUE(status.contains(QStringLiteral("レース %1　処理 %1　失敗 0").arg(inPeriod))) << status.toStdString();
    EXPECT_EQ(w.Failures()->rowCount(), 0);
    std::vector<std::vector<QString>> table;
    std::vector<QString> groups;
    for (int r = 0; r < w.Table()->rowCount(); ++r) {
        groups.push_back(w.Table()->verticalHeaderItem(r)->text());
        std::vector<QString> cells;
        for (int c = 0; c < w.Table()->columnCount(); ++c)
            cells.push_back(w.Table()->item(r, c)->text());
        table.push_back(cells);
    }
    w.close();

    // The command line on the same store and period.
    const fsys::path out = Data() / "cli";
    const std::string command = "'" PADO_IMPORT "' backtest --store '" + Store()
        + "' --from 2026-01-01 --to 2026-12-31 --mode 3 --jobs 2 --out '" + out.string() + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto rows = CsvRows(out / "summary.csv");
    ASSERT_EQ(rows.size(), table.size() + 1);
    for (std::size_t r = 0; r < table.size(); ++r) {
        const auto& row = rows[r + 1]; // params, group, runners, wins, top3, win%, top3%, mean, return%
        ASSERT_EQ(row.size(), 9u);
        EXPECT_EQ(groups[r].toStdString(), row[1]);
        const std::vector<std::string> expected { row[2], row[5], row[6], row[7], row[8] };
        for (std::size_t c = 0; c < expected.size(); ++c) {
            if (!expected[c].empty()) {
                EXPECT_EQ(table[r][c].toStdString(), expected[c]) << row[1] << " column " << c;
            }
        }
    }
}

} // namespace pado::gui::test

#endif
