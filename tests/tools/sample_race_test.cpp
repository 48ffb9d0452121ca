// Checks the generated race the way the readers see it: every column they read holds what they need.
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

#include "model.h"
#include "platform/cp932.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "support/pado_body.h"

using namespace pado;

namespace {

struct Card {
    Lines head, entrants, runBlock, pastRuns, listing;
};

Card SplitCard(const Lines& r1)
{
    Card c;
    std::size_t i = 0;
    while (i < r1.size() && !IsBlank(r1[i]))
        c.head.push_back(r1[i++]);
    ++i;
    while (i < r1.size() && !IsBlank(r1[i]))
        c.entrants.push_back(r1[i++]);
    i += 2; // the blank line and the heading line
    while (i < r1.size() && !Contains(r1[i], U"◆"))
        c.runBlock.push_back(r1[i++]);
    i += 2; // the marker line and the heading line
    while (i < r1.size() && !StartsWith(r1[i], U"◆-◆-◆"))
        c.pastRuns.push_back(r1[i++]);
    for (++i; i < r1.size(); ++i)
        c.listing.push_back(r1[i]);
    return c;
}

// The record body a run line's race key leads to.
Lines BodyFor(const Lines& pado, const Text& runLine)
{
    return pado::testing::PadoBodyFor(pado, U"◎" + Cols(runLine, 1, 6) + Cols(runLine, 8, 9) + Cols(runLine, 11, 12));
}

std::vector<long> Numbers(const Text& order)
{
    std::vector<long> out;
    long n = -1;
    for (char32_t c : order + U" ") {
        if (c >= U'0' && c <= U'9') {
            n = (n < 0 ? 0 : n * 10) + (c - U'0');
        } else if (n >= 0) {
            out.push_back(n);
            n = -1;
        }
    }
    return out;
}

bool IsTime(const Text& t)
{
    return t.size() == 6 && t[1] == U'.' && t[4] == U'.'
        && std::all_of(t.begin(), t.end(), [](char32_t c) { return c == U'.' || (c >= U'0' && c <= U'9'); });
}

Text JockeyKey(Text t)
{
    t = ReplaceAll(t, U" ", U"");
    if (Contains(t, U"．"))
        t = Mid(t, 3);
    for (const Text mark : { U"▲", U"☆", U"△" })
        if (StartsWith(t, mark))
            t = Mid(t, 2);
    if (t.size() == 2)
        t += U"　";
    return Left(t, 3);
}

std::string Bytes(const Lines& lines)
{
    return EncodeTextLines(lines);
}

void CheckRunLines(const makerace::RaceFiles& f, const Card& card)
{
    std::set<Text> names;
    for (const Text& e : card.entrants)
        if (!StartsWith(e, U"＝"))
            names.insert(Left(e, 9));
    std::map<Text, std::set<Text>> finishesByRace, numbersByRace;
    Text prevName, prevDate;
    std::set<Text> finishedHorses;
    std::map<Text, long> birthYears;
    for (const Text& l : f.rall) {
        SCOPED_TRACE(ToUtf8(l));
        std::vector<Text> t = SplitAt(Cols(l, 1, 47) + Mid(l, 57), U' ');
        ASSERT_GE(t.size(), 14u);
        EXPECT_LE(t.size(), 16u);
        EXPECT_TRUE(Contains(U"芝ダ障", Left(t[3], 1)));
        EXPECT_EQ(t[3].size(), 6u);
        EXPECT_EQ(Right(t[3], 1), U"m");
        EXPECT_EQ(LeadingInt(Mid(t[3], 2, 4)), LeadingInt(Cols(l, 15, 18)));
        EXPECT_EQ(t[6], Cols(l, 26, 27));
        EXPECT_GE(LeadingInt(t[6]), 1);
        EXPECT_LE(LeadingInt(t[6]), 18);
        EXPECT_FALSE(t[13].empty());
        EXPECT_EQ(Cols(l, 64, 64 + t[13].size() - 1), t[13]); // the class token opens the race tail
        EXPECT_TRUE(IsTime(Cols(l, 29, 34)));
        EXPECT_TRUE(Contains(U"良稍重不", Cols(l, 21, 21)));
        EXPECT_TRUE(Contains(U"京都阪神中京小倉東京中山福島新潟函館札幌", Cols(l, 8, 9)));
        long age = LeadingInt(Cols(l, 58, 58));
        EXPECT_GE(age, 2);
        EXPECT_LE(age, 9);
        const Text name = Cols(l, 48, 56);
        EXPECT_TRUE(names.count(name));
        // One horse's runs stand together, oldest first.
        if (name != prevName) {
            EXPECT_FALSE(finishedHorses.count(name));
            finishedHorses.insert(name);
            prevDate.clear();
        }
        EXPECT_LT(prevDate, Cols(l, 1, 6));
        // Ages go up on the first of January, so age minus year stays the same through a career.
        const long yy = LeadingInt(Cols(l, 1, 2)), mm = LeadingInt(Cols(l, 3, 4)), dd = LeadingInt(Cols(l, 5, 6));
        auto [born, fresh] = birthYears.insert({ name, yy - age });
        EXPECT_EQ(born->second, yy - age);
        // Races are run at weekends, before the card's date and within the years the careers span.
        const int weekday = makerace::Weekday(makerace::DaysFromCivil(2000 + yy, mm, dd));
        EXPECT_TRUE(weekday == 0 || weekday == 6);
        EXPECT_LT(Cols(l, 1, 6), U"261207");
        prevName = name;
        prevDate = Cols(l, 1, 6);
        EXPECT_TRUE(finishesByRace[Cols(l, 1, 12)].insert(Cols(l, 26, 27)).second);
        EXPECT_TRUE(numbersByRace[Cols(l, 1, 12)].insert(Cols(l, 23, 24)).second);
    }
}

void CheckPastRunsInDatabase(const makerace::RaceFiles& f, const Card& card)
{
    for (const Text& p : card.pastRuns) {
        SCOPED_TRACE(ToUtf8(p));
        Lines body = BodyFor(f.pado, p);
        ASSERT_GE(body.size(), 10u);
        long at = InStr(body[0], U"回");
        ASSERT_GT(at, 0);
        EXPECT_EQ(Mid(body[0], at + 1, 2), Cols(p, 8, 9));
        bool course = false, weather = false;
        for (std::size_t i = 1; i < body.size(); ++i) {
            if (long m = InStr(body[i], U"ｍ")) {
                course = true;
                EXPECT_EQ(LeadingInt(Mid(body[i], m - 4, 4)), LeadingInt(Cols(p, 15, 18)));
                EXPECT_EQ(Mid(body[i], m + 2, 1), Cols(p, 14, 14));
            }
            if (Contains(body[i], U"天候")) {
                weather = true;
                EXPECT_EQ(Mid(body[i], InStr(body[i], U"：", 4) + 1, 1), Cols(p, 21, 21));
            }
        }
        EXPECT_TRUE(course && weather);

        // The passing-order readers walk closing line, corner heading, corners, separator, runners, end line.
        auto closing = std::find_if(body.begin(), body.end(), [](const Text& l) { return StartsWith(l, U"上り"); });
        ASSERT_NE(closing, body.end());
        std::size_t i = closing - body.begin() + 1;
        ASSERT_LT(i, body.size());
        EXPECT_TRUE(StartsWith(body[i], U"コーナー"));
        ++i;
        const char32_t first = CharAt(body[i], 1);
        const std::size_t corners = first == U'1' ? 4 : first == U'2' ? 3 : 2;
        std::vector<Text> orders;
        for (std::size_t c = 0; c < corners; ++c, ++i)
            orders.push_back(Mid(body[i], InStr(body[i], U"  ") + 2));
        EXPECT_NE(Cols(body[i], 24, 25), U"kg"); // the separating line
        ++i;
        std::set<long> runnerNumbers;
        long finish = 0;
        bool horseFound = false;
        for (; i < body.size() && !StartsWith(body[i], U"---"); ++i) {
            const Text& r = body[i];
            ASSERT_EQ(Cols(r, 24, 25), U"kg") << ToUtf8(r);
            EXPECT_EQ(LeadingInt(Cols(r, 1, 2)), ++finish);
            EXPECT_TRUE(runnerNumbers.insert(LeadingInt(Cols(r, 4, 5))).second);
            EXPECT_TRUE(IsTime(Cols(r, 32, 37)));
            if (Cols(r, 7, 15) == Cols(p, 48, 56)) {
                horseFound = true;
                EXPECT_EQ(LeadingInt(Cols(r, 4, 5)), LeadingInt(Cols(p, 23, 24)));
                EXPECT_EQ(LeadingInt(Cols(r, 1, 2)), LeadingInt(Cols(p, 26, 27)));
                EXPECT_EQ(Cols(r, 32, 37), Cols(p, 29, 34));
                EXPECT_EQ(Cols(r, 18, 18), Cols(p, 58, 58));
            }
        }
        ASSERT_LT(i, body.size()) << "no end line";
        EXPECT_TRUE(horseFound);
        for (const Text& o : orders) {
            std::vector<long> nums = Numbers(o);
            EXPECT_EQ(nums.size(), runnerNumbers.size()) << ToUtf8(o);
            for (long n : nums)
                EXPECT_TRUE(runnerNumbers.count(n)) << n << " in " << ToUtf8(o);
        }
    }
}

void CheckCard(const makerace::RaceFiles& f, const Card& card, std::size_t pastRuns)
{
    bool year = false, meeting = false, distance = false;
    for (const Text& l : card.head) {
        if (CharAt(l, 5) == U'年') {
            year = Contains(l, U"中山") && Cols(l, 3, 4) == U"26";
        }
        if (EndsWith(l, U"日目")) {
            meeting = Left(Right(l, 5), 2) == U"中山" && LeadingInt(Mid(l, 6)) == 12;
        }
        if (long m = InStr(l, U"m"); m > 10 && Contains(l, U"・")) {
            distance = LeadingInt(Mid(l, m - 4, 4)) == 2500 && Mid(l, m + 2, 1) == U"芝";
        }
        // The memo pad's title lines end at the first line reading as the number 1.
        EXPECT_NE(LeadingInt(Left(l, 2)), 1) << ToUtf8(l);
    }
    EXPECT_TRUE(year && meeting && distance);

    std::set<long> closers;
    std::size_t horses = 0;
    for (const Text& e : card.entrants) {
        if (StartsWith(e, U"＝"))
            continue;
        ++horses;
        const unsigned code = Cp932Code(CharAt(e, 1));
        EXPECT_TRUE(code >= 0x8340 && code <= 0x8394) << ToUtf8(e);
        closers.insert(InStr(e, U")"));
        EXPECT_GT(e.size(), static_cast<std::size_t>(InStr(e, U")"))); // every entrant names a jockey
    }
    EXPECT_TRUE(closers.count(15) && closers.count(12));
    EXPECT_EQ(closers.size(), 2u);

    // Run block and past-run section: the latest runs of every horse, the latter cut to 62 characters.
    ASSERT_EQ(card.runBlock.size(), horses * pastRuns);
    ASSERT_EQ(card.pastRuns.size(), card.runBlock.size());
    for (std::size_t i = 0; i < card.runBlock.size(); ++i) {
        EXPECT_NE(std::find(f.rall.begin(), f.rall.end(), card.runBlock[i]), f.rall.end());
        EXPECT_EQ(card.pastRuns[i], Left(card.runBlock[i], 62));
        EXPECT_EQ(card.pastRuns[i].size(), 62u);
        EXPECT_GT(LeadingInt(Left(card.pastRuns[i], 6)), 20000);
        EXPECT_EQ(CharAt(card.pastRuns[i], 30), U'.'); // the folder name keeps every character
    }

    // The listing holds every run, by distance and then time.
    Lines sorted = f.rall;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Text& a, const Text& b) {
        return std::make_pair(Cols(a, 15, 18), Cols(a, 29, 34)) < std::make_pair(Cols(b, 15, 18), Cols(b, 29, 34));
    });
    EXPECT_EQ(card.listing, sorted);
    for (const Text& l : card.listing)
        EXPECT_FALSE(Contains(l, U"◆"));
}

