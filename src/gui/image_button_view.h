#pragma once

#include <QAbstractButton>

#include "platform/controls.h"

namespace pado {
class Form;
}

namespace pado::gui {

// An image button: paints the model's current picture and hands a click to the form, which runs
// the press animation itself. The picture is repainted the moment the model changes it, so the
// pressed picture is on the screen during the button's wait.
class ImageButtonView : public QAbstractButton {
    Q_OBJECT
public:
    ImageButtonView(Form& form, ImageButton& model, QWidget* parent = nullptr);
    ~ImageButtonView() override;

    ImageButton& Model() { return model_; }
    QSize sizeHint() const override { return { 32, 32 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Form& form_;
    ImageButton& model_;
    int subscription_ = -1;
};

} // namespace pado::gui
