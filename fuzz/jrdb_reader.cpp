// Any bytes as a JRDB file: every line is read, reported or skipped, never trusted.
#include "source_input.h"
#include "sources/source_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pado::sources::LooksLikeJrdb(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzFile file(data, size);
    CheckingSink sink;
    try {
        pado::sources::ReadJrdb(file.Path(), sink);
    } catch (const pado::UserError&) {
    }
    return 0;
}
