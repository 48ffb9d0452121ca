#include "assist/assist_button.h"
#include "assist/form5.h"
#include "assist/memo_marks.h"
#include "assist/race_compare.h"
#include "assist_fixture.h"
#include "platform/fs.h"

namespace pado::testing {
namespace {

const Text kMemo = U"有馬記念\n2009年12月27日\n 9 アドマイヤテスト 見出し\n"
                   U" 1 アドマイヤテスト 牡3(57)\n 2 ヴィクトリー   牝4(55)\n";

TEST_F(AssistTest, MemoComesBackExactlyWithOrWithoutFinalLineBreak)
{
    AssistRun run(f(), visited);
    for (Text memo : { kMemo, kMemo.substr(0, kMemo.size() - 1), Text() }) {
        SetMemo(memo);
        MemoWork work = SaveMemoToWorkFile(run);
        LoadMemoFromWorkFile(run, work);
        EXPECT_EQ(Memo(), memo);
        // The work file holds the text followed by one line break.
        std::string bytes;
        ASSERT_TRUE(fs::ReadBytes(Path("R2.txt"), bytes));
        std::string expected = EncodeTextLines({ ReplaceAll(memo, U"\n", U"\r\n") });
        EXPECT_EQ(bytes, expected);
    }
}

TEST_F(AssistTest, DashIsNeverDoubledButLettersFollowIt)
{
    AssistRun run(f(), visited);
    SetMemo(kMemo);
    MemoWork work = SaveMemoToWorkFile(run);
    const Text horse = U"アドマイヤテスト ";
    MarkEntrantDash(work, horse);
    MarkEntrantDash(work, horse);
    MarkCurrentEntrant(work, horse, U"k");
    MarkEntrantDash(work, horse);
    MarkCurrentEntrant(work, horse, U"d");
    LoadMemoFromWorkFile(run, work);
    // The header line above the " 1 " row holds the same name in columns 4-12 and stays as it is.
    EXPECT_EQ(Memo(),
        U"有馬記念\n2009年12月27日\n 9 アドマイヤテスト 見出し\n"
        U" 1 アドマイヤテスト 牡3(57)-k-d\n 2 ヴィクトリー   牝4(55)\n");
    EXPECT_EQ(Read("R2.txt")[3], U" 1 アドマイヤテスト 牡3(57)-k-d");
}

TEST_F(AssistTest, MemoWithoutFirstRowIsLeftAlone)
{
    AssistRun run(f(), visited);
    const Text memo = U"題\n 2 ヴィクトリー   牝4(55)\n";
    SetMemo(memo);
    MemoWork work = SaveMemoToWorkFile(run);
    MarkEntrantDash(work, U"ヴィクトリー   ");
    MarkCurrentEntrant(work, U"ヴィクトリー   ", U"k");
    LoadMemoFromWorkFile(run, work);
    EXPECT_EQ(Memo(), memo);
}

TEST(RaceCompare, TimesAndCoRunnerSlots)
{
    EXPECT_FLOAT_EQ(RaceTimeSeconds(U"1.34.5"), 94.5f);
    EXPECT_FLOAT_EQ(RaceTimeSeconds(U"2.01.0"), 121.0f);
    EXPECT_FLOAT_EQ(R13Time(R13Line(3, U"テスト", U'3', U"1.35.0")), 95.0f);

    auto slots = CoRunnerTable({ U"3 カレンチャン   ", U"12 ヴィクトリー   " }, 2);
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(SlotPosition(slots[2]), 3); // the best placed sits in the last slot
    EXPECT_EQ(SlotHorse(slots[2]), U"カレンチャン   ");
    EXPECT_EQ(SlotPosition(slots[1]), 12);
}

class TwoDigitException : public AssistTest {
protected:
    // The past race being visited: 090601 東京 05, reached through the current entrant's folder.
    void Visit(const Text& raceLine)
    {
        visited = U"/x/PADO/race/ホース      /" + Left(raceLine, 29) + U"." + Mid(raceLine, 31, 32);
    }
    const Text other = PadRight(U"アザー", 9);
};

TEST_F(TwoDigitException, DebutJudgedByNextRun)
{
    Text debut = RunLine(U"090601", U"東京", U"芝", 1600, 12, other);
    for (auto [next, expected] : { std::pair { 5, U"" }, std::pair { 6, U"-" } }) {
        Write("F3.txt",
            { RunLine(U"090101", U"中山", U"芝", 1600, 1, U"ホース"), debut,
                RunLine(U"090701", U"東京", U"芝", 1600, next, other) });
        Visit(debut);
        AssistRun run(f(), visited);
        EXPECT_EQ(CheckTwoDigitException(run, other), Text(expected)) << next;
        EXPECT_FALSE(fs::Exists(Path("F31.txt")));
    }
}

TEST_F(TwoDigitException, LaterRunJudgedByInterval)
{
    Text race = RunLine(U"090601", U"東京", U"芝", 1600, 12, other);
    for (auto [before, expected] : { std::pair { U"090492", U"-" }, std::pair { U"090201", U"" } }) {
        Write("F3.txt", { RunLine(before, U"中山", U"芝", 1600, 3, other), race });
        Visit(race);
        AssistRun run(f(), visited);
        EXPECT_EQ(CheckTwoDigitException(run, other), Text(expected)) << ToUtf8(before);
    }
}

TEST_F(TwoDigitException, OnlyRunIsDiscountedAndUnknownRaceIsNot)
{
    Text only = RunLine(U"090601", U"東京", U"芝", 1600, 12, other);
    Write("F3.txt", { only });
    Visit(only);
    {
        AssistRun run(f(), visited);
        EXPECT_EQ(CheckTwoDigitException(run, other), U"-");
    }
    EXPECT_EQ(Read("F31.txt"), Lines { only });

    Write("F3.txt",
        { RunLine(U"080101", U"中山", U"芝", 1600, 3, other), RunLine(U"080201", U"中山", U"芝", 1600, 3, other) });
    AssistRun run(f(), visited);
    EXPECT_EQ(CheckTwoDigitException(run, other), U"");
    EXPECT_FALSE(fs::Exists(Path("F31.txt")));
}

} // namespace
} // namespace pado::testing

