#include "sources/archive_reader.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "sources/source_reader.h"

namespace pado::sources {

namespace {

bool StartsWith(std::string_view head, std::string_view magic)
{
    return head.substr(0, magic.size()) == magic;
}

bool ValidUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (!n || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// A member's path as text for messages: UTF-8 as it is, else CP932 (Japanese archivers write it so), else its
// printable bytes; control characters never reach a terminal.
std::string ShownName(std::string_view raw)
{
    std::string text;
    if (ValidUtf8(raw)) {
        text = raw;
    } else if (std::optional<Text> t = DecodeCp932(raw)) {
        text = ToUtf8(*t);
    } else {
        for (char c : raw)
            text += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    }
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text.empty() ? "(名前のないファイル)" : text;
}

std::string Megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

bool WriteAll(int fd, const char* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

} // namespace

bool LooksLikeArchive(std::string_view head)
{
    if (StartsWith(head, "PK\x03\x04") || StartsWith(head, "PK\x05\x06")) // ZIP, an empty one too
        return true;
    if (StartsWith(head, "\x1F\x8B")
        || StartsWith(head,
            std::string_view("\xFD"
                             "7zXZ\0",
                6))
        || StartsWith(head, "7z\xBC\xAF\x27\x1C"))
        return true;
    if (head.size() >= 10 && StartsWith(head, "BZh") && head[3] >= '1' && head[3] <= '9'
        && head.substr(4, 6) == "\x31\x41\x59\x26\x53\x59")
        return true;
    // LZH: the method such as -lh5- after the header's size and checksum.
    if (head.size() >= 22 && head[2] == '-' && head[3] == 'l' && (head[4] == 'h' || head[4] == 'z') && head[6] == '-')
        return true;
    return head.size() >= 262 && head.substr(257, 5) == "ustar";
}

std::uint64_t ArchiveMemberBound(std::uintmax_t archiveBytes)
{
    constexpr std::uint64_t kFloor = 16ull << 20, kCeiling = 4ull << 30;
    return std::clamp<std::uint64_t>(static_cast<std::uint64_t>(archiveBytes) * 100, kFloor, kCeiling);
}

ArchiveReader::ArchiveReader(const std::filesystem::path& file)
    : a_(archive_read_new())
    , file_(file)
{
    std::error_code ec;
    bound_ = ArchiveMemberBound(std::filesystem::file_size(file, ec));
    archive_read_support_filter_all(a_);
    archive_read_support_format_all(a_);
    archive_read_support_format_raw(a_); // a single compressed file (data.csv.gz) is an archive of one member
    if (archive_read_open_filename(a_, file.c_str(), 64 * 1024) != ARCHIVE_OK) {
        const std::string why = Problem();
        archive_read_free(a_);
        a_ = nullptr;
        throw UserError(U"アーカイブ(" + FromUtf8(file.string()) + U")を開けません: " + FromUtf8(why));
    }
}

ArchiveReader::~ArchiveReader()
{
    if (a_)
        archive_read_free(a_);
}

std::string ArchiveReader::Problem() const
{
    const char* s = a_ ? archive_error_string(a_) : nullptr;
    return ShownName(s ? s : "libarchive が理由を示しませんでした");
}

std::string ArchiveReader::FormatName() const
{
    std::string name;
    switch (archive_format(a_) & ARCHIVE_FORMAT_BASE_MASK) {
    case ARCHIVE_FORMAT_ZIP:
        name = "ZIP";
        break;
    case ARCHIVE_FORMAT_LHA:
        name = "LZH";
        break;
    case ARCHIVE_FORMAT_TAR:
        name = "tar";
        break;
    case ARCHIVE_FORMAT_7ZIP:
        name = "7z";
        break;
    case ARCHIVE_FORMAT_RAW:
        break;
    default:
        name = "アーカイブ";
        break;
    }
    switch (archive_filter_code(a_, 0)) {
    case ARCHIVE_FILTER_GZIP:
        return name.empty() ? "gzip" : name + ".gz";
    case ARCHIVE_FILTER_BZIP2:
        return name.empty() ? "bzip2" : name + ".bz2";
    case ARCHIVE_FILTER_XZ:
        return name.empty() ? "xz" : name + ".xz";
    default:
        return name.empty() ? "圧縮ファイル" : name;
    }
}

bool ArchiveReader::Next()
{
    for (;;) {
        head_.clear();
        headRead_ = false;
        declared_ = -1;
        dataError_.clear();
        struct archive_entry* e = nullptr;
        const int r = archive_read_next_header(a_, &e);
        if (r == ARCHIVE_EOF)
            return false;
        if (r == ARCHIVE_RETRY)
            continue;
        if (r == ARCHIVE_FATAL || !e)
            throw UserError(U"アーカイブ(" + FromUtf8(file_.string()) + U")が壊れていて、ここから先を読めません: "
                + FromUtf8(Problem()));
        if (archive_entry_filetype(e) != AE_IFREG)
            continue;
        const char* utf8 = archive_entry_pathname_utf8(e);
        const char* raw = utf8 ? utf8 : archive_entry_pathname(e);
        name_ = ShownName(raw ? raw : "");
        declared_ = archive_entry_size_is_set(e) ? archive_entry_size(e) : -1;
        if (r == ARCHIVE_FAILED)
            dataError_ = Problem();
        else if (archive_entry_is_encrypted(e))
            dataError_ = "暗号化されているため読めません";
        return true;
    }
}

const std::string& ArchiveReader::Head()
{
    if (headRead_)
        return head_;
    headRead_ = true;
    head_.assign(kHeadBytes, '\0');
    std::size_t got = 0;
    while (dataError_.empty() && got < head_.size()) {
        const la_ssize_t n = archive_read_data(a_, head_.data() + got, head_.size() - got);
        if (n < 0)
            dataError_ = "壊れています: " + Problem();
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    head_.resize(got);
    return head_;
}

std::string ArchiveReader::ReadMember(const std::function<void(const std::filesystem::path&)>& read, bool wholeFile)
{
    Head();
    if (!dataError_.empty())
        return dataError_;
    if (declared_ >= 0 && static_cast<std::uint64_t>(declared_) > bound_)
        return "展開すると " + Megabytes(static_cast<std::uint64_t>(declared_)) + " になり、上限の " + Megabytes(bound_)
            + " を超えるため読みません";
    return wholeFile ? HoldInMemory(read) : StreamThroughPipe(read);
}

std::string ArchiveReader::StreamThroughPipe(const std::function<void(const std::filesystem::path&)>& read)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw UserError(U"アーカイブのファイルを読むためのパイプを作れません。");
    ::fcntl(fds[1], F_SETPIPE_SZ, 1 << 20); // fewer switches between the two threads; the default does too
    std::string error;
    bool tooLarge = false;
    // The writer decompresses while the reader parses; it stops when the reader closes its end (EPIPE, with
    // SIGPIPE blocked in this thread only) or the member ends.
    std::thread writer([&] {
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        std::uint64_t total = head_.size();
        bool open = WriteAll(fds[1], head_.data(), head_.size());
        std::vector<char> block(256 * 1024);
        while (open) {
            const la_ssize_t n = archive_read_data(a_, block.data(), block.size());
            if (n < 0)
                error = "壊れています: " + Problem();
            if (n <= 0)
                break;
            total += static_cast<std::uint64_t>(n);
            if (total > bound_) {
                tooLarge = true;
                break;
            }
            open = WriteAll(fds[1], block.data(), static_cast<std::size_t>(n));
        }
        ::close(fds[1]);
    });
    std::exception_ptr failure;
    try {
        read("/proc/self/fd/" + std::to_string(fds[0]));
    } catch (...) {
        failure = std::current_exception();
    }
    ::close(fds[0]);
    writer.join();
    if (failure)
        std::rethrow_exception(failure);
    if (tooLarge)
        return "展開すると上限の " + Megabytes(bound_) + " を超えるため読みません";
    return error;
}

std::string ArchiveReader::HoldInMemory(const std::function<void(const std::filesystem::path&)>& read)
{
    // SQLite opens a database by a name it resolves, which a memory file under /proc/self/fd does not have: the
    // member goes to the shared-memory folder (memory too), under a name no one can guess, and away after.
    std::error_code ec;
    std::filesystem::path dir = "/dev/shm";
    if (!std::filesystem::is_directory(dir, ec))
        dir = std::filesystem::temp_directory_path(ec);
    std::string path = (dir / "pado-member-XXXXXX").string();
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        throw UserError(U"アーカイブのファイルを読むための領域を作れません。");
    struct Remover {
        int fd;
        std::string path;
        ~Remover()
        {
            ::close(fd);
            ::unlink(path.c_str());
        }
    } remover { fd, path };
    std::uint64_t total = head_.size();
    if (!WriteAll(fd, head_.data(), head_.size()))
        throw UserError(U"アーカイブのファイルを読むための領域に書けません。");
    std::vector<char> block(256 * 1024);
    for (;;) {
        const la_ssize_t n = archive_read_data(a_, block.data(), block.size());
        if (n < 0)
            return "壊れています: " + Problem();
        if (n == 0)
            break;
        total += static_cast<std::uint64_t>(n);
        if (total > bound_)
            return "展開すると上限の " + Megabytes(bound_) + " を超えるため読みません";
        if (!WriteAll(fd, block.data(), static_cast<std::size_t>(n)))
            throw UserError(U"アーカイブのファイルを読むための領域に書けません。");
    }
    read(path);
    return {};
}

} // namespace pado::sources
