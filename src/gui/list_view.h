#pragma once

#include <QListWidget>

#include "platform/controls.h"

namespace pado::gui {

// A list box showing its ListBox model's items.
class ListView : public QListWidget {
    Q_OBJECT
public:
    ListView(ListBox& model, QWidget* parent = nullptr);
    ~ListView() override;
    void SyncFromModel();

private:
    ListBox& model_;
    int subscription_ = -1;
};

} // namespace pado::gui
