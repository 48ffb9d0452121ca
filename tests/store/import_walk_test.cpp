// What an import says about files it could not or would not read: folders it cannot list, files it may not
// read, kinds it knows and leaves, and files of nothing but bad lines.
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/importer.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::store;
namespace fs = std::filesystem;

namespace {

const char* const kCsv = "日付,場,R,馬番,馬名,着順\n2026/01/05,中山,1,1,ホシ,1\n";

void Write(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Problems(const FileImport& r)
{
    std::string all = r.error + "\n";
    for (const std::string& p : r.problems)
        all += p + "\n";
    return all;
}

} // namespace

TEST(ImportWalk, ABrokenEntryIsNamedAndTheWalkGoesOn)
{
    TempDir dir;
    Write(dir.File("data/a/1.csv"), kCsv);
    Write(dir.File("data/z/2.csv"), kCsv);
    fs::create_symlink("b-loop", dir.File("data/b-loop")); // a link to itself: ELOOP, even for root
    fs::create_symlink("missing", dir.File("data/c-dangling"));
    fs::create_directory_symlink("..", dir.File("data/a/up")); // back to a folder walked already
    std::vector<fs::path> files = FilesToImport(dir.File("data"));
    ASSERT_EQ(files.size(), 4u);
    RaceStore s(dir.File("s.sqlite"));
    std::vector<FileImport> r = ImportFiles(s, files);
    EXPECT_TRUE(r[0].committed);
    EXPECT_NE(r[1].error.find("リンク先を読めません(リンクが循環しています)"), std::string::npos) << r[1].error;
    EXPECT_NE(r[2].error.find("リンク先を読めません(ありません)"), std::string::npos) << r[2].error;
    EXPECT_TRUE(r[3].committed); // after the broken ones
}

TEST(ImportWalk, AFolderOrFileTheUserMayNotReadIsNamedAsSuch)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads everything";
    TempDir dir;
    Write(dir.File("data/a/1.csv"), kCsv);
    Write(dir.File("data/locked/2.csv"), kCsv);
    Write(dir.File("data/secret.csv"), kCsv);
    Write(dir.File("data/z/3.csv"), kCsv);
    ::chmod(dir.File("data/locked").c_str(), 0);
    ::chmod(dir.File("data/secret.csv").c_str(), 0);
    std::vector<fs::path> files = FilesToImport(dir.File("data"));
    RaceStore s(dir.File("s.sqlite"));
    std::vector<FileImport> r = ImportFiles(s, files);
    ::chmod(dir.File("data/locked").c_str(), 0755);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[1].file, dir.File("data/locked"));
    EXPECT_EQ(r[1].error, "フォルダーを読めません(読む権限がありません)");
    EXPECT_EQ(r[2].error, "ファイルを読めません(読む権限がありません)"); // not 対応していない形式
    EXPECT_TRUE(r[3].committed);
}

TEST(ImportWalk, ProblemsOfAFileAreCappedAndCounted)
{
    TempDir dir;
    std::string text = kCsv;
    for (int i = 0; i < 5000; ++i)
        text += "2026/01/05,月面,1,1,x,1\n";
    Write(dir.File("bad.csv"), text);
    RaceStore s(dir.File("s.sqlite"));
    FileImport r = ImportFile(s, dir.File("bad.csv"));
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.byType["不正な行"].malformed, 5000);
    ASSERT_EQ(r.problems.size(), FileImport::kShownProblems + 1);
    EXPECT_NE(r.problems.back().find("ほか 4980 件"), std::string::npos) << r.problems.back();
}

TEST(ImportWalk, CancelReachesAReaderThatFindsOnlyBadLines)
{
    struct CancelAfter : ImportObserver {
        long polls = 0;
        void Progress(long) override { ++polls; }
        bool Cancelled() override { return polls > 2; }
    } observer;
    TempDir dir;
    std::string text = kCsv;
    for (int i = 0; i < 20000; ++i)
        text += "2026/01/05,月面,1,1,x,1\n";
    Write(dir.File("bad.csv"), text);
    RaceStore s(dir.File("s.sqlite"));
    FileImport r = ImportFile(s, dir.File("bad.csv"), &observer);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.committed);
}

TEST(ImportWalk, AKindThatIsKnownButNotReadIsNamedNotCounted)
{
    TempDir dir;
    // SEC records: the race-day key, then a record of SEC's length.
    std::string line = "06171a01" + std::string(344 - 8, ' ');
    Write(dir.File("SEC.txt"), line + "\r\n" + line + "\r\n");
    RaceStore s(dir.File("s.sqlite"));
    FileImport r = ImportFile(s, dir.File("SEC.txt"));
    EXPECT_TRUE(r.committed) << r.error;
    EXPECT_EQ(r.format, "JRDB");
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_EQ(r.notes[0], "JRDB SEC: 読み込まない種類です");
    EXPECT_TRUE(r.byType.empty());
}

TEST(ImportWalk, UnplacedRacesNameTheirVenue)
{
    TempDir dir;
    Write(dir.File("corner.csv"), "レースID,1コーナー,2コーナー,3コーナー,4コーナー\n202601010111,1,2,3,4\n");
    RaceStore s(dir.File("s.sqlite"));
    FileImport r = ImportFile(s, dir.File("corner.csv"));
    EXPECT_NE(Problems(r).find("2026年 札幌 1回1日 11R"), std::string::npos) << Problems(r);
}
