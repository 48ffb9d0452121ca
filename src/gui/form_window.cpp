#include "gui/form_window.h"

#include <QCloseEvent>
#include <stdexcept>

#include "app/app.h"
#include "app/form.h"
#include "gui/dir_view.h"
#include "gui/image_button_view.h"
#include "gui/list_view.h"
#include "gui/pane_view.h"
#include "gui/qt_text.h"

namespace pado::gui {

FormWindow::FormWindow(App& app, Form& form, WindowLayout layout)
    : QWidget(nullptr, Qt::Window)
    , app_(app)
    , form_(form)
    , layout_(std::move(layout))
{
    setObjectName(QString::fromStdString(form.Name()));
    setWindowTitle(ToQString(form.Caption()));
    setAttribute(Qt::WA_QuitOnClose, false);
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
        Place(dir_, "Dir1", true);
        setFocusProxy(dir_); // the user starts by choosing a folder
    }
    if (ListBox* l = form.List()) {
        list_ = new ListView(*l, this);
        list_->setObjectName("List1");
        Place(list_, "List1", false);
        // A holding list for one view, not a display: it sits among the buttons, beneath them.
        list_->lower();
    }
    resize(layout_.client);
    setMinimumSize(layout_.client / 2);
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
    placed_[w] = { r, stretch };
    w->setGeometry(r);
}

void FormWindow::resizeEvent(QResizeEvent* event)
{
    const int dw = width() - layout_.client.width();
    const int dh = height() - layout_.client.height();
    for (auto& [w, place] : placed_) {
        const auto& [r, stretch] = place;
        if (!stretch)
            continue;
        // The lower pane follows both edges; the upper directory list only grows sideways.
        const bool upper = r.bottom() < layout_.client.height() / 4;
        w->setGeometry(r.adjusted(0, 0, dw, upper ? 0 : dh));
    }
    QWidget::resizeEvent(event);
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
