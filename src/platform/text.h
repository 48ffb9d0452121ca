#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pado {

// One element per character: the column rules of the race files count decoded characters,
// a full-width character counting as one, so UTF-32 makes every position a plain index.
using Text = std::u32string;
using Lines = std::vector<Text>;

// 1-based column helpers. Every one of them clamps: a range that runs past the end of a short
// line reads what is there (possibly nothing) instead of throwing.
Text Mid(const Text& s, long start, long length = -1); // characters start .. start+length-1
Text Cols(const Text& s, long first, long last); // characters first .. last inclusive
// The same characters without a copy, for comparing in loops that run thousands of times a press; valid
// while s is unchanged.
std::u32string_view MidView(const Text& s, long start, long length = -1);
std::u32string_view ColsView(const Text& s, long first, long last);
Text Left(const Text& s, long n);
Text Right(const Text& s, long n);
char32_t CharAt(const Text& s, long pos); // 0 when pos is outside the text

// 1-based position of the first occurrence of what at or after start, 0 when there is none.
long InStr(const Text& s, const Text& what, long start = 1);
bool Contains(const Text& s, const Text& what);
bool StartsWith(const Text& s, const Text& prefix);
bool EndsWith(const Text& s, const Text& suffix);
Text ReplaceAll(Text s, const Text& from, const Text& to);

// Splits at every single space; consecutive spaces give empty tokens, as the run-line readers expect.
std::vector<Text> SplitAt(const Text& s, char32_t sep);
Text Join(const Lines& lines, const Text& sep);

// A blank line of the race files: empty or a single half-width space.
bool IsBlank(const Text& s);
// Strips half-width spaces at both ends; full-width spaces stay.
Text TrimSpaces(const Text& s);
// Pads with half-width spaces (or cuts) to exactly n characters.
Text PadRight(const Text& s, std::size_t n);

Text ToText(long long n); // decimal, no padding
// UTF-8 both ways, losslessly for any bytes: a byte FromUtf8 cannot decode becomes the character
// U+DC00 + byte (U+DC80 .. U+DCFF, never a real character), which ToUtf8 writes back as that byte.
inline constexpr char32_t kEscapedByteFirst = 0xDC80;
inline constexpr char32_t kEscapedByteLast = 0xDCFF;
std::string ToUtf8(const Text& s);
Text FromUtf8(std::string_view s);

// Text panes hold "\n" line breaks; files hold lines.
Lines SplitLines(const Text& paneText); // "a\nb\n" gives {"a","b",""}

} // namespace pado
