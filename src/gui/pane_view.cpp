#include "gui/pane_view.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

#include "gui/fonts.h"
#include "gui/qt_text.h"

namespace pado::gui {

namespace {

std::size_t Utf16Length(const Text& t, std::size_t from, std::size_t to)
{
    std::size_t n = 0;
    for (std::size_t i = from; i < to && i < t.size(); ++i)
        n += t[i] > 0xFFFF ? 2 : 1;
    return n;
}

} // namespace

PaneView::PaneView(TextPane& model, QWidget* parent)
    : QPlainTextEdit(parent)
    , model_(model)
{
    setFont(PaneFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    document()->setDocumentMargin(2);
    subscription_ = model_.Subscribe([this] { ModelChanged(); });
    connect(this, &QPlainTextEdit::textChanged, this, &PaneView::WidgetTextChanged);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &PaneView::WidgetCursorChanged);
    connect(this, &QPlainTextEdit::selectionChanged, this, &PaneView::WidgetCursorChanged);
    SyncFromModel();
}

PaneView::~PaneView()
{
    model_.Unsubscribe(subscription_);
}

void PaneView::CatchUpBeforeUserInput(QEvent* e)
{
    if (!pending_)
        return;
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        SyncFromModel();
        break;
    default:
        break;
    }
}

bool PaneView::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        // Ctrl+Tab and Ctrl+Shift+Tab leave any pane, the memo pad (where Tab types a tab) included.
        const auto* k = static_cast<QKeyEvent*>(e);
        if ((k->modifiers() & Qt::ControlModifier) && (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab)) {
            // The text edit's own step refuses to leave a pane that takes tabs; the widget's does not.
            QAbstractScrollArea::focusNextPrevChild(k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    CatchUpBeforeUserInput(e);
    return QPlainTextEdit::event(e);
}

bool PaneView::viewportEvent(QEvent* e)
{
    CatchUpBeforeUserInput(e);
    return QPlainTextEdit::viewportEvent(e);
}

void PaneView::ModelChanged()
{
    // A view that empties the pane before writing starts a new listing, even when it begins as the last one
    // did (the race name); it is shown from the top.
    if (!applying_ && model_.GetText().empty())
        cleared_ = true;
    if (applying_ || pending_)
        return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_)
            SyncFromModel();
    });
}

Text PaneView::WidgetText() const
{
    // toRawText keeps every character as typed (toPlainText would turn no-break spaces into spaces).
    Text t = FromQString(document()->toRawText());
    for (char32_t& c : t)
        if (c == 0x2029)
            c = U'\n';
    return t;
}

int PaneView::ToWidgetPos(std::size_t pos) const
{
    return static_cast<int>(Utf16Length(shown_, 0, pos));
}

std::size_t PaneView::ToModelPos(int pos) const
{
    std::size_t units = 0, i = 0;
    while (i < shown_.size() && units < static_cast<std::size_t>(pos)) {
        units += shown_[i] > 0xFFFF ? 2 : 1;
        ++i;
    }
    return i;
}

void PaneView::SyncFromModel()
{
    pending_ = false;
    applying_ = true;
    const Text& want = model_.GetText();
    QTextCursor c(document());
    int firstChanged = -1; // the widget position where the program's change begins
    if (want != shown_) {
        // Replace only the part that differs, so appending a line keeps the view where it was and
        // stays cheap on a long listing.
        std::size_t prefix = 0;
        const std::size_t maxPrefix = std::min(want.size(), shown_.size());
        while (prefix < maxPrefix && want[prefix] == shown_[prefix])
            ++prefix;
        std::size_t suffix = 0;
        while (suffix < maxPrefix - prefix && want[want.size() - 1 - suffix] == shown_[shown_.size() - 1 - suffix])
            ++suffix;
        const int from = ToWidgetPos(prefix);
        firstChanged = from;
        const int to = from + static_cast<int>(Utf16Length(shown_, prefix, shown_.size() - suffix));
        if (prefix == 0 && suffix == 0) {
            setPlainText(ToQString(want));
        } else {
            c.setPosition(from);
            c.setPosition(to, QTextCursor::KeepAnchor);
            c.insertText(ToQString(want.substr(prefix, want.size() - suffix - prefix)));
        }
        shown_ = want;
    }
    const std::size_t start = std::min(model_.SelectionStart(), shown_.size());
    const std::size_t end = std::min(start + model_.SelectionLength(), shown_.size());
    QTextCursor cur = textCursor();
    const int wantAnchor = ToWidgetPos(start);
    const int wantPos = ToWidgetPos(end);
    if (cur.anchor() != wantAnchor || cur.position() != wantPos) {
        cur.setPosition(wantAnchor);
        cur.setPosition(wantPos, QTextCursor::KeepAnchor);
        setTextCursor(cur);
        ensureCursorVisible();
    }
    if (firstChanged >= 0)
        ShowFromLineOf(cleared_ ? 0 : firstChanged);
    cleared_ = false;
    applying_ = false;
}

void PaneView::ShowFromLineOf(int position)
{
    // What the program writes is read from its first line: following the caret to the end of a long
    // listing would hide the race name and the headings above it. The caret stays where the output ended.
    if (position == 0) {
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
        return;
    }
    const int line = document()->findBlock(position).blockNumber();
    if (verticalScrollBar()->value() > line)
        verticalScrollBar()->setValue(line);
}

void PaneView::WidgetTextChanged()
{
    if (applying_)
        return;
    if (pending_) {
        // An edit that did not come through the events above (a program-side change to the
        // widget): the model's text wins.
        SyncFromModel();
        return;
    }
    Text now = WidgetText();
    if (now == shown_)
        return;
    // Hand the user's edit to the model as one replacement of the part that differs, so that the
    // model sees an edit (its change listeners fire) and keeps the rest of the text untouched.
    std::size_t prefix = 0;
    const std::size_t maxPrefix = std::min(now.size(), shown_.size());
    while (prefix < maxPrefix && now[prefix] == shown_[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < maxPrefix - prefix && now[now.size() - 1 - suffix] == shown_[shown_.size() - 1 - suffix])
        ++suffix;
    const Text before = shown_;
    shown_ = now;
    applying_ = true;
    if (model_.GetText() == before) {
        model_.SetSelection(prefix, before.size() - suffix - prefix);
        model_.InsertAtCaret(now.substr(prefix, now.size() - suffix - prefix));
    } else {
        model_.SetText(now);
    }
    applying_ = false;
    WidgetCursorChanged();
}

void PaneView::WidgetCursorChanged()
{
    if (applying_ || pending_)
        return;
    const QTextCursor cur = textCursor();
    const std::size_t start = ToModelPos(cur.selectionStart());
    const std::size_t end = ToModelPos(cur.selectionEnd());
    if (start == model_.SelectionStart() && end - start == model_.SelectionLength())
        return;
    applying_ = true;
    model_.SetSelection(start, end - start);
    applying_ = false;
}

} // namespace pado::gui
