#pragma once

#include "app/form.h"

namespace pado {

// The assist dialog "アシスト": the mode, OK, cancel and the parameter dialog.
class Form5 : public Form {
public:
    explicit Form5(App& app);

    void Form_Load() override;
    // Every way of closing (the buttons and the close box) leaves the selected option as the mode.
    bool Form_QueryUnload() override;

    OptionGroup Options { { U"芝Ⅰ(OP専用)", U"芝Ⅱ(全クラス)", U"ダート（全クラス）", U"ファクター" } };
    CommandButton Command1 { "Command1", U"ＯＫ" };
    CommandButton Command2 { "Command2", U"キャンセル" };
    CommandButton Command3 { "Command3", U"設定" };
};

} // namespace pado
