#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace pado {

// Plain models of the window controls: the forms own them and decide everything, the front end
// renders them and forwards what the user does.

// Lets a view (the Qt widget, a form's Change handler) hear about every change of a model.
class Observable {
public:
    using Listener = std::function<void()>;
    int Subscribe(Listener l);
    void Unsubscribe(int id);

protected:
    void Notify();

private:
    std::vector<std::pair<int, Listener>> listeners_;
    int next_ = 0;
};

// A multi-line text pane. Text uses "\n" line breaks (files are CR LF; converting is the file
// boundary's business). Caret and selection count characters.
class TextPane : public Observable {
public:
    const Text& GetText() const { return text_; }
    void SetText(const Text& t); // caret to the end, as after typing
    void Clear() { SetText(U""); }
    // Replaces the selection (if any) with s and puts the caret after it.
    void InsertAtCaret(const Text& s);
    void SetCaret(std::size_t pos); // clears the selection
    void SetSelection(std::size_t start, std::size_t length);
    std::size_t Caret() const { return caret_; }
    std::size_t SelectionStart() const { return caret_; }
    std::size_t SelectionLength() const { return selLength_; }

private:
    Text text_;
    std::size_t caret_ = 0;
    std::size_t selLength_ = 0;
};

// A single-line text box of a dialog.
class TextBox : public Observable {
public:
    const Text& GetText() const { return text_; }
    void SetText(const Text& t)
    {
        if (t == text_)
            return;
        text_ = t;
        Notify();
    }

private:
    Text text_;
};

class ListBox : public Observable {
public:
    explicit ListBox(bool sorted = false)
        : sorted_(sorted)
    {
    }
    void Clear();
    void AddItem(const Text& item); // a sorted list keeps its items in text order
    // Replaces every item at once, as Clear and AddItem one by one would leave them, with one
    // change notification instead of one per item.
    void SetItems(Lines items);
    const Lines& Items() const { return items_; }
    bool Sorted() const { return sorted_; }

private:
    Lines items_;
    bool sorted_;
};

// A directory list: the chain of folders from the root down to the open folder, then the open
// folder's sub-folders sorted by name.
class DirList : public Observable {
public:
    void SetPath(const std::string& folder); // opens folder; the open folder is highlighted
    const std::string& Path() const { return path_; }
    void Refresh();
    const std::vector<std::string>& Entries() const { return entries_; }
    std::size_t ChainLength() const { return chainLength_; } // entries_[0..chainLength_) are the chain
    int Highlighted() const { return highlighted_; }
    void Highlight(int index);
    // The entry at the highlighted index; the open folder when nothing is highlighted.
    std::string SelectedFolder() const;
    void Open(); // the highlighted entry becomes the open folder (Enter key, double-click)

private:
    std::string path_;
    std::vector<std::string> entries_;
    std::size_t chainLength_ = 0;
    int highlighted_ = -1;
};

// An image button: its tool-tip, its two pictures and the one showing now.
class ImageButton : public Observable {
public:
    ImageButton(std::string name, Text toolTip, int pressedIcon, int normalIcon, float wait)
        : name_(std::move(name))
        , toolTip_(std::move(toolTip))
        , pressedIcon_(pressedIcon)
        , normalIcon_(normalIcon)
        , picture_(normalIcon)
        , wait_(wait)
    {
    }
    const std::string& Name() const { return name_; }
    const Text& ToolTip() const { return toolTip_; }
    int PressedIcon() const { return pressedIcon_; }
    int NormalIcon() const { return normalIcon_; }
    int Picture() const { return picture_; }
    float Wait() const { return wait_; }
    void ShowPressed() { SetPicture(pressedIcon_); }
    void ShowNormal() { SetPicture(normalIcon_); }

private:
    void SetPicture(int p)
    {
        picture_ = p;
        Notify();
    }
    std::string name_;
    Text toolTip_;
    int pressedIcon_, normalIcon_, picture_;
    float wait_;
};

class CommandButton {
public:
    CommandButton(std::string name, Text caption)
        : name_(std::move(name))
        , caption_(std::move(caption))
    {
    }
    const std::string& Name() const { return name_; }
    const Text& Caption() const { return caption_; }

private:
    std::string name_;
    Text caption_;
};

// Option buttons of one frame: at most one is selected (0 = none, else 1-based).
class OptionGroup : public Observable {
public:
    explicit OptionGroup(Lines captions)
        : captions_(std::move(captions))
    {
    }
    const Lines& Captions() const { return captions_; }
    int Selected() const { return selected_; }
    void Select(int index)
    {
        selected_ = index;
        Notify();
    }

private:
    Lines captions_;
    int selected_ = 0;
};

} // namespace pado
