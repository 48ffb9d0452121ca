#include <gtest/gtest.h>
#include <string>

#include "formats/pado_db.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/press_files.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"

using namespace pado;

namespace {

// A database of n one-line records: header "◎1001NN東京01", body "body NN".
Lines Numbered(int n)
{
    Lines lines { U"preamble" };
    for (int i = 1; i <= n; ++i) {
        Text nn = (i < 10 ? U"0" : U"") + ToText(i);
        lines.push_back(U"◎1001" + nn + U"東京01");
        lines.push_back(U"body " + nn);
    }
    return lines;
}

Text RunOf(int i)
{
    return U"1001" + Text(i < 10 ? U"0" : U"") + ToText(i) + U" 東京 01 芝1600m";
}

Text BodyOf(const RaceDatabase& db, const Text& run)
{
    auto body = db.FindBody(run);
    return body && *body < db.LineCount() ? db.Line(*body) : U"<none>";
}

} // namespace

TEST(RaceDatabase, HeaderIsTheKeyWithoutTheSeparatorsAndMatchesOnlyWhole)
{
    EXPECT_EQ(RaceDatabase::HeaderFor(U"100105 中山 11 芝2500m"), U"◎100105中山11");
    RaceDatabase db(
        { U"◎100105中山11 ", U"trailing space", U"◎100105中山1", U"short key", U"◎100105中山11", U"exact" });
    EXPECT_EQ(BodyOf(db, U"100105 中山 11"), U"exact");
    EXPECT_FALSE(db.FindBody(U"100105 中山 12"));
    EXPECT_EQ(db.HeaderCount(), 3u);
}

TEST(RaceDatabase, ThirtyHeadersKeepEachKeysOwnBody)
{
    RaceDatabase db(Numbered(30));
    for (int i : { 1, 17, 30 })
        EXPECT_EQ(BodyOf(db, RunOf(i)), U"body " + Text(i < 10 ? U"0" : U"") + ToText(i));
}

TEST(RaceDatabase, MoreThanThirtyHeadersMoveThirtyHeadersOnCyclically)
{
    RaceDatabase db(Numbered(31));
    EXPECT_EQ(BodyOf(db, RunOf(2)), U"body 01");
    EXPECT_EQ(BodyOf(db, RunOf(31)), U"body 30");
    EXPECT_EQ(BodyOf(db, RunOf(1)), U"body 31");

    RaceDatabase bigger(Numbered(40));
    EXPECT_EQ(BodyOf(bigger, RunOf(5)), U"body 35");
    EXPECT_EQ(BodyOf(bigger, RunOf(15)), U"body 05");
}

TEST(RaceDatabase, AHeaderOnTheLastLineLeadsToTheFirstLineWhenCountingWraps)
{
    Lines lines = Numbered(31);
    lines.pop_back(); // header 31 is now the last line
    RaceDatabase db(lines);
    EXPECT_EQ(BodyOf(db, RunOf(1)), U"preamble");

    // Without displacement nothing follows such a header.
    Lines few = Numbered(3);
    few.pop_back();
    RaceDatabase small(few);
    ASSERT_TRUE(small.FindBody(RunOf(3)));
    EXPECT_EQ(*small.FindBody(RunOf(3)), small.LineCount());
}

TEST(RaceDatabase, ABodyLineStartingWithTheMarkCountsAsAHeader)
{
    Lines lines = Numbered(30);
    lines.insert(lines.begin() + 2, U"◎印は注記"); // inside the first record's body
    RaceDatabase db(lines);
    EXPECT_EQ(db.HeaderCount(), 31u);
    EXPECT_EQ(BodyOf(db, RunOf(1)), U"body 30");
    EXPECT_EQ(BodyOf(db, RunOf(2)), U"body 01");
}

TEST(RaceDatabase, OpenReusesTheParsedFileUntilItIsReplaced)
{
    TempDir dir;
    RaceDatabaseCache cache;
    const std::string path = dir.File("pado.txt");
    EXPECT_THROW(cache.Open(path), UserError);

    WriteTextFile(path, Numbered(3));
    auto first = cache.Open(path);
    EXPECT_EQ(cache.Open(path), first);

    WriteTextFile(path, Numbered(4)); // a new file renamed into place
    auto second = cache.Open(path);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->HeaderCount(), 4u);

    fs::DeleteFile(path);
    EXPECT_THROW(cache.Open(path), UserError);
    fs::WriteBytesAtomic(path, "\x82");
    EXPECT_THROW(cache.Open(path), UserError);
}

