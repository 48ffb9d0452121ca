#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "gui/fonts.h"

namespace pado::gui {
namespace {

// Every view lays out columns assuming a full-width character takes exactly two half-width
// cells; with a font that breaks this, the career and detail tables come out ragged.
TEST(PaneFont, FullWidthCharactersAreExactlyTwoHalfWidthCells)
{
    const QFont font = PaneFont();
    const QFontInfo info(font);
    EXPECT_TRUE(info.family() == "IPAGothic" || info.family().contains("Gothic") || info.family().contains("ゴシック"))
        << info.family().toStdString();
    EXPECT_NEAR(info.pointSizeF(), 11.25, 0.01);

    const QFontMetricsF m(font);
    const qreal half = m.horizontalAdvance(QStringLiteral("A"));
    ASSERT_GT(half, 0);
    for (const QString& full : { QStringLiteral("あ"), QStringLiteral("馬"), QStringLiteral("Ａ"), QStringLiteral("　"),
             QStringLiteral("１") })
        EXPECT_DOUBLE_EQ(m.horizontalAdvance(full), 2 * half) << full.toStdString();
    for (const QString& narrow :
        { QStringLiteral(" "), QStringLiteral("1"), QStringLiteral("."), QStringLiteral("m"), QStringLiteral("ｱ") })
        EXPECT_DOUBLE_EQ(m.horizontalAdvance(narrow), half) << narrow.toStdString();
    // Along a line the cells add up without drift: 20 full-width characters end where 40
    // half-width ones do.
    EXPECT_DOUBLE_EQ(m.horizontalAdvance(QString(20, QChar(0x99AC))), m.horizontalAdvance(QString(40, 'x')));
}

// A glyph the font lacks would be drawn as an empty box; the pane must draw Japanese text.
TEST(PaneFont, DrawsJapaneseGlyphs)
{
    const QFont font = PaneFont();
    const QFontMetricsF m(font);
    for (const QString& s : { QStringLiteral("有馬記念"), QStringLiteral("アドマイヤ"), QStringLiteral("芝ダ良稍重不"),
             QStringLiteral("Ⅰ①") })
        for (QChar c : s)
            EXPECT_TRUE(m.inFont(c)) << QString(c).toStdString();
}

} // namespace
} // namespace pado::gui
