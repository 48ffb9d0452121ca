#include <algorithm>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "sources/venue_codes.h"
#include "store/race_builder.h"

// The builder's naming and writing: jockey keys, nine-character names, race names on the command line, and the
// race folder written whole.
namespace pado::store {

using namespace pado::sources;

Text JockeyKeyOf(const Text& cardName)
{
    Text t;
    for (char32_t c : cardName)
        if (c != U' ' && c != U'　' && c != U'▲' && c != U'△' && c != U'☆' && c != U'★' && c != U'◇')
            t += c;
    // An initial with a full stop ("Ｆ．ロワゾー") gives way to the family name.
    std::size_t stop = t.find(U'．');
    if (stop == Text::npos)
        stop = t.find(U'.');
    if (stop != Text::npos && stop + 1 < t.size())
        t = t.substr(stop + 1);
    if (t.empty())
        return t;
    t = t.substr(0, 3);
    while (t.size() < 3)
        t += U'　';
    return t;
}

Text NineCharacterName(const Text& name, std::string& note)
{
    Text out;
    bool replaced = false;
    for (char32_t c : TrimSpaces(name)) {
        if (EncodeCp932(Text(1, c)).unencodable) {
            out += U'？';
            replaced = true;
        } else {
            out += c;
        }
    }
    note.clear();
    if (replaced)
        note = "CP932 にない文字を？に置換した馬名";
    if (out.size() > 9) {
        out = out.substr(0, 9);
        note += std::string(note.empty() ? "" : "・") + "9文字を超えるため切り詰めた馬名";
    }
    return PadRight(out, 9);
}

std::filesystem::path WriteRaceFolder(const BuiltRace& race, const std::filesystem::path& staging)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(staging, ec);
    const fs::path target = staging / ToUtf8(race.folderName);
    const fs::path fresh = staging / ("." + ToUtf8(race.folderName) + ".new");
    const fs::path old = staging / ("." + ToUtf8(race.folderName) + ".old");
    fs::remove_all(fresh, ec);
    fs::remove_all(old, ec);
    if (!fs::create_directories(fresh, ec))
        throw UserError(U"フォルダ(" + FromUtf8(fresh.string()) + U")を作れません。");
    try {
        // Encoded before anything is written: a character CP932 cannot hold stops the build whole.
        for (auto [name, lines] : { std::pair { "R1.txt", &race.files.r1 }, { "Rall.txt", &race.files.rall },
                 { "pado.txt", &race.files.pado }, { "kisyuE.txt", &race.files.kisyu } })
            WriteTextFile((fresh / name).string(), *lines, true);
    } catch (...) {
        fs::remove_all(fresh, ec);
        throw;
    }
    if (fs::exists(target, ec))
        fs::rename(target, old, ec);
    fs::rename(fresh, target, ec);
    if (ec) {
        fs::rename(old, target, ec);
        fs::remove_all(fresh, ec);
        throw UserError(U"フォルダ(" + FromUtf8(target.string()) + U")に書き込めません。");
    }
    fs::remove_all(old, ec);
    return target;
}

std::filesystem::path DefaultStaging(const std::filesystem::path& programFolder)
{
    std::filesystem::path p = programFolder;
    if (!p.has_filename())
        p = p.parent_path();
    return p.parent_path() / "PADO-tdy";
}

std::string RaceIdText(const RaceKey& k)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d", k.year, k.month, k.day, k.venue, k.number);
    return buf;
}

std::optional<RaceKey> ParseRaceName(const std::string& text)
{
    Text t = FromUtf8(text);
    RaceKey k;
    std::vector<Text> parts;
    for (const Text& p : SplitAt(ReplaceAll(ReplaceAll(t, U"　", U" "), U"\t", U" "), U' '))
        if (!p.empty())
            parts.push_back(p);
    auto digits = [](const Text& s) {
        return std::all_of(s.begin(), s.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; });
    };
    if (parts.size() == 1 && parts[0].size() == 12 && digits(parts[0])) {
        k = KeyOfId(std::stoll(text));
    } else if (parts.size() == 3) {
        std::vector<Text> date = SplitAt(ReplaceAll(parts[0], U"/", U"-"), U'-');
        if (date.size() != 3 || !digits(date[0]) || !digits(date[1]) || !digits(date[2]) || date[0].empty()
            || date[1].empty() || date[2].empty() || date[0].size() > 4 || date[1].size() > 2 || date[2].size() > 2)
            return std::nullopt;
        k.year = static_cast<int>(LeadingInt(date[0]));
        k.month = static_cast<int>(LeadingInt(date[1]));
        k.day = static_cast<int>(LeadingInt(date[2]));
        k.venue = VenueCode(parts[1]);
        if (!k.venue && digits(parts[1]) && parts[1].size() <= 2)
            k.venue = static_cast<int>(LeadingInt(parts[1]));
        Text number = parts[2];
        if (!number.empty() && (number.back() == U'R' || number.back() == U'Ｒ'))
            number.pop_back();
        if (number.empty() || number.size() > 2 || !digits(number))
            return std::nullopt;
        k.number = static_cast<int>(LeadingInt(number));
    } else {
        return std::nullopt;
    }
    if (k.year < 1900 || k.month < 1 || k.month > 12 || k.day < 1 || k.day > 31 || k.venue < 1 || k.venue > 10
        || k.number < 1 || k.number > 12)
        return std::nullopt;
    return k;
}

} // namespace pado::store
