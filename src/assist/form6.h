#pragma once

#include <array>
#include <vector>

#include "app/form.h"

namespace pado {

// A caption of a dialog, placed in twips (1/1440 inch) from the dialog's top left corner.
struct DialogLabel {
    Text caption;
    int left = 0;
    int top = 0;
    int width = 0; // 0: as wide as the caption needs
};

// The parameter dialog "パラメーターの確認と変更": the 22 assist parameters in Text1..Text22.
class Form6 : public Form {
public:
    explicit Form6(App& app);

    void Form_Load() override;

    std::array<TextBox, 22> Text; // Text[0] is Text1
    CommandButton Command1 { "Command1", U"変更" };
    CommandButton Command2 { "Command2", U"キャンセル" };
    CommandButton Command3 { "Command3", U"規定値に戻す" };

    // Where each box stands (twips, left and top), and the labels and group captions around them.
    static const std::array<std::pair<int, int>, 22>& BoxPositions();
    static const std::vector<DialogLabel>& Labels();

private:
    void Command1_Click();
    void Command3_Click();
    void ShowValues();
};

} // namespace pado
