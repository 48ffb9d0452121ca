#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace pado {

// A script line the driver cannot run (unknown command, missing control ...).
struct ScriptError {
    std::string message;
};

// The headless program over a program folder, driven one script line at a time; the transcript goes to
// out. Each Replay is a program of its own, so several run side by side on different threads.
class Replay {
public:
    Replay(const std::string& programFolder, std::ostream& out);
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;
    // Runs one line (a comment or a blank line does nothing). Throws ScriptError.
    void Run(const std::string& line);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace pado
