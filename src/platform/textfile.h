#pragma once

#include <string>

#include "platform/text.h"

namespace pado {

// Reads a CP932 text file into lines. Lines end in CR LF (a bare LF is accepted too); a final line
// without a line break is still a line, and a file ending in a line break has no extra empty line.
// Throws UserError naming the file when it is missing ("ファイル(X)がありません。") or is not CP932.
Lines ReadTextFile(const std::string& path);
// Decodes CP932 bytes into lines the same way; nullopt semantics are the caller's (throws UserError).
Lines DecodeTextLines(const std::string& bytes, const std::string& nameForMessages);
// Reads a file this program saves (a memo) the same way, but every file it could have written opens
// again: CP932 bytes that end each line in CR LF are taken as CP932 even when they are valid UTF-8 too.
Lines ReadSavedTextFile(const std::string& path);
// A CP932 text file checked as ReadTextFile checks it, decoded in one piece to UTF-16 (line breaks
// kept): for a file too large to hold four bytes a character and a string a line (pado.txt).
// Throws the same messages.
std::u16string ReadCp932FileUtf16(const std::string& path);

// Whether a text file is there, as the running press sees it (it may have written or deleted it
// without the disk knowing yet). Outside a press, the disk.
bool TextFileExists(const std::string& path);
// Deletes a text file (when the press ends, inside a press); true when it is gone or never was.
bool DeleteTextFile(const std::string& path);

// The CP932 bytes of lines, each followed by CR LF. Throws UserError naming the first character
// CP932 cannot hold; nothing is then written by the callers below.
std::string EncodeTextLines(const Lines& lines);

// Create or truncate: writes a temporary file and renames it, so a failure leaves the old file whole.
// Throws UserError when the file cannot be written. durable: a file the user keeps (memos, settings):
// flushed to the disk before the rename, written through a link to its target, with its permissions
// kept, and refused with its own message when the user may not write it.
void WriteTextFile(const std::string& path, const Lines& lines, bool durable = false);
// The same, taking the lines: inside a press they are kept without a copy.
void WriteTextFile(const std::string& path, Lines&& lines, bool durable = false);
// Appends lines (each with CR LF); throws UserError when the file cannot be written.
void AppendTextFile(const std::string& path, const Lines& lines);

// The message of a kept file the user may not write.
Text WriteProtectedMessage(const std::string& path);
// The message of a character that cannot be stored in CP932.
Text UnencodableMessage(char32_t c);

} // namespace pado