void CheckJockeys(const makerace::RaceFiles& f, const Card& card)
{
    for (const Text& l : f.kisyu) {
        ASSERT_GE(l.size(), 153u) << ToUtf8(l);
        for (int k = 0; k < 10; ++k)
            for (int field = 0; field < 4; ++field) {
                Text cell = Mid(l, 7 + 15 * k + 3 * field, 3);
                EXPECT_EQ(cell, PadRight(U"", 3 - TrimSpaces(cell).size()) + TrimSpaces(cell));
                EXPECT_FALSE(TrimSpaces(cell).empty());
            }
    }
    for (const Text& e : card.entrants) {
        if (StartsWith(e, U"＝"))
            continue;
        Text key = JockeyKey(Mid(e, InStr(e, U")") + 1));
        EXPECT_TRUE(std::any_of(f.kisyu.begin(), f.kisyu.end(), [&](const Text& l) { return Left(l, 3) == key; }))
            << ToUtf8(e);
    }
}

void CheckRace(const makerace::Options& o)
{
    makerace::RaceFiles f = makerace::GenerateRace(o);
    Card card = SplitCard(f.r1);
    {
        SCOPED_TRACE("run lines");
        CheckRunLines(f, card);
    }
    {
        SCOPED_TRACE("race card");
        CheckCard(f, card, o.pastRuns);
    }
    {
        SCOPED_TRACE("database");
        CheckPastRunsInDatabase(f, card);
        std::size_t headers
            = std::count_if(f.pado.begin(), f.pado.end(), [](const Text& l) { return StartsWith(l, U"◎"); });
        EXPECT_GT(headers, 30u); // so the record displacement is in play
    }
    {
        SCOPED_TRACE("jockeys");
        CheckJockeys(f, card);
    }
}

} // namespace

