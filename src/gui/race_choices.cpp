#include "gui/race_choices.h"

#include <QComboBox>

#include "gui/qt_text.h"
#include "sources/venue_codes.h"

namespace pado::gui {

QComboBox* NewVenueBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItem(QStringLiteral("全競馬場"));
    for (int code = 1; code <= 10; ++code)
        box->addItem(ToQString(sources::VenueName(code)));
    return box;
}

QComboBox* NewSurfaceBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems(
        { QStringLiteral("芝・ダート・障害"), QStringLiteral("芝"), QStringLiteral("ダ"), QStringLiteral("障") });
    return box;
}

QComboBox* NewModeBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems({ QStringLiteral("1 芝Ⅰ(OP専用)"), QStringLiteral("2 芝Ⅱ(全クラス)"),
        QStringLiteral("3 ダート（全クラス）"), QStringLiteral("4 ファクター") });
    box->setCurrentIndex(2);
    return box;
}

void ReadRaceChoices(const QComboBox& venue, const QComboBox& surface, backtest::RaceQuery& query)
{
    if (venue.currentIndex() > 0)
        query.venue = venue.currentText().toStdString();
    if (surface.currentIndex() > 0)
        query.surface = surface.currentText().toStdString();
}

Date DateOf(const QDate& d)
{
    return Date { d.year(), d.month(), d.day() };
}

} // namespace pado::gui