// Within a press the file is looked at once; the next press sees a file replaced in between.
TEST(RaceDatabase, EachPressSeesTheFileAsItIsWhenThePressBegins)
{
    TempDir dir;
    RaceDatabaseCache cache;
    PressFiles files;
    const std::string path = dir.File("pado.txt"), other = dir.File("other.txt");
    WriteTextFile(path, Numbered(3));
    WriteTextFile(other, Numbered(5));
    std::shared_ptr<const RaceDatabase> first;
    {
        PressFiles::Press press(files);
        first = cache.Open(path);
        EXPECT_EQ(cache.Open(path), first);
        EXPECT_EQ(cache.Open(other)->HeaderCount(), 5u);
        EXPECT_EQ(cache.Open(path)->HeaderCount(), 3u);
    }
    WriteTextFile(path, Numbered(4));
    {
        PressFiles::Press press(files);
        EXPECT_EQ(cache.Open(path)->HeaderCount(), 4u);
        // A press that puts new race files in place (a transfer) reads the new one at once.
        fs::WriteBytesAtomic(path, EncodeTextLines(Numbered(6)));
        EXPECT_EQ(cache.Open(path)->HeaderCount(), 6u);
    }
    fs::DeleteFile(path);
    PressFiles::Press press(files);
    EXPECT_THROW(cache.Open(path), UserError);
}

TEST(RaceDatabase, OnlyTheDatabaseOpenedLastIsKept)
{
    TempDir dir;
    RaceDatabaseCache cache;
    const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
    WriteTextFile(a, Numbered(2));
    WriteTextFile(b, Numbered(3));
    std::weak_ptr<const RaceDatabase> first = cache.Open(a);
    EXPECT_FALSE(first.expired());
    auto second = cache.Open(b);
    EXPECT_TRUE(first.expired()); // nobody holds it, and the cache let it go
    EXPECT_EQ(cache.Open(b), second);
}

// Each program keeps its own: a second program's database neither replaces the first one's nor is
// handed to it.
TEST(RaceDatabase, EachCacheKeepsItsOwnDatabase)
{
    TempDir dir;
    const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
    WriteTextFile(a, Numbered(2));
    WriteTextFile(b, Numbered(3));
    RaceDatabaseCache one, two;
    auto first = one.Open(a);
    auto second = two.Open(b);
    EXPECT_EQ(one.Open(a), first);
    EXPECT_EQ(two.Open(b), second);
    EXPECT_NE(two.Open(a), first);
}

TEST(RaceDatabase, LinesReadBackAsWrittenWhateverTheirBreaks)
{
    TempDir dir;
    const std::string path = dir.File("pado.txt");
    fs::WriteBytesAtomic(path,
        "\x81\x9D"
        "100105\x92\x86\x8E\x52"
        "11\r\nbody\nlast");
    auto db = RaceDatabase::Open(path);
    ASSERT_EQ(db->LineCount(), 3u);
    EXPECT_EQ(db->Line(0), U"◎100105中山11");
    EXPECT_EQ(db->Line(1), U"body");
    EXPECT_EQ(db->Line(2), U"last");
    EXPECT_EQ(db->Line(3), U"");
    EXPECT_EQ(db->HeaderCount(), 1u);
    EXPECT_EQ(BodyOf(*db, U"100105 中山 11 芝"), U"body");
}

TEST(RaceDatabase, ALineThatIsNotCp932ReadsAsEmptyAndTheRestStillRead)
{
    auto db = RaceDatabase::FromCp932("\x81\x9D"
                                      "100105\x92\x86\x8E\x52"
                                      "11\r\nbody\r\n\x82\xFF\r\n\x81\x9D"
                                      "100106\x92\x86\x8E\x52"
                                      "11\r\nsecond");
    ASSERT_EQ(db->LineCount(), 5u);
    EXPECT_EQ(db->Line(2), U"");
    EXPECT_EQ(db->HeaderCount(), 2u);
    EXPECT_EQ(BodyOf(*db, U"100105 中山 11"), U"body");
    EXPECT_EQ(BodyOf(*db, U"100106 中山 11"), U"second");
}
