#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"

using namespace pado;
namespace stdfs = std::filesystem;

namespace {

std::string Bytes(const std::string& path)
{
    std::string b;
    fs::ReadBytes(path, b);
    return b;
}

unsigned Mode(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> out;
    for (auto& e : stdfs::directory_iterator(folder))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

// Someone who can write the program folder plants links where the temporary file would go.
TEST(AtomicWrites, NoPlantedLinkOrFileRedirectsTheWrite)
{
    TempDir dir;
    ASSERT_TRUE(fs::CreateFolder(dir.File("prog")));
    const std::string victim = dir.File("victim.txt");
    ASSERT_TRUE(fs::WriteBytesAtomic(victim, "precious"));
    // Every name the old scheme would have used next.
    for (int n = 0; n < 64; ++n)
        stdfs::create_symlink(
            victim, dir.File("prog/.pado-tmp-" + std::to_string(::getpid()) + "-" + std::to_string(n)));
    for (auto kind : { fs::WriteKind::Work, fs::WriteKind::Durable, fs::WriteKind::Kept })
        ASSERT_TRUE(fs::WriteBytesAtomic(dir.File("prog/R12.txt"), "work", kind));
    EXPECT_EQ(Bytes(victim), "precious");
    EXPECT_EQ(Bytes(dir.File("prog/R12.txt")), "work");
    EXPECT_FALSE(fs::IsLink(dir.File("prog/R12.txt")));
    // Nothing but the planted links and the file itself: no temporary file is left.
    EXPECT_EQ(Entries(dir.File("prog")).size(), 65u);

    // A work file's name is the program's: a link planted there is replaced, never written through.
    stdfs::create_symlink(victim, dir.File("prog/R13.txt"));
    ASSERT_TRUE(fs::WriteBytesAtomic(dir.File("prog/R13.txt"), "work"));
    EXPECT_FALSE(fs::IsLink(dir.File("prog/R13.txt")));
    EXPECT_EQ(Bytes(victim), "precious");
    // So is a link at an input file the transfer copies.
    stdfs::create_symlink(victim, dir.File("prog/R1.txt"));
    ASSERT_TRUE(fs::CopyFileAtomic(dir.File("prog/R13.txt"), dir.File("prog/R1.txt")));
    EXPECT_FALSE(fs::IsLink(dir.File("prog/R1.txt")));
    EXPECT_EQ(Bytes(victim), "precious");
}

TEST(AtomicWrites, AKeptFileBehindALinkIsReplacedInItsOwnFolderAndTheLinkStays)
{
    TempDir dir;
    ASSERT_TRUE(fs::CreateFolder(dir.File("prog")));
    ASSERT_TRUE(fs::CreateFolder(dir.File("notes")));
    const std::string target = dir.File("notes/memo.txt");
    ASSERT_TRUE(fs::WriteBytesAtomic(target, "old"));
    // A chain of links, one of them relative.
    stdfs::create_symlink("../notes/memo.txt", dir.File("prog/middle.txt"));
    stdfs::create_symlink(dir.File("prog/middle.txt"), dir.File("prog/メモ.txt"));
    WriteTextFile(dir.File("prog/メモ.txt"), { U"新しい" }, true);
    EXPECT_TRUE(fs::IsLink(dir.File("prog/メモ.txt")));
    EXPECT_TRUE(fs::IsLink(dir.File("prog/middle.txt")));
    EXPECT_EQ(Bytes(target), EncodeCp932(U"新しい\r\n").bytes);
    EXPECT_EQ(Entries(dir.File("notes")), std::vector<std::string> { "memo.txt" });
    EXPECT_EQ(Entries(dir.File("prog")), (std::vector<std::string> { "middle.txt", "メモ.txt" }));

    // A link whose target does not exist yet: the target is made, the link stays.
    stdfs::create_symlink(dir.File("notes/later.txt"), dir.File("prog/later.txt"));
    WriteTextFile(dir.File("prog/later.txt"), { U"x" }, true);
    EXPECT_TRUE(fs::IsLink(dir.File("prog/later.txt")));
    EXPECT_EQ(Bytes(dir.File("notes/later.txt")), "x\r\n");

    // A link to a device names no file: nothing is put in the device's place.
    stdfs::create_symlink("/dev/null", dir.File("prog/null.txt"));
    EXPECT_THROW(WriteTextFile(dir.File("prog/null.txt"), { U"x" }, true), UserError);
    EXPECT_TRUE(stdfs::is_character_file("/dev/null"));
}

TEST(AtomicWrites, TheFileKeepsItsPermissions)
{
    TempDir dir;
    const std::string memo = dir.File("private.txt");
    ASSERT_TRUE(fs::WriteBytesAtomic(memo, "secret"));
    ASSERT_EQ(::chmod(memo.c_str(), 0600), 0);
    WriteTextFile(memo, { U"まだ秘密" }, true);
    EXPECT_EQ(Mode(memo), 0600u);
    ASSERT_EQ(::chmod(memo.c_str(), 0640), 0);
    ASSERT_TRUE(fs::WriteBytesAtomic(memo, "work"));
    EXPECT_EQ(Mode(memo), 0640u);
    // A new file gets what the user's umask gives any new file.
    mode_t old = ::umask(027);
    ASSERT_TRUE(fs::WriteBytesAtomic(dir.File("new.txt"), "n"));
    ::umask(old);
    EXPECT_EQ(Mode(dir.File("new.txt")), 0640u);
}

// Marked read-only (no write bit at all) holds for the administrator too, so this runs as root as well.
TEST(AtomicWrites, AKeptFileMarkedReadOnlyIsRefusedWithItsOwnMessage)
{
    TempDir dir;
    const std::string memo = dir.File("memo.txt");
    WriteTextFile(memo, { U"古い" }, true);
    ASSERT_EQ(::chmod(memo.c_str(), 0444), 0);
    EXPECT_TRUE(fs::IsWriteProtected(memo));
    try {
        WriteTextFile(memo, { U"新しい" }, true);
        FAIL();
    } catch (const UserError& e) {
        EXPECT_EQ(e.Message(), WriteProtectedMessage(memo));
        EXPECT_NE(e.Message().find(U"memo.txt"), Text::npos);
    }
    EXPECT_FALSE(fs::WriteBytesAtomic(memo, "new", fs::WriteKind::Kept));
    EXPECT_EQ(Bytes(memo), EncodeCp932(U"古い\r\n").bytes);
    EXPECT_EQ(Mode(memo), 0444u);
    // Through a link the target's protection counts.
    stdfs::create_symlink(memo, dir.File("link.txt"));
    EXPECT_TRUE(fs::IsWriteProtected(dir.File("link.txt")));
    EXPECT_FALSE(fs::IsWriteProtected(dir.File("missing.txt")));
}

// Write permission for others than the owner: root may write every such file, so the check is skipped there.
TEST(AtomicWrites, AKeptFileTheUserMayNotWriteIsRefused)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the administrator may write any file that has a write bit";
    TempDir dir;
    const std::string memo = dir.File("memo.txt");
    WriteTextFile(memo, { U"古い" }, true);
    ASSERT_EQ(::chmod(memo.c_str(), 0044), 0); // others may, the owner may not
    EXPECT_TRUE(fs::IsWriteProtected(memo));
    EXPECT_THROW(WriteTextFile(memo, { U"新しい" }, true), UserError);
    ::chmod(memo.c_str(), 0644);
    EXPECT_EQ(Bytes(memo), EncodeCp932(U"古い\r\n").bytes);
}
