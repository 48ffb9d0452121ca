#pragma once

#include <map>
#include <optional>

#include "platform/text.h"

namespace pado {

class App;
class Form1;

// What one assist press shares between its passes: the main window with its assist state, and
// the input files read once for the whole press (the assist never writes them).
class AssistRun {
public:
    explicit AssistRun(Form1& form, Text pastRunFolder = {});

    Form1& f;
    App& app;
    // The past-run folder being visited (its name is the past run's line).
    Text pastRunFolder;

    const Lines& F3(); // the race card's run block, as the members window copied it
    const Lines& Rall(); // every past run of every entrant
    // One horse's lines of F3(), in their order, and where the line beginning with a given 21
    // characters first stands among them; the two-digit exception asks this for every co-runner of
    // every past race, so the run block is grouped once per assist run instead of scanned each time.
    struct HorseRuns {
        Lines runs;
        std::map<Text, std::size_t> firstByStart;
    };
    const HorseRuns& F3RunsOf(const Text& horseName);
    // The first line of the distance and time window (longer than 2 characters) run at this venue,
    // surface, distance and going; nullptr when there is none. The window does not change while the
    // assist runs, so it is read and indexed once instead of once per solo race.
    const Text* FirstWindowLine(const Text& venue, const Text& surface, long distance, const Text& going);

private:
    std::optional<std::map<Text, HorseRuns>> f3ByHorse_;
    std::optional<Lines> window_;
    std::map<Text, std::size_t> windowIndex_;
    std::optional<Lines> f3_;
    std::optional<Lines> rall_;
};

} // namespace pado
