#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QWidget;

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
    std::map<std::string, QString> toolTips; // by control name ("Frame1" for the option frame)
    // When set, Qt's layouts place the controls instead of the rectangles above: it gets the
    // dialog and its controls by name, adds its own captions and sets the Tab order.
    std::function<void(QWidget& dialog, const std::map<std::string, QWidget*>& controls)> arrange;
};

DialogLayout Form5Layout();
DialogLayout Form6Layout();

} // namespace pado::gui
