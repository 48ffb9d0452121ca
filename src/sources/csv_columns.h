#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// The fields a race CSV column can hold, by the names `pado-import add --columns` takes and the manual lists
// (race_id, race_date, horse_name, finish_time, …).
namespace pado::sources {

const std::vector<std::string>& CsvFieldNames();

// A mapping file: one "column=field" a line (UTF-8 or CP932, # starts a comment), for ReadOptions::csvColumns.
// Throws pado::UserError naming the file and line of anything it cannot take, an unknown field above all.
std::map<std::string, std::string> ReadColumnMapping(const std::filesystem::path& file);

} // namespace pado::sources
