#include "platform/fs.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/press_files.h"

namespace pado::fs {

namespace stdfs = std::filesystem;

namespace {

// Per thread, so a test that makes its writes fail never fails the writes of another thread's program.
thread_local bool (*g_writeFails)(const std::string&) = nullptr;

std::atomic<unsigned long long> g_changes { 0 };

bool WriteBlocked(const std::string& path)
{
    return g_writeFails && g_writeFails(path);
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

constexpr const char kTempPrefix[] = ".pado-tmp-";

// A name nobody can guess in advance, so nobody can plant a file or a link there before we create it.
// It carries this process's id, so that a later run can tell a killed run's leftovers from a live one's.
std::string RandomTempName()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[16];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        std::random_device device;
        for (unsigned char& r : random)
            r = static_cast<unsigned char>(device());
    }
    std::string name = kTempPrefix + std::to_string(::getpid()) + "-";
    for (unsigned char r : random)
        name += kChars[r % (sizeof kChars - 1)];
    return name;
}

// Creates a new temporary file in folder; never opens an existing file or follows a link.
// The 0666 passes through the user's umask, as for any new file of the user.
int CreateTempFile(const std::string& folder, std::string& tmpPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmpPath = Join(folder, RandomTempName());
        int fd = ::open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

void SetWriteFailureForTests(bool (*failsFor)(const std::string&))
{
    g_writeFails = failsFor;
}

bool Exists(const std::string& path)
{
    std::error_code ec;
    return stdfs::exists(stdfs::symlink_status(path, ec)) && !ec;
}

bool IsFile(const std::string& path)
{
    std::error_code ec;
    return stdfs::is_regular_file(path, ec);
}

bool IsFolder(const std::string& path)
{
    std::error_code ec;
    return stdfs::is_directory(path, ec);
}

bool IsLink(const std::string& path)
{
    std::error_code ec;
    return stdfs::is_symlink(stdfs::symlink_status(path, ec));
}

bool CreateFolder(const std::string& path)
{
    if (WriteBlocked(path))
        return false;
    // A workspace makes a hundred folders at each start: a folder just made needs no second look.
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && IsFolder(path);
}

namespace {

// Removes everything in the folder open at fd (which it closes), through the folder's own descriptors: a
// link inside is removed, never followed, and no path is looked up again on the way down. The entry types
// of the listing spare a status call per entry, which is most of the cost of clearing a race workspace.
void EmptyFolder(int fd, const std::string& path, int depth)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const int at = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if (e->d_type == DT_DIR || e->d_type == DT_UNKNOWN) {
            // Most folders of a workspace are empty: removing one outright spares opening and listing it.
            if (e->d_type == DT_DIR && ::unlinkat(at, name, AT_REMOVEDIR) == 0)
                continue;
            const int sub = depth < 64 ? ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1;
            if (sub >= 0) {
                EmptyFolder(sub, path + "/" + name, depth + 1);
                ::unlinkat(at, name, AT_REMOVEDIR);
                continue;
            }
            if (depth >= 64 && e->d_type == DT_DIR) {
                // Deeper than anything the program makes: the standard walk takes it from here.
                std::error_code ec;
                stdfs::remove_all(path + "/" + name, ec);
                continue;
            }
        }
        ::unlinkat(at, name, 0);
    }
    ::closedir(dir);
}

} // namespace

bool DeleteTree(const std::string& path)
{
    ++g_changes;
    if (WriteBlocked(path))
        return false;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    // A link is removed itself: what it points to is never reached.
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.c_str()) == 0 || !Exists(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        EmptyFolder(fd, path, 0);
    if (::rmdir(path.c_str()) != 0) {
        std::error_code ec;
        stdfs::remove_all(path, ec);
    }
    return !Exists(path);
}

bool DeleteFile(const std::string& path)
{
    ++g_changes;
    if (!Exists(path))
        return true;
    if (WriteBlocked(path) || IsFolder(path))
        return false;
    std::error_code ec;
    stdfs::remove(path, ec);
    return !Exists(path);
}

bool Rename(const std::string& from, const std::string& to)
{
    ++g_changes;
    if (WriteBlocked(to))
        return false;
    std::error_code ec;
    stdfs::rename(from, to, ec);
    return !ec;
}

bool CopyFileAtomic(const std::string& from, const std::string& to, bool durable)
{
    std::string bytes;
    return ReadBytes(from, bytes) && WriteBytesAtomic(to, bytes, durable ? WriteKind::Durable : WriteKind::Work);
}

