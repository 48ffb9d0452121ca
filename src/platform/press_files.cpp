#include "platform/press_files.h"

#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado {

namespace {

// The press that runs on this thread. Each App presses its buttons on the thread that drives it, so two
// programs on two threads (the backtest's races) never read or write each other's files, and work done
// on a thread of its own during a press (a worker of a window opened by a button) reaches the disk.
thread_local PressFiles* g_active = nullptr;

// Larger reads are not kept: a second copy of a 100 MB input file is what runs a press out of memory.
constexpr std::size_t kRememberedReadBytes = 4u << 20;

} // namespace

PressFiles* PressFiles::Active()
{
    return g_active;
}

PressFiles::Press::Press(PressFiles& files)
    : files_(files)
    , outer_(g_active)
{
    if (files_.depth_++ == 0)
        ++files_.serial_;
    g_active = &files_;
}

PressFiles::Press::~Press()
{
    if (files_.depth_ == 1) {
        try {
            Flush();
        } catch (const std::exception&) {
            // Flush was not called by the owner; the next press reads the disk again.
        }
    }
    if (--files_.depth_ == 0)
        files_.files_.clear();
    g_active = outer_;
}

void PressFiles::Press::Flush()
{
    if (files_.depth_ != 1)
        return;
    std::map<std::string, Entry> files;
    files.swap(files_.files_);
    // Outside the press while writing, so the text file layer below reaches the disk itself.
    g_active = nullptr;
    Text failed;
    for (auto& [path, e] : files) {
        if (e.state == Entry::State::Written) {
            try {
                if (!fs::WriteBytesAtomic(path, EncodeTextLines(e.lines)))
                    failed = U"ファイル(" + FromUtf8(fs::FileName(path))
                        + U")を書き込めません。\n"
                          U"フォルダーの書き込み権限と空き容量を確認してください。";
            } catch (const UserError& unencodable) {
                failed = U"ファイル(" + FromUtf8(fs::FileName(path)) + U")を書き込めません。\n" + unencodable.Message();
            }
        } else if (e.state == Entry::State::Deleted) {
            fs::DeleteFile(path);
        }
    }
    g_active = &files_;
    if (!failed.empty())
        throw UserError(failed);
}

std::optional<Lines> PressFiles::Known(const std::string& path, bool& missing) const
{
    missing = false;
    auto it = files_.find(path);
    if (it == files_.end())
        return std::nullopt;
    if (it->second.state == Entry::State::Deleted) {
        missing = true;
        return std::nullopt;
    }
    return it->second.lines;
}

void PressFiles::RememberRead(const std::string& path, const Lines& lines, std::size_t bytes)
{
    if (bytes <= kRememberedReadBytes)
        files_[path] = Entry { Entry::State::Read, lines };
}

void PressFiles::TakeWrite(const std::string& path, Lines&& lines)
{
    files_[path] = Entry { Entry::State::Written, std::move(lines) };
}

void PressFiles::TakeWrite(const std::string& path, const Lines& lines)
{
    // Copied over the lines the press holds, whose storage the copy reuses: the assist writes the memo's
    // work file a few thousand times a press, each time with lines of much the same lengths.
    Entry& e = files_[path];
    e.state = Entry::State::Written;
    e.lines = lines;
}

void PressFiles::TakeDelete(const std::string& path)
{
    files_[path] = Entry { Entry::State::Deleted, {} };
}

std::optional<bool> PressFiles::WrittenOrDeleted(const std::string& path) const
{
    auto it = files_.find(path);
    if (it == files_.end() || it->second.state == Entry::State::Read)
        return std::nullopt;
    return it->second.state == Entry::State::Written;
}

void PressFiles::Forget(const std::string& path)
{
    files_.erase(path);
}

} // namespace pado
