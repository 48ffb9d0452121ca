#pragma once

#include <filesystem>
#include <vector>

#include "sources/race_records.h"

// make-race --emit: the invented world written as the data files real users import, so that the import and the
// race builder are tested end to end without any provider's file.
namespace makerace {

struct SourceData {
    std::vector<pado::sources::RaceRecord> races; // every race of the world, today's race as a card (no result)
    std::vector<pado::sources::RunnerRecord> runners;
    std::vector<pado::sources::JockeyRecord> jockeys;
    std::vector<pado::sources::HorseRecord> horses;
};

// Each writes its format's files into dir (created when missing), CP932 with CR LF where the format is.
void EmitJrdb(const SourceData& data, const std::filesystem::path& dir); // SED, SRB, BAC, KYI, UKC files
void EmitJvData(const SourceData& data, const std::filesystem::path& dir); // RA, SE, KS, UM records
void EmitCsv(const SourceData& data, const std::filesystem::path& dir); // result-table CSV and a card CSV

} // namespace makerace
