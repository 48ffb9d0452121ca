#pragma once

#include <QListWidget>

#include "platform/controls.h"

namespace pado {
class Form;
}

namespace pado::gui {

// A directory list: the folders from the root down to the open folder (open-folder icons, each one
// step further in), then the open folder's sub-folders (closed-folder icons). One click highlights,
// a double-click opens; Enter goes to the form as a key press, which opens the highlighted entry.
class DirView : public QListWidget {
    Q_OBJECT
public:
    DirView(Form& form, const std::string& name, DirList& model, QWidget* parent = nullptr);
    ~DirView() override;

    void SyncFromModel();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Form& form_;
    std::string name_;
    DirList& model_;
    int subscription_ = -1;
    std::vector<std::string> shown_;
    bool applying_ = false;
};

} // namespace pado::gui
