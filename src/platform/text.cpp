#include "platform/text.h"

#include <algorithm>

namespace pado {

std::u32string_view MidView(const Text& s, long start, long length)
{
    if (start < 1)
        start = 1;
    const auto size = static_cast<long>(s.size());
    if (start > size || length == 0)
        return {};
    long avail = size - start + 1;
    if (length < 0 || length > avail)
        length = avail;
    return std::u32string_view(s).substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

std::u32string_view ColsView(const Text& s, long first, long last)
{
    if (first < 1)
        first = 1;
    if (last < first)
        return {};
    return MidView(s, first, last - first + 1);
}

Text Mid(const Text& s, long start, long length)
{
    return Text(MidView(s, start, length));
}

Text Cols(const Text& s, long first, long last)
{
    return Text(ColsView(s, first, last));
}

Text Left(const Text& s, long n)
{
    return n <= 0 ? Text {} : Mid(s, 1, n);
}

Text Right(const Text& s, long n)
{
    const auto size = static_cast<long>(s.size());
    if (n <= 0)
        return {};
    if (n >= size)
        return s;
    return s.substr(static_cast<std::size_t>(size - n));
}

char32_t CharAt(const Text& s, long pos)
{
    if (pos < 1 || pos > static_cast<long>(s.size()))
        return 0;
    return s[static_cast<std::size_t>(pos - 1)];
}

long InStr(const Text& s, const Text& what, long start)
{
    if (start < 1)
        start = 1;
    if (start > static_cast<long>(s.size()) + 1)
        return 0;
    auto p = s.find(what, static_cast<std::size_t>(start - 1));
    return p == Text::npos ? 0 : static_cast<long>(p) + 1;
}

bool Contains(const Text& s, const Text& what)
{
    return s.find(what) != Text::npos;
}

bool StartsWith(const Text& s, const Text& prefix)
{
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const Text& s, const Text& suffix)
{
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

Text ReplaceAll(Text s, const Text& from, const Text& to)
{
    if (from.empty())
        return s;
    std::size_t p = 0;
    while ((p = s.find(from, p)) != Text::npos) {
        s.replace(p, from.size(), to);
        p += to.size();
    }
    return s;
}

std::vector<Text> SplitAt(const Text& s, char32_t sep)
{
    std::vector<Text> out;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == sep) {
            out.push_back(s.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    return out;
}

Text Join(const Lines& lines, const Text& sep)
{
    Text out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += sep;
        out += lines[i];
    }
    return out;
}

bool IsBlank(const Text& s)
{
    return s.empty() || s == U" ";
}

Text TrimSpaces(const Text& s)
{
    auto b = s.find_first_not_of(U' ');
    if (b == Text::npos)
        return {};
    auto e = s.find_last_not_of(U' ');
    return s.substr(b, e - b + 1);
}

Text PadRight(const Text& s, std::size_t n)
{
    Text out = s.substr(0, std::min(n, s.size()));
    out.resize(n, U' ');
    return out;
}

Text ToText(long long n)
{
    std::string s = std::to_string(n);
    return Text(s.begin(), s.end());
}

std::string ToUtf8(const Text& s)
{
    std::string out;
    out.reserve(s.size() * 3);
    for (char32_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= kEscapedByteFirst && c <= kEscapedByteLast) {
            out += static_cast<char>(c - 0xDC00); // a byte FromUtf8 could not decode goes back as it was
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

Text FromUtf8(std::string_view s)
{
    // File names and messages. A path is only bytes: a folder named in another encoding must come
    // back from ToUtf8 as the same bytes, or the program would look for a folder that is not there.
    // So a byte that starts no valid sequence becomes one reserved character that ToUtf8 turns back
    // into that byte; overlong forms and encoded surrogates count as invalid, as they would not
    // come back byte for byte.
    Text out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
        char32_t c = extra <= 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; ok && k <= extra; ++k) {
            auto cb = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            ok = (cb & 0xC0) == 0x80;
            c = (c << 6) | (cb & 0x3F);
        }
        static constexpr char32_t kLeast[] = { 0, 0x80, 0x800, 0x10000 };
        ok = ok && (extra == 0 || (c >= kLeast[extra] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF)));
        if (!ok) {
            out += static_cast<char32_t>(0xDC00 + b);
            ++i;
            continue;
        }
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

Lines SplitLines(const Text& paneText)
{
    return SplitAt(paneText, U'\n');
}

} // namespace pado
