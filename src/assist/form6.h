#pragma once

#include <array>

#include "app/form.h"

namespace pado {

// The parameter dialog "パラメーターの確認と変更": the 22 assist parameters in Text1..Text22.
class Form6 : public Form {
public:
    explicit Form6(App& app);

    void Form_Load() override;

    std::array<TextBox, 22> Text; // Text[0] is Text1
    CommandButton Command1 { "Command1", U"変更" };
    CommandButton Command2 { "Command2", U"キャンセル" };
    CommandButton Command3 { "Command3", U"規定値に戻す" };

    // The box "変更" refused last (0 is Text1), so the window can put the cursor there; -1: none.
    int RefusedBox() const { return refusedBox_; }

private:
    void Command1_Click();
    void Command3_Click();
    void ShowValues();

    int refusedBox_ = -1;
};

} // namespace pado
