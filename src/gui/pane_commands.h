#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QFont;
class QPrinter;
class QWidget;

namespace pado::gui {

class PaneView;

// What a pane shows, as a file of its own: the text as it is, or CSV with one row per line and the cells
// the columns the line's runs of spaces separate. Both are UTF-8 with a byte order mark, so a spreadsheet
// reads the Japanese right; control characters from the data never reach the file.
QByteArray PaneTextFile(const QString& text);
QByteArray PaneCsvFile(const QString& text);
// One CSV cell: quoted, and a cell a spreadsheet would take for a formula made plain text.
QString CsvCell(const QString& cell);

// Prints text in font (the pane's, so its marks and columns come out as on the screen), lines too wide for
// the page wrapped, the pages numbered; title names the print job.
void PrintText(const QString& text, const QString& title, const QFont& font, QPrinter& printer);

// The pane's context menu gains 印刷… and the exports; Ctrl+P in its window prints it. aboutBox: the menu
// also offers the program's about box.
void AddPaneCommands(PaneView& pane, bool aboutBox);

// The about box's text: the version, the licence and where the race data comes from.
QString AboutText();
void ShowAbout(QWidget* parent);

// Stand-ins for the dialogs, for tests: the file to export to (empty: cancelled), and the print dialog
// (false: cancelled). Unset, the real dialogs ask.
struct PaneCommandHooks {
    std::function<QString(const QString& title, const QString& filter)> saveAs;
    std::function<bool(QPrinter& printer)> print;
};
PaneCommandHooks& PaneHooks();

} // namespace pado::gui
