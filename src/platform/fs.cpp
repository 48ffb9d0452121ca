#include "platform/fs.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "platform/press_files.h"

namespace pado::fs {

namespace stdfs = std::filesystem;

namespace {

bool (*g_writeFails)(const std::string&) = nullptr;

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

std::string TempNameFor(const std::string& path)
{
    static std::atomic<unsigned> counter { 0 };
    return Join(Parent(path), ".pado-tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
}

} // namespace

void SetWriteFailureForTests(bool (*failsFor)(const std::string&))
{
    g_writeFails = failsFor;
}

bool Exists(const std::string& path)
{
    if (auto w = pressfiles::WrittenOrDeleted(path))
        return *w;
    std::error_code ec;
    return stdfs::exists(stdfs::symlink_status(path, ec)) && !ec;
}

bool IsFile(const std::string& path)
{
    if (auto w = pressfiles::WrittenOrDeleted(path))
        return *w;
    std::error_code ec;
    return stdfs::is_regular_file(path, ec);
}

bool IsFolder(const std::string& path)
{
    std::error_code ec;
    return stdfs::is_directory(path, ec);
}

bool CreateFolder(const std::string& path)
{
    if (WriteBlocked(path))
        return false;
    std::error_code ec;
    stdfs::create_directory(path, ec);
    return !ec && IsFolder(path);
}

bool DeleteTree(const std::string& path)
{
    if (WriteBlocked(path))
        return false;
    std::error_code ec;
    // remove_all does not follow symbolic links, so a link inside the workspace cannot reach out.
    stdfs::remove_all(path, ec);
    return !Exists(path);
}

bool DeleteFile(const std::string& path)
{
    if (auto w = pressfiles::WrittenOrDeleted(path); w || (pressfiles::Active() && IsFile(path))) {
        pressfiles::TakeDelete(path);
        return true;
    }
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
    if (WriteBlocked(to))
        return false;
    std::error_code ec;
    stdfs::rename(from, to, ec);
    return !ec;
}

bool CopyFileAtomic(const std::string& from, const std::string& to, bool durable)
{
    std::string bytes;
    return ReadBytes(from, bytes) && WriteBytesAtomic(to, bytes, durable);
}

std::vector<std::string> SubFolders(const std::string& path)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (stdfs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (it->is_directory(ec2) && !it->is_symlink(ec2))
            out.push_back(it->path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> FilesIn(const std::string& path)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (stdfs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (it->is_regular_file(ec2))
            out.push_back(it->path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
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

bool ReadBytes(const std::string& path, std::string& bytes)
{
    if (!IsFile(path))
        return false;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes.clear();
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteBytesAtomic(const std::string& path, const std::string& bytes, bool durable)
{
    if (WriteBlocked(path) || IsFolder(path))
        return false;
    std::string tmp = TempNameFor(path);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && (!durable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

bool AppendBytes(const std::string& path, const std::string& bytes)
{
    if (WriteBlocked(path) || IsFolder(path))
        return false;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    return (::close(fd) == 0) && ok;
}

} // namespace pado::fs
