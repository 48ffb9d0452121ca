#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "gui/backtest_chart.h"

namespace pado::gui::test {
namespace {

backtest::GroupStats Group(const char* name, std::size_t runners, std::size_t wins, std::size_t top3)
{
    backtest::GroupStats g;
    g.group = name;
    g.runners = runners;
    g.wins = wins;
    g.top3 = top3;
    return g;
}

// Both files appear, in full and under their own names, labelled in Japanese, with one bar colour per
// parameter file.
TEST(BacktestChart, WritesSvgAndPngOfBothParameterSets)
{
    QTemporaryDir dir;
    const std::vector<std::vector<backtest::GroupStats>> rows {
        { Group("印「k」", 20, 6, 12), Group("印なし", 80, 4, 18), Group("全出走馬", 100, 10, 30),
            Group("1番人気", 10, 4, 7) },
        { Group("印「k」", 25, 5, 12), Group("印なし", 75, 5, 18), Group("全出走馬", 100, 10, 30),
            Group("1番人気", 10, 4, 7) },
    };
    ChartData data = BacktestChartData("検証", { "a.txt", "b.txt" }, rows);
    ASSERT_EQ(data.groups.size(), 4u);
    EXPECT_EQ(data.baseline, (std::vector<bool> { false, false, true, true }));
    EXPECT_DOUBLE_EQ(data.series[1].winPct[0], 20.0);
    EXPECT_DOUBLE_EQ(data.series[0].top3Pct[1], 22.5);

    const std::string svg = dir.filePath("summary.svg").toStdString(), png = dir.filePath("summary.png").toStdString();
    ASSERT_EQ(WriteBacktestChart(data, svg, png), "");
    QFile f(QString::fromStdString(svg));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains("</svg>"));
    EXPECT_TRUE(text.contains(QStringLiteral("勝率"))) << "the headings are drawn as text";
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 600);
    // The bars of the two files are drawn in two colours: count pixels of each.
    int blue = 0, orange = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            QRgb p = image.pixel(x, y);
            blue += p == qRgb(0x2b, 0x6c, 0xb0);
            orange += p == qRgb(0xd9, 0x6c, 0x1f);
        }
    EXPECT_GT(blue, 100);
    EXPECT_GT(orange, 100);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(svg + ".part")));
}

// A folder that cannot be written gives a message, not a crash or a half file.
TEST(BacktestChart, UnwritableFolderIsReported)
{
    ChartData data = BacktestChartData("検証", { "a" }, { { Group("全出走馬", 10, 1, 3) } });
    const std::string message = WriteBacktestChart(data, "/nonexistent/summary.svg", "/nonexistent/summary.png");
    EXPECT_NE(message.find("書き込めません"), std::string::npos) << message;
}

} // namespace
} // namespace pado::gui::test
