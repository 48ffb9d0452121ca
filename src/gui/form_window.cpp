#include "gui/form_window.h"

#include <QCloseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "app/app.h"
#include "app/form.h"
#include "gui/dir_view.h"
#include "gui/image_button_view.h"
#include "gui/list_view.h"
#include "gui/pane_view.h"
#include "gui/qt_text.h"
#include "gui/shortcuts.h"

namespace pado::gui {

// Controls at their layout rectangles; the stretching ones keep their distance to the right and
// bottom edges when the area grows or shrinks.
class ControlArea : public QWidget {
public:
    ControlArea(QSize base, QWidget* parent)
        : QWidget(parent)
        , base_(base)
    {
        resize(base);
    }
    void Add(QWidget* w, QRect r, bool stretch)
    {
        w->setParent(this);
        w->setGeometry(r);
        placed_.push_back({ w, r, stretch });
        // Fixed controls must stay whole; a stretching one may shrink to a small but usable size: a
        // pane keeps a few lines above its scroll bar.
        const QPoint far
            = stretch ? r.topLeft() + QPoint(kSmallestWidth, kSmallestHeight) : r.bottomRight() + QPoint(1, 1);
        minimum_ = minimum_.expandedTo(QSize(far.x() + kMargin, std::max(far.y(), 0)));
        setMinimumSize(minimum_);
    }
    // The control is laid out by someone else from now on.
    void Release(QWidget* w)
    {
        placed_.erase(
            std::remove_if(placed_.begin(), placed_.end(), [w](const Placed& p) { return p.w == w; }), placed_.end());
    }
    QSize sizeHint() const override { return base_; }
    QSize minimumSizeHint() const override { return minimum_; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        const int dw = width() - base_.width();
        const int dh = height() - base_.height();
        for (const Placed& p : placed_)
            if (p.stretch)
                p.w->setGeometry(p.r.adjusted(0, 0, dw, dh));
        QWidget::resizeEvent(event);
    }

private:
    static constexpr int kSmallestWidth = 48;
    static constexpr int kSmallestHeight = 96;
    static constexpr int kMargin = 8;
    struct Placed {
        QWidget* w;
        QRect r;
        bool stretch;
    };
    QSize base_;
    QSize minimum_;
    std::vector<Placed> placed_;
};

FormWindow::FormWindow(App& app, Form& form, WindowLayout layout)
    : QWidget(nullptr, Qt::Window)
    , app_(app)
    , form_(form)
    , layout_(std::move(layout))
{
    setObjectName(QString::fromStdString(form.Name()));
    setWindowTitle(ToQString(form.Caption()));
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    if (layout_.splitAt > 0) {
        splitter_ = new QSplitter(Qt::Vertical, this);
        splitter_->setObjectName("Split");
        splitter_->setChildrenCollapsible(false);
        upper_ = new ControlArea(QSize(layout_.client.width(), layout_.splitAt), splitter_);
        lower_ = new ControlArea(QSize(layout_.client.width(), layout_.client.height() - layout_.splitAt), splitter_);
        splitter_->addWidget(upper_);
        splitter_->addWidget(lower_);
        // A bigger window gives its room to the lower pane; only the user's drag moves the split.
        splitter_->setStretchFactor(0, 0);
        splitter_->setStretchFactor(1, 1);
        splitter_->setSizes({ layout_.splitAt, layout_.client.height() - layout_.splitAt });
        box->addWidget(splitter_);
    } else {
        upper_ = lower_ = new ControlArea(layout_.client, this);
        box->addWidget(upper_);
    }
    for (ImageButton* b : form.Images()) {
        auto* v = new ImageButtonView(form, *b, this);
        buttons_[b->Name()] = v;
        Place(v, b->Name(), false);
    }
    for (const auto& [name, pane] : form.Panes()) {
        auto* v = new PaneView(*pane, this);
        v->setObjectName(QString::fromStdString(name));
        panes_[name] = v;
        Place(v, name, true);
    }
    if (DirList* d = form.Dir()) {
        dir_ = new DirView(form, "Dir1", *d, this);
        Place(dir_, "Dir1", true); // the user starts by choosing a folder: it takes the first focus
    }
    if (ListBox* l = form.List()) {
        list_ = new ListView(*l, this);
        list_->setObjectName("List1");
        list_->setFocusPolicy(Qt::NoFocus);
        Place(list_, "List1", false);
        // A holding list for one view, not a display: it sits among the buttons, beneath them.
        list_->lower();
    }
    resize(layout_.client);
    SetUpKeyboard();
}

void FormWindow::SetUpKeyboard()
{
    bool manualKey = false;
    for (auto& [name, v] : buttons_)
        if (const QKeySequence key = ButtonShortcut(form_.Name(), name); !key.isEmpty()) {
            v->SetShortcut(key);
            manualKey |= key == QKeySequence(Qt::Key_F1);
        }
    if (!manualKey) {
        auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
        help->setContext(Qt::WindowShortcut);
        connect(help, &QShortcut::activated, this, [this] { app_.shell.OpenWebPage("file://" + app_.ManualPath()); });
    }
    // Tab walks the window as it reads: the buttons row by row, then the folder list, then the panes.
    std::vector<std::pair<QRect, QWidget*>> order;
    for (auto& [name, v] : buttons_)
        order.emplace_back(layout_.controls.count(name) ? layout_.controls.at(name) : v->geometry(), v);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return std::pair(a.first.top(), a.first.left()) < std::pair(b.first.top(), b.first.left());
    });
    std::vector<QWidget*> chain;
    for (auto& [r, w] : order)
        chain.push_back(w);
    if (dir_)
        chain.push_back(dir_);
    for (auto& [name, p] : panes_) {
        chain.push_back(p);
        // Tab leaves a pane that shows views; the memo pad, where the user writes, keeps its tab
        // characters and is left with Ctrl+Tab (as every pane is).
        p->setTabChangesFocus(form_.Name() != "Form3");
    }
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    // The window starts with the focus on what it shows, never on a button that Space would press
    // (the members window's first button ends the program).
    if (QWidget* first = dir_ ? static_cast<QWidget*>(dir_) : panes_.empty() ? nullptr : panes_.begin()->second) {
        setFocusProxy(first);
        first->setFocus();
    }
}

