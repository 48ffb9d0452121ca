#include "formats/run_line.h"

#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

Lines ReadRall(const std::string& path)
{
    return ReadTextFile(path);
}

Lines RunsOf(const Lines& rall, const Text& horseName)
{
    Lines out;
    for (const auto& line : rall)
        if (runline::HorseName(line) == horseName)
            out.push_back(line);
    return out;
}

Text ShortenRaceWords(Text s)
{
    static const std::pair<const char32_t*, const char32_t*> kTable[] = {
        { U"ステークス", U"Ｓ" },
        { U"ロイヤル", U"Ｒo" },
        { U"カップ", U"Ｃ" },
        { U"スポーツ", U"Ｓp" },
        { U"テレビ", U"Ｔv" },
        { U"トロフィー", U"Ｔ" },
        { U"(ＧＩＩＩ)", U"(G3)" },
        { U"(ＧＩＩ)", U"(G2)" },
        { U"(ＧＩ)", U"(G1)" },
    };
    for (const auto& [from, to] : kTable)
        s = ReplaceAll(std::move(s), from, to);
    return s;
}

} // namespace pado
