// Race data read straight from archives: every member by content, bad members named, bombs refused.
#include <archive.h>
#include <archive_entry.h>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>

#include "emit.h"
#include "model.h"
#include "source_data.h"
#include "sources/archive_reader.h"
#include "store/importer.h"
#include "support/temp_dir.h"

using namespace pado;
using namespace pado::store;
namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Member {
    std::string name, bytes;
};

// An archive written with libarchive: format "zip" or "tar.gz"; stored (not deflated) when asked, so that a
// test can find a member's bytes in the file and damage them.
void WriteArchive(
    const std::string& path, const std::string& format, const std::vector<Member>& members, bool stored = false)
{
    struct archive* a = archive_write_new();
    if (format == "zip") {
        archive_write_set_format_zip(a);
        if (stored)
            archive_write_set_options(a, "zip:compression=store");
    } else if (format == "gz") {
        archive_write_set_format_raw(a); // one compressed file, its size said nowhere
        archive_write_add_filter_gzip(a);
    } else {
        archive_write_set_format_pax_restricted(a);
        archive_write_add_filter_gzip(a);
    }
    ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
    for (const Member& m : members) {
        struct archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, m.name.c_str());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, static_cast<la_int64_t>(m.bytes.size()));
        archive_write_header(a, e);
        archive_write_data(a, m.bytes.data(), m.bytes.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// An LZH archive of stored (-lh0-) members with level-0 headers, written byte by byte as the format has it.
std::string Lzh(const std::vector<Member>& members)
{
    auto crc16 = [](const std::string& s) {
        unsigned crc = 0;
        for (unsigned char c : s) {
            crc ^= c;
            for (int i = 0; i < 8; ++i)
                crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
        return crc;
    };
    auto le = [](std::string& out, unsigned long v, int n) {
        for (int i = 0; i < n; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    std::string out;
    for (const Member& m : members) {
        std::string h = "-lh0-";
        le(h, m.bytes.size(), 4);
        le(h, m.bytes.size(), 4);
        le(h, 0x5A8E0000, 4); // a DOS date and time
        h += '\x20';
        h += '\x00'; // header level 0
        h += static_cast<char>(m.name.size());
        h += m.name;
        le(h, crc16(m.bytes), 2);
        unsigned sum = 0;
        for (unsigned char c : h)
            sum += c;
        out += static_cast<char>(h.size());
        out += static_cast<char>(sum & 0xFF);
        out += h + m.bytes;
    }
    return out + '\0';
}

// Every row of the race and runner tables: two stores holding the same data dump the same.
std::string Dump(RaceStore& s)
{
    std::string out;
    for (const char* sql : { "SELECT * FROM races ORDER BY id", "SELECT * FROM runners ORDER BY race_id, number" }) {
        Stmt st(s.Database(), sql);
        while (st.Step())
            for (int c = 0; c < st.ColumnCount(); ++c)
                out += st.Str(c) + (c + 1 < st.ColumnCount() ? "|" : "\n");
    }
    return out;
}

struct JrdbWorld {
    TempDir dir;
    std::vector<Member> files;
    JrdbWorld()
    {
        makerace::Options o;
        o.runs = 12;
        makerace::EmitJrdb(makerace::ToSourceData(makerace::Simulate(o)), dir.File("plain"));
        for (const auto& e : fs::directory_iterator(dir.File("plain")))
            files.push_back({ "2026/" + e.path().filename().string(), Slurp(e.path()) });
        std::sort(files.begin(), files.end(), [](const Member& a, const Member& b) { return a.name < b.name; });
    }
    std::string PlainDump()
    {
        RaceStore s(dir.File("plain.sqlite"));
        for (const auto& r : ImportFiles(s, FilesToImport(dir.File("plain"))))
            EXPECT_TRUE(r.committed && r.problems.empty()) << r.file;
        return Dump(s);
    }
};

} // namespace

TEST(ImportArchive, ZipAndTarGzInNestedFoldersGiveTheStoreOfTheUnpackedFiles)
{
    JrdbWorld w;
    const std::string plain = w.PlainDump();
    ASSERT_FALSE(plain.empty());
    for (const std::string format : { "zip", "tar.gz" }) {
        SCOPED_TRACE(format);
        const std::string archive = w.dir.File("pack." + format);
        WriteArchive(archive, format, w.files);
        RaceStore s(w.dir.File(format + ".sqlite"));
        std::vector<FileImport> r = ImportFiles(s, { archive });
        ASSERT_EQ(r.size(), 1u);
        EXPECT_TRUE(r[0].committed) << r[0].error;
        EXPECT_TRUE(r[0].problems.empty()) << r[0].problems.front();
        EXPECT_EQ(r[0].format, format == "zip" ? "ZIP" : "tar.gz");
        EXPECT_EQ(Dump(s), plain);
    }
}

TEST(ImportArchive, LzhAsOlderYearsShipIt)
{
    JrdbWorld w;
    const std::string plain = w.PlainDump();
    std::vector<Member> flat = w.files;
    for (Member& m : flat)
        m.name = m.name.substr(m.name.find('/') + 1);
    const std::string archive = w.dir.File("old.lzh");
    std::ofstream(archive, std::ios::binary) << Lzh(flat);
    RaceStore s(w.dir.File("lzh.sqlite"));
    std::vector<FileImport> r = ImportFiles(s, { archive });
    EXPECT_EQ(r[0].format, "LZH");
    EXPECT_TRUE(r[0].problems.empty()) << r[0].problems.front();
    EXPECT_EQ(Dump(s), plain);

    // The archiver itself, where it is installed, compresses (-lh5-) what the hand-made one stores.
    if (std::system("command -v lha >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "lha is not installed";
    const std::string made = w.dir.File("made.lzh");
    ASSERT_EQ(std::system(("cd '" + w.dir.File("plain") + "' && lha -aq '" + made + "' * >/dev/null 2>&1").c_str()), 0);
    RaceStore l(w.dir.File("lha.sqlite"));
    ImportFiles(l, { made });
    EXPECT_EQ(Dump(l), plain);
}

TEST(ImportArchive, ABadMemberIsNamedAndTheOthersStay)
{
    JrdbWorld w;
    std::vector<Member> members = w.files;
    const std::string csv = "日付,場,R,馬番,馬名,着順\n2031/01/05,中山,1,1,ホシ,1\n2031/01/05,中山,1,2,ツキ,2\n";
    members.push_back({ "csv/damaged.csv", csv });
    members.push_back({ "readme.txt", "nothing to read here" });
    const std::string archive = w.dir.File("bad.zip");
    WriteArchive(archive, "zip", members, true);
    // Damage the stored CSV's bytes: its checksum no longer matches.
    std::string bytes = Slurp(archive);
    const std::size_t at = bytes.find("ツキ");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 1] ^= 0x01;
    std::ofstream(archive, std::ios::binary) << bytes;

    RaceStore s(w.dir.File("s.sqlite"));
    FileImport r = ImportFile(s, archive);
    EXPECT_TRUE(r.committed);
    EXPECT_GT(r.byType["出走馬"].imported, 0); // the JRDB members are in
    std::string all;
    for (const std::string& p : r.problems)
        all += p + "\n";
    EXPECT_NE(all.find(archive + ":csv/damaged.csv: 取り込みませんでした: 壊れています"), std::string::npos) << all;
    EXPECT_NE(all.find(archive + ":readme.txt: 対応していない形式"), std::string::npos) << all;
    Stmt st(s.Database(), "SELECT count(*) FROM races WHERE date = 20310105 AND venue = 6 AND number = 1");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Int(0), 0); // nothing of the damaged member stayed
}

TEST(ImportArchive, AMemberFarLargerThanItsArchiveIsRefused)
{
    TempDir dir;
    const std::string bomb = dir.File("bomb.zip");
    // 40 MB of one character deflates to some 40 KB.
    WriteArchive(bomb, "zip",
        { { "big.csv", "日付,場,R,馬番,馬名,着順\n" + std::string(40u << 20, ' ') }, { "a.csv", "x,y\n" } });
    ASSERT_LT(fs::file_size(bomb), 1u << 20);
    RaceStore s(dir.File("s.sqlite"));
    FileImport r = ImportFile(s, bomb);
    ASSERT_FALSE(r.problems.empty());
    EXPECT_NE(r.problems[0].find(bomb + ":big.csv"), std::string::npos) << r.problems[0];
    EXPECT_NE(r.problems[0].find("上限"), std::string::npos) << r.problems[0];
    EXPECT_EQ(r.problems.size(), 2u); // the next member is still read (and refused for its own header)
    // A compressed file that declares no size is stopped where it passes the bound, and nothing of it stays.
    const std::string gz = dir.File("big.csv.gz");
    WriteArchive(
        gz, "gz", { { "", "日付,場,R,馬番,馬名,着順\n2031/01/05,中山,1,1,ホシ,1\n" + std::string(40u << 20, '\n') } });
    FileImport g = ImportFile(s, gz);
    EXPECT_EQ(g.format, "gzip");
    ASSERT_EQ(g.problems.size(), 1u);
    EXPECT_NE(g.problems[0].find("上限の 16 MB を超える"), std::string::npos) << g.problems[0];
    EXPECT_EQ(s.CountRows("races"), 0);

    // Real packs compress text some tenfold: a large archive's members may be large too.
    EXPECT_EQ(sources::ArchiveMemberBound(fs::file_size(bomb)), 16u << 20);
    EXPECT_EQ(sources::ArchiveMemberBound(20u << 20), 2000ull << 20);
}

TEST(ImportArchive, AnArchiveThatIsNotOneSaysSo)
{
    TempDir dir;
    const std::string fake = dir.File("fake.zip");
    std::ofstream(fake, std::ios::binary) << std::string("PK\x03\x04", 4) << std::string(100, '\x07');
    RaceStore s(dir.File("s.sqlite"));
    FileImport r = ImportFile(s, fake);
    std::string all = r.error;
    for (const std::string& p : r.problems)
        all += p;
    EXPECT_NE(all.find("fake.zip"), std::string::npos) << all;
    EXPECT_FALSE(r.error.empty() && r.problems.empty());
}

TEST(ImportArchive, ADatabaseMemberIsOpenedLikeTheFile)
{
    TempDir dir;
    const std::string db = dir.File("jv.db");
    {
        sqlite3* h = nullptr;
        sqlite3_open(db.c_str(), &h);
        const char* key = "DataKubun, Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum";
        const std::string sql = std::string("CREATE TABLE RACE (") + key + ", Hondai, Kyori, TrackCD);"
            + "CREATE TABLE UMA_RACE (" + key + ", Umaban, Bamei, KakuteiJyuni);"
            + "INSERT INTO RACE VALUES ('7', 2024, 1222, '06', 5, 8, 11, '有馬記念', 2500, '17');"
            + "INSERT INTO UMA_RACE VALUES ('7', 2024, 1222, '06', 5, 8, 11, 3, 'ホシゾラ', 1);";
        ASSERT_EQ(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(h);
    }
    RaceStore plain(dir.File("plain.sqlite"));
    FileImport p = ImportFile(plain, db);
    ASSERT_TRUE(p.committed) << p.error;
    WriteArchive(dir.File("jv.zip"), "zip", { { "db/jv.db", Slurp(db) } });
    RaceStore zipped(dir.File("zipped.sqlite"));
    FileImport z = ImportFile(zipped, dir.File("jv.zip"));
    EXPECT_EQ(Dump(zipped), Dump(plain));
    EXPECT_EQ(z.byType["出走馬"].imported, 1);
    EXPECT_EQ(z.problems.size(), p.problems.size()) << (z.problems.empty() ? "" : z.problems.front());
}
