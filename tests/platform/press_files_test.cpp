// The per-press file cache: the text file layer sees what the press wrote and deleted, the disk
// sees it when the press ends, and the folder and file functions always see the disk.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/press_files.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"

using namespace pado;

TEST(PressFiles, WritesAndDeletesReachTheDiskWhenThePressEnds)
{
    TempDir dir;
    const std::string written = dir.File("R12.txt"), deleted = dir.File("R3.txt");
    WriteTextFile(deleted, { U"古い" });
    PressFiles files;
    {
        PressFiles::Press press(files);
        WriteTextFile(written, { U"一行目" });
        DeleteTextFile(deleted);
        EXPECT_TRUE(TextFileExists(written));
        EXPECT_FALSE(TextFileExists(deleted));
        EXPECT_EQ(ReadTextFile(written), Lines { U"一行目" });
        EXPECT_THROW(ReadTextFile(deleted), UserError);
        // The disk has not changed yet, and fs says so.
        EXPECT_FALSE(fs::IsFile(written));
        EXPECT_TRUE(fs::IsFile(deleted));
        AppendTextFile(written, { U"二行目" });
        press.Flush();
        EXPECT_TRUE(fs::IsFile(written));
        EXPECT_FALSE(fs::Exists(deleted));
    }
    EXPECT_EQ(ReadTextFile(written), (Lines { U"一行目", U"二行目" }));
    EXPECT_EQ(PressFiles::Active(), nullptr);
}

TEST(PressFiles, APressInsideAPressJoinsItAndADurableWriteGoesStraightToDisk)
{
    TempDir dir;
    const std::string work = dir.File("R10.txt"), memo = dir.File("メモ.txt");
    PressFiles files;
    PressFiles::Press outer(files);
    {
        PressFiles::Press inner(files);
        WriteTextFile(work, { U"内側" });
        inner.Flush(); // only the outermost press writes
        WriteTextFile(memo, { U"保存" }, true);
        EXPECT_TRUE(fs::IsFile(memo));
    }
    EXPECT_EQ(PressFiles::Active(), &files);
    EXPECT_FALSE(fs::IsFile(work));
    EXPECT_TRUE(TextFileExists(work));
    outer.Flush();
    EXPECT_TRUE(fs::IsFile(work));
}

TEST(PressFiles, AFileThatCannotBeWrittenIsNamedAndTheOthersAreStillWritten)
{
    TempDir dir;
    PressFiles files;
    PressFiles::Press press(files);
    WriteTextFile(dir.File("R2.txt"), { U"絵文字😀" });
    WriteTextFile(dir.File("R13.txt"), { U"普通の行" });
    try {
        press.Flush();
        FAIL() << "an unencodable line was written";
    } catch (const UserError& e) {
        EXPECT_NE(e.Message().find(U"ファイル(R2.txt)を書き込めません。"), Text::npos);
        EXPECT_NE(e.Message().find(U"😀"), Text::npos);
    }
    EXPECT_FALSE(fs::Exists(dir.File("R2.txt")));
    EXPECT_TRUE(fs::IsFile(dir.File("R13.txt")));
}

TEST(TextFiles, DecodingLineByLineKeepsTheLineRules)
{
    // CR LF and bare LF both end a line; a CR elsewhere stays; no extra line after the last break.
    EXPECT_EQ(DecodeTextLines("a\r\n\x83\x41\nb\rc\r\n", "x.txt"), (Lines { U"a", U"ア", U"b\rc" }));
    EXPECT_EQ(DecodeTextLines("last", "x.txt"), Lines { U"last" });
    EXPECT_TRUE(DecodeTextLines("", "x.txt").empty());
    // A lead byte cut off by the line break is not Shift-JIS, as it was in the whole file.
    EXPECT_THROW(DecodeTextLines("\x83\n\x41\r\n", "x.txt"), UserError);
}

// Deleting a file that is not there is remembered for the press; a write after it still lands, and
// a folder that happens to bear a work file's name is never taken for the file.
TEST(PressFiles, AMissingFileDeletedThenWrittenIsWrittenAndAFolderOfThatNameStays)
{
    TempDir dir;
    const std::string work = dir.File("F31.txt"), folder = dir.File("R13.txt");
    ASSERT_TRUE(fs::CreateFolder(folder));
    PressFiles files;
    {
        PressFiles::Press press(files);
        for (int i = 0; i < 3; ++i) {
            DeleteTextFile(work);
            EXPECT_FALSE(TextFileExists(work));
        }
        DeleteTextFile(folder);
        WriteTextFile(work, { U"走破" });
        DeleteTextFile(work);
        WriteTextFile(work, { U"最後" });
        press.Flush();
    }
    EXPECT_EQ(ReadTextFile(work), Lines { U"最後" });
    EXPECT_TRUE(fs::IsFolder(folder));
}
