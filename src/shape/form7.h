#pragma once

#include "app/form.h"
#include "platform/controls.h"
#include "shape/picture_model.h"

namespace pado {

class Form1;

// The window "展開図": each entrant's running style in Text1 and the field at the first corner and
// at the final turn in Picture1. It stays open beside the others and is refreshed by every press
// of the main window's button.
class Form7 : public Form {
public:
    explicit Form7(App& app);

    TextPane Text1;
    PictureModel Picture1;
};

// The main window's button: reads the race card and the results database, fills Form7 and shows it.
void ShowRaceShape(Form1& f);

} // namespace pado
