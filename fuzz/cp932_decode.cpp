// Any bytes: decoding never crashes, and whatever decodes encodes back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (auto text = pado::DecodeCp932(bytes)) {
        auto back = pado::EncodeCp932(*text);
        // CP932 maps a few characters twice (NEC and IBM codes); re-encoding may pick the other code,
        // but it must never fail or lose a character.
        if (back.unencodable || pado::DecodeCp932(back.bytes) != text)
            std::abort();
    }
    try {
        pado::Lines lines = pado::DecodeTextLines(bytes, "fuzz.txt");
        pado::EncodeTextLines(lines);
    } catch (const pado::UserError&) {
    }
    return 0;
}
