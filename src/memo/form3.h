#pragma once

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

    // True when the text changed since it was last saved or opened (also by the members window
    // and the assist, which write into the pad).
    bool Changed() const { return changed_; }

private:
    void Text1_Change();
    void Image1_Click(); // open the memo named by the first line
    void Image2_Click(); // save under the name of the first line
    // The memo file of the current first line; throws UserError when the name cannot be used.
    std::string MemoPath(Text& name);

    bool changed_ = false;
    Text seen_; // the text at the last change notification, so caret moves do not count as changes
};

} // namespace pado