namespace {

// The names of the entries of a folder whose type passes keep, sorted: the type of the entry itself, or
// with followLinks of what a link points to. The listing's own entry types spare a status call per entry.
template <class Keep> std::vector<std::string> Listed(const std::string& path, bool followLinks, Keep keep)
{
    std::vector<std::string> out;
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return out;
    const int at = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        mode_t type = DTTOIF(e->d_type);
        if (e->d_type == DT_UNKNOWN || (followLinks && e->d_type == DT_LNK)) {
            struct stat st;
            if (::fstatat(at, name, &st, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = st.st_mode & S_IFMT;
        }
        if (keep(type))
            out.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

std::vector<std::string> SubFolders(const std::string& path)
{
    std::vector<std::string> out = Listed(path, false, [](mode_t type) { return S_ISDIR(type); });
    for (std::string& name : out)
        name = Join(path, name);
    return out;
}

std::vector<std::string> FilesIn(const std::string& path)
{
    return Listed(path, true, [](mode_t type) { return S_ISREG(type); });
}

unsigned long long ChangeCount()
{
    return g_changes.load(std::memory_order_relaxed);
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string Parent(const std::string& path)
{
    auto p = path.find_last_of('/');
    if (p == std::string::npos)
        return ".";
    if (p == 0)
        return "/";
    return path.substr(0, p);
}

std::string FileName(const std::string& path)
{
    auto p = path.find_last_of('/');
    return p == std::string::npos ? path : path.substr(p + 1);
}

bool ReadBytes(const std::string& path, std::string& bytes, std::size_t limit)
{
    if (!IsFile(path))
        return false;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes.clear();
    // Read into place: growing the string as it fills would hold up to twice the file for a moment.
    std::error_code ec;
    if (auto size = stdfs::file_size(path, ec); !ec && size <= limit)
        bytes.reserve(static_cast<std::size_t>(size));
    char buf[65536];
    std::size_t n;
    while (bytes.size() <= limit && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    bool ok = !std::ferror(f) && bytes.size() <= limit;
    std::fclose(f);
    return ok;
}

std::string LinkTarget(const std::string& path)
{
    std::string current = path;
    // A bounded walk, so a loop of links ends (the open then fails as it would for the system).
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size())
            return current;
        target.resize(static_cast<std::size_t>(n));
        current = !target.empty() && target[0] == '/' ? target : Join(Parent(current), target);
    }
    return current;
}

bool IsWriteProtected(const std::string& path)
{
    const std::string target = LinkTarget(path);
    struct stat st;
    if (::stat(target.c_str(), &st) != 0)
        return false;
    // The administrator may write anything, but a file without any write bit was marked read-only on purpose.
    return (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0;
}

bool WriteBytesAtomic(const std::string& path, const std::string& bytes, WriteKind kind)
{
    ++g_changes;
    if (WriteBlocked(path) || IsFolder(path))
        return false;
    // A work file's name is the program's: a link planted there is replaced, never followed out of the folder.
    const std::string target = kind == WriteKind::Kept ? LinkTarget(path) : path;
    if (kind == WriteKind::Kept && (IsFolder(target) || IsWriteProtected(target)))
        return false;
    struct stat old;
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    const bool hadFile = exists && S_ISREG(old.st_mode);
    // A link to a device or a pipe (/dev/null) names no file to replace: never put one in its place.
    if (kind == WriteKind::Kept && exists && !hadFile)
        return false;
    std::string tmp;
    int fd = CreateTempFile(Parent(target), tmp);
    if (fd < 0)
        return false;
    if (hadFile) {
        // The replacement is the same file to its owner: same owner where we may set it, same permissions.
        [[maybe_unused]] int ignored = ::fchown(fd, old.st_uid, old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    }
    bool ok = WriteAll(fd, bytes) && (kind == WriteKind::Work || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

AtomicFile::AtomicFile(std::string path, bool durable)
    : path_(std::move(path))
    , durable_(durable)
{
    if (!WriteBlocked(path_) && !IsFolder(path_))
        fd_ = CreateTempFile(Parent(path_), tmp_);
}

AtomicFile::~AtomicFile()
{
    Discard();
}

void AtomicFile::Discard()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    ::unlink(tmp_.c_str());
    fd_ = -1;
}

bool AtomicFile::Write(const std::string& bytes)
{
    if (fd_ < 0 || failed_ || !WriteAll(fd_, bytes))
        failed_ = true;
    return !failed_;
}

bool AtomicFile::Commit()
{
    ++g_changes;
    if (fd_ < 0)
        return false;
    bool ok = !failed_ && (!durable_ || ::fsync(fd_) == 0);
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    // The target's name is ours to replace: a link planted there is replaced, never followed.
    if (ok && !WriteBlocked(path_) && ::rename(tmp_.c_str(), path_.c_str()) == 0)
        return true;
    ::unlink(tmp_.c_str());
    return false;
}

bool ProcessAlive(long pid)
{
    if (pid <= 0)
        return false;
    // Another user's process answers "not permitted": it is alive, and its files are not ours anyway.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

long TemporaryOwner(const std::string& name, const std::string& prefix)
{
    if (name.rfind(prefix, 0) != 0)
        return 0;
    std::size_t p = prefix.size();
    long pid = 0;
    std::size_t digits = 0;
    for (; p < name.size() && name[p] >= '0' && name[p] <= '9' && digits < 10; ++p, ++digits)
        pid = pid * 10 + (name[p] - '0');
    if (digits == 0 || p >= name.size() || name[p] != '-')
        return 0;
    return pid;
}

std::size_t RemoveStaleTemporaries(const std::string& folder)
{
    std::size_t removed = 0;
    std::error_code ec;
    for (stdfs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const long pid = TemporaryOwner(name, kTempPrefix);
        if (pid == 0 || ProcessAlive(pid))
            continue;
        // Only a plain file (or a link) of this user: the writer never makes anything else under that name.
        struct stat st;
        const std::string path = it->path().string();
        if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

bool AppendBytes(const std::string& path, const std::string& bytes)
{
    if (WriteBlocked(path) || IsFolder(path))
        return false;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    return (::close(fd) == 0) && ok;
}

} // namespace pado::fs
