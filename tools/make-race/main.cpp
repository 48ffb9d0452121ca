// make-race: writes a generated race (R1.txt, Rall.txt, pado.txt, kisyuE.txt) into a folder.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "emit.h"
#include "model.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "racefiles/render.h"
#include "source_data.h"

namespace {

void Usage()
{
    std::cerr << "usage: make-race [--seed N] [--entrants 2..18] [--runs N] [--past-runs N] --out DIR\n"
                 "       make-race [options] --emit jrdb|jvdata|csv DIR\n"
                 "  --emit       the same invented races as the data files a user imports (pado-import add DIR)\n"
                 "  --runs       runs of the most experienced entrant (the others have 3/8 of it up to all)\n"
                 "  --past-runs  latest runs of each entrant listed in the race card\n";
}

bool ParseInt(const char* s, long long& v)
{
    char* end = nullptr;
    v = std::strtoll(s, &end, 10);
    return end && *end == '\0' && end != s;
}

} // namespace

int main(int argc, char** argv)
{
    makerace::Options o;
    std::string out, emitFormat, emitDir;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        }
        if (i + 1 >= argc) {
            Usage();
            return 2;
        }
        const char* v = argv[++i];
        long long n = 0;
        if (a == "--emit") {
            emitFormat = v;
            if (i + 1 >= argc || (emitFormat != "jrdb" && emitFormat != "jvdata" && emitFormat != "csv")) {
                Usage();
                return 2;
            }
            emitDir = argv[++i];
            continue;
        }
        if (a == "--out") {
            out = v;
            continue;
        }
        if (!ParseInt(v, n)) {
            std::cerr << "make-race: " << a << " needs a number\n";
            return 2;
        }
        if (a == "--seed")
            o.seed = static_cast<std::uint64_t>(n);
        else if (a == "--entrants" && n >= 2 && n <= 18)
            o.entrants = static_cast<int>(n);
        else if (a == "--runs" && n >= 2 && n <= 200)
            o.runs = static_cast<int>(n);
        else if (a == "--past-runs" && n >= 1 && n <= 60)
            o.pastRuns = static_cast<int>(n);
        else {
            std::cerr << "make-race: " << a << " " << v << " is not accepted\n";
            Usage();
            return 2;
        }
    }
    if (out.empty() && emitDir.empty()) {
        Usage();
        return 2;
    }
    if (o.pastRuns >= o.runs) {
        std::cerr << "make-race: --past-runs must be smaller than --runs\n";
        return 2;
    }
    try {
        if (!emitDir.empty()) {
            makerace::SourceData d = makerace::ToSourceData(makerace::Simulate(o));
            if (emitFormat == "csv")
                makerace::EmitCsv(d, emitDir);
            else if (emitFormat == "jrdb")
                makerace::EmitJrdb(d, emitDir);
            else
                makerace::EmitJvData(d, emitDir);
            if (out.empty())
                return 0;
        }
        if (!pado::fs::IsFolder(out) && !pado::fs::CreateFolder(out))
            throw pado::UserError(pado::FromUtf8("cannot create " + out));
        makerace::RaceFiles f = makerace::GenerateRace(o);
        pado::racefiles::WriteRaceFiles(f, out);
    } catch (const std::filesystem::filesystem_error& e) {
        std::cerr << "make-race: " << e.what() << "\n";
        return 1;
    } catch (const pado::UserError& e) {
        std::cerr << "make-race: " << pado::ToUtf8(e.Message()) << "\n";
        return 1;
    }
    return 0;
}
