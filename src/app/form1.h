#pragma once

#include <string>

#include "app/form.h"
#include "views/main_state.h"

namespace pado {

// The main window "過去結果表示": the race workspace in Dir1, the past-results views, the assist.
class Form1 : public Form {
public:
    explicit Form1(App& app);

    void Form_Load() override; // start-up: builds the race workspace, shows the companions
    void Form_Unload() override; // shut-down: removes the workspace and the start-up work files

    DirList Dir1;
    ListBox List1 { true }; // sorted, so each race's horses come out in finishing order
    TextPane Text1;
    ImageButton Image1; // the highlighted entrant's career, one shortened line per run
    ImageButton Image2; // the result table of the highlighted past run's race
    ImageButton Image3; // pop-up: which of today's entrants ran in that past race
    ImageButton Image4; // clears the lower pane
    ImageButton Image5; // the highlighted entrant's passing orders, run by run
    ImageButton Image6; // the assist: marks the entrants' rows on the memo pad
    ImageButton Image7; // opens the manual page in the browser
    ImageButton Image8; // the highlighted entrant's career, one full line per run
    ImageButton Image9; // past races in which the entrant met other entrants, with their finishes
    ImageButton Image10; // picks No.1 to No.3 from head-to-head meetings in past races
    ImageButton Image11; // 展開図: each entrant's running style and the field at the first corner and the final turn

    // The folder the views work on: the highlighted Dir1 entry (the open folder when none is).
    Text selectedFolder;
    Text selectedHorseName; // its last 9 characters
    MainAssistState state;

    // Refreshes the selection from Dir1, as every view does when it starts.
    void TakeSelection();
    // Takes the selection and tells the user when it is not an entrant folder; false then.
    bool TakeHorseSelection();
    // The race folder of this run (empty when no workspace could be built).
    const std::string& RaceFolder() const { return raceFolder_; }

private:
    void Image4_Click();
    void Image7_Click();
    void Dir1_KeyPress(int keyAscii);
    std::string raceFolder_;
};

// An entrant folder's path: its last component is exactly 9 characters.
bool IsHorseNameFolder(const Text& path);

} // namespace pado
