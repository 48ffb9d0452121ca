#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "emit.h"

// What the fixed-length emitters share: the runners of each race, and writing a file of records.
namespace makerace {

struct KeyLess {
    bool operator()(const pado::sources::RaceKey& a, const pado::sources::RaceKey& b) const
    {
        return std::tie(a.year, a.month, a.day, a.venue, a.number)
            < std::tie(b.year, b.month, b.day, b.venue, b.number);
    }
};

using RunnersByRace = std::map<pado::sources::RaceKey, std::vector<const pado::sources::RunnerRecord*>, KeyLess>;
RunnersByRace GroupRunners(const SourceData& data);

// Writes records, each followed by CR LF, into dir/name (the folder created when missing; no file when there
// are no records); throws pado::UserError when the file cannot be written.
void WriteRecords(const std::filesystem::path& dir, const std::string& name, const std::vector<std::string>& records);

// The numbers of a space-separated text ("12 34 56"); what does not read is left out.
std::vector<int> Numbers(const pado::Text& spaced);

} // namespace makerace
