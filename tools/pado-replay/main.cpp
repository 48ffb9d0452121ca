// pado-replay PROGRAM_FOLDER [SCRIPT]: drives the headless system from a script and prints a
// transcript, one line per event. Scenario tests compare transcripts with stored expectations.
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "platform/fs.h"
#include "replay.h"

using namespace pado;

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: pado-replay PROGRAM_FOLDER [SCRIPT]\n";
        return 2;
    }
    char resolved[4096];
    if (!realpath(argv[1], resolved) || !fs::IsFolder(resolved)) {
        std::cerr << "pado-replay: no such folder: " << argv[1] << "\n";
        return 2;
    }
    std::string folder = resolved;
    std::ifstream file;
    if (argc == 3) {
        file.open(argv[2]);
        if (!file) {
            std::cerr << "pado-replay: cannot read " << argv[2] << "\n";
            return 2;
        }
    }
    std::istream& in = argc == 3 ? static_cast<std::istream&>(file) : std::cin;
    Replay replay(folder, std::cout);
    std::string line;
    std::size_t lineNo = 0;
    try {
        while (std::getline(in, line)) {
            ++lineNo;
            replay.Run(line);
        }
    } catch (const ScriptError& e) {
        std::cout.flush();
        std::cerr << "pado-replay: line " << lineNo << ": " << e.message << "\n";
        return 2;
    }
    return 0;
}
