#include "formats/pado_db.h"

#include <algorithm>
#include <map>
#include <sys/stat.h>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/press_files.h"
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

// Each race key stands in the header of many runs; more than this many headers moves every
// lookup to the record 30 headers further on.
constexpr std::size_t kDisplacement = 30;

} // namespace

struct RaceDatabaseCache::Entry {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const RaceDatabase> db;
    // The press that last found the file unchanged, and the program's count of file changes then: within
    // one press that writes nothing to the disk the file is looked at once, though the assist asks for it
    // for every past run of every entrant.
    const PressFiles* press = nullptr;
    unsigned long long serial = 0;
    unsigned long long changes = 0;
};

RaceDatabaseCache::RaceDatabaseCache() = default;
RaceDatabaseCache::~RaceDatabaseCache() = default;

std::shared_ptr<const RaceDatabase> RaceDatabaseCache::Open(const std::string& path)
{
    const PressFiles* press = PressFiles::Active();
    const unsigned long long changes = fs::ChangeCount();
    if (press && entry_ && entry_->press == press && entry_->serial == press->Serial() && entry_->changes == changes
        && entry_->path == path)
        return entry_->db;
    FileStamp stamp;
    const bool stamped = StampOf(path, stamp);
    // Found unchanged now: in this press, looked at again only once the program changes a file.
    auto seen = [&](Entry& e) {
        e.press = press;
        e.serial = press ? press->Serial() : 0;
        e.changes = changes;
    };
    if (stamped && entry_ && entry_->path == path && entry_->stamp == stamp) {
        seen(*entry_);
        return entry_->db;
    }
    // The old database goes before the new one is read, so the two are never held together by
    // the cache (a press that still holds the old one keeps it alive until it ends).
    entry_.reset();
    auto db = RaceDatabase::Open(path); // throws the missing-file message when not stamped
    FileStamp after;
    // A file that changed while we read it is not cached; the next press reads it again.
    if (stamped && StampOf(path, after) && after == stamp) {
        entry_ = std::make_unique<Entry>(Entry { path, stamp, db });
        seen(*entry_);
    }
    return db;
}

std::shared_ptr<const RaceDatabase> RaceDatabase::Open(const std::string& path)
{
    return std::shared_ptr<const RaceDatabase>(new RaceDatabase(Utf16 {}, ReadCp932FileUtf16(path)));
}

std::shared_ptr<const RaceDatabase> RaceDatabase::FromCp932(std::string bytes)
{
    if (auto text = DecodeCp932Utf16(bytes)) {
        bytes = {};
        return std::shared_ptr<const RaceDatabase>(new RaceDatabase(Utf16 {}, std::move(*text)));
    }
    // Line by line, so a line that fails decodes as nothing and the others still read.
    std::u16string text;
    for (std::size_t begin = 0; begin < bytes.size();) {
        const std::size_t nl = bytes.find('\n', begin);
        const std::size_t end = nl == std::string::npos ? bytes.size() : nl;
        text += DecodeCp932Utf16(std::string_view(bytes).substr(begin, end - begin)).value_or(std::u16string {});
        if (nl != std::string::npos)
            text += u'\n';
        begin = end + 1;
    }
    return std::shared_ptr<const RaceDatabase>(new RaceDatabase(Utf16 {}, std::move(text)));
}

RaceDatabase::RaceDatabase(const Lines& lines)
    : RaceDatabase(Utf16 {}, DecodeCp932Utf16(EncodeTextLines(lines)).value_or(std::u16string {}))
{
}

RaceDatabase::RaceDatabase(Utf16, std::u16string text)
    : text_(std::move(text))
{
    for (std::size_t begin = 0; begin < text_.size();) {
        lineStarts_.push_back(begin);
        const std::size_t nl = text_.find(u'\n', begin);
        begin = nl == std::u16string::npos ? text_.size() : nl + 1;
    }
    lineStarts_.shrink_to_fit();
    for (std::size_t i = 0; i < lineStarts_.size(); ++i) {
        if (text_[lineStarts_[i]] != u'◎')
            continue;
        headerOrdinal_.emplace(Line(i), headers_.size()); // the first of equal headers wins
        headers_.push_back(i);
    }
}

Text RaceDatabase::Line(std::size_t i) const
{
    Text line;
    ReadLine(i, line);
    return line;
}

void RaceDatabase::ReadLine(std::size_t i, Text& line) const
{
    if (i >= lineStarts_.size()) {
        line.clear();
        return;
    }
    const std::size_t begin = lineStarts_[i];
    std::size_t end = i + 1 < lineStarts_.size() ? lineStarts_[i + 1] : text_.size();
    if (end > begin && text_[end - 1] == u'\n') {
        --end;
        if (end > begin && text_[end - 1] == u'\r')
            --end;
    }
    line.resize(end - begin);
    // Every character CP932 decodes to lies in the basic plane: one UTF-16 unit each.
    std::copy(text_.data() + begin, text_.data() + end, line.data());
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
