#include "gui/shape_window.h"

#include <QLayout>
#include <QSplitter>

#include "gui/layouts.h"
#include "gui/pane_view.h"
#include "gui/picture_view.h"
#include "shape/form7.h"

namespace pado::gui {

ShapeWindow::ShapeWindow(App& app, Form7& form)
    : FormWindow(app, form, Form7Layout())
{
    const WindowLayout designed = Form7Layout();
    const QRect paneAt = designed.controls.at("Text1"), pictureAt = designed.controls.at("Picture1");
    picture_ = new PictureView(form.Picture1, this);
    // The running styles and the field share the height in a splitter, each keeping enough to read:
    // on a low screen neither goes, and the user moves the border.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName("Split");
    split->setChildrenCollapsible(false);
    if (PaneView* pane = Pane("Text1")) {
        QWidget* area = ReleaseControl(pane);
        pane->setMinimumHeight(96);
        split->addWidget(pane);
        layout()->replaceWidget(area, split);
        area->hide();
    }
    picture_->setMinimumHeight(120);
    split->addWidget(picture_);
    split->setStretchFactor(0, paneAt.height());
    split->setStretchFactor(split->count() - 1, pictureAt.height());
    split->setSizes({ paneAt.height(), pictureAt.height() });
    layout()->setContentsMargins(paneAt.left(), paneAt.top(), paneAt.left(), paneAt.top());
}

} // namespace pado::gui
