#pragma once

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "sources/race_records.h"
#include "support/temp_dir.h"

// Keeps everything a reader pushes, for the tests to look at.
struct CollectingSink : pado::sources::RecordSink {
    struct Problem {
        std::string file;
        long line;
        std::string reason;
    };
    std::vector<pado::sources::RaceRecord> races;
    std::vector<pado::sources::RunnerRecord> runners;
    std::vector<pado::sources::JockeyRecord> jockeys;
    std::vector<pado::sources::HorseRecord> horses;
    std::vector<Problem> malformed;
    std::map<std::string, int> skipped;
    std::map<std::string, int> notRead;

    void Race(const pado::sources::RaceRecord& r) override { races.push_back(r); }
    void Runner(const pado::sources::RunnerRecord& r) override { runners.push_back(r); }
    void Jockey(const pado::sources::JockeyRecord& j) override { jockeys.push_back(j); }
    void Horse(const pado::sources::HorseRecord& h) override { horses.push_back(h); }
    void Malformed(const std::string& file, long line, const std::string& reason) override
    {
        malformed.push_back({ file, line, reason });
    }
    void Skipped(const std::string& type) override { ++skipped[type]; }
    void NotRead(const std::string& kind) override { ++notRead[kind]; }
};

// A fixed-length record written straight from the published positions (1-based), independently of the
// program's own layout tables: spaces, then each field's bytes; text is given as UTF-8 and stored as CP932.
struct Field {
    int pos;
    std::string value;
};

inline std::string FixedLine(int length, const std::vector<Field>& fields)
{
    std::string line(static_cast<std::size_t>(length), ' ');
    for (const Field& f : fields) {
        std::string bytes = pado::EncodeCp932(pado::FromUtf8(f.value)).bytes;
        line.replace(static_cast<std::size_t>(f.pos - 1), bytes.size(), bytes);
    }
    return line;
}

// A file of the given lines, each ended by CR LF as the data tools write them.
inline std::string WriteLines(const TempDir& dir, const std::string& name, const std::vector<std::string>& lines)
{
    std::string path = dir.File(name);
    std::ofstream out(path, std::ios::binary);
    for (const std::string& l : lines)
        out << l << "\r\n";
    return path;
}
