#include "sources/fixed_record.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/cp932.h"
#include "platform/errors.h"

namespace pado::sources {

std::string_view FieldAt(std::string_view record, int pos, int len)
{
    std::size_t start = static_cast<std::size_t>(pos - 1);
    if (pos < 1 || start >= record.size() || len <= 0)
        return {};
    return record.substr(start, static_cast<std::size_t>(len));
}

namespace {

std::optional<int> Number(std::string_view field, bool signAllowed)
{
    std::size_t b = 0, e = field.size();
    while (b < e && field[b] == ' ')
        ++b;
    while (e > b && field[e - 1] == ' ')
        --e;
    if (b == e)
        return 0;
    bool negative = false;
    if (signAllowed && (field[b] == '+' || field[b] == '-')) {
        negative = field[b] == '-';
        ++b;
        while (b < e && field[b] == ' ') // "+ 4": the sign and the digits are separate columns
            ++b;
        if (b == e)
            return std::nullopt;
    }
    long v = 0;
    for (std::size_t i = b; i < e; ++i) {
        char c = field[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > 1000000000L)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -v : v);
}

} // namespace

std::optional<int> NumberField(std::string_view field)
{
    return Number(field, false);
}

std::optional<int> SignedNumberField(std::string_view field)
{
    return Number(field, true);
}

Text TrimPadding(const Text& s)
{
    std::size_t b = 0, e = s.size();
    auto pad = [](char32_t c) { return c == U' ' || c == U'\u3000'; };
    while (b < e && pad(s[b]))
        ++b;
    while (e > b && pad(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::optional<Text> TextField(std::string_view field)
{
    std::optional<Text> t = DecodeCp932(field);
    if (!t)
        return std::nullopt;
    return TrimPadding(*t);
}

std::string FieldProblem(const char* fieldName, std::string_view value)
{
    std::string shown;
    for (char c : value) // the value may be bytes of another encoding; show only what prints
        shown += (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f) ? c : '?';
    return std::string(fieldName) + "が読めません(\"" + shown + "\")";
}

void ForEachLine(const std::string& path, const std::function<bool(std::string_view, long)>& visit)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw UserError(U"ファイル(" + FromUtf8(path) + U")を開けません。");
    // Read in blocks and keep at most kMaxLine bytes of a line: a file without line breaks (a picture, an
    // archive) must not be taken into memory whole. A longer line reaches the visitor cut, and no record
    // layout is that long, so the reader reports it.
    constexpr std::size_t kMaxLine = 65536;
    std::string block(1 << 16, '\0');
    std::string line;
    long number = 0;
    bool more = true;
    auto deliver = [&]() {
        ++number;
        std::string_view v(line);
        if (!v.empty() && v.back() == '\r')
            v.remove_suffix(1);
        bool go = visit(v, number);
        line.clear();
        return go;
    };
    while (more) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        std::size_t got = static_cast<std::size_t>(in.gcount());
        more = got == block.size();
        std::size_t start = 0;
        while (start < got) {
            const char* nl = static_cast<const char*>(std::memchr(block.data() + start, '\n', got - start));
            std::size_t end = nl ? static_cast<std::size_t>(nl - block.data()) : got;
            if (line.size() < kMaxLine)
                line.append(block, start, std::min(end - start, kMaxLine - line.size()));
            if (!nl)
                break;
            if (!deliver())
                return;
            start = end + 1;
        }
    }
    if (!line.empty())
        deliver(); // a last line without a line break is still a line
}

std::string FileHead(const std::string& path, std::size_t max)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::string buf(max, '\0');
    in.read(buf.data(), static_cast<std::streamsize>(max));
    buf.resize(static_cast<std::size_t>(in.gcount()));
    return buf;
}

void RecordBuilder::Put(int pos, int len, std::string_view ascii)
{
    for (int i = 0; i < len && i < static_cast<int>(ascii.size()); ++i) {
        std::size_t at = static_cast<std::size_t>(pos - 1 + i);
        if (at < bytes_.size())
            bytes_[at] = ascii[static_cast<std::size_t>(i)];
    }
}

void RecordBuilder::PutNumber(int pos, int len, long value)
{
    if (value < 0)
        return;
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) > len)
        digits = std::string(static_cast<std::size_t>(len), '9'); // the layouts' own overflow mark
    Put(pos, len, std::string(static_cast<std::size_t>(len) - digits.size(), '0') + digits);
}

void RecordBuilder::PutBlankZero(int pos, int len, long value)
{
    if (value == 0)
        return;
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) > len)
        return;
    Put(pos, len, std::string(static_cast<std::size_t>(len) - digits.size(), ' ') + digits);
}

bool RecordBuilder::PutText(int pos, int len, const Text& text, bool fullWidthPadding)
{
    std::string out;
    bool whole = true;
    for (char32_t c : text) {
        EncodeResult e = EncodeCp932(Text(1, c));
        if (e.unencodable) {
            whole = false;
            continue;
        }
        if (out.size() + e.bytes.size() > static_cast<std::size_t>(len))
            break;
        out += e.bytes;
    }
    if (fullWidthPadding) {
        while (out.size() + 2 <= static_cast<std::size_t>(len))
            out += "\x81\x40"; // the full-width space
    }
    Put(pos, len, out + std::string(static_cast<std::size_t>(len) - out.size(), ' '));
    return whole;
}

} // namespace pado::sources
