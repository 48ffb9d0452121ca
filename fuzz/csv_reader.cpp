// Any bytes as a race CSV: records split, bounded and checked; a header that places nothing is refused.
#include "source_input.h"
#include "sources/source_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pado::sources::LooksLikeCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzFile file(data, size);
    CheckingSink sink;
    try {
        pado::sources::ReadCsv(file.Path(), sink);
    } catch (const pado::UserError&) {
    }
    return 0;
}
