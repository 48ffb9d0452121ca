#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/text.h"

namespace pado {

// The race results database pado.txt: one record per past race, each opened by a header line
// "◎" + race key. Parsed once and shared by every lookup of a press and of later presses as long
// as the file on disk stays the same (see RaceDatabaseCache); a file replaced between presses is read
// again.
//
// The file is kept as its CP932 bytes and a line is decoded when it is read: decoded, every
// character takes four bytes and every line a string of its own, over four times the file.
class RaceDatabase {
public:
    // Reads and parses the database at path. Throws UserError when the file is missing or is not CP932.
    static std::shared_ptr<const RaceDatabase> Open(const std::string& path);
    // Parses lines already read (tests and callers that hold the text). Throws UserError when a
    // line holds a character CP932 cannot.
    explicit RaceDatabase(const Lines& lines);
    // Parses the bytes of a file already checked to be CP932.
    static std::shared_ptr<const RaceDatabase> FromCp932(std::string bytes);

    // Line i (0-based), decoded.
    Text Line(std::size_t i) const;
    std::size_t LineCount() const { return lineStarts_.size(); }
    // H: every line whose first character is "◎", wherever it stands.
    std::size_t HeaderCount() const { return headers_.size(); }

    static bool IsHeader(const Text& line) { return !line.empty() && line[0] == U'◎'; }
    // "◎" and the race key: characters 1 to 6, 8 to 9 and 11 to 12 of a run line's first 12 characters.
    static Text HeaderFor(const Text& runKeyText);

    // Index of the first body line of the race whose header is HeaderFor(runKeyText), nullopt when
    // no line equals that header. With more than 30 headers the body is the one under the 30th
    // header after the match, counted cyclically; the index may equal LineCount() when the file
    // ends right after the header.
    std::optional<std::size_t> FindBody(const Text& runKeyText) const;

private:
    struct Bytes { };
    RaceDatabase(Bytes, std::string bytes);
    std::string bytes_;
    std::vector<std::size_t> lineStarts_; // byte offset of every line
    std::vector<std::size_t> headers_; // line index of every header line
    std::unordered_map<Text, std::size_t> headerOrdinal_; // header text -> its first place in headers_
};

// The database a program keeps parsed between its presses. Each App owns one, so programs on other
// threads never share or replace it. Only the database last opened is kept: a program folder has one
// pado.txt, and each is as large as the file.
class RaceDatabaseCache {
public:
    RaceDatabaseCache();
    ~RaceDatabaseCache();
    RaceDatabaseCache(const RaceDatabaseCache&) = delete;
    RaceDatabaseCache& operator=(const RaceDatabaseCache&) = delete;
    // The database at path, kept from an earlier call when the file's identity, size and modification
    // time are unchanged. Throws as RaceDatabase::Open.
    std::shared_ptr<const RaceDatabase> Open(const std::string& path);

private:
    struct Entry;
    std::unique_ptr<Entry> entry_;
};

// Reads a record forward from a body index: the next line, or nothing at the end of the file.
// The line stays valid until the next call.
class RecordCursor {
public:
    RecordCursor(const RaceDatabase& db, std::size_t next)
        : db_(db)
        , next_(next)
    {
    }
    const Text* Next()
    {
        if (next_ >= db_.LineCount())
            return nullptr;
        line_ = db_.Line(next_++);
        return &line_;
    }

private:
    const RaceDatabase& db_;
    std::size_t next_;
    Text line_;
};

} // namespace pado
