#pragma once

#include <string>

#include "platform/fs.h"

namespace pado::testing {

// Makes the writes the predicate picks fail for as long as it lives. The hook is program-wide, so a
// test that stops at a failed assertion must not leave it on for the tests after it.
class WriteFailure {
public:
    explicit WriteFailure(bool (*failsFor)(const std::string& path)) { fs::SetWriteFailureForTests(failsFor); }
    ~WriteFailure() { Off(); }
    WriteFailure(const WriteFailure&) = delete;
    WriteFailure& operator=(const WriteFailure&) = delete;

    // Ends the failures before the test goes on to check what was written.
    void Off() { fs::SetWriteFailureForTests(nullptr); }
};

} // namespace pado::testing
