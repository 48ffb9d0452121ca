#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pado::fs {

// Paths are UTF-8 strings with "/" as separator.
bool Exists(const std::string& path); // file or folder
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
bool IsLink(const std::string& path); // a symbolic link itself, whatever it points to
// These return false (never throw) so that callers decide what the user is told.
bool CreateFolder(const std::string& path);
bool DeleteTree(const std::string& path); // a folder with its contents; true when nothing is left
bool DeleteFile(const std::string& path); // true when the file is gone (also when it never existed)
bool Rename(const std::string& from, const std::string& to);
// Copies to a temporary name beside the target and renames it, so the target is never half-written.
// A link at the target is replaced by the copy: an input file is the program's, never a file elsewhere.
bool CopyFileAtomic(const std::string& from, const std::string& to, bool durable = true);
// Sub-folders of a folder (not links to folders) as full paths, sorted by name so every run visits them
// in the same order.
std::vector<std::string> SubFolders(const std::string& path);
// Names of the files (not folders; a link counts as what it points to) in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& path);
// Changes each time anything in this process writes, renames or removes a file or folder through these
// functions: what was read from the disk since an unchanged count has not been replaced by the program.
unsigned long long ChangeCount();
std::string Join(const std::string& folder, const std::string& name);
std::string Parent(const std::string& path);
std::string FileName(const std::string& path);
// Whole file as bytes; false when it cannot be read.
// The whole file; false when it cannot be read or holds more than limit bytes (reading stops there).
bool ReadBytes(const std::string& path, std::string& bytes, std::size_t limit = static_cast<std::size_t>(-1));
// How a file is replaced.
enum class WriteKind {
    Work, // a work file: not flushed, as the assist writes them by the hundred; a link there is replaced
    Durable, // flushed to the disk before it takes the name (copied input files); a link there is replaced
    // The user's own file (memo, settings): flushed; a link's target is replaced rather than the link,
    // and a file the user may not write is left alone (the write fails).
    Kept,
};
// Writes bytes to a temporary file and renames it over path, so a reader never sees half a file.
// The temporary file has an unpredictable name and is created only when nothing (no file, no link)
// has that name, in the folder of the file it replaces; the file keeps its permission bits.
bool WriteBytesAtomic(const std::string& path, const std::string& bytes, WriteKind kind = WriteKind::Work);
// The file a kept file's write replaces: path with its symbolic links followed (also to a target
// that does not exist yet); path itself when it is no link.
std::string LinkTarget(const std::string& path);
// Whether the user may not write the existing file at path (links followed): no write permission,
// or marked read-only (no write bit at all, which holds even for the administrator).
bool IsWriteProtected(const std::string& path);
// A new file written in pieces and put in place whole: created under an unpredictable name beside its
// target, never opening anything already there (no file, no link), renamed over the target by Commit
// (a link at the target is replaced, not followed) and removed when dropped uncommitted.
class AtomicFile {
public:
    // durable: flushed to the disk before it takes its name (a file the user keeps); otherwise a crash of
    // the system may leave it empty, as any file the program writes, but never half of it from this run.
    explicit AtomicFile(std::string path, bool durable = true);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    bool IsOpen() const { return fd_ >= 0; }
    // False once any write failed; the later writes are then dropped and Commit fails.
    bool Write(const std::string& bytes);
    // Gives the file its name (flushed first when durable); false (and nothing renamed) on any failure.
    bool Commit();
    // Removes the temporary file now.
    void Discard();

private:
    std::string path_, tmp_;
    int fd_ = -1;
    bool durable_;
    bool failed_ = false;
};
// Whether a process of this id runs (another user's counts as running).
bool ProcessAlive(long pid);
// The process id in a temporary name "<prefix><pid>-…"; 0 when name is no such name.
long TemporaryOwner(const std::string& name, const std::string& prefix);
// Removes from folder the temporary files of the atomic writes above whose process has ended (a run
// killed before it could clear up, by the system or by a closed session); returns how many.
std::size_t RemoveStaleTemporaries(const std::string& folder);
// Appends to the file itself; a link at path makes it fail rather than write elsewhere.
bool AppendBytes(const std::string& path, const std::string& bytes);
// A test seam for fault injection: when set, every write of this thread through this layer fails for
// paths it accepts.
void SetWriteFailureForTests(bool (*failsFor)(const std::string& path));

} // namespace pado::fs
