#pragma once

#include <QWidget>

class QTextBrowser;

namespace pado::gui {

// The program's own viewer for the manual, for a desktop without a browser: the page with its pictures
// and links inside it, back and forward, in a window that fits the screen.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the local HTML file (a missing file shows a line saying so) and brings the window up.
    void Open(const QString& file);
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace pado::gui
