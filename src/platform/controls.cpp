#include "platform/controls.h"

#include <algorithm>

#include "platform/fs.h"

namespace pado {

int Observable::Subscribe(Listener l)
{
    listeners_.emplace_back(next_, std::move(l));
    return next_++;
}

void Observable::Unsubscribe(int id)
{
    std::erase_if(listeners_, [id](const auto& p) { return p.first == id; });
}

void Observable::Notify()
{
    // A listener may subscribe or unsubscribe while we call it; work on a copy.
    auto copy = listeners_;
    for (auto& [id, l] : copy)
        l();
}

void TextPane::SetText(const Text& t)
{
    text_ = t;
    caret_ = text_.size();
    selLength_ = 0;
    Notify();
}

void TextPane::InsertAtCaret(const Text& s)
{
    std::size_t start = std::min(caret_, text_.size());
    std::size_t len = std::min(selLength_, text_.size() - start);
    text_.replace(start, len, s);
    caret_ = start + s.size();
    selLength_ = 0;
    Notify();
}

void TextPane::SetCaret(std::size_t pos)
{
    caret_ = std::min(pos, text_.size());
    selLength_ = 0;
    Notify();
}

void TextPane::SetSelection(std::size_t start, std::size_t length)
{
    caret_ = std::min(start, text_.size());
    selLength_ = std::min(length, text_.size() - caret_);
    Notify();
}

void ListBox::Clear()
{
    items_.clear();
    Notify();
}

void ListBox::AddItem(const Text& item)
{
    if (sorted_)
        items_.insert(std::upper_bound(items_.begin(), items_.end(), item), item);
    else
        items_.push_back(item);
    Notify();
}

void ListBox::SetItems(Lines items)
{
    if (sorted_)
        std::stable_sort(items.begin(), items.end()); // equal items stay in the order they came
    items_ = std::move(items);
    Notify();
}

void DirList::SetPath(const std::string& folder)
{
    path_ = folder;
    while (path_.size() > 1 && path_.back() == '/')
        path_.pop_back();
    Refresh();
    highlighted_ = static_cast<int>(chainLength_) - 1;
    Notify();
}

void DirList::Refresh()
{
    entries_.clear();
    std::vector<std::string> chain;
    for (std::string p = path_; !p.empty();) {
        chain.push_back(p);
        if (p == "/" || p == ".")
            break;
        std::string parent = fs::Parent(p);
        if (parent == p)
            break;
        p = parent;
    }
    std::reverse(chain.begin(), chain.end());
    entries_ = chain;
    chainLength_ = chain.size();
    for (auto& sub : fs::SubFolders(path_))
        entries_.push_back(sub);
    if (highlighted_ >= static_cast<int>(entries_.size()))
        highlighted_ = static_cast<int>(chainLength_) - 1;
}

void DirList::Highlight(int index)
{
    if (index < -1 || index >= static_cast<int>(entries_.size()))
        return;
    highlighted_ = index;
    Notify();
}

std::string DirList::SelectedFolder() const
{
    if (highlighted_ >= 0 && highlighted_ < static_cast<int>(entries_.size()))
        return entries_[static_cast<std::size_t>(highlighted_)];
    return path_;
}

void DirList::Open()
{
    SetPath(SelectedFolder());
}

} // namespace pado