TEST(SampleRace, DefaultRaceFitsEveryReader)
{
    CheckRace({});
}

TEST(SampleRace, LargerRacesFitEveryReader)
{
    CheckRace({ .seed = 99, .entrants = 18, .runs = 110, .pastRuns = 30 });
    CheckRace({ .seed = 3, .entrants = 16, .runs = 15, .pastRuns = 5 });
}

TEST(SampleRace, SameSeedGivesTheSameBytesAndAnotherSeedAnotherRace)
{
    makerace::Options o { .seed = 42, .entrants = 16, .runs = 30, .pastRuns = 5 };
    makerace::RaceFiles a = makerace::GenerateRace(o), b = makerace::GenerateRace(o);
    EXPECT_EQ(Bytes(a.r1), Bytes(b.r1));
    EXPECT_EQ(Bytes(a.rall), Bytes(b.rall));
    EXPECT_EQ(Bytes(a.pado), Bytes(b.pado));
    EXPECT_EQ(Bytes(a.kisyu), Bytes(b.kisyu));
    o.seed = 43;
    EXPECT_NE(Bytes(makerace::GenerateRace(o).rall), Bytes(a.rall));
}

TEST(SampleRace, CommittedSampleIsTheDefaultGeneration)
{
    makerace::RaceFiles f = makerace::GenerateRace({});
    const std::string dir = std::string(PADO_SOURCE_DIR) + "/sample/";
    for (auto [name, lines] : { std::pair { "R1.txt", &f.r1 }, { "Rall.txt", &f.rall }, { "pado.txt", &f.pado },
             { "kisyuE.txt", &f.kisyu } }) {
        std::string bytes;
        ASSERT_TRUE(fs::ReadBytes(dir + name, bytes)) << name;
        EXPECT_TRUE(bytes == Bytes(*lines)) << name << " differs from build/make-race --out sample";
    }
}
