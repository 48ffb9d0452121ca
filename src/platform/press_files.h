#pragma once

#include <optional>
#include <string>

#include "platform/text.h"

namespace pado {

// The text files one press reads and writes, kept in memory while the press runs and written to
// disk once when it ends. The assist looks a past race up hundreds of times and the design passes
// each result on through work files (R10.txt, R12.txt, R13.txt, R2.txt ...); holding them here
// makes each rewrite a memory copy and each re-read free, while the files on disk after the press
// are exactly the ones the press wrote last. Files the user keeps (durable writes) bypass it.
class PressFiles {
public:
    PressFiles(); // a press inside a press (a dialog's buttons) joins the outer one
    ~PressFiles();
    PressFiles(const PressFiles&) = delete;
    PressFiles& operator=(const PressFiles&) = delete;
    // Writes what the press left to disk (outermost press only). Throws UserError naming a file
    // that cannot be written (or a character Shift-JIS cannot hold); the others are still written.
    void Flush();
};

// The hooks of the text-file and folder functions; all do nothing while no press runs.
namespace pressfiles {

bool Active();
// The lines the press knows for path (read or written during the press); nullopt when it knows none.
// Sets missing when the press deleted the file.
std::optional<Lines> Known(const std::string& path, bool& missing);
void RememberRead(const std::string& path, const Lines& lines);
// Takes a write of path; false when no press runs.
bool TakeWrite(const std::string& path, const Lines& lines);
// Takes a deletion of path; false when no press runs.
bool TakeDelete(const std::string& path);
// Whether the press wrote (true) or deleted (false) path; nullopt when it did neither.
std::optional<bool> WrittenOrDeleted(const std::string& path);
// A durable write went straight to disk: the press's copy is replaced by it.
void Forget(const std::string& path);

} // namespace pressfiles

} // namespace pado