namespace pado::testing {
namespace {

TEST_F(AssistTest, FolderNamedLikeProgramFolderButTooShallowAsksForTheRace)
{
    for (const char* path : { "/PADOX", "/PADO" }) {
        f().Dir1.SetPath(path);
        shell.boxes.clear();
        StartAssist(f());
        ASSERT_EQ(shell.boxes.size(), 1u) << path;
        EXPECT_EQ(shell.boxes[0].text, U"レース名のフォルダーを選択してください。");
    }
    // The program folder itself asks for the race; levels count from the program folder, whatever
    // the folders below are named.
    f().Dir1.SetPath(folder);
    shell.boxes.clear();
    StartAssist(f());
    EXPECT_EQ(shell.boxes.size(), 1u);
    std::filesystem::create_directories(folder + "/PADOX/race");
    f().Dir1.SetPath(folder + "/PADOX/race");
    shell.boxes.clear();
    StartAssist(f());
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].text, U"馬名フォルダーが選択されています。\nレース名のフォルダーを選択してください。");
    EXPECT_FALSE(app().form5().IsLoaded());
}

TEST_F(TwoDigitException, AskedOncePerHorseLeavesTheWorkFileOfTheLastQuestion)
{
    // A record that repeats its runners asks for the same horses again and again.
    const Text twice = PadRight(U"ツーラン", 9);
    Text only = RunLine(U"090601", U"東京", U"芝", 1600, 12, other);
    Write("F3.txt",
        { only, RunLine(U"080101", U"中山", U"芝", 1600, 3, twice),
            RunLine(U"090601", U"東京", U"芝", 1600, 11, twice) });
    Visit(only);
    AssistRun run(f(), visited);
    TwoDigitExceptions exceptions(run);
    EXPECT_EQ(exceptions.Check(other), U"-"); // its only run: F31.txt holds it
    EXPECT_EQ(exceptions.Check(twice), U""); // back after a long rest: F31.txt goes
    EXPECT_FALSE(fs::Exists(Path("F31.txt")));
    EXPECT_EQ(exceptions.Check(other), U"-");
    exceptions.Finish();
    EXPECT_EQ(Read("F31.txt"), Lines { only });
}

} // namespace
} // namespace pado::testing
