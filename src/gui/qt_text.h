#pragma once

#include <QString>
#include <string>

#include "platform/text.h"

namespace pado::gui {

// The core counts characters as code points; Qt counts UTF-16 units. These convert at the boundary.
inline QString ToQString(const Text& t)
{
    return QString::fromUcs4(t.data(), static_cast<qsizetype>(t.size()));
}

inline Text FromQString(const QString& s)
{
    auto v = s.toUcs4();
    return Text(v.begin(), v.end());
}

inline QString PathToQString(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string PathFromQString(const QString& s)
{
    return s.toUtf8().toStdString();
}

} // namespace pado::gui
