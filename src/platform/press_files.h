#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/text.h"

namespace pado {

// The text files one press reads and writes, kept in memory while the press runs and written to
// disk once when it ends. The assist looks a past race up hundreds of times and the design passes
// each result on through work files (R10.txt, R12.txt, R13.txt, R2.txt ...); holding them here
// makes each rewrite a memory copy and each re-read free, while the files on disk after the press
// are exactly the ones the press wrote last. Files the user keeps (durable writes) bypass it.
//
// Each App owns one; the text file layer (textfile.h) is the only reader of it, so the folder and file
// functions of fs.h always answer from the disk. A press belongs to the thread it runs on.
class PressFiles {
public:
    PressFiles() = default;
    PressFiles(const PressFiles&) = delete;
    PressFiles& operator=(const PressFiles&) = delete;

    // One press: from here the text file layer works on this cache. A press inside a press (a
    // dialog's buttons) joins the outer one; the outermost writes what the press left when it ends.
    class Press {
    public:
        explicit Press(PressFiles& files);
        ~Press();
        Press(const Press&) = delete;
        Press& operator=(const Press&) = delete;
        // Writes what the press left to disk (outermost press only). Throws UserError naming a file
        // that cannot be written (or a character Shift-JIS cannot hold); the others are still written.
        void Flush();

    private:
        PressFiles& files_;
        PressFiles* outer_;
    };

    // The cache of the press that runs now on this thread; nullptr between presses.
    static PressFiles* Active();
    // Tells one press from the next: changes when an outermost press begins.
    unsigned long long Serial() const { return serial_; }

    // The lines the press knows for path (read or written during the press); nullopt when it knows
    // none. Sets missing when the press deleted the file.
    std::optional<Lines> Known(const std::string& path, bool& missing) const;
    // Remembers a read, unless the file is too large to keep a second copy of (input files such as
    // Rall.txt are read once per press; the work files re-read by the hundred are small).
    void RememberRead(const std::string& path, const Lines& lines, std::size_t bytes);
    void TakeWrite(const std::string& path, Lines&& lines);
    void TakeWrite(const std::string& path, const Lines& lines);
    void TakeDelete(const std::string& path);
    // Whether the press wrote (true) or deleted (false) path; nullopt when it did neither.
    std::optional<bool> WrittenOrDeleted(const std::string& path) const;
    // A durable write went straight to disk: the press's copy is replaced by it.
    void Forget(const std::string& path);

private:
    struct Entry {
        enum class State { Read, Written, Deleted } state = State::Read;
        Lines lines;
    };
    int depth_ = 0;
    unsigned long long serial_ = 0;
    std::map<std::string, Entry> files_;
};

} // namespace pado
