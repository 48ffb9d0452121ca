#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sources/race_records.h"

// Files are recognised by what they hold (record length and type, a CSV header, SQLite tables), never by their
// names, so that a user can point the import at whatever their data tool wrote.
namespace pado::sources {

// One source format: how reports name it, how its first bytes are told apart, and its reader. Adding a format
// means its own file with these three and one line in the table of SourceFormats().
struct SourceFormat {
    const char* name; // "JRDB", "JV-Data", "JV-Data データベース", "CSV"
    // Looks at the first bytes of a file only (up to kHeadBytes; fewer when the file is shorter).
    bool (*detect)(std::string_view head);
    // Streams the file and pushes records into the sink; a malformed line is reported through the sink and
    // reading goes on. A file that cannot be opened at all throws pado::UserError with a message naming it.
    void (*read)(const std::filesystem::path& file, RecordSink& sink);
    // The reader needs a file it can seek in (a database), not a stream read once from the start.
    bool needsWholeFile = false;
};

constexpr std::size_t kHeadBytes = 64 * 1024;

// Every format, in the order they are asked: the first whose detect says yes wins.
const std::vector<SourceFormat>& SourceFormats();
// The format of a file's first bytes; nullptr when it is of no kind we know.
const SourceFormat* DetectFormat(std::string_view head);
// The first kHeadBytes of a file; false (errno set) when it cannot be read.
bool ReadHead(const std::filesystem::path& file, std::string& head);
// DetectFormat on the file's head; nullptr for a file that is not regular, cannot be read or is unknown.
const SourceFormat* DetectSource(const std::filesystem::path& file);
// DetectSource, then its reader; false when the file is of no kind we know (nothing is pushed).
bool ReadSource(const std::filesystem::path& file, RecordSink& sink);

// The formats' own detectors and readers, which the table points at.
bool LooksLikeJvDatabase(const std::filesystem::path& file);
bool LooksLikeSqlite(std::string_view head);
bool LooksLikeJrdb(std::string_view head);
bool LooksLikeJvRecords(std::string_view head);
bool LooksLikeCsv(std::string_view head);
void ReadJrdb(const std::filesystem::path& file, RecordSink& sink);
void ReadJvRecords(const std::filesystem::path& file, RecordSink& sink);
void ReadJvDatabase(const std::filesystem::path& file, RecordSink& sink);
void ReadCsv(const std::filesystem::path& file, RecordSink& sink);

} // namespace pado::sources
