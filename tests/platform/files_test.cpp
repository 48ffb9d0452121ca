#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"
#include "support/write_failure.h"

using namespace pado;

TEST(Cp932, KeepsTheNecAndIbmCharactersAndTheWaveDash)
{
    const Text t = U"ⅠⅡ①～－ヴァ";
    auto enc = EncodeCp932(t);
    ASSERT_FALSE(enc.unencodable);
    auto dec = DecodeCp932(enc.bytes);
    ASSERT_TRUE(dec);
    EXPECT_EQ(*dec, t);
    EXPECT_EQ(Cp932Code(U'ァ'), 0x8340u);
    EXPECT_EQ(Cp932Code(U'ヴ'), 0x8394u);
    EXPECT_EQ(Cp932Code(U'ヵ'), 0x8395u);
    EXPECT_EQ(Cp932Code(U'a'), 0u);
}

TEST(Cp932, RejectsUtf8TextAndNamesTheCharacterItCannotStore)
{
    EXPECT_FALSE(DecodeCp932("\x82")); // a lead byte without its trail byte
    auto enc = EncodeCp932(U"ab😀c");
    ASSERT_TRUE(enc.unencodable);
    EXPECT_EQ(*enc.unencodable, U'😀');
}

TEST(TextFiles, ReadCrLfAndBareLfWithoutAnExtraLastLine)
{
    TempDir dir;
    std::string crlf = EncodeCp932(U"一\r\n二\r\n\r\n").bytes;
    fs::WriteBytesAtomic(dir.File("a.txt"), crlf);
    EXPECT_EQ(ReadTextFile(dir.File("a.txt")), (Lines { U"一", U"二", U"" }));
    fs::WriteBytesAtomic(dir.File("b.txt"), "x\ny");
    EXPECT_EQ(ReadTextFile(dir.File("b.txt")), (Lines { U"x", U"y" }));
    fs::WriteBytesAtomic(dir.File("c.txt"), "");
    EXPECT_TRUE(ReadTextFile(dir.File("c.txt")).empty());
}

TEST(TextFiles, MissingAndNonCp932FilesAreNamedInTheMessage)
{
    TempDir dir;
    try {
        ReadTextFile(dir.File("Rall.txt"));
        FAIL();
    } catch (const UserError& e) {
        EXPECT_EQ(
            Text(e.Message()).rfind(U"ファイル(Rall.txt)がありません。\n探したフォルダー: ", 0), 0u); // and what to do
    }
    // 有馬 saved as UTF-8 happens to be valid CP932 bytes too; UTF-16 and a BOM are caught as well.
    for (std::string bytes : { std::string("\xe6\x9c\x89\xe9\xa6\xac\r\n"),
             std::string("\xef\xbb\xbf"
                         "abc"),
             std::string("a\0b\0", 4) }) {
        fs::WriteBytesAtomic(dir.File("R1.txt"), bytes);
        try {
            ReadTextFile(dir.File("R1.txt"));
            FAIL();
        } catch (const UserError& e) {
            EXPECT_NE(e.Message().find(U"R1.txt"), Text::npos);
        }
    }
    // Genuine CP932 Japanese is accepted.
    fs::WriteBytesAtomic(dir.File("R1.txt"), EncodeCp932(U"有馬記念\r\nｱｲｳ\r\n").bytes);
    EXPECT_EQ(ReadTextFile(dir.File("R1.txt")), (Lines { U"有馬記念", U"ｱｲｳ" }));
}

TEST(TextFiles, AFailedWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string memo = dir.File("memo.txt");
    WriteTextFile(memo, { U"古いメモ" });
    // A character CP932 cannot hold: nothing is written at all.
    EXPECT_THROW(WriteTextFile(memo, { U"新しい", U"😀" }), UserError);
    EXPECT_EQ(ReadTextFile(memo), Lines { U"古いメモ" });
    // A write the file system refuses: the old content stays, no temporary file is left behind.
    pado::testing::WriteFailure failing([](const std::string&) { return true; });
    EXPECT_THROW(WriteTextFile(memo, { U"新しい" }), UserError);
    failing.Off();
    EXPECT_EQ(ReadTextFile(memo), Lines { U"古いメモ" });
    WriteTextFile(memo, { U"新しい" });
    std::string bytes;
    ASSERT_TRUE(fs::ReadBytes(memo, bytes));
    EXPECT_EQ(bytes, EncodeCp932(U"新しい\r\n").bytes);
    AppendTextFile(memo, { U"追記" });
    EXPECT_EQ(ReadTextFile(memo), (Lines { U"新しい", U"追記" }));
}

