#include "gui/image_button_view.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyleOptionFocusRect>

#include "app/form.h"
#include "gui/icons.h"
#include "gui/qt_text.h"

namespace pado::gui {

int ImageButtonView::running_ = 0;
QWidget* ImageButtonView::pressingWindow_ = nullptr;

ImageButtonView::ImageButtonView(Form& form, ImageButton& model, QWidget* parent)
    : QAbstractButton(parent)
    , form_(form)
    , model_(model)
{
    setObjectName(QString::fromStdString(model.Name()));
    setToolTip(ToQString(model.ToolTip()));
    setAccessibleName(ToQString(model.ToolTip()));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    resize(32, 32);
    subscription_ = model_.Subscribe([this] { repaint(); });
    connect(this, &QAbstractButton::clicked, this, [this] { RunPress(); });
}

ImageButtonView::~ImageButtonView()
{
    model_.Unsubscribe(subscription_);
}

void ImageButtonView::RunPress()
{
    if (running_ > 0)
        return;
    ++running_;
    pressingWindow_ = window();
    struct Done {
        ~Done() { --running_; }
    } done;
    form_.Click(model_.Name());
}

void ImageButtonView::SetShortcut(const QKeySequence& key)
{
    auto* s = new QShortcut(key, window());
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, [this] {
        if (isVisible())
            click();
    });
    setToolTip(ToQString(model_.ToolTip()) + QStringLiteral("（") + key.toString(QKeySequence::NativeText)
        + QStringLiteral("）"));
}

void ImageButtonView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int side = std::min(width(), height());
    p.drawPixmap(QRect(0, 0, side, side), IconPixmap(model_.Picture(), side, devicePixelRatioF()));
    if (hasFocus()) {
        QStyleOptionFocusRect o;
        o.initFrom(this);
        o.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, this);
        // Some styles draw a faint focus frame over a picture; a plain outline is always seen.
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void ImageButtonView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event); // Space
}

void ImageButtonView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click of the pair has pressed the button; the second is not a press of its own.
    event->accept();
}

} // namespace pado::gui
