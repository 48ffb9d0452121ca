#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/errors.h"
#include "sources/race_records.h"

// The fuzzed bytes as a file a source reader opens by path: a memory file, seen under /proc/self/fd.
class FuzzFile {
public:
    FuzzFile(const std::uint8_t* data, std::size_t size)
        : fd_(memfd_create("fuzz", MFD_CLOEXEC))
    {
        if (fd_ < 0)
            std::abort();
        for (std::size_t done = 0; done < size;) {
            ssize_t n = write(fd_, data + done, size - done);
            if (n <= 0)
                std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
    ~FuzzFile() { close(fd_); }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

// Takes whatever a reader pushes and checks what every record must hold, whatever the bytes were.
struct CheckingSink : pado::sources::RecordSink {
    long records = 0;
    void Race(const pado::sources::RaceRecord& r) override
    {
        if (r.key.number < 0 || r.key.venue < 0)
            std::abort();
        ++records;
    }
    void Runner(const pado::sources::RunnerRecord&) override { ++records; }
    void Jockey(const pado::sources::JockeyRecord&) override { ++records; }
    void Horse(const pado::sources::HorseRecord&) override { ++records; }
    void Malformed(const std::string&, long line, const std::string& reason) override
    {
        if (line < 0 || reason.empty())
            std::abort();
    }
    void Skipped(const std::string&) override { }
};