void FormWindow::Place(QWidget* w, const std::string& name, bool stretch)
{
    auto it = layout_.controls.find(name);
    if (it == layout_.controls.end()) {
        // Put anywhere, a new control would cover another or fall outside the window; the window
        // refuses instead, so the first run after adding a control without its layout entry says so.
        throw std::logic_error("no layout entry for " + form_.Name() + "." + name);
    }
    const QRect r = it->second;
    if (splitter_ && r.top() >= layout_.splitAt)
        lower_->Add(w, r.translated(0, -layout_.splitAt), stretch);
    else
        upper_->Add(w, r, stretch);
}

void FormWindow::FitSplitToFolders()
{
    if (!splitter_ || !dir_ || dir_->count() == 0)
        return;
    const DirList& model = *form_.Dir();
    const int chain = static_cast<int>(model.ChainLength());
    const int rows = dir_->count() - chain + 1; // the open folder and what it holds
    const int rowHeight = std::max(dir_->sizeHintForRow(0), 1);
    const int wanted = rows * rowHeight + 2 * dir_->frameWidth() + 4 + (upper_->height() - dir_->height());
    const int total = splitter_->sizes().value(0) + splitter_->sizes().value(1);
    // The lower pane keeps at least two fifths: it shows what the buttons print.
    const int upper = std::clamp(wanted, layout_.splitAt, std::max(layout_.splitAt, total * 3 / 5));
    splitter_->setSizes({ upper, total - upper });
    if (chain > 0)
        dir_->scrollToItem(dir_->item(chain - 1), QAbstractItemView::PositionAtTop);
    // Names are read from their start: a narrow list is not left scrolled sideways to the open folder.
    dir_->horizontalScrollBar()->setValue(0);
}

QWidget* FormWindow::ReleaseControl(QWidget* control)
{
    upper_->Release(control);
    lower_->Release(control);
    return upper_;
}

PaneView* FormWindow::Pane(const std::string& name) const
{
    auto it = panes_.find(name);
    return it == panes_.end() ? nullptr : it->second;
}

ImageButtonView* FormWindow::Button(const std::string& name) const
{
    auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void FormWindow::SyncFromModels()
{
    for (auto& [name, p] : panes_)
        p->SyncFromModel();
    if (dir_)
        dir_->SyncFromModel();
    if (list_)
        list_->SyncFromModel();
}

void FormWindow::HideClosed()
{
    closing_ = true;
    hide();
    closing_ = false;
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->accept();
        return;
    }
    // The form decides (the memo pad asks about unsaved text); when it agrees, the shell hides us.
    event->ignore();
    app_.Close(form_);
}

} // namespace pado::gui
