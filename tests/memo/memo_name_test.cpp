#include <gtest/gtest.h>

#include "memo/memo_name.h"

using namespace pado;

TEST(MemoName, NominationTitleSavesUnderTheRaceTitle)
{
    // Four characters before "回特別登録" go: with a two-digit number exactly the race title stays.
    EXPECT_EQ(MemoName(U"有馬記念　第５４回特別登録\n 1 アドマイヤ"), U"有馬記念");
    // With a one-digit number the cut still takes four, so the title loses its last character.
    EXPECT_EQ(MemoName(U"有馬記念　第５回特別登録"), U"有馬記");
    // Too short a title leaves nothing, which the name check then refuses.
    EXPECT_EQ(MemoName(U"第5回特別登録"), U"");
}

TEST(MemoName, OtherFirstLinesAreTheWholeLine)
{
    EXPECT_EQ(MemoName(U"有馬記念\n2行目"), U"有馬記念");
    EXPECT_EQ(MemoName(U"有馬記念"), U"有馬記念");
    EXPECT_EQ(MemoName(U"馬主登録"), U"馬主登録"); // ends in 登録 but names no 回特別登録
    EXPECT_EQ(MemoName(U"第5回特別登録の馬"), U"第5回特別登録の馬");
    EXPECT_EQ(MemoName(U"メモ\r\n続き"), U"メモ");
    EXPECT_EQ(MemoName(U"\n有馬記念"), U"");
}

TEST(MemoName, NamesThatWouldEscapeOrClobberAreRefused)
{
    for (const Text& bad : Lines { U"", U".", U"..", U"../有馬", U"a/b", Text(U"a\0b", 3), U"a\tb" })
        EXPECT_FALSE(MemoNameProblem(bad).empty()) << ToUtf8(bad);
    // Program files, whatever the case of their letters.
    for (const Text& bad : Lines { U"R1", U"r1", U"RALL", U"Pado", U"kisyue", U"repara", U"R14", U"f31", U"PICKDOJI" })
        EXPECT_NE(MemoNameProblem(bad).find(U"PADO が使うファイル"), Text::npos) << ToUtf8(bad);
    EXPECT_NE(MemoNameProblem(U"").find(U"1行目にファイル名を入力してください。"), Text::npos);
    EXPECT_FALSE(MemoNameProblem(Text(200, U'あ')).empty());
}

TEST(MemoName, OrdinaryNamesAreAccepted)
{
    for (const Text& good : Lines { U"有馬記念", U"R15", U"R1メモ", U"pado2", U".memo", U"有馬 記念", U"ａ／ｂ" })
        EXPECT_EQ(MemoNameProblem(good), U"") << ToUtf8(good);
}
