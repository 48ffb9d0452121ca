#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "sources/source_reader.h"
#include "store/race_store.h"

namespace pado::store {

struct ImportCounts {
    long imported = 0; // new rows
    long replaced = 0; // rows that existed and changed
    long unchanged = 0; // rows that existed as they were (a re-import)
    long skipped = 0; // records of a type the program does not use, or that name no race it can place
    long malformed = 0;
};

struct FileImport {
    std::filesystem::path file;
    sources::SourceKind kind = sources::SourceKind::Unknown;
    std::map<std::string, ImportCounts> byType; // レース, 出走馬, 騎手, 馬, or a skipped source record type
    std::vector<std::string> problems; // "file:line: reason", UTF-8
    bool committed = false; // false: the store is as it was before this file
    std::string error; // why the file was rolled back (UTF-8), empty when committed or cancelled
    bool cancelled = false;
    long records = 0;
    long unresolved = 0; // records naming a race by 回 and 日目 that the store does not hold (skipped)
    bool retried = false; // read again after the other files, which dated some of its races
};

// Told of progress; may stop the import. Any exception thrown from Progress rolls the current file back.
class ImportObserver {
public:
    virtual ~ImportObserver() = default;
    virtual void FileStarted(const std::filesystem::path&, std::uintmax_t /*bytes*/) { }
    virtual void Progress(long /*recordsInFile*/) { }
    virtual bool Cancelled() { return false; }
};

// Imports one file in one transaction: every good record is merged into the store (a known field overwrites, an
// unknown one keeps what is there); a failure, a full disk or a cancel rolls the whole file back. Never throws
// for the file's content; a store that cannot be written is reported in FileImport::error.
FileImport ImportFile(RaceStore& store, const std::filesystem::path& file, ImportObserver* observer = nullptr);

// Imports the files in order, each in its own transaction, then reads again each file some of whose records
// named a race the store did not hold yet: the order of the files does not matter. One report per file.
std::vector<FileImport> ImportFiles(
    RaceStore& store, const std::vector<std::filesystem::path>& files, ImportObserver* observer = nullptr);

// The second half of ImportFiles: reads again each committed file of reports that left records unplaced, and
// puts the merged report of both passes in the first one's place.
void RetryUnresolved(RaceStore& store, std::vector<FileImport>& reports, ImportObserver* observer = nullptr);

// The files a path names: the file itself, or every regular file below a folder, sorted by path.
std::vector<std::filesystem::path> FilesToImport(const std::filesystem::path& path);

} // namespace pado::store
