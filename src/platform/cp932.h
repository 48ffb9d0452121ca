#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace pado {

// Decodes CP932 bytes; nullopt when they are not valid CP932 (for example a UTF-8 file).
std::optional<Text> DecodeCp932(std::string_view bytes);
// Decodes CP932 bytes to UTF-16 in one piece, half the size of the UTF-32 text: for a file held
// whole. nullopt when they are not valid CP932.
std::optional<std::u16string> DecodeCp932Utf16(std::string_view bytes);
// Whether bytes are valid CP932, checked without holding their decoded text.
bool IsCp932(std::string_view bytes);

// Encodes to CP932. A character CP932 cannot hold is never replaced by '?': the result then names it.
struct EncodeResult {
    std::string bytes;
    std::optional<char32_t> unencodable;
};
EncodeResult EncodeCp932(const Text& text);

// The two-byte CP932 code of a character (0x8340 for ァ), or 0 for a single-byte or unencodable one.
unsigned Cp932Code(char32_t c);

} // namespace pado
