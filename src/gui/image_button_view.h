#pragma once

#include <QAbstractButton>
#include <QKeySequence>

#include "platform/controls.h"

namespace pado {
class Form;
}

namespace pado::gui {

// An image button: paints the model's current picture and hands a click to the form, which runs
// the press animation itself. The picture is repainted the moment the model changes it, so the
// pressed picture is on the screen during the button's wait. It takes the keyboard focus (Tab),
// shows it with a frame and presses with Space or Enter.
class ImageButtonView : public QAbstractButton {
    Q_OBJECT
public:
    ImageButtonView(Form& form, ImageButton& model, QWidget* parent = nullptr);
    ~ImageButtonView() override;

    ImageButton& Model() { return model_; }
    QSize sizeHint() const override { return { 32, 32 }; }
    // A key that presses the button from anywhere in its window; the tool-tip names it.
    void SetShortcut(const QKeySequence& key);
    // True while any image button's press is running: its wait lets events through, and a click
    // arriving then (the second half of a double-click, an impatient user) is dropped.
    static bool PressRunning() { return running_ > 0; }
    // The window whose button's press is running (nullptr when none): messages open over it.
    static QWidget* PressingWindow() { return running_ > 0 ? pressingWindow_ : nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RunPress();

    Form& form_;
    ImageButton& model_;
    int subscription_ = -1;
    static int running_;
    static QWidget* pressingWindow_;
};

} // namespace pado::gui
