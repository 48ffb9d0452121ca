#pragma once

#include <cstddef>
#include <deque>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// The records of a CSV file as bytes, read in blocks so that neither a huge line nor a stray quote takes the
// file into memory. Splitting works on bytes: the comma, the quote and the line ends never occur inside a
// CP932 or UTF-8 character, so the fields are decoded afterwards, one by one.
namespace pado::sources::csv {

// A physical line is kept up to this many bytes; the rest of it is read and dropped.
constexpr std::size_t kMaxLineBytes = 64 * 1024;
// A quoted field may hold line breaks, but a record never spans more lines or bytes than this.
constexpr int kMaxRecordLines = 16;
constexpr std::size_t kMaxRecordBytes = 64 * 1024;

// Splits fields as they arrive. A quote opens a quoted field only at the start of a field (spaces before it
// allowed); anywhere else it is a character of the field, so one stray quote spoils nothing. Inside quotes
// "" is a quote; text after the closing quote is kept as part of the field.
class FieldSplitter {
public:
    void Reset();
    void Feed(std::string_view bytes);
    bool InQuotes() const { return state_ == State::Quoted; }
    // False once a closing quote was followed by anything but a comma or the record's end.
    bool Strict() const { return strict_; }
    std::vector<std::string>& Fields() { return fields_; }

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    State state_ = State::FieldStart;
    bool strict_ = true;
    std::vector<std::string> fields_ { std::string() };
};

// The fields of one complete record; false when a quoted field is still open at its end.
bool SplitFields(std::string_view record, std::vector<std::string>& fields);

// Physical lines: LF, CR LF and a lone CR (old Mac files) all end a line.
class LineSource {
public:
    // prefix: bytes already taken from the stream (the head the file was detected by).
    LineSource(std::istream& in, std::string prefix);

    struct Line {
        std::string bytes; // without its line end, at most kMaxLineBytes
        long number = 0; // 1-based
        std::size_t length = 0; // the line's real length; more than bytes.size() when it was cut
        bool Cut() const { return length > bytes.size(); }
    };
    bool Next(Line& line);

private:
    bool Fill();

    std::istream& in_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false, skipLf_ = false;
    long number_ = 0;
};

// Records made of lines. A line whose quoted field is left open is joined with the lines after it only when
// that closes the quote within kMaxRecordLines and kMaxRecordBytes and gives exactly the expected number of
// fields, every closing quote followed by a comma or the record's end: that is how a file that really holds
// line breaks in quotes reads. Otherwise the line alone is a
// broken record and the lines after it are read as records of their own.
class RecordSource {
public:
    RecordSource(std::istream& in, std::string prefix);

    enum class Problem { None, Cut, OpenQuote };
    struct Record {
        long line = 0; // the record's first line
        std::vector<std::string> fields;
        Problem problem = Problem::None;
        std::size_t length = 0; // bytes of a cut line
    };
    // expectedFields: the header's width, 0 when there is none yet (the header itself is never joined).
    bool Next(Record& record, std::size_t expectedFields);

private:
    bool NextLine(LineSource::Line& line);

    LineSource lines_;
    std::deque<LineSource::Line> pending_;
    FieldSplitter splitter_;
};

} // namespace pado::sources::csv
