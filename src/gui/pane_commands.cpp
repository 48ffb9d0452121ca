#include "gui/pane_commands.h"

#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QShortcut>
#include <QTextDocument>
#include <QTextOption>

#include "gui/pane_view.h"
#include "gui/qt_text.h"
#include "platform/fs.h"

#ifndef PADO_VERSION
#define PADO_VERSION "?"
#endif

namespace pado::gui {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// Control characters (an escape sequence in a horse's name) become spaces; line breaks stay.
QString Printable(QString text)
{
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\n' && u != '\t') || u == 0x7F || (u >= 0x80 && u < 0xA0))
            c = QChar(' ');
    }
    return text;
}

QStringList Lines(const QString& text)
{
    QString t = Printable(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = t.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}

QString WindowTitleOf(const QWidget& w)
{
    return w.window() ? w.window()->windowTitle() : QString();
}

void Export(PaneView& pane, bool csv)
{
    const QString title = csv ? QStringLiteral("CSV で保存") : QStringLiteral("テキストで保存");
    const QString filter = csv ? QStringLiteral("CSV (*.csv)") : QStringLiteral("テキスト (*.txt)");
    QString path;
    if (PaneHooks().saveAs) {
        path = PaneHooks().saveAs(title, filter);
    } else {
        QFileDialog dialog(&pane, title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(filter);
        dialog.setDefaultSuffix(csv ? QStringLiteral("csv") : QStringLiteral("txt"));
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (path.isEmpty())
        return;
    const QString text = pane.toPlainText();
    const QByteArray bytes = csv ? PaneCsvFile(text) : PaneTextFile(text);
    if (!fs::WriteBytesAtomic(PathFromQString(path), bytes.toStdString(), fs::WriteKind::Kept))
        QMessageBox::warning(&pane, title,
            QStringLiteral(
                "ファイル(%1)を書き込めませんでした。\nフォルダーの書き込み権限と空き容量を確認してください。")
                .arg(path));
}

void Print(PaneView& pane)
{
    QPrinter printer(QPrinter::HighResolution);
    const QString title = WindowTitleOf(pane);
    printer.setDocName(title);
    if (PaneHooks().print) {
        if (!PaneHooks().print(printer))
            return;
    } else {
        QPrintDialog dialog(&printer, &pane);
        dialog.setWindowTitle(QStringLiteral("印刷"));
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    PrintText(pane.toPlainText(), title, pane.font(), printer);
}

} // namespace

QString CsvCell(const QString& raw)
{
    QString cell = Printable(raw);
    cell.replace('\n', ' ').replace('\t', ' ');
    // A cell opening with what starts a formula is kept as text by a leading apostrophe; a plain signed
    // number is left as it is, so the columns of weights and changes stay numbers.
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+(\\.[0-9]+)?$"));
    static const QString formulaStart = QStringLiteral("=+-@＝＋－＠");
    if (!cell.isEmpty() && formulaStart.contains(cell.front()) && !number.match(cell).hasMatch())
        cell.prepend('\'');
    cell.replace('"', QStringLiteral("\"\""));
    return '"' + cell + '"';
}

QByteArray PaneTextFile(const QString& text)
{
    return kBom + Lines(text).join('\n').append(text.isEmpty() ? QString() : QStringLiteral("\n")).toUtf8();
}

QByteArray PaneCsvFile(const QString& text)
{
    static const QRegularExpression spaces(QStringLiteral(" +"));
    QByteArray out = kBom;
    for (const QString& line : Lines(text)) {
        QStringList cells;
        for (const QString& c : line.split(spaces, Qt::SkipEmptyParts))
            cells << CsvCell(c);
        out += cells.join(',').toUtf8() + "\r\n";
    }
    return out;
}

void PrintText(const QString& text, const QString& title, const QFont& font, QPrinter& printer)
{
    QTextDocument doc;
    doc.setDefaultFont(font);
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    doc.setPlainText(Printable(text));
    doc.setMetaInformation(QTextDocument::DocumentTitle, title);
    // QTextDocument::print lays the text out on the page and numbers the pages.
    doc.print(&printer);
}

void AddPaneCommands(PaneView& pane, bool aboutBox)
{
    pane.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&pane, &QWidget::customContextMenuRequested, &pane, [&pane, aboutBox](const QPoint& at) {
        QMenu* menu = pane.createStandardContextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        QAction* print = menu->addAction(QStringLiteral("印刷(&P)…"), &pane, [&pane] { Print(pane); });
        print->setShortcut(QKeySequence::Print);
        menu->addAction(QStringLiteral("テキストで保存(&X)…"), &pane, [&pane] { Export(pane, false); });
        menu->addAction(QStringLiteral("CSV で保存(&C)…"), &pane, [&pane] { Export(pane, true); });
        if (aboutBox) {
            menu->addSeparator();
            menu->addAction(QStringLiteral("PADO について(&A)…"), &pane, [&pane] { ShowAbout(&pane); });
        }
        menu->popup(pane.viewport()->mapToGlobal(at));
    });
    auto* key = new QShortcut(QKeySequence::Print, pane.window());
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, &pane, [&pane] { Print(pane); });
}

QString AboutText()
{
    return QStringLiteral("<h3>PADO %1</h3>"
                          "<p>中央競馬のレースを一つずつ検討するための作業台です。</p>"
                          "<p><b>ライセンス</b>: 著作権と利用条件は /usr/share/doc/pado/copyright にあります。</p>"
                          "<p><b>データ</b>: 出馬表・成績は、利用者が用意した JRDB・JV-Data・CSV "
                          "のファイルを「レースデータ」で取り込んで使います。データの権利は各提供元にあり、"
                          "その利用は提供元の規約に従います。同梱の見本レースは架空のデータです。</p>")
        .arg(QStringLiteral(PADO_VERSION));
}

void ShowAbout(QWidget* parent)
{
    QMessageBox::about(parent, QStringLiteral("PADO について"), AboutText());
}

PaneCommandHooks& PaneHooks()
{
    static PaneCommandHooks hooks;
    return hooks;
}

} // namespace pado::gui
