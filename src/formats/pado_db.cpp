#include "formats/pado_db.h"

#include <map>
#include <sys/stat.h>

#include "platform/cp932.h"
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

// "◎" in CP932.
constexpr char kHeaderMark[] = "\x81\x9D";

// Each race key stands in the header of many runs; more than this many headers moves every
// lookup to the record 30 headers further on.
constexpr std::size_t kDisplacement = 30;

} // namespace

struct RaceDatabaseCache::Entry {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const RaceDatabase> db;
};

RaceDatabaseCache::RaceDatabaseCache() = default;
RaceDatabaseCache::~RaceDatabaseCache() = default;

std::shared_ptr<const RaceDatabase> RaceDatabaseCache::Open(const std::string& path)
{
    FileStamp stamp;
    const bool stamped = StampOf(path, stamp);
    if (stamped && entry_ && entry_->path == path && entry_->stamp == stamp)
        return entry_->db;
    // The old database goes before the new one is read, so the two are never held together by
    // the cache (a press that still holds the old one keeps it alive until it ends).
    entry_.reset();
    auto db = RaceDatabase::Open(path); // throws the missing-file message when not stamped
    FileStamp after;
    // A file that changed while we read it is not cached; the next press reads it again.
    if (stamped && StampOf(path, after) && after == stamp)
        entry_ = std::make_unique<Entry>(Entry { path, stamp, db });
    return db;
}

std::shared_ptr<const RaceDatabase> RaceDatabase::Open(const std::string& path)
{
    return FromCp932(ReadCp932File(path));
}

std::shared_ptr<const RaceDatabase> RaceDatabase::FromCp932(std::string bytes)
{
    return std::shared_ptr<const RaceDatabase>(new RaceDatabase(Bytes {}, std::move(bytes)));
}

RaceDatabase::RaceDatabase(const Lines& lines)
    : RaceDatabase(Bytes {}, EncodeTextLines(lines))
{
}

RaceDatabase::RaceDatabase(Bytes, std::string bytes)
    : bytes_(std::move(bytes))
{
    for (std::size_t begin = 0; begin < bytes_.size();) {
        lineStarts_.push_back(begin);
        const std::size_t nl = bytes_.find('\n', begin);
        begin = nl == std::string::npos ? bytes_.size() : nl + 1;
    }
    lineStarts_.shrink_to_fit();
    for (std::size_t i = 0; i < lineStarts_.size(); ++i) {
        if (bytes_.compare(lineStarts_[i], 2, kHeaderMark) != 0)
            continue;
        headerOrdinal_.emplace(Line(i), headers_.size()); // the first of equal headers wins
        headers_.push_back(i);
    }
}

Text RaceDatabase::Line(std::size_t i) const
{
    if (i >= lineStarts_.size())
        return {};
    std::size_t begin = lineStarts_[i];
    std::size_t end = i + 1 < lineStarts_.size() ? lineStarts_[i + 1] : bytes_.size();
    if (end > begin && bytes_[end - 1] == '\n') {
        --end;
        if (end > begin && bytes_[end - 1] == '\r')
            --end;
    }
    // The file was checked when it was read; a line that still fails decodes as nothing.
    return DecodeCp932(std::string_view(bytes_).substr(begin, end - begin)).value_or(Text {});
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
    return (header + 1) % LineCount();
}

} // namespace pado
