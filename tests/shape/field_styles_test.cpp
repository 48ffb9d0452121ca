#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <regex>

#include "formats/pado_db.h"
#include "platform/textfile.h"
#include "shape/field_styles.h"

using namespace pado;

namespace {

Lines SampleFile(const char* name)
{
    return ReadTextFile(std::string(PADO_SOURCE_DIR) + "/sample/" + name);
}

// The cell at which a text starts in a pane line: full-width characters take two.
std::size_t CellsBefore(const Text& line, const Text& what)
{
    const long p = InStr(line, what);
    return p == 0 ? 0 : CellWidth(Left(line, p - 1));
}

} // namespace

TEST(CardEntrants, NumbersTheEntrantSectionAndTakesEachHorsesRunsNewestFirst)
{
    const Lines card {
        U"テスト記念",
        U"2026年12月27日（日）　5回中山8日目",
        U"",
        U"アルファ     牡4(57)武 豊",
        U"ブラボーステラ  牝5(55)",
        U"＝＝＝＝＝＝",
        U"チャーリー    牡6(57)",
        U"",
        U"日付 場 Ｒ",
        U"260101 中山 11 芝2000m 良 01 01 2.00.0 35.0 01 480 アルファ     牡4 武豊　 オープン 新春杯",
        U"◆-◆-◆ 近走成績 ◆-◆-◆",
        U"日付 場 Ｒ",
        U"250505 東京 11 芝2000m 良 01 01 2.00.0 35.0 01 480 アルファ     牡4 武豊　",
        U"251111 京都 10 芝2000m 良 01 01 2.00.0 35.0 01 480 アルファ     牡4 武豊　",
        U"日付 見出しの繰り返し",
        U"260101 中山 11 芝2000m 良 01 01 2.00.0 35.0 01 480 アルファ     牡4 武豊　",
        U"251111 京都 10 芝2000m 良 01 01 2.00.0 35.0 01 480 チャーリー    牡6 武豊　",
        U"251212 京都 10 芝2000m 良 01 01 2.00.0 35.0 01 480 デルタ      牡6 武豊　",
        U"◆-◆-◆ 距離＆タイム順 ◆-◆-◆",
        U"260202 中山 11 芝2000m 良 01 01 2.00.0 35.0 01 480 アルファ     牡4 武豊　",
    };
    const auto entrants = CardEntrants(card);
    ASSERT_EQ(entrants.size(), 3u);
    // The separator line keeps its number, as the members window shows it.
    EXPECT_EQ(entrants[0].number, 1);
    EXPECT_EQ(entrants[1].number, 2);
    EXPECT_EQ(entrants[2].number, 4);
    EXPECT_EQ(entrants[1].name, U"ブラボーステラ  ");
    ASSERT_EQ(entrants[0].pastRuns.size(), 3u); // neither the run block's line nor the listing's
    EXPECT_EQ(Left(entrants[0].pastRuns[0], 6), U"260101");
    EXPECT_EQ(Left(entrants[0].pastRuns[1], 6), U"251111");
    EXPECT_EQ(Left(entrants[0].pastRuns[2], 6), U"250505");
    EXPECT_TRUE(entrants[1].pastRuns.empty());
    EXPECT_EQ(entrants[2].pastRuns.size(), 1u);

    // A card cut short has entrants without runs, never a crash.
    const auto cut = CardEntrants(Lines(card.begin(), card.begin() + 6));
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_TRUE(cut[0].pastRuns.empty());
    EXPECT_TRUE(CardEntrants({}).empty());
}

TEST(StylePane, KeepsItsColumnsWhateverTheNameAndCountsTheFrontRunners)
{
    EntrantStyle a { 1, U"ユキアカリフォルテ", Style::Nige, { 3, 1, 1, 0 }, 5, 0.126, 0.25 };
    EntrantStyle b { 2, U"フブキ      ", Style::Senko, { 0, 2, 0, 0 }, 2, 0.3, 0.2 };
    EntrantStyle c { 10, U"ABC      ", Style::Unknown, {}, 0, 0, 0 };
    EntrantStyle d { 11, U"ノクト     ", Style::Senko, { 0, 1, 0, 0 }, 1, 1, 1 };
    const Lines lines = SplitLines(StylePane({ a, b, c, d }));
    ASSERT_EQ(lines.size(), 6u); // four entrants, the count, the empty piece after the last break
    EXPECT_EQ(Left(lines[0], 3), U" 1 ");
    EXPECT_EQ(Left(lines[2], 3), U"10 ");
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(CellsBefore(lines[i], U"不明") + CellsBefore(lines[i], U"先行") + CellsBefore(lines[i], U"逃げ"), 22u)
            << i;
        EXPECT_EQ(CellsBefore(lines[i], U"初角"), CellsBefore(lines[0], U"初角")) << i;
        EXPECT_EQ(CellsBefore(lines[i], U"4角"), CellsBefore(lines[0], U"4角")) << i;
    }
    EXPECT_TRUE(Contains(lines[0], U"逃げ  逃3 先1 差1 追0  初角 0.13  4角 0.25")) << ToUtf8(lines[0]);
    EXPECT_TRUE(Contains(lines[2], U"不明  逃0 先0 差0 追0  初角 ----  4角 ----")) << ToUtf8(lines[2]);
    EXPECT_TRUE(Contains(lines[3], U"初角 1.00  4角 1.00"));
    EXPECT_EQ(lines[4], U"逃げ 1頭  先行 2頭");
}

