#pragma once

#include <cstdint>
#include <string>

#include "platform/errors.h"
#include "platform/textfile.h"

// The fuzzed bytes as the lines of a race file; nullopt-like empty result when they are not CP932,
// which the readers never see because the file reader refuses such a file first.
inline bool FuzzLines(const std::uint8_t* data, std::size_t size, pado::Lines& lines)
{
    try {
        lines = pado::DecodeTextLines(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt");
        return true;
    } catch (const pado::UserError&) {
        return false;
    }
}
