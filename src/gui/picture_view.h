#pragma once

#include <QWidget>

namespace pado {
class PictureModel;
}

namespace pado::gui {

// Draws the picture of the field from its model: the first corner and the final turn as two strips
// of turf, the front on the left and the inside rail on top, each entrant a numbered mark coloured
// by its running style, the legend, and the entrants whose style is unknown set aside below.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(PictureModel& model, QWidget* parent = nullptr);
    ~PictureView() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureModel& model_;
    int subscription_ = -1;
};

} // namespace pado::gui
