#pragma once

#include <string>
#include <vector>

namespace pado::fs {

// Paths are UTF-8 strings with "/" as separator.
bool Exists(const std::string& path); // file or folder
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
// These return false (never throw) so that callers decide what the user is told.
bool CreateFolder(const std::string& path);
bool DeleteTree(const std::string& path); // a folder with its contents; true when nothing is left
bool DeleteFile(const std::string& path); // true when the file is gone (also when it never existed)
bool Rename(const std::string& from, const std::string& to);
// Copies to a temporary name beside the target and renames it, so the target is never half-written.
bool CopyFileAtomic(const std::string& from, const std::string& to, bool durable = true);
// Sub-folders of a folder as full paths, sorted by name so every run visits them in the same order.
std::vector<std::string> SubFolders(const std::string& path);
// Names of the files (not folders) in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& path);
std::string Join(const std::string& folder, const std::string& name);
std::string Parent(const std::string& path);
std::string FileName(const std::string& path);
// Whole file as bytes; false when it cannot be read.
bool ReadBytes(const std::string& path, std::string& bytes);
// Writes bytes to a temporary file in the same folder and renames it over path, so a reader never
// sees half a file. durable also flushes the file to the disk first (memos, settings, copied input
// files: what must survive a power cut); work files skip that, as the assist writes them by the hundred.
bool WriteBytesAtomic(const std::string& path, const std::string& bytes, bool durable = false);
bool AppendBytes(const std::string& path, const std::string& bytes);
// A test seam for fault injection: when set, every write through this layer fails for paths it accepts.
void SetWriteFailureForTests(bool (*failsFor)(const std::string& path));

} // namespace pado::fs
