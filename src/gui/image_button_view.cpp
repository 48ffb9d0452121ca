#include "gui/image_button_view.h"

#include <QPainter>

#include "app/form.h"
#include "gui/icons.h"
#include "gui/qt_text.h"

namespace pado::gui {

ImageButtonView::ImageButtonView(Form& form, ImageButton& model, QWidget* parent)
    : QAbstractButton(parent)
    , form_(form)
    , model_(model)
{
    setObjectName(QString::fromStdString(model.Name()));
    setToolTip(ToQString(model.ToolTip()));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    resize(32, 32);
    subscription_ = model_.Subscribe([this] { repaint(); });
    connect(this, &QAbstractButton::clicked, this, [this] { form_.Click(model_.Name()); });
}

ImageButtonView::~ImageButtonView()
{
    model_.Unsubscribe(subscription_);
}

void ImageButtonView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int side = std::min(width(), height());
    p.drawPixmap(QRect(0, 0, side, side), IconPixmap(model_.Picture(), side, devicePixelRatioF()));
}

} // namespace pado::gui
