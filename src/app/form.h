#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/text.h"

namespace pado {

class App;

// A window of the system without any toolkit: its control models, its event handlers and its
// lifecycle. The Qt front end renders the controls and forwards events; the replay driver and the
// tests call the same entry points.
class Form {
public:
    Form(App& app, std::string name, Text caption);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    const Text& Caption() const { return caption_; }
    App& GetApp() { return app_; }

    // Lifecycle, driven by App::Show / App::Close.
    virtual void Form_Load() { }
    virtual bool Form_QueryUnload() { return true; } // false keeps the window open
    virtual void Form_Unload() { }
    bool IsLoaded() const { return loaded_; }
    bool IsVisible() const { return visible_; }

    // Event entry points. Click and KeyPress return false when the form has no such control.
    bool Click(const std::string& control);
    bool KeyPress(const std::string& control, int keyAscii);
    // Runs work as one press (its files written when it ends), as a click does; for work a window
    // of the front end starts outside the form's own controls.
    void RunPress(const std::function<void()>& work);

    // The controls, for the front end and the replay driver.
    const std::vector<ImageButton*>& Images() const { return images_; }
    const std::map<std::string, TextPane*>& Panes() const { return panes_; }
    const std::map<std::string, TextBox*>& Boxes() const { return boxes_; }
    const std::vector<CommandButton*>& Commands() const { return commands_; }
    OptionGroup* Options() const { return options_; }
    DirList* Dir() const { return dir_; }
    ListBox* List() const { return list_; }

    // The window's own delay routine: waits, pumping window events, and returns the clock reading.
    double WaitTimer(float seconds);

    // Runs one event's work; a UserError from anywhere below shows its message and ends the work,
    // and so does any other failure (lack of memory included), in general words.
    void RunGuarded(const std::function<void()>& work);

protected:
    // Every image button starts its click with the press animation, then does its work.
    void AddImage(ImageButton& b, std::function<void()> work);
    void AddPane(const std::string& name, TextPane& pane) { panes_[name] = &pane; }
    void AddBox(const std::string& name, TextBox& box) { boxes_[name] = &box; }
    void AddCommand(CommandButton& b, std::function<void()> onClick);
    void SetOptions(OptionGroup& g) { options_ = &g; }
    void SetDir(DirList& d) { dir_ = &d; }
    void SetList(ListBox& l) { list_ = &l; }
    void OnKey(const std::string& control, std::function<void(int)> handler) { keys_[control] = std::move(handler); }
    // The press animation: pressed picture, the button's wait, normal picture.
    void Press(ImageButton& b);

private:
    friend class App;
    App& app_;
    std::string name_;
    Text caption_;
    bool loaded_ = false;
    bool visible_ = false;
    std::vector<ImageButton*> images_;
    std::map<std::string, std::function<void()>> clicks_;
    std::map<std::string, TextPane*> panes_;
    std::map<std::string, TextBox*> boxes_;
    std::vector<CommandButton*> commands_;
    OptionGroup* options_ = nullptr;
    DirList* dir_ = nullptr;
    ListBox* list_ = nullptr;
    std::map<std::string, std::function<void(int)>> keys_;
};

} // namespace pado
