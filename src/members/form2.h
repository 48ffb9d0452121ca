#pragma once

#include "app/form.h"

namespace pado {

// The members window "メンバー": the entrants of today's race and their statistics views.
class Form2 : public Form {
public:
    explicit Form2(App& app);

    void Form_Load() override;

    TextPane Text1;
    ImageButton Image1, Image2, Image3, Image4, Image5, Image6, Image7, Image8;
    ImageButton Image9; // the race data window, beside the transfer button

private:
    void Image6_Click(); // restores the first display of the pane
};

} // namespace pado
