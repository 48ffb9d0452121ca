#pragma once

#include <QWidget>

class QSplitter;
#include <map>
#include <string>

#include "gui/layouts.h"

namespace pado {
class App;
class Form;
} // namespace pado

namespace pado::gui {

class ControlArea;
class DirView;
class ImageButtonView;
class ListView;
class PaneView;

// A top-level window bound to one form: it builds a view for every control the form registers,
// places each by the window's layout (a control the layout does not know is a programming error:
// std::logic_error), and hands closing to the form. A layout with a split puts its two parts in a splitter.
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
    // The smallest client area that still shows every button and some of every pane.
    QSize MinimumClient() const { return minimumSizeHint(); }
    QSize DesignedClient() const { return layout_.client; }

    QSplitter* Splitter() const { return splitter_; }
    // Gives the upper part of the split the room for the open folder and its sub-folders (the race
    // and its entrants at start-up), within reason, with the open folder at the top of the list.
    void FitSplitToFolders();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Takes a control out of the window's own placing, for a window that lays it out itself; returns the
    // area that held the controls.
    QWidget* ReleaseControl(QWidget* control);

private:
    void Place(QWidget* w, const std::string& name, bool stretch);
    // Shortcuts of the buttons, F1 for the manual, and the Tab order.
    void SetUpKeyboard();

    App& app_;
    Form& form_;
    WindowLayout layout_;
    std::map<std::string, PaneView*> panes_;
    std::map<std::string, ImageButtonView*> buttons_;
    DirView* dir_ = nullptr;
    ListView* list_ = nullptr;
    ControlArea* upper_ = nullptr;
    ControlArea* lower_ = nullptr; // the same as upper_ without a split
    QSplitter* splitter_ = nullptr;
    bool closing_ = false;
};

} // namespace pado::gui
