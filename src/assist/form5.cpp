#include "assist/form5.h"

#include "app/app.h"

namespace pado {

Form5::Form5(App& app)
    : Form(app, "Form5", U"アシスト")
{
    SetOptions(Options);
    AddCommand(Command1, [] {});
    AddCommand(Command2, [] {});
    AddCommand(Command3, [] {});
}

}  // namespace pado