// The pane on the sample race against styles worked out here straight from the files.
TEST(StylePane, TheSampleRaceMatchesCountsTakenFromTheFiles)
{
    const Lines card = SampleFile("R1.txt");
    const Lines pado = SampleFile("pado.txt");

    // Entrants: the lines between the first two blank lines, less the "＝" line.
    std::vector<std::pair<int, Text>> entrants;
    std::size_t i = 0;
    while (!card[i].empty())
        ++i;
    int number = 0;
    for (++i; !card[i].empty(); ++i) {
        ++number;
        if (card[i][0] != U'＝')
            entrants.emplace_back(number, PadRight(card[i].substr(0, 9), 9));
    }
    // Past runs: after the "近走成績" marker and its heading, the lines starting with six digits.
    std::map<Text, Lines> runs;
    while (!StartsWith(card[i], U"◆-◆-◆ 近走成績"))
        ++i;
    for (i += 2; !StartsWith(card[i], U"◆"); ++i)
        if (card[i].size() > 56
            && std::all_of(card[i].begin(), card[i].begin() + 6, [](char32_t c) { return c >= U'0' && c <= U'9'; }))
            runs[card[i].substr(47, 9)].push_back(card[i]);

    std::vector<std::size_t> headers;
    for (std::size_t k = 0; k < pado.size(); ++k)
        if (StartsWith(pado[k], U"◎"))
            headers.push_back(k);
    ASSERT_GT(headers.size(), 30u); // so the body 30 headers on is the one read
    const std::regex digits("[0-9]+");
    const auto numbersIn = [&](const Text& line) {
        const std::string order = ToUtf8(line.substr(line.find(U"  ") + 2));
        std::vector<int> out;
        for (auto it = std::sregex_iterator(order.begin(), order.end(), digits); it != std::sregex_iterator(); ++it)
            out.push_back(std::stoi(it->str()));
        return out;
    };

    Text expected;
    int leaders = 0;
    int front = 0;
    for (const auto& [num, name] : entrants) {
        Lines mine = runs[name];
        std::sort(
            mine.begin(), mine.end(), [](const Text& a, const Text& b) { return a.substr(0, 6) > b.substr(0, 6); });
        int counts[4] = { 0, 0, 0, 0 };
        int used = 0;
        double first = 0;
        double last = 0;
        for (const Text& run : mine) {
            if (used == 5)
                break;
            const Text header = U"◎" + run.substr(0, 6) + run.substr(7, 2) + run.substr(10, 2);
            std::size_t h = 0;
            while (h < headers.size() && pado[headers[h]] != header)
                ++h;
            if (h == headers.size())
                continue;
            std::size_t k = headers[(h + 30) % headers.size()] + 1;
            while (!StartsWith(pado[k], U"上り"))
                ++k;
            if (!StartsWith(pado[++k], U"コーナー"))
                continue;
            std::vector<std::vector<int>> corners;
            for (++k; Contains(pado[k], U"コーナー  "); ++k)
                corners.push_back(numbersIn(pado[k]));
            int n = 0;
            int horse = -1;
            for (++k; !StartsWith(pado[k], U"---"); ++k) {
                if (pado[k].substr(23, 2) == U"kg")
                    ++n;
                if (pado[k].substr(6, 9) == name)
                    horse = std::stoi(ToUtf8(pado[k].substr(3, 2)));
            }
            if (horse < 0 || corners.size() < 2)
                continue;
            const auto place = [&](const std::vector<int>& c) {
                const auto it = std::find(c.begin(), c.end(), horse);
                return it == c.end() ? 0 : static_cast<int>(it - c.begin()) + 1;
            };
            const int p1 = place(corners.front());
            const int p4 = place(corners.back());
            if (p1 == 0 || p4 == 0)
                continue;
            const int style = p1 == 1 ? 0 : p4 <= (n + 2) / 3 ? 1 : p4 <= (2 * n + 2) / 3 ? 2 : 3;
            ++counts[style];
            first += double(p1 - 1) / (n - 1);
            last += double(p4 - 1) / (n - 1);
            ++used;
        }
        int style = 4;
        if (used > 0) {
            style = 0;
            for (int s = 1; s < 4; ++s)
                if (counts[s] > counts[style])
                    style = s;
        }
        leaders += style == 0;
        front += style == 1;
        const char* names[] = { "逃げ", "先行", "差し", "追込", "不明" };
        char line[256];
        if (used > 0)
            std::snprintf(line, sizeof line, "%2d %s  逃%d 先%d 差%d 追%d  初角 %4.2f  4角 %4.2f", num, names[style],
                counts[0], counts[1], counts[2], counts[3], first / used, last / used);
        else
            std::snprintf(line, sizeof line, "%2d %s  逃0 先0 差0 追0  初角 ----  4角 ----", num, names[style]);
        // The name stands between the number and the style, padded to 18 cells.
        Text l = FromUtf8(line);
        l.insert(3, PadRight(name, 9) + Text(18 - CellWidth(name), U' ') + U" ");
        expected += l + U"\n";
    }
    char tail[64];
    std::snprintf(tail, sizeof tail, "逃げ %d頭  先行 %d頭\n", leaders, front);
    expected += FromUtf8(tail);

    RaceDatabase db(pado);
    const Text pane = StylePane(StylesOfField(db, CardEntrants(card)));
    EXPECT_EQ(pane, expected);
    EXPECT_EQ(SplitLines(pane).size(), entrants.size() + 2);
}
