#include "platform/program_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fs.h"
#include "platform/work_files.h"

namespace pado {

ProgramLock::ProgramLock(std::string path, int fd)
    : path_(std::move(path))
    , fd_(fd)
{
}

ProgramLock::~ProgramLock()
{
    // Removed while still locked: a program that opened the old file meanwhile sees on locking that
    // the name has moved on, and starts over with the new one.
    ::unlink(path_.c_str());
    ::close(fd_);
}

std::unique_ptr<ProgramLock> ProgramLock::Take(const std::string& folder, Outcome& outcome)
{
    const std::string path = fs::Join(folder, files::kProgramLock);
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        // Left by another user's program: a lock needs no write access to the file itself.
        if (fd < 0 && errno == EACCES)
            fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            outcome = Outcome::Unavailable;
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            outcome = busy ? Outcome::Busy : Outcome::Unavailable;
            return nullptr;
        }
        // The file we locked must still be the one of that name (its holder may have just removed it).
        struct stat locked, named;
        if (::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev
            && locked.st_ino == named.st_ino) {
            outcome = Outcome::Held;
            return std::unique_ptr<ProgramLock>(new ProgramLock(path, fd));
        }
        ::close(fd);
    }
    outcome = Outcome::Unavailable;
    return nullptr;
}

} // namespace pado
