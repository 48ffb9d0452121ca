#include "assist/form6.h"

#include "app/app.h"

namespace pado {

Form6::Form6(App& app)
    : Form(app, "Form6", U"パラメーターの確認と変更")
{
    for (std::size_t i = 0; i < Text.size(); ++i)
        AddBox("Text" + std::to_string(i + 1), Text[i]);
    AddCommand(Command1, [] {});
    AddCommand(Command2, [] {});
    AddCommand(Command3, [] {});
}

}  // namespace pado
