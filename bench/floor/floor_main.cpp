// pado_floor PROGRAM_FOLDER: reads and decodes the race's input files once, as every press's floor
// is defined, so that scripts/bench-growth can count its instructions with callgrind
// (--toggle-collect=pado::bench::DecodeInputsOnce*) and set each press against it.
#include <cstdio>
#include <string>

#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado::bench {

// Not inlined: callgrind counts this function and what it calls.
[[gnu::noinline]] std::size_t DecodeInputsOnce(const std::string& folder)
{
    std::size_t lines = 0;
    for (const char* name : { "R1.txt", "Rall.txt", "pado.txt", "kisyuE.txt" }) {
        const std::string path = fs::Join(folder, name);
        if (fs::IsFile(path))
            lines += ReadTextFile(path).size();
    }
    return lines;
}

} // namespace pado::bench

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pado_floor PROGRAM_FOLDER\n");
        return 2;
    }
    try {
        std::printf("%zu lines\n", pado::bench::DecodeInputsOnce(argv[1]));
    } catch (const pado::UserError& e) {
        std::fprintf(stderr, "%s\n", pado::ToUtf8(e.Message()).c_str());
        return 1;
    }
    return 0;
}
