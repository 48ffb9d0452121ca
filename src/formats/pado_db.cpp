#include "formats/pado_db.h"

#include <map>
#include <sys/stat.h>

#include "platform/errors.h"
#include "platform/textfile.h"

namespace pado {

namespace {

// What tells us the file on disk is still the one we parsed: a file copied over it or renamed
// into place changes at least one of these.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long seconds = 0;
    long long nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

bool StampOf(const std::string& path, FileStamp& stamp)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    stamp = { st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec };
    return true;
}

struct CacheEntry {
    FileStamp stamp;
    std::shared_ptr<const RaceDatabase> db;
};

std::map<std::string, CacheEntry>& Cache()
{
    static std::map<std::string, CacheEntry> cache;
    return cache;
}

// Each race key stands in the header of many runs; more than this many headers moves every
// lookup to the record 30 headers further on.
constexpr std::size_t kDisplacement = 30;

} // namespace

std::shared_ptr<const RaceDatabase> RaceDatabase::Open(const std::string& path)
{
    FileStamp stamp;
    if (!StampOf(path, stamp)) {
        Cache().erase(path);
        return std::make_shared<const RaceDatabase>(ReadTextFile(path)); // throws the missing-file message
    }
    auto it = Cache().find(path);
    if (it != Cache().end() && it->second.stamp == stamp)
        return it->second.db;
    auto db = std::make_shared<const RaceDatabase>(ReadTextFile(path));
    FileStamp after;
    // A file that changed while we read it is not cached; the next press reads it again.
    if (StampOf(path, after) && after == stamp)
        Cache()[path] = { stamp, db };
    else
        Cache().erase(path);
    return db;
}

RaceDatabase::RaceDatabase(Lines lines)
    : lines_(std::move(lines))
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!IsHeader(lines_[i]))
            continue;
        headerOrdinal_.emplace(lines_[i], headers_.size()); // the first of equal headers wins
        headers_.push_back(i);
    }
}

Text RaceDatabase::HeaderFor(const Text& runKeyText)
{
    return U"◎" + Cols(runKeyText, 1, 6) + Cols(runKeyText, 8, 9) + Cols(runKeyText, 11, 12);
}

std::optional<std::size_t> RaceDatabase::FindBody(const Text& runKeyText) const
{
    auto it = headerOrdinal_.find(HeaderFor(runKeyText));
    if (it == headerOrdinal_.end())
        return std::nullopt;
    std::size_t ordinal = it->second;
    if (headers_.size() <= kDisplacement)
        return headers_[ordinal] + 1;
    // Counting on past the last header continues with the first; the reread of the file
    // starts at its first line, so a header on the last line is followed by line 1.
    const std::size_t header = headers_[(ordinal + kDisplacement) % headers_.size()];
    return (header + 1) % lines_.size();
}

} // namespace pado
