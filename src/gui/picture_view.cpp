#include "gui/picture_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "gui/fonts.h"
#include "gui/qt_text.h"
#include "shape/form7.h"

namespace pado::gui {

namespace {

QColor StyleColor(Style s)
{
    switch (s) {
    case Style::Nige:
        return QColor(0xd9, 0x45, 0x3b);
    case Style::Senko:
        return QColor(0xf0, 0x8a, 0x24);
    case Style::Sashi:
        return QColor(0x2f, 0x9e, 0x55);
    case Style::Oikomi:
        return QColor(0x2d, 0x68, 0xc4);
    case Style::Unknown:
        break;
    }
    return QColor(0x9a, 0xa3, 0xad);
}

QString Number(int n)
{
    return QString::number(n);
}

void DrawMark(QPainter& p, QPointF centre, double r, Style style, int number)
{
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), std::max(1.0, r / 10)));
    p.setBrush(StyleColor(style));
    p.drawEllipse(centre, r, r);
    QFont f = LabelFont();
    f.setBold(true);
    f.setPixelSize(std::max(7, static_cast<int>(r * (number >= 10 ? 1.0 : 1.2))));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter, Number(number));
}

// One strip of turf: the caption above, "内" and "外" beside it, the marks placed by depth and lane.
void DrawField(QPainter& p, const QRectF& area, const PictureField& field, const QFont& text)
{
    p.setFont(text);
    const QFontMetricsF fm(text);
    const double line = fm.height();
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
        ToQString(field.caption));
    p.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignRight | Qt::AlignVCenter,
        QStringLiteral("← 進行方向"));

    const double labels = fm.horizontalAdvance(QStringLiteral("外")) + 6;
    const QRectF turf(area.left() + labels, area.top() + line + 2, area.width() - labels, area.height() - line - 2);
    if (turf.width() < 20 || turf.height() < 10)
        return;
    p.setPen(QPen(QColor(0x3a, 0x7a, 0x2c), 1.2));
    p.setBrush(QColor(0x9c, 0xd4, 0x8a));
    p.drawRoundedRect(turf, 6, 6);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(QPointF(turf.left() + 4, turf.top() + 3), QPointF(turf.right() - 4, turf.top() + 3));
    p.setPen(Qt::black);
    p.setFont(text);
    p.drawText(QRectF(area.left(), turf.top(), labels, line), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("内"));
    p.drawText(QRectF(area.left(), turf.bottom() - line, labels, line), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("外"));

    const int lanes = std::max(field.lanes, 3);
    const double laneHeight = (turf.height() - 6) / lanes;
    const double radius = std::clamp(std::min(laneHeight * 0.42, turf.width() * kRowGap * 0.4), 4.0, 18.0);
    const double left = turf.left() + radius + 4;
    const double span = std::max(0.0, turf.width() - 2 * (radius + 4));
    for (const PictureMark& m : field.marks) {
        const QPointF centre(left + m.depth * span, turf.top() + 6 + (m.lane + 0.5) * laneHeight);
        DrawMark(p, centre, radius, m.style, m.number);
    }
}

} // namespace

PictureView::PictureView(PictureModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    setObjectName("Picture1");
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));
    subscription_ = model_.Subscribe([this] { update(); });
}

PictureView::~PictureView()
{
    model_.Unsubscribe(subscription_);
}

void PictureView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const RacePicture& picture = model_.Get();
    QFont text = LabelFont();
    text.setPixelSize(std::clamp(height() / 28, 10, 16));
    p.setFont(text);
    const QFontMetricsF fm(text);
    const double line = fm.height();
    const QRectF all = QRectF(rect()).adjusted(6, 4, -6, -4);

    // The legend across the top.
    double x = all.left();
    const double r = line * 0.4;
    for (Style s : { Style::Nige, Style::Senko, Style::Sashi, Style::Oikomi, Style::Unknown }) {
        p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1));
        p.setBrush(StyleColor(s));
        p.drawEllipse(QPointF(x + r, all.top() + line / 2), r, r);
        x += 2 * r + 4;
        p.setPen(Qt::black);
        const QString name = ToQString(StyleName(s));
        p.drawText(QPointF(x, all.top() + fm.ascent()), name);
        x += fm.horizontalAdvance(name) + 12;
    }
    if (picture.Empty()) {
        p.drawText(all.adjusted(0, line, 0, 0), Qt::AlignCenter, QStringLiteral("表示する出走馬がいません。"));
        return;
    }

    // The entrants whose style is unknown, in a band at the bottom: a grey mark and the name each,
    // wrapped to the width.
    const QString asideCaption = QStringLiteral("脚質不明（展開図に入れていません）:");
    struct Placed {
        QPointF at;
        const AsideEntrant* entrant;
    };
    std::vector<Placed> placed;
    const double ar = line * 0.5;
    double ax = all.left() + fm.horizontalAdvance(asideCaption) + 8;
    int asideLines = picture.aside.empty() ? 0 : 1;
    for (const AsideEntrant& a : picture.aside) {
        const double w = 2 * ar + 4 + fm.horizontalAdvance(ToQString(TrimSpaces(a.name))) + 12;
        if (ax + w > all.right() && ax > all.left() + fm.horizontalAdvance(asideCaption) + 8) {
            ax = all.left() + fm.horizontalAdvance(asideCaption) + 8;
            ++asideLines;
        }
        placed.push_back({ QPointF(ax, (asideLines - 1) * (line + 4)), &a });
        ax += w;
    }
    const double asideHeight = asideLines * (line + 4);
    const double asideTop = all.bottom() - asideHeight;

    const double top = all.top() + line + 6;
    const double each = (asideTop - 6 - top - 8) / 2;
    DrawField(p, QRectF(all.left(), top, all.width(), each), picture.firstCorner, text);
    DrawField(p, QRectF(all.left(), top + each + 8, all.width(), each), picture.finalTurn, text);
    if (placed.empty())
        return;
    p.setFont(text);
    p.setPen(Qt::black);
    p.drawText(QPointF(all.left(), asideTop + fm.ascent()), asideCaption);
    for (const Placed& pl : placed) {
        const QPointF at(pl.at.x(), asideTop + pl.at.y());
        DrawMark(p, QPointF(at.x() + ar, at.y() + line / 2), ar, Style::Unknown, pl.entrant->number);
        p.setFont(text);
        p.setPen(Qt::black);
        p.drawText(QPointF(at.x() + 2 * ar + 4, at.y() + fm.ascent()), ToQString(TrimSpaces(pl.entrant->name)));
    }
}

} // namespace pado::gui
