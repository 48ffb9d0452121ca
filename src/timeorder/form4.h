#pragma once

#include "app/form.h"

namespace pado {

// The distance and time order window "距離＆タイム順".
class Form4 : public Form {
public:
    explicit Form4(App& app);

    TextPane Text1;
    ImageButton Image1; // the race card's distance and time order listing
    ImageButton Image2; // every run of every entrant, one full line each
    ImageButton Image3; // every run of every entrant, shortened

private:
    void Image1_Click(); // the race card's distance and time order listing
    void Image2_Click(); // every run of every entrant, one full line each
    void Image3_Click(); // the same, shortened
    // Replaces the pane with a listing and shows its first line.
    void ShowListing(const Text& listing);
};

} // namespace pado
