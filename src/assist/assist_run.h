#pragma once

#include <optional>

#include "platform/text.h"

namespace pado {

class App;
class Form1;

// What one assist press shares between its passes: the main window with its assist state, and
// the input files read once for the whole press (the assist never writes them).
class AssistRun {
public:
    explicit AssistRun(Form1& form);

    Form1& f;
    App& app;

    const Lines& F3(); // the race card's run block, as the members window copied it
    const Lines& Rall(); // every past run of every entrant

private:
    std::optional<Lines> f3_;
    std::optional<Lines> rall_;
};

} // namespace pado
