#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "gui/layouts.h"

namespace pado {
class App;
class Form;
} // namespace pado

namespace pado::gui {

class DirView;
class ImageButtonView;
class ListView;
class PaneView;

// A top-level window bound to one form: it builds a view for every control the form registers,
// places each by the window's layout (a control the layout does not know is a programming error:
// std::logic_error), and hands closing to the form.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    FormWindow(App& app, Form& form, WindowLayout layout);

    Form& GetForm() { return form_; }
    PaneView* Pane(const std::string& name) const;
    ImageButtonView* Button(const std::string& name) const;
    DirView* Dir() const { return dir_; }
    ListView* List() const { return list_; }
    // Brings every view up to date with its model (pending pane changes included).
    void SyncFromModels();
    // Hides the window without asking the form (the form has already agreed to close).
    void HideClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place(QWidget* w, const std::string& name, bool stretch);

    App& app_;
    Form& form_;
    WindowLayout layout_;
    std::map<std::string, PaneView*> panes_;
    std::map<std::string, ImageButtonView*> buttons_;
    DirView* dir_ = nullptr;
    ListView* list_ = nullptr;
    std::map<QWidget*, std::pair<QRect, bool>> placed_; // each view's layout rectangle, stretched?
    bool closing_ = false;
};

} // namespace pado::gui
