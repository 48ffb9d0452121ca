#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <map>
#include <string>
#include <vector>

namespace pado::gui {

// A caption on a dialog that no control owns: group headings and explanations.
struct DialogLabel {
    QString text;
    QRect rect;
    bool wrap = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool heading = false;
    qreal pointSize = 0; // 0: the dialog's font size
};

struct DialogLayout {
    QSize client;
    std::map<std::string, QRect> controls; // "Frame1", "Option1", "Command1", "Text1" ...
    QString frameCaption;
    std::string defaultCommand; // the button Enter presses; empty: none
    std::vector<DialogLabel> labels;
};

DialogLayout Form5Layout();
DialogLayout Form6Layout();

} // namespace pado::gui
