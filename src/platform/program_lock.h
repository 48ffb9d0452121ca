#pragma once

#include <memory>
#include <string>

namespace pado {

// The program folder's lock, held for the life of the running program. Two programs in one folder
// would delete and rebuild each other's workspace and work files; the second one must stop first.
class ProgramLock {
public:
    enum class Outcome {
        Held, // this program holds the folder
        Busy, // another running program holds it
        Unavailable, // no lock file can be made (a read-only folder): nothing could be destroyed either
    };
    // Takes the lock file of folder without waiting; the lock is nullptr unless the outcome is Held.
    static std::unique_ptr<ProgramLock> Take(const std::string& folder, Outcome& outcome);
    ~ProgramLock(); // removes the lock file, then lets go
    ProgramLock(const ProgramLock&) = delete;
    ProgramLock& operator=(const ProgramLock&) = delete;

private:
    ProgramLock(std::string path, int fd);
    std::string path_;
    int fd_;
};

} // namespace pado
