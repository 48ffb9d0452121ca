#pragma once

#include <functional>
#include <vector>

#include "app/form.h"

namespace pado {

// The memo pad "メモ用紙": free text saved to and opened from files named by its first line.
class Form3 : public Form {
public:
    explicit Form3(App& app);

    bool Form_QueryUnload() override; // asks before unsaved text is thrown away
    void Form_Unload() override;

    TextPane Text1;
    ImageButton Image1; // opens the memo named by the first line
    ImageButton Image2; // saves the text under the name of its first line

    // True when the user edited the text since start-up or since it was last saved or opened. What
    // the program writes into the pad (the entrant rows, the assist's marks) can be rebuilt by
    // running the program again, so it never makes a quit ask.
    bool Changed() const { return changed_; }
    // Runs a write of the program into the pad; it does not count as the user's change.
    void WriteByProgram(const std::function<void()>& write);

private:
    void Text1_Change();
    void Image1_Click(); // open the memo named by the first line
    void Image2_Click(); // save under the name of the first line
    // The memo file of name (empty: of the current first line, which name then receives); throws
    // UserError when the name cannot be used.
    std::string MemoPath(Text& name);
    // The names of the memos saved in the program folder, sorted.
    std::vector<Text> SavedMemoNames();

    bool changed_ = false;
    bool programWriting_ = false;
    Text seen_; // the text at the last change notification, so caret moves do not count as changes
};

} // namespace pado
