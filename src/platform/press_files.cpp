#include "platform/press_files.h"

#include <map>

#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado {

namespace {

struct Entry {
    enum class State { Read, Written, Deleted } state = State::Read;
    Lines lines;
};

struct Batch {
    int depth = 0;
    std::map<std::string, Entry> files;
};

Batch& Current()
{
    static Batch batch;
    return batch;
}

} // namespace

PressFiles::PressFiles()
{
    ++Current().depth;
}

PressFiles::~PressFiles()
{
    Batch& b = Current();
    if (b.depth == 1) {
        try {
            Flush();
        } catch (const UserError&) {
            // Flush was not called by the owner; the next press reads the disk again.
        }
    }
    if (--b.depth == 0)
        b.files.clear();
}

void PressFiles::Flush()
{
    Batch& b = Current();
    if (b.depth != 1)
        return;
    std::map<std::string, Entry> files;
    files.swap(b.files);
    // Outside the press while writing, so the file functions below reach the disk itself.
    b.depth = 0;
    Text failed;
    for (auto& [path, e] : files) {
        if (e.state == Entry::State::Written) {
            try {
                if (!fs::WriteBytesAtomic(path, EncodeTextLines(e.lines)))
                    failed = U"ファイル(" + FromUtf8(fs::FileName(path))
                        + U")を書き込めません。\n"
                          U"フォルダーの書き込み権限と空き容量を確認してください。";
            } catch (const UserError& unencodable) {
                failed = unencodable.Message();
            }
        } else if (e.state == Entry::State::Deleted) {
            fs::DeleteFile(path);
        }
    }
    b.depth = 1;
    if (!failed.empty())
        throw UserError(failed);
}

namespace pressfiles {

bool Active()
{
    return Current().depth > 0;
}

std::optional<Lines> Known(const std::string& path, bool& missing)
{
    missing = false;
    if (!Active())
        return std::nullopt;
    auto it = Current().files.find(path);
    if (it == Current().files.end())
        return std::nullopt;
    if (it->second.state == Entry::State::Deleted) {
        missing = true;
        return std::nullopt;
    }
    return it->second.lines;
}

void RememberRead(const std::string& path, const Lines& lines)
{
    if (Active())
        Current().files[path] = Entry { Entry::State::Read, lines };
}

bool TakeWrite(const std::string& path, const Lines& lines)
{
    if (!Active())
        return false;
    Current().files[path] = Entry { Entry::State::Written, lines };
    return true;
}

bool TakeDelete(const std::string& path)
{
    if (!Active())
        return false;
    Current().files[path] = Entry { Entry::State::Deleted, {} };
    return true;
}

std::optional<bool> WrittenOrDeleted(const std::string& path)
{
    if (!Active())
        return std::nullopt;
    auto it = Current().files.find(path);
    if (it == Current().files.end() || it->second.state == Entry::State::Read)
        return std::nullopt;
    return it->second.state == Entry::State::Written;
}

void Forget(const std::string& path)
{
    if (Active())
        Current().files.erase(path);
}

} // namespace pressfiles

} // namespace pado
