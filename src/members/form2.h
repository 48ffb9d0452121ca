#pragma once

#include "app/form.h"

namespace pado {

// The members window "メンバー": the entrants of today's race and their statistics views.
class Form2 : public Form {
public:
    explicit Form2(App& app);

    void Form_Load() override;

    TextPane Text1;
    ImageButton Image1; // each entrant's finishing counts on turf, dirt and jump races
    ImageButton Image2; // transfers a race's files from the staging folder into the program folder
    ImageButton Image3; // closes every window and ends the program
    ImageButton Image4; // the passing-order table of today's entrants
    ImageButton Image5; // each entrant's overall counts and its jockey's record at today's venue
    ImageButton Image6; // back to the pane's first display
    ImageButton Image7; // each entrant's record at today's venue and distance
    ImageButton Image8; // each entrant's record on today's surface, on good and on other going
    ImageButton Image9; // the race data window: imports data files and builds a race, beside the transfer button

private:
    void Image6_Click(); // restores the first display of the pane
};

} // namespace pado
