#pragma once

#include <filesystem>
#include <string_view>

#include "sources/race_records.h"

// Files are recognised by what they hold (record length and type, a CSV header, SQLite tables), never by their
// names, so that a user can point the import at whatever their data tool wrote.
namespace pado::sources {

enum class SourceKind {
    Unknown,
    Jrdb, // JRDB fixed-length records: SED, SRB, BAC, KYI, UKC (others counted and skipped)
    JvRecords, // JV-Data records, one per CR LF line: RA, SE, KS, UM (others counted and skipped)
    JvDatabase, // a SQLite file in the JV-Data standard database layout (RACE/UMA_RACE or NL_RA/NL_SE tables)
    Csv, // result-table CSV, the 66-column data set or its corner file, or a typed card of an upcoming race
};

// Each looks at the first bytes of a file only (up to 64 KiB); the first that says yes wins, in this order:
// JV database, JRDB, JV records, CSV.
bool LooksLikeJvDatabase(const std::filesystem::path& file);
bool LooksLikeJrdb(std::string_view head);
bool LooksLikeJvRecords(std::string_view head);
bool LooksLikeCsv(std::string_view head);

SourceKind DetectSource(const std::filesystem::path& file);

// Readers stream the file and push records into the sink; a malformed line is reported through the sink and
// reading goes on. A file that cannot be opened at all throws pado::UserError with a Japanese message naming it.
void ReadJrdb(const std::filesystem::path& file, RecordSink& sink);
void ReadJvRecords(const std::filesystem::path& file, RecordSink& sink);
void ReadJvDatabase(const std::filesystem::path& file, RecordSink& sink);
void ReadCsv(const std::filesystem::path& file, RecordSink& sink);

// DetectSource, then the matching reader; false when the file is of no kind we know (nothing is pushed).
bool ReadSource(const std::filesystem::path& file, RecordSink& sink);

} // namespace pado::sources
