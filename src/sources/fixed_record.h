#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

// Fixed-length records as JRDB and JV-Data lay them out: fields named by their 1-based byte position and
// byte length, numbers as ASCII digits, names in CP932 padded with half- or full-width spaces.
namespace pado::sources {

// The bytes pos .. pos+len-1 (1-based) of a record, clamped to what is there.
std::string_view FieldAt(std::string_view record, int pos, int len);

// A number field: surrounding spaces ignored, digits only. nullopt for anything else; a blank field reads
// as 0 (the layouts' "no data").
std::optional<int> NumberField(std::string_view field);
// The same with a sign in front, which may stand apart from the digits ("+ 4", "-12").
std::optional<int> SignedNumberField(std::string_view field);

// A text field decoded from CP932 with the padding (half- and full-width spaces) removed; nullopt when the
// bytes are not CP932 (a multi-byte character cut by the field boundary, or another encoding).
std::optional<Text> TextField(std::string_view field);

// Removes half- and full-width spaces at both ends.
Text TrimPadding(const Text& s);

// One malformed-field problem of a record, in Japanese for the import report.
std::string FieldProblem(const char* fieldName, std::string_view value);

// Reads a file line by line (CR LF or LF) without loading it whole; each line without its line break and
// with its 1-based number. Throws UserError naming the file when it cannot be opened. The visitor returns
// false to stop.
void ForEachLine(const std::string& path, const std::function<bool(std::string_view line, long number)>& visit);

// The first bytes of a file (up to max), for detection by content; empty when it cannot be read.
std::string FileHead(const std::string& path, std::size_t max = 65536);

// A record being written: starts as spaces of the layout's length, fields are put at their positions.
class RecordBuilder {
public:
    explicit RecordBuilder(int length)
        : bytes_(static_cast<std::size_t>(length), ' ')
    {
    }
    // Raw ASCII at pos (cut to len).
    void Put(int pos, int len, std::string_view ascii);
    // A number right-aligned in len digits with leading zeros; nothing when value is negative.
    void PutNumber(int pos, int len, long value);
    // A number right-aligned in len characters with leading spaces ("Z" fields); nothing when value is 0.
    void PutBlankZero(int pos, int len, long value);
    // CP932 text left-aligned, padded with spaces (full-width ones where the layout pads names so), cut at a
    // character boundary when too long. Returns false when a character has no CP932 form (it is left out).
    bool PutText(int pos, int len, const Text& text, bool fullWidthPadding = false);
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

} // namespace pado::sources
