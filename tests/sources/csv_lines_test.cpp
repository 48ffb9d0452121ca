// CSV records split on bytes: stray quotes, quoted line breaks, every line end, lines past the bound.
#include <gtest/gtest.h>
#include <sstream>

#include "sources/csv_lines.h"

using namespace pado::sources::csv;
using Fields = std::vector<std::string>;

namespace {

std::vector<RecordSource::Record> Records(const std::string& text, std::size_t width, std::string prefix = "")
{
    std::istringstream in(text);
    RecordSource source(in, std::move(prefix));
    std::vector<RecordSource::Record> out;
    RecordSource::Record r;
    while (source.Next(r, width))
        out.push_back(r);
    return out;
}

std::vector<std::string> Lines(const std::string& text, std::string prefix = "")
{
    std::istringstream in(text);
    LineSource source(in, std::move(prefix));
    std::vector<std::string> out;
    LineSource::Line l;
    while (source.Next(l))
        out.push_back(std::to_string(l.number) + ":" + l.bytes);
    return out;
}

} // namespace

TEST(CsvLines, QuotesOpenAFieldOnlyAtItsStart)
{
    Fields f;
    EXPECT_TRUE(SplitFields("a,\"(*2,5)9\",,\"say \"\"hi\"\"\"", f));
    EXPECT_EQ(f, (Fields { "a", "(*2,5)9", "", "say \"hi\"" }));
    EXPECT_TRUE(SplitFields("12\"5,ab\"c\",x", f)); // a quote inside a field is a character of it
    EXPECT_EQ(f, (Fields { "12\"5", "ab\"c\"", "x" }));
    EXPECT_TRUE(SplitFields(" \"a,b\" ,\"c\"d", f)); // spaces before the quote; text after the closing one
    EXPECT_EQ(f, (Fields { "a,b ", "cd" }));
    EXPECT_FALSE(SplitFields("1,\"open", f));
    EXPECT_TRUE(SplitFields("", f));
    EXPECT_EQ(f, Fields { "" });
}

TEST(CsvLines, EveryLineEndEndsALineAndCrLfAcrossABlockIsOne)
{
    EXPECT_EQ(Lines("a\r\nb\nc\rd"), (std::vector<std::string> { "1:a", "2:b", "3:c", "4:d" }));
    EXPECT_EQ(Lines("x\r\r\ny\n"), (std::vector<std::string> { "1:x", "2:", "3:y" }));
    // The head read for detection ends in CR, the stream goes on with its LF.
    EXPECT_EQ(Lines("\nb\r\n", "a\r"), (std::vector<std::string> { "1:a", "2:b" }));
    EXPECT_TRUE(Lines("").empty());
}

TEST(CsvLines, ALongLineIsCutAndTheNextLineReadsWhole)
{
    const std::string text = std::string(3 * kMaxLineBytes + 5, 'x') + "\nnext\n";
    std::istringstream in(text);
    LineSource source(in, "");
    LineSource::Line l;
    ASSERT_TRUE(source.Next(l));
    EXPECT_TRUE(l.Cut());
    EXPECT_EQ(l.bytes.size(), kMaxLineBytes);
    EXPECT_EQ(l.length, 3 * kMaxLineBytes + 5);
    ASSERT_TRUE(source.Next(l));
    EXPECT_EQ(l.bytes, "next");
    EXPECT_EQ(l.number, 2);

    auto records = Records(text, 1);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].problem, RecordSource::Problem::Cut);
    EXPECT_EQ(records[1].fields, Fields { "next" });
}

TEST(CsvLines, AStrayQuoteSpoilsItsOwnLineOnly)
{
    const std::string text = "1,a,b\n2,\"c,d\n3,e,f\n4,g,\"h\"\n";
    auto records = Records(text, 3);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[1].problem, RecordSource::Problem::OpenQuote);
    EXPECT_EQ(records[2].fields, (Fields { "3", "e", "f" }));
    EXPECT_EQ(records[3].fields, (Fields { "4", "g", "h" }));
    EXPECT_EQ(records[3].line, 4);

    // An unterminated quote on the last line, with and without a line end.
    for (const std::string& last : { std::string("5,\"x,y"), std::string("5,\"x,y\r\n") }) {
        auto r = Records("1,a,b\n" + last, 3);
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[1].problem, RecordSource::Problem::OpenQuote);
    }
}

TEST(CsvLines, QuotedLineBreaksJoinWhenTheRecordComesOutWhole)
{
    auto records = Records("1,\"two\r\nlines\",x\r\n2,b,c\r\n", 3);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, (Fields { "1", "two\nlines", "x" }));
    EXPECT_EQ(records[1].line, 3);

    // Without a header width nothing is joined; with one, not beyond the bound of lines.
    EXPECT_EQ(Records("\"a\nb\",c\n", 0)[0].problem, RecordSource::Problem::OpenQuote);
    std::string many = "1,\"";
    for (int i = 0; i < kMaxRecordLines + 2; ++i)
        many += "l\n";
    many += "\",x\n";
    auto bounded = Records(many, 3);
    ASSERT_GT(bounded.size(), 2u);
    EXPECT_EQ(bounded[0].problem, RecordSource::Problem::OpenQuote);
    EXPECT_EQ(bounded[1].fields, Fields { "l" }); // the lines after it read as records of their own
}

TEST(CsvLines, UnclosedQuotesOnEveryLineStayLinear)
{
    // Each line looks ahead a bounded number of lines at most; a quadratic scan would take minutes here.
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "\"" + std::to_string(i) + ",a,b\n";
    auto records = Records(text, 3);
    ASSERT_EQ(records.size(), 200000u);
    EXPECT_EQ(records.back().problem, RecordSource::Problem::OpenQuote);
}
