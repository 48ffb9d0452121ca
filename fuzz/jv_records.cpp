// Any bytes as JV-Data records: every line is read, reported or skipped, never trusted.
#include "source_input.h"
#include "sources/source_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pado::sources::LooksLikeJvRecords(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzFile file(data, size);
    CheckingSink sink;
    try {
        pado::sources::ReadJvRecords(file.Path(), sink);
    } catch (const pado::UserError&) {
    }
    return 0;
}
