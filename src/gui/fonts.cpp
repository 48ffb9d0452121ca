#include "gui/fonts.h"

#include <QStringList>

namespace pado::gui {

QFont PaneFont()
{
    QFont f;
    // Named explicitly: a generic "Monospace" resolves to a Latin font whose Japanese glyphs break
    // the columns.
    f.setFamilies({ QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic") });
    f.setPointSizeF(11.25);
    f.setStyleHint(QFont::TypeWriter);
    // Horizontal hinting would round a half-width advance of 7.5 pixels up to 8 while a full-width
    // one stays 15, and the columns would drift apart along the line.
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setKerning(false);
    return f;
}

QFont LabelFont()
{
    QFont f;
    f.setFamilies({ QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"),
        QStringLiteral("IPAGothic") });
    f.setPointSizeF(9);
    return f;
}

} // namespace pado::gui
