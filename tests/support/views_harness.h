#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/form1.h"
#include "support/program_folder.h"

namespace pado::viewstest {

// The main window of a program folder without start-up: each test puts in the files it needs.
class ViewsHarness : public pado::testing::ProgramFolder {
public:
    Form1& form() { return app().form1(); }
    // The lines of a program-folder file; nullopt when it does not exist.
    std::optional<Lines> Get(const std::string& name);
    // Creates race/<horse> and highlights it in Dir1, as a user's click on an entrant folder does.
    void SelectHorse(const Text& horseName);
    // Highlights the race folder itself (not an entrant folder).
    void SelectRaceFolder();
    // Runs a view as the button's click does, so a UserError ends up in a message box.
    void Run(const std::function<void()>& view) { form().RunGuarded(view); }
};

// A Rall.txt line with every column where the readers expect it: the horse name at 48 to 56, the
// finish at 26 to 27, a 3-character jockey field, and the race tail from column 64.
struct RunLine {
    Text date = U"090405";
    Text venue = U"阪神";
    Text race = U"11";
    Text surface = U"芝";
    Text distance = U"1600";
    Text finish = U"01";
    Text name; // padded to 9 characters
    Text tail = U"ＧＩ 桜花賞";
    Text line() const;
};

} // namespace pado::viewstest
