#include <gtest/gtest.h>
#include <random>

#include "platform/cp932.h"
#include "platform/number.h"
#include "platform/text.h"

using namespace pado;

TEST(Columns, ClampInsteadOfThrowingOnShortLines)
{
    const Text line = U"090405 阪神 11";
    EXPECT_EQ(Cols(line, 8, 9), U"阪神");
    EXPECT_EQ(Cols(line, 11, 20), U"11");
    EXPECT_EQ(Cols(line, 48, 56), U"");
    EXPECT_EQ(Mid(line, 0, 3), U"090");
    EXPECT_EQ(Mid(line, 100), U"");
    EXPECT_EQ(Right(line, 2), U"11");
    EXPECT_EQ(Right(U"ab", 9), U"ab");
    EXPECT_EQ(Left(line, -1), U"");
    EXPECT_EQ(CharAt(line, 0), 0u);
    EXPECT_EQ(CharAt(line, 8), U'阪');
}

TEST(Columns, SearchIsOneBasedAndStartsWhereAsked)
{
    const Text w = U"天候：晴　馬場：良";
    EXPECT_EQ(InStr(w, U"："), 3);
    EXPECT_EQ(InStr(w, U"：", 4), 8);
    EXPECT_EQ(InStr(w, U"雨"), 0);
    EXPECT_EQ(InStr(w, U"：", 50), 0);
}

TEST(Columns, SplittingAtSpacesKeepsEmptyTokens)
{
    auto t = SplitAt(U"a  b ", U' ');
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[1], U"");
    EXPECT_EQ(t[2], U"b");
    EXPECT_EQ(t[3], U"");
}

TEST(Columns, TrimKeepsFullWidthSpaces)
{
    EXPECT_EQ(TrimSpaces(U" 　ア　 "), U"　ア　");
    EXPECT_EQ(PadRight(U"アイ", 4), U"アイ  ");
    EXPECT_TRUE(IsBlank(U" "));
    EXPECT_FALSE(IsBlank(U"  "));
}

TEST(LeadingNumber, ReadsTheLeadingDecimalNumberOnly)
{
    EXPECT_DOUBLE_EQ(LeadingNumber(U"1.5abc"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingNumber(U" 5"), 5);
    EXPECT_DOUBLE_EQ(LeadingNumber(U"-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(LeadingNumber(U"+3"), 3);
    EXPECT_DOUBLE_EQ(LeadingNumber(U"abc"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber(U""), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber(U"2009/12"), 2009);
    EXPECT_DOUBLE_EQ(LeadingNumber(U"１２"), 0); // full-width digits are not a number
    EXPECT_DOUBLE_EQ(LeadingNumber(U".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber(U"7."), 7);
    EXPECT_EQ(LeadingInt(U"1600m"), 1600);
    EXPECT_EQ(LeadingInt(U"99999999999999"), 0);
}

TEST(LeadingNumber, SinglePrecisionIsTheNearestFloat)
{
    EXPECT_EQ(LeadingFloat(U"0.25"), 0.25f);
    EXPECT_EQ(LeadingFloat(U"0.2"), 0.2f);
    EXPECT_EQ(LeadingFloat(U"300"), 300.0f);
    EXPECT_EQ(LeadingFloat(U"x"), 0.0f);
}

TEST(Utf8, RoundTripsAndSurvivesMalformedBytes)
{
    const Text t = U"有馬記念 ①Ⅱ";
    EXPECT_EQ(FromUtf8(ToUtf8(t)), t);
    // A byte that starts no character stands for itself, so a path in another encoding comes back whole.
    auto escaped = [](std::initializer_list<unsigned> bytes) {
        Text t;
        for (unsigned b : bytes)
            t += static_cast<char32_t>(0xDC00 + b);
        return t;
    };
    EXPECT_EQ(FromUtf8("a\xff"
                       "b"),
        U"a" + escaped({ 0xFF }) + U"b");
    EXPECT_EQ(FromUtf8("\xe6\x9c"), escaped({ 0xE6, 0x9C }));
    // Overlong forms and encoded surrogates would not come back as the same bytes: they are bytes too.
    EXPECT_EQ(FromUtf8("\xc0\xaf"), escaped({ 0xC0, 0xAF }));
    EXPECT_EQ(FromUtf8("\xed\xb2\x80"), escaped({ 0xED, 0xB2, 0x80 }));
    // Any bytes at all come back unchanged (a Latin-1 folder name, cut UTF-8, random bytes).
    std::mt19937 random(13);
    for (int i = 0; i < 2000; ++i) {
        std::string bytes(random() % 12, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 4 ? 0x80 + random() % 0x80 : random() % 0x80);
        ASSERT_EQ(ToUtf8(FromUtf8(bytes)), bytes);
    }
    EXPECT_EQ(ToUtf8(FromUtf8("caf\xe9/PADO")), "caf\xe9/PADO");
}

// The whole-file decoder (pado.txt) must read every byte sequence as the line decoder does: the same
// characters, and refusal exactly where the line decoder refuses.
TEST(Cp932, WholeTextDecodingAgreesWithTheLineDecoder)
{
    auto widened = [](const std::u16string& u) { return Text(u.begin(), u.end()); };
    const std::string known = "\x81\x9D"
                              "100105\x92\x86\x8E\x52"
                              "11 \xB1\xB2 \x87\x40\xFA\x40 \x5C~\r\n\x82\xA0\x82\xA2\n";
    ASSERT_TRUE(DecodeCp932Utf16(known));
    EXPECT_EQ(widened(*DecodeCp932Utf16(known)), *DecodeCp932(known));
    EXPECT_EQ(DecodeCp932Utf16(""), std::u16string());
    // A lead byte cut off at the end, an unassigned row, a bad trail byte.
    for (const char* bad : { "ab\x82", "\x85\x40", "\x82\x0A", "\xFD" })
        EXPECT_EQ(DecodeCp932Utf16(bad).has_value(), DecodeCp932(bad).has_value()) << bad;
    // A database is decoded in pieces: a large file reads whole across them, and a bad byte far in still fails.
    std::string large;
    for (int i = 0; i < 2000; ++i)
        large += known;
    EXPECT_EQ(widened(*DecodeCp932Utf16(large)), *DecodeCp932(large));
    EXPECT_FALSE(DecodeCp932Utf16(large + "\x85\x40" + known));
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        std::string bytes(random() % 10, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 3 ? 0x80 + random() % 0x80 : 0x20 + random() % 0x60);
        const auto whole = DecodeCp932Utf16(bytes);
        const auto line = DecodeCp932(bytes);
        ASSERT_EQ(whole.has_value(), line.has_value()) << i;
        if (whole) {
            ASSERT_EQ(widened(*whole), *line) << i;
        }
    }
}
