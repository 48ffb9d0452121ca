#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "assist/parameters.h"
#include "backtest/race_source.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace pado::backtest {

using AssistParameters = std::array<float, assistParamCount>;

struct AssistOutcome {
    bool ok = false;
    std::string reason; // UTF-8, what stopped start-up or the assist
    std::map<int, std::string> marks; // horse number -> the characters the assist appended (UTF-8)
};

// The parameters of a settings file in the layout of repara.txt, as start-up takes them. Throws
// UserError naming the file when it cannot be read.
AssistParameters ReadAssistParameters(const std::string& file);

// A private folder for a run's temporary files under base ($TMPDIR, else /dev/shm, else /tmp when base is
// empty), removed with the object. Its name carries this process's id and it holds a marker file, so
// that making one first removes the folders of earlier runs whose process is gone (killed before it could
// clear up) and nothing else.
class WorkFolder {
public:
    explicit WorkFolder(const std::string& base = {});
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    // Empty when the folder could not be made.
    const std::string& Path() const { return path_; }
    // A new empty folder inside, for one race; empty when it could not be made.
    std::string NewFolder(const std::string& stem) const;

private:
    std::string path_;
};

// Removes the work folders under base (and the temporary files of atomic writes in it) left by runs whose
// process has ended; returns how many went.
std::size_t RemoveStaleWorkFolders(const std::string& base);
// The folder WorkFolder uses when base is empty.
std::string DefaultWorkBase();
// Where a long run keeps its built races, large and needed until it ends: $TMPDIR, else /var/tmp, else
// /tmp. A disk there lets the system give their pages back when memory runs short, as a memory file
// system cannot.
std::string KeptWorkBase();

// One race's files as of its morning, built once and then assisted any number of times with any
// parameters, each time by a program of its own (its own App in its own program folder) as the user
// would press the assist on that morning. One object is used by one thread at a time; objects on
// different threads run side by side.
class MorningRace {
public:
    // Builds race through source into a new folder of work. Each start of the program gets a program
    // folder of its own in presses, or beside the race's when null. Throws UserError with the reason when
    // it cannot be built.
    MorningRace(RaceSource& source, const RaceOutcome& race, int pastRuns, const WorkFolder& work,
        const WorkFolder* presses = nullptr);
    // Removes the race's folder.
    ~MorningRace();
    MorningRace(const MorningRace&) = delete;
    MorningRace& operator=(const MorningRace&) = delete;

    const RaceOutcome& Race() const { return race_; }
    // Starts the program on the race files and presses the assist in mode 1..4 with params.
    AssistOutcome Assist(int mode, const AssistParameters& params) const;
    // The outcome of Assist(mode, set) for each set in turn, from one start of the program: before each
    // press after the first, the program is put back as start-up left it. Stops after the first outcome
    // that is not ok.
    std::vector<AssistOutcome> AssistEach(int mode, const std::vector<AssistParameters>& sets) const;

private:
    RaceOutcome race_;
    std::string folder_;
    std::string pressBase_;
};

// Starts the program on the race files in programFolder (a folder named PADO holding R1.txt, Rall.txt,
// pado.txt, kisyuE.txt), sets the assist parameters to params when given, and presses the assist in mode
// 1..4, as the user would on the morning of today.
AssistOutcome AssistInProgramFolder(
    const std::string& programFolder, const Date& today, int mode, const AssistParameters* params = nullptr);

// The marks of each entrant row of the memo pad: what the row gained between before and after. Rows are
// the lines that begin with a right-aligned horse number and a space.
std::map<int, std::string> MarksFromMemo(const Text& before, const Text& after);

} // namespace pado::backtest
