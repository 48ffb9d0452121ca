#include <gtest/gtest.h>
#include <random>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"

using namespace pado;

namespace {

// Characters CP932 holds, drawn so that the byte patterns that are also valid UTF-8 come up often:
// half-width katakana (single bytes 0xA1-0xDF), level-2 kanji and NEC/IBM characters (lead bytes
// 0xE0-0xFC, trail bytes 0x80-0xBF), kana and kanji whose lead bytes are UTF-8 continuation bytes.
std::vector<char32_t> CharacterPool()
{
    std::vector<char32_t> pool;
    for (char32_t c = 0x20; c < 0x7F; ++c)
        pool.push_back(c);
    for (char32_t c = 0xFF61; c <= 0xFF9F; ++c)
        pool.push_back(c);
    for (unsigned lead :
        { 0x81u, 0x82u, 0x83u, 0x88u, 0x95u, 0x9Fu, 0xE0u, 0xE3u, 0xE8u, 0xEAu, 0xEDu, 0xEEu, 0xFAu }) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            std::string bytes { static_cast<char>(lead), static_cast<char>(trail) };
            if (auto t = DecodeCp932(bytes); t && t->size() == 1 && !EncodeCp932(*t).unencodable)
                pool.push_back((*t)[0]);
        }
    }
    return pool;
}

} // namespace

TEST(SavedText, EveryMemoTextTheProgramSavesOpensAgainUnchanged)
{
    TempDir dir;
    const std::string memo = dir.File("memo.txt");
    const std::vector<char32_t> pool = CharacterPool();
    std::mt19937 random(20261207);
    int validUtf8 = 0;
    for (int i = 0; i < 4000; ++i) {
        Text text;
        const std::size_t length = random() % (i % 4 == 0 ? 40 : 6);
        for (std::size_t k = 0; k < length; ++k)
            text += random() % 8 == 0 ? U'\n' : pool[random() % pool.size()];
        // The save's own path now and then; otherwise its bytes without the flush to disk, which is slow.
        const std::string bytes = EncodeTextLines(SplitLines(text));
        if (i % 100 == 0)
            WriteTextFile(memo, SplitLines(text), true);
        else
            ASSERT_TRUE(fs::WriteBytesAtomic(memo, bytes));
        validUtf8 += ToUtf8(FromUtf8(bytes)) == bytes && bytes.find_first_of("\x80\xff") != std::string::npos;
        ASSERT_EQ(Join(ReadSavedTextFile(memo), U"\n"), text) << "text number " << i;
    }
    // The property is only worth something when the dangerous cases came up.
    EXPECT_GT(validUtf8, 50);
}

TEST(SavedText, TheExamplesThatLookLikeUtf8)
{
    TempDir dir;
    // ASCII and half-width katakana: valid UTF-8 made of two-byte sequences only.
    WriteTextFile(dir.File("a.txt"), { U"ﾏｲﾅｰ", U"ﾀﾞｰﾄ 1200m" }, true);
    EXPECT_EQ(ReadSavedTextFile(dir.File("a.txt")), (Lines { U"ﾏｲﾅｰ", U"ﾀﾞｰﾄ 1200m" }));
    // Race files are no exception for such text, as no kana or kanji take two bytes in UTF-8.
    EXPECT_EQ(ReadTextFile(dir.File("a.txt")), (Lines { U"ﾏｲﾅｰ", U"ﾀﾞｰﾄ 1200m" }));
    // A level-2 kanji followed by katakana reads as UTF-8 "ぃA" too; the memo the program saved opens.
    const Text tricky = *DecodeCp932("\xE3\x81") + U"ア";
    ASSERT_EQ(EncodeCp932(tricky).bytes, "\xE3\x81\x83\x41");
    WriteTextFile(dir.File("b.txt"), { tricky }, true);
    EXPECT_EQ(ReadSavedTextFile(dir.File("b.txt")), Lines { tricky });
    // A memo written as UTF-8 by another editor (bare line feeds) is still refused, naming the file.
    fs::WriteBytesAtomic(dir.File("c.txt"), "\xe6\x9c\x89\xe9\xa6\xac\n\xe8\xa8\x98\xe5\xbf\xb5\n");
    try {
        ReadSavedTextFile(dir.File("c.txt"));
        FAIL();
    } catch (const UserError& e) {
        EXPECT_NE(e.Message().find(U"c.txt"), Text::npos);
    }
}
