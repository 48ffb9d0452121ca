#include "assist/form5.h"

#include "app/app.h"
#include "assist/form6.h"

namespace pado {

Form5::Form5(App& app)
    : Form(app, "Form5", U"アシスト")
{
    SetOptions(Options);
    AddCommand(Command1, [this] {
        GetApp().module1.assistOk = true;
        GetApp().Close(*this);
    });
    AddCommand(Command2, [this] { GetApp().Close(*this); });
    AddCommand(Command3, [this] { GetApp().ShowModal(GetApp().form6()); });
}

void Form5::Form_Load()
{
    Options.Select(1);
}

bool Form5::Form_QueryUnload()
{
    GetApp().module1.assistMode = Options.Selected();
    return true;
}

} // namespace pado
