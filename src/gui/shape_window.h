#pragma once

#include "gui/form_window.h"

namespace pado {
class Form7;
}

namespace pado::gui {

class PictureView;

// The window "展開図": the form's pane above and the picture of the field below, sharing the
// window's height in a splitter.
class ShapeWindow : public FormWindow {
    Q_OBJECT
public:
    ShapeWindow(App& app, Form7& form);

    PictureView* Picture() const { return picture_; }

private:
    PictureView* picture_ = nullptr;
};

} // namespace pado::gui