// Removing a folder removes the links in it, and a link given as the folder, never what they point to.
TEST(Folders, DeleteTreeNeverReachesThroughALink)
{
    TempDir dir;
    ASSERT_TRUE(fs::CreateFolder(dir.File("keep")));
    WriteTextFile(dir.File("keep/file.txt"), { U"x" });
    ASSERT_TRUE(fs::CreateFolder(dir.File("work")));
    ASSERT_TRUE(fs::CreateFolder(dir.File("work/deep")));
    ASSERT_EQ(::symlink(dir.File("keep").c_str(), dir.File("work/deep/to-keep").c_str()), 0);
    ASSERT_EQ(::symlink(dir.File("keep/file.txt").c_str(), dir.File("work/to-file").c_str()), 0);
    ASSERT_EQ(::symlink(dir.File("keep").c_str(), dir.File("link").c_str()), 0);
    EXPECT_TRUE(fs::DeleteTree(dir.File("link")));
    EXPECT_TRUE(fs::DeleteTree(dir.File("work")));
    EXPECT_FALSE(fs::Exists(dir.File("work")));
    EXPECT_FALSE(fs::Exists(dir.File("link")));
    EXPECT_EQ(ReadTextFile(dir.File("keep/file.txt")), Lines { U"x" });
    EXPECT_TRUE(fs::DeleteTree(dir.File("never-there")));
}

// A file written in pieces appears whole or not at all, and only under its own name.
TEST(Files, AtomicFileAppearsWholeOnCommitAndLeavesNothingOtherwise)
{
    TempDir dir;
    {
        fs::AtomicFile dropped(dir.File("out.csv"));
        ASSERT_TRUE(dropped.IsOpen());
        dropped.Write("half");
    }
    EXPECT_TRUE(fs::FilesIn(dir.Path()).empty());
    fs::AtomicFile file(dir.File("out.csv"), false);
    file.Write("a,b\r\n");
    EXPECT_FALSE(fs::Exists(dir.File("out.csv")));
    file.Write("1,2\r\n");
    ASSERT_TRUE(file.Commit());
    std::string bytes;
    ASSERT_TRUE(fs::ReadBytes(dir.File("out.csv"), bytes));
    EXPECT_EQ(bytes, "a,b\r\n1,2\r\n");
    EXPECT_EQ(fs::FilesIn(dir.Path()), std::vector<std::string> { "out.csv" });
    EXPECT_FALSE(fs::AtomicFile(dir.File("missing/out.csv")).IsOpen());
}

TEST(Folders, SubFoldersAreSortedAndDeleteTreeRemovesEverything)
{
    TempDir dir;
    for (auto n : { "b", "a", "c" })
        ASSERT_TRUE(fs::CreateFolder(dir.File(n)));
    WriteTextFile(dir.File("a/file.txt"), { U"x" });
    ASSERT_TRUE(fs::CreateFolder(dir.File("a/deep")));
    auto subs = fs::SubFolders(dir.Path());
    ASSERT_EQ(subs.size(), 3u);
    EXPECT_EQ(fs::FileName(subs[0]), "a");
    EXPECT_EQ(fs::FileName(subs[2]), "c");
    // A link to a folder is not a sub-folder; a link to a file counts as a file (a memo kept elsewhere).
    ASSERT_EQ(::symlink(dir.File("c").c_str(), dir.File("d").c_str()), 0);
    ASSERT_EQ(::symlink(dir.File("a/file.txt").c_str(), dir.File("memo.txt").c_str()), 0);
    ASSERT_EQ(::symlink(dir.File("gone").c_str(), dir.File("dangling.txt").c_str()), 0);
    EXPECT_EQ(fs::SubFolders(dir.Path()).size(), 3u);
    EXPECT_EQ(fs::FilesIn(dir.Path()), std::vector<std::string> { "memo.txt" });
    EXPECT_EQ(fs::FilesIn(dir.File("a")), std::vector<std::string> { "file.txt" });
    EXPECT_TRUE(fs::SubFolders(dir.File("never-there")).empty());
    // Empty folders beside full ones, at every depth, go with the tree.
    ASSERT_TRUE(fs::CreateFolder(dir.File("a/deep/empty")));
    ASSERT_TRUE(fs::CreateFolder(dir.File("a/deep/full")));
    WriteTextFile(dir.File("a/deep/full/f.txt"), { U"x" });
    EXPECT_TRUE(fs::CreateFolder(dir.File("a/deep/full")));
    EXPECT_FALSE(fs::CreateFolder(dir.File("a/file.txt")));
    EXPECT_TRUE(fs::DeleteTree(dir.File("a")));
    EXPECT_FALSE(fs::Exists(dir.File("a")));
    EXPECT_TRUE(fs::IsFolder(dir.File("c")));
    EXPECT_TRUE(fs::DeleteFile(dir.File("never-there.txt")));
    EXPECT_EQ(fs::Parent("/x/y"), "/x");
    EXPECT_EQ(fs::Parent("/x"), "/");
}
