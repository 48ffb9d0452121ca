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
    std::string format; // how the file was read: "JRDB", "CSV", "ZIP" …; empty when of no kind we know
    std::map<std::string, ImportCounts> byType; // レース, 出走馬, 騎手, 馬, or a skipped source record type
    std::vector<std::string>
        problems; // "file:line: reason", UTF-8; the first kShownProblems of each file, then a count
    std::vector<std::string> notes; // what was recognised and deliberately not read ("JRDB SEC: 読み込まない種類です")
    bool committed = false; // false: the store is as it was before this file
    std::string error; // why the file was rolled back (UTF-8), empty when committed or cancelled
    bool cancelled = false;
    long records = 0;
    long unresolved = 0; // records naming a race by 回 and 日目 that the store does not hold (skipped)
    bool retried = false; // read again after the other files, which dated some of its races
    long omittedProblems = 0; // problems past kShownProblems, only counted

    static constexpr std::size_t kShownProblems = 20;
    // Keeps the first kShownProblems, counts the rest: a file of garbage lines must not flood memory or the log.
    void AddProblem(std::string problem);
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
// An archive (ZIP, LZH, tar.gz …) is read member by member, each member detected by content and imported in a
// transaction of its own; its report gathers the members', a member that failed being one of its problems.
FileImport ImportFile(RaceStore& store, const std::filesystem::path& file, ImportObserver* observer = nullptr,
    const sources::ReadOptions& options = {});

// Imports the files in order, each in its own transaction, then reads again each file some of whose records
// named a race the store did not hold yet: the order of the files does not matter. One report per file.
std::vector<FileImport> ImportFiles(RaceStore& store, const std::vector<std::filesystem::path>& files,
    ImportObserver* observer = nullptr, const sources::ReadOptions& options = {});

// The second half of ImportFiles: reads again each committed file of reports that left records unplaced, and
// puts the merged report of both passes in the first one's place.
void RetryUnresolved(RaceStore& store, std::vector<FileImport>& reports, ImportObserver* observer = nullptr,
    const sources::ReadOptions& options = {});

// The files a path names: the file itself, or every file below a folder (through links to folders, each folder
// once), sorted by path. A subfolder that cannot be listed, a broken link or a special file is listed too, so
// that ImportFile names it and says why it was not read while the walk goes on.
std::vector<std::filesystem::path> FilesToImport(const std::filesystem::path& path);

} // namespace pado::store
