#include "gui/tune_chart.h"

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "gui/tune_panel.h"
#include "platform/fs.h"

namespace pado::gui {

namespace {

constexpr int kWidth = 960, kHeight = 420;
constexpr int kLeft = 60, kRight = 20, kTop = 60, kBottom = 50;
const QColor kTuning(0x2b, 0x6c, 0xb0);
const QColor kChecking(0xd9, 0x6c, 0x1f);

QFont ChartFont(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void Draw(QPainter& p, const TuneChartData& d)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);
    p.setPen(Qt::black);
    p.setFont(ChartFont(17, true));
    p.drawText(QRectF(0, 4, kWidth, 24), Qt::AlignCenter, QString::fromStdString(d.title));

    const std::size_t n = std::max(d.tuning.size(), d.checking.size());
    double ceiling = 10;
    for (const auto* v : { &d.tuning, &d.checking })
        for (double x : *v)
            if (std::isfinite(x))
                ceiling = std::max(ceiling, x);
    ceiling = std::ceil(ceiling / 10.0) * 10.0;
    const double plotTop = kTop, plotBottom = kHeight - kBottom, plotLeft = kLeft, plotRight = kWidth - kRight;
    auto y = [&](double v) { return plotBottom - (plotBottom - plotTop) * std::clamp(v, 0.0, ceiling) / ceiling; };
    auto x = [&](std::size_t i) {
        return n <= 1 ? (plotLeft + plotRight) / 2 : plotLeft + (plotRight - plotLeft) * double(i) / double(n - 1);
    };

    p.setFont(ChartFont(11));
    const double tick = ceiling > 100 ? std::ceil(ceiling / 100) * 20 : ceiling > 50 ? 20 : 10;
    for (double v = 0; v <= ceiling + 1e-9; v += tick) {
        p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
        p.drawLine(QPointF(plotLeft, y(v)), QPointF(plotRight, y(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y(v) - 8, plotLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    p.drawText(QRectF(plotLeft, plotBottom + 8, plotRight - plotLeft, 18), Qt::AlignCenter,
        QStringLiteral("評価した組 (%1 組)").arg(n));
    p.drawText(QRectF(plotLeft, 30, 300, 18), Qt::AlignLeft | Qt::AlignVCenter,
        QString::fromStdString(d.objective) + QStringLiteral(" (%)"));

    auto dots = [&](const std::vector<double>& v, const QColor& c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        for (std::size_t i = 0; i < v.size(); ++i)
            p.drawEllipse(QPointF(x(i), y(v[i])), 2.5, 2.5);
        p.setBrush(Qt::NoBrush);
    };
    auto line = [&](const std::vector<double>& v, const QColor& c) {
        if (v.empty())
            return;
        QPainterPath path(QPointF(x(0), y(v[0])));
        for (std::size_t i = 1; i < v.size(); ++i) {
            path.lineTo(QPointF(x(i), y(v[i - 1])));
            path.lineTo(QPointF(x(i), y(v[i])));
        }
        p.setPen(QPen(c, 2));
        p.drawPath(path);
    };
    dots(d.tuning, kTuning.lighter(140));
    dots(d.checking, kChecking.lighter(140));
    line(d.bestSoFar, kTuning);
    line(d.bestChecking, kChecking);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(plotLeft, plotBottom), QPointF(plotRight, plotBottom));

    p.setFont(ChartFont(12));
    double lx = plotLeft + 320;
    for (auto [c, label] : { std::pair { kTuning, QStringLiteral("調整期間 (線: それまでの最良)") },
             std::pair { kChecking, QStringLiteral("確認期間 (線: その最良の組)") } }) {
        p.fillRect(QRectF(lx, 33, 14, 12), c);
        p.setPen(Qt::black);
        p.drawText(QRectF(lx + 18, 30, 280, 18), Qt::AlignLeft | Qt::AlignVCenter, label);
        lx += 300;
    }
}

} // namespace

std::string TuneChartTitle(const tune::RunDescription& run)
{
    return "最適化 " + run.from + "〜" + run.to + (run.venue.empty() ? "" : " " + run.venue)
        + (run.surface.empty() ? "" : " " + run.surface) + " (モード" + std::to_string(run.mode) + ")";
}

TuneChartData TuneChartDataOf(const tune::TuneResult& result, tune::Objective o, std::string title)
{
    const tune::ChartSeries s = tune::SeriesOf(result, o);
    TuneChartData d;
    d.title = std::move(title);
    d.objective = tune::ObjectiveLabel(o);
    d.tuning = s.tuning;
    d.checking = s.checking;
    d.bestSoFar = s.bestSoFar;
    d.bestChecking = s.bestChecking;
    return d;
}

QImage TuneChartImage(const TuneChartData& data)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p, data);
    return image;
}

std::string WriteTuneChart(const TuneChartData& data, const std::string& svgPath, const std::string& pngPath)
{
    // Fonts need a GUI application; a command-line run has none and may have no display either.
    std::unique_ptr<QGuiApplication> ownApp;
    if (!QGuiApplication::instance()) {
        if (!std::getenv("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "pado-tune";
        static char* argv[] = { name, nullptr };
        ownApp = std::make_unique<QGuiApplication>(argc, argv);
    }
    QByteArray svgBytes;
    {
        QBuffer buffer(&svgBytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(kWidth, kHeight));
        svg.setViewBox(QRect(0, 0, kWidth, kHeight));
        svg.setTitle(QString::fromStdString(data.title));
        QPainter p;
        if (!p.begin(&svg))
            return "グラフ(" + svgPath + ")を描けません。";
        Draw(p, data);
        p.end();
    }
    if (!fs::WriteBytesAtomic(svgPath, svgBytes.toStdString()))
        return "グラフ(" + svgPath + ")を書き込めません。";
    QByteArray pngBytes;
    {
        QBuffer buffer(&pngBytes);
        buffer.open(QIODevice::WriteOnly);
        if (!TuneChartImage(data).save(&buffer, "PNG"))
            return "グラフ(" + pngPath + ")を描けません。";
    }
    if (!fs::WriteBytesAtomic(pngPath, pngBytes.toStdString()))
        return "グラフ(" + pngPath + ")を書き込めません。";
    return {};
}

} // namespace pado::gui
