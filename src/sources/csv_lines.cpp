#include "sources/csv_lines.h"

#include <algorithm>

namespace pado::sources::csv {

void FieldSplitter::Reset()
{
    state_ = State::FieldStart;
    strict_ = true;
    fields_.clear();
    fields_.emplace_back();
}

void FieldSplitter::Feed(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        // The long runs (an unquoted field up to its comma, a quoted one up to its quote) are copied whole.
        if (state_ == State::Unquoted || state_ == State::Quoted) {
            const char stop = state_ == State::Unquoted ? ',' : '"';
            const std::size_t at = bytes.find(stop, i);
            fields_.back().append(bytes.substr(i, at == std::string_view::npos ? std::string_view::npos : at - i));
            if (at == std::string_view::npos)
                return;
            if (state_ == State::Unquoted) {
                fields_.emplace_back();
                state_ = State::FieldStart;
            } else {
                state_ = State::QuoteInQuoted;
            }
            i = at + 1;
            continue;
        }
        const char c = bytes[i++];
        if (state_ == State::FieldStart) {
            if (c == '"') {
                fields_.back().clear(); // the spaces before an opening quote
                state_ = State::Quoted;
            } else if (c == ',') {
                fields_.emplace_back();
            } else {
                fields_.back() += c;
                if (c != ' ')
                    state_ = State::Unquoted;
            }
        } else { // QuoteInQuoted
            if (c == '"') {
                fields_.back() += '"';
                state_ = State::Quoted;
            } else if (c == ',') {
                fields_.emplace_back();
                state_ = State::FieldStart;
            } else {
                fields_.back() += c;
                state_ = State::Unquoted;
                strict_ = false;
            }
        }
    }
}

bool SplitFields(std::string_view record, std::vector<std::string>& fields)
{
    FieldSplitter s;
    s.Feed(record);
    fields = std::move(s.Fields());
    return !s.InQuotes();
}

LineSource::LineSource(std::istream& in, std::string prefix)
    : in_(in)
    , buffer_(std::move(prefix))
{
}

bool LineSource::Fill()
{
    if (eof_)
        return false;
    buffer_.resize(64 * 1024);
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.resize(static_cast<std::size_t>(in_.gcount()));
    pos_ = 0;
    if (buffer_.empty())
        eof_ = true;
    return !eof_;
}

bool LineSource::Next(Line& line)
{
    line.bytes.clear();
    line.length = 0;
    bool any = false;
    for (;;) {
        if (pos_ == buffer_.size() && !Fill()) {
            if (!any)
                return false;
            line.number = ++number_; // a last line without a line end is still a line
            return true;
        }
        if (skipLf_) {
            skipLf_ = false;
            if (buffer_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        const char* begin = buffer_.data() + pos_;
        const char* end = buffer_.data() + buffer_.size();
        const char* at = std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
        const std::size_t n = static_cast<std::size_t>(at - begin);
        if (line.bytes.size() < kMaxLineBytes)
            line.bytes.append(begin, std::min(n, kMaxLineBytes - line.bytes.size()));
        line.length += n;
        pos_ += n;
        any = any || n > 0;
        if (at != end) {
            ++pos_;
            skipLf_ = *at == '\r';
            line.number = ++number_;
            return true;
        }
    }
}

RecordSource::RecordSource(std::istream& in, std::string prefix)
    : lines_(in, std::move(prefix))
{
}

bool RecordSource::NextLine(LineSource::Line& line)
{
    if (pending_.empty())
        return lines_.Next(line);
    line = std::move(pending_.front());
    pending_.pop_front();
    return true;
}

bool RecordSource::Next(Record& record, std::size_t expectedFields)
{
    LineSource::Line first;
    if (!NextLine(first))
        return false;
    record.line = first.number;
    record.fields.clear();
    record.problem = Problem::None;
    record.length = first.length;
    if (first.Cut()) {
        record.problem = Problem::Cut;
        return true;
    }
    splitter_.Reset();
    splitter_.Feed(first.bytes);
    if (!splitter_.InQuotes()) {
        record.fields.swap(splitter_.Fields());
        return true;
    }
    if (expectedFields > 0) {
        std::vector<LineSource::Line> taken;
        std::size_t bytes = first.bytes.size();
        bool joined = false;
        while (!joined && static_cast<int>(taken.size()) + 1 < kMaxRecordLines) {
            LineSource::Line next;
            if (!NextLine(next))
                break;
            taken.push_back(std::move(next));
            const LineSource::Line& l = taken.back();
            if (l.Cut() || bytes + 1 + l.bytes.size() > kMaxRecordBytes)
                break;
            bytes += 1 + l.bytes.size();
            splitter_.Feed("\n");
            splitter_.Feed(l.bytes);
            if (splitter_.Fields().size() > expectedFields)
                break;
            if (!splitter_.InQuotes()) {
                joined = splitter_.Fields().size() == expectedFields && splitter_.Strict();
                if (!joined)
                    break;
            }
        }
        if (joined) {
            record.fields.swap(splitter_.Fields());
            return true;
        }
        for (auto it = taken.rbegin(); it != taken.rend(); ++it)
            pending_.push_front(std::move(*it));
    }
    record.problem = Problem::OpenQuote;
    return true;
}

} // namespace pado::sources::csv
