#include "sources/source_reader.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace pado::sources {

const std::vector<SourceFormat>& SourceFormats()
{
    // A database first (its header is binary), then the fixed-length records, whose first lines are checked
    // strictly, and CSV last: a CSV header is the loosest test.
    static const std::vector<SourceFormat> formats = {
        { "JV-Data データベース", LooksLikeSqlite, ReadJvDatabase, true },
        { "JRDB", LooksLikeJrdb, ReadJrdb },
        { "JV-Data", LooksLikeJvRecords, ReadJvRecords },
        { "CSV", LooksLikeCsv, ReadCsv },
    };
    return formats;
}

bool LooksLikeSqlite(std::string_view head)
{
    return head.substr(0, 16) == std::string_view("SQLite format 3\0", 16);
}

const SourceFormat* DetectFormat(std::string_view head)
{
    if (head.empty())
        return nullptr;
    for (const SourceFormat& f : SourceFormats())
        if (f.detect(head))
            return &f;
    return nullptr;
}

bool ReadHead(const std::filesystem::path& file, std::string& head)
{
    head.clear();
    // O_NONBLOCK: a named pipe among the files must not hang the import.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    head.resize(kHeadBytes);
    std::size_t got = 0;
    bool ok = true;
    while (got < head.size()) {
        const ssize_t n = ::read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    const int saved = errno;
    ::close(fd);
    errno = saved;
    head.resize(got);
    return ok;
}

const SourceFormat* DetectSource(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return nullptr;
    std::string head;
    if (!ReadHead(file, head))
        return nullptr;
    return DetectFormat(head);
}

bool ReadSource(const std::filesystem::path& file, RecordSink& sink)
{
    const SourceFormat* format = DetectSource(file);
    if (!format)
        return false;
    format->read(file, sink);
    return true;
}

} // namespace pado::sources
