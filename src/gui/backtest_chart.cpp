#include "gui/backtest_chart.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "gui/backtest_chart_image.h"

namespace pado::gui {

namespace {

constexpr int kWidth = 960;
constexpr int kPanelHeight = 300;
constexpr int kLeft = 60, kRight = 20, kTop = 50, kBottom = 70, kLegend = 52;

const QColor kColours[] = { QColor(0x2b, 0x6c, 0xb0), QColor(0xd9, 0x6c, 0x1f), QColor(0x3a, 0x9a, 0x4a),
    QColor(0x9b, 0x3f, 0xa8), QColor(0x8c, 0x8c, 0x2a) };

QFont ChartFont(int pixels, bool bold = false)
{
    // The proportional face of the IPA fonts the program already needs: every kana and kanji of the
    // labels, and figures that do not spread out like the fixed-pitch face's.
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The larger of the rounded-up maximum and 10, in steps of 10 percent.
double Ceiling(const ChartData& d, bool top3)
{
    double m = 10;
    for (const auto& s : d.series)
        for (double v : top3 ? s.top3Pct : s.winPct)
            m = std::max(m, v);
    return std::ceil(m / 10.0) * 10.0;
}

void DrawPanel(QPainter& p, const ChartData& d, bool top3, int top)
{
    const QString heading = top3 ? QStringLiteral("3着内率 (%)") : QStringLiteral("勝率 (%)");
    const int plotTop = top + kTop, plotBottom = top + kPanelHeight - kBottom;
    const int plotLeft = kLeft, plotRight = kWidth - kRight;
    const double ceiling = Ceiling(d, top3);
    auto y = [&](double v) { return plotBottom - (plotBottom - plotTop) * v / ceiling; };

    p.setFont(ChartFont(15, true));
    p.setPen(Qt::black);
    p.drawText(QRectF(plotLeft, top + 12, plotRight - plotLeft, 24), Qt::AlignLeft | Qt::AlignVCenter, heading);

    p.setFont(ChartFont(11));
    for (double v = 0; v <= ceiling + 1e-9; v += ceiling > 50 ? 20 : 10) {
        p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
        p.drawLine(QPointF(plotLeft, y(v)), QPointF(plotRight, y(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y(v) - 8, plotLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }

    const std::size_t groups = d.groups.size(), series = std::max<std::size_t>(d.series.size(), 1);
    const double slot = groups ? double(plotRight - plotLeft) / double(groups) : 0;
    const double bar = std::min(40.0, slot * 0.8 / double(series));
    for (std::size_t g = 0; g < groups; ++g) {
        const double start = plotLeft + slot * double(g) + (slot - bar * double(series)) / 2;
        for (std::size_t s = 0; s < d.series.size(); ++s) {
            const auto& values = top3 ? d.series[s].top3Pct : d.series[s].winPct;
            const double v = g < values.size() ? values[g] : 0;
            QRectF r(start + bar * double(s), y(v), bar - 2, plotBottom - y(v));
            const QColor c = kColours[s % std::size(kColours)];
            const bool base = g < d.baseline.size() && d.baseline[g];
            p.fillRect(r, base ? QBrush(c, Qt::BDiagPattern) : QBrush(c));
            p.setPen(QPen(c.darker(130), 1));
            p.drawRect(r);
            p.setPen(Qt::black);
            p.setFont(ChartFont(10));
            p.drawText(
                QRectF(r.left() - 6, r.top() - 15, r.width() + 12, 14), Qt::AlignCenter, QString::number(v, 'f', 1));
        }
        p.setFont(ChartFont(12));
        p.drawText(QRectF(plotLeft + slot * double(g), plotBottom + 4, slot, 36),
            Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdString(d.groups[g]));
    }
    // The rate of all runners: what a mark has to beat.
    auto all = std::find(d.groups.begin(), d.groups.end(), std::string(backtest::kAllRunnersGroup));
    if (all != d.groups.end()) {
        const std::size_t g = static_cast<std::size_t>(all - d.groups.begin());
        for (std::size_t s = 0; s < d.series.size(); ++s) {
            const auto& values = top3 ? d.series[s].top3Pct : d.series[s].winPct;
            if (g >= values.size())
                continue;
            p.setPen(QPen(kColours[s % std::size(kColours)], 1.5, Qt::DashLine));
            p.drawLine(QPointF(plotLeft, y(values[g])), QPointF(plotRight, y(values[g])));
        }
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(plotLeft, plotBottom), QPointF(plotRight, plotBottom));
}

void Draw(QPainter& p, const ChartData& d, int height)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRect(0, 0, kWidth, height), Qt::white);
    p.setFont(ChartFont(17, true));
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 4, kWidth, 24), Qt::AlignCenter, QString::fromStdString(d.title));
    DrawPanel(p, d, false, kLegend);
    DrawPanel(p, d, true, kLegend + kPanelHeight);
    // Legend: one colour per parameter file, and what the hatching and the dashes mean.
    p.setFont(ChartFont(12));
    double x = kLeft;
    const double ly = 42;
    for (std::size_t s = 0; s < d.series.size(); ++s) {
        const QColor c = kColours[s % std::size(kColours)];
        p.fillRect(QRectF(x, ly - 6, 14, 12), c);
        const QString label = QString::fromStdString(d.series[s].label);
        p.setPen(Qt::black);
        p.drawText(QRectF(x + 18, ly - 9, 300, 18), Qt::AlignLeft | Qt::AlignVCenter, label);
        x += 18 + p.fontMetrics().horizontalAdvance(label) + 24;
    }
    p.drawText(QRectF(x, ly - 9, kWidth - x - kRight, 18), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("斜線: 基準（全出走馬・1番人気）　破線: 全出走馬の率"));
}

} // namespace

QImage BacktestChartImage(const ChartData& data)
{
    const int height = kLegend + 2 * kPanelHeight;
    QImage image(kWidth, height, QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p, data, height);
    return image;
}

ChartData BacktestChartData(const std::string& title, const std::vector<std::string>& labels,
    const std::vector<std::vector<backtest::GroupStats>>& rows)
{
    ChartData chart;
    chart.title = title;
    if (rows.empty())
        return chart;
    for (const auto& g : rows[0]) {
        chart.groups.push_back(g.group);
        chart.baseline.push_back(g.group == backtest::kAllRunnersGroup || g.group == backtest::kFavouritesGroup);
    }
    for (std::size_t i = 0; i < rows.size() && i < labels.size(); ++i) {
        ChartSeries s;
        s.label = labels[i];
        for (const std::string& group : chart.groups) {
            backtest::GroupStats found;
            for (const auto& g : rows[i])
                if (g.group == group)
                    found = g;
            s.winPct.push_back(found.WinPct());
            s.top3Pct.push_back(found.Top3Pct());
        }
        chart.series.push_back(std::move(s));
    }
    return chart;
}

std::string WriteBacktestChart(const ChartData& data, const std::string& svgPath, const std::string& pngPath)
{
    // Fonts need a GUI application; a command-line run has none and may have no display either.
    std::unique_ptr<QGuiApplication> ownApp;
    if (!QGuiApplication::instance()) {
        if (!std::getenv("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "pado-backtest";
        static char* argv[] = { name, nullptr };
        ownApp = std::make_unique<QGuiApplication>(argc, argv);
    }
    const int height = kLegend + 2 * kPanelHeight;
    {
        QSvgGenerator svg;
        svg.setFileName(QString::fromStdString(svgPath + ".part"));
        svg.setSize(QSize(kWidth, height));
        svg.setViewBox(QRect(0, 0, kWidth, height));
        svg.setTitle(QString::fromStdString(data.title));
        QPainter p;
        if (!p.begin(&svg))
            return "グラフ(" + svgPath + ")を書き込めません。";
        Draw(p, data, height);
        p.end();
    }
    if (std::rename((svgPath + ".part").c_str(), svgPath.c_str()) != 0)
        return "グラフ(" + svgPath + ")を書き込めません。";
    QImage image = BacktestChartImage(data);
    const QString part = QString::fromStdString(pngPath + ".part");
    if (!image.save(part, "PNG") || std::rename((pngPath + ".part").c_str(), pngPath.c_str()) != 0)
        return "グラフ(" + pngPath + ")を書き込めません。";
    return {};
}

} // namespace pado::gui
