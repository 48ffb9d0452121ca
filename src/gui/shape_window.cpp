#include "gui/shape_window.h"

#include "gui/layouts.h"
#include "gui/pane_view.h"
#include "gui/picture_view.h"
#include "shape/form7.h"

namespace pado::gui {

namespace {

constexpr int kMargin = 8;
constexpr double kPaneShare = 0.41;

} // namespace

ShapeWindow::ShapeWindow(App& app, Form7& form)
    : FormWindow(app, form, Form7Layout())
{
    picture_ = new PictureView(form.Picture1, this);
    picture_->setGeometry(Form7Layout().controls["Picture1"]);
}

void ShapeWindow::resizeEvent(QResizeEvent* event)
{
    FormWindow::resizeEvent(event);
    const int inner = height() - 3 * kMargin;
    const int paneHeight = static_cast<int>(inner * kPaneShare);
    if (PaneView* pane = Pane("Text1"))
        pane->setGeometry(kMargin, kMargin, width() - 2 * kMargin, paneHeight);
    if (picture_)
        picture_->setGeometry(
            kMargin, 2 * kMargin + paneHeight, width() - 2 * kMargin, height() - 3 * kMargin - paneHeight);
}

} // namespace pado::gui
