#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
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

namespace {

namespace stdfs = std::filesystem;

bool IsControl(char32_t c)
{
    // C0 and C1 controls, line and paragraph separators, and the marks that reorder text on screen.
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

Text TrimBothSpaces(Text t)
{
    while (!t.empty() && (t.front() == U' ' || t.front() == U'　'))
        t.erase(t.begin());
    while (!t.empty() && (t.back() == U' ' || t.back() == U'　'))
        t.pop_back();
    return t;
}

// Cut to at most max UTF-8 bytes, never inside a character.
Text CutToBytes(const Text& t, std::size_t max)
{
    Text out;
    std::size_t bytes = 0;
    for (char32_t c : t) {
        const std::size_t n = ToUtf8(Text(1, c)).size();
        if (bytes + n > max)
            break;
        out += c;
        bytes += n;
    }
    return out;
}

enum class Slot { Free, OursForThisRace, Taken };

// What a name in the staging folder holds: nothing, an earlier build of this race (a real folder, no link,
// whose marker names the race), or anything else, which is never touched.
Slot SlotAt(const stdfs::path& path, const std::string& raceId)
{
    std::error_code ec;
    const stdfs::file_status st = stdfs::symlink_status(path, ec);
    if (st.type() == stdfs::file_type::not_found)
        return Slot::Free;
    if (ec || st.type() != stdfs::file_type::directory)
        return Slot::Taken;
    const stdfs::path mark = path / kRaceFolderMark;
    if (stdfs::symlink_status(mark, ec).type() != stdfs::file_type::regular || stdfs::file_size(mark, ec) > 4096)
        return Slot::Taken;
    std::string bytes;
    if (!pado::fs::ReadBytes(mark.string(), bytes))
        return Slot::Taken;
    const std::size_t eol = bytes.find_first_of("\r\n");
    return bytes.substr(0, eol) == raceId ? Slot::OursForThisRace : Slot::Taken;
}

// A new hidden folder of an unguessable name that nothing had: ours to fill and, on failure, to remove.
stdfs::path FreshFolder(const stdfs::path& staging, const char* prefix)
{
    std::string pattern = (staging / (std::string(prefix) + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw UserError(U"フォルダ(" + FromUtf8(staging.string()) + U")に書き込めません。");
    // mkdtemp keeps the folder to its owner; the race folder it becomes is as open as the staging folder.
    struct stat st;
    if (::stat(staging.c_str(), &st) == 0)
        ::chmod(pattern.c_str(), st.st_mode & 0777);
    return pattern;
}

// rename(2) variants: flags 0 (plain), RENAME_NOREPLACE or RENAME_EXCHANGE. Returns errno, 0 on success.
int RenameAt(const stdfs::path& from, const stdfs::path& to, unsigned flags)
{
    int r
        = flags ? ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags) : ::rename(from.c_str(), to.c_str());
    return r == 0 ? 0 : errno;
}

// A build killed between making its fresh folder and renaming it leaves that folder behind. One that carries the
// builder's marker and has not changed for an hour is no live build's: it goes. Anything else stays.
void RemoveStaleBuilds(const stdfs::path& staging)
{
    std::error_code ec;
    const auto now = stdfs::file_time_type::clock::now();
    for (auto it = stdfs::directory_iterator(staging, ec); !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(".pado-build-", 0) != 0 && name.rfind(".pado-old-", 0) != 0)
            continue;
        std::error_code e;
        if (stdfs::symlink_status(it->path(), e).type() != stdfs::file_type::directory
            || stdfs::symlink_status(it->path() / kRaceFolderMark, e).type() != stdfs::file_type::regular)
            continue;
        const auto changed = stdfs::last_write_time(it->path(), e);
        if (!e && now - changed > std::chrono::hours(1))
            stdfs::remove_all(it->path(), e);
    }
}

Text DatedName(const Text& base, const RaceKey& k)
{
    char date[32];
    std::snprintf(date, sizeof date, " %04d-%02d-%02d ", k.year, k.month, k.day);
    return base + FromUtf8(date) + VenueName(k.venue) + ToText(k.number) + U"R";
}

} // namespace

Text RaceFolderName(const Text& raceName, std::string& note)
{
    Text out;
    bool control = false, unencodable = false, slash = false;
    for (char32_t c : raceName) {
        if (IsControl(c)) {
            out += U'？';
            control = true;
        } else if (c == U'/' || c == U'\\') {
            out += c == U'/' ? U'／' : U'＼';
            slash = true;
        } else if (EncodeCp932(Text(1, c)).unencodable) {
            out += U'？';
            unencodable = true;
        } else {
            out += c;
        }
    }
    const Text whole = TrimBothSpaces(out);
    out = TrimBothSpaces(CutToBytes(whole, kMaxFolderNameBytes));
    const bool cut = out.size() < whole.size();
    // A leading full stop would hide the folder and, as "." or "..", name the folders above it.
    const bool dot = !out.empty() && out.front() == U'.';
    if (dot)
        out.front() = U'．';
    std::vector<std::string> did;
    if (control)
        did.push_back("制御文字を？に置換");
    if (unencodable)
        did.push_back("CP932 にない文字を？に置換");
    if (slash)
        did.push_back("「/」「\\」を全角に置換");
    if (dot)
        did.push_back("先頭の「.」を全角に置換");
    if (cut)
        did.push_back(std::to_string(kMaxFolderNameBytes) + " バイトに切り詰め");
    note.clear();
    for (const std::string& d : did)
        note += (note.empty() ? "" : "・") + d;
    // A work file's name would be read or deleted as that file once the race is transferred; a name of
    // nothing but replacement marks says nothing.
    if (out.empty() || !files::ProgramFileNamed(ToUtf8(out)).empty()
        || std::all_of(out.begin(), out.end(), [](char32_t c) { return c == U'？' || c == U'．'; }))
        return {};
    return out;
}

std::filesystem::path WriteRaceFolder(BuiltRace& race, const std::filesystem::path& staging)
{
    std::error_code ec;
    stdfs::create_directories(staging, ec);
    if (!stdfs::is_directory(staging, ec))
        throw UserError(U"フォルダ(" + FromUtf8(staging.string()) + U")を作れません。");
    RemoveStaleBuilds(staging);
    const std::string id = RaceIdText(race.key);
    // The name was made by RaceFolderName; anything else (a caller's own) is checked again here.
    std::string ignored;
    Text base = race.folderName;
    if (base.empty() || RaceFolderName(base, ignored) != base)
        base = FromUtf8(id);

    // The race's name, then the name with its day, venue and number, then its id: the first that is free or
    // holds an earlier build of this very race. A folder or file of anyone else is never replaced.
    stdfs::path target;
    Slot slot = Slot::Taken;
    for (const Text& name : { base, DatedName(base, race.key), FromUtf8(id) }) {
        slot = SlotAt(staging / ToUtf8(name), id);
        if (slot != Slot::Taken) {
            target = staging / ToUtf8(name);
            if (name != base)
                race.report.Note("同じ名前のフォルダーかファイルが別にあるため、別の名前で作成",
                    "「" + ToUtf8(base) + "」→「" + ToUtf8(name) + "」");
            break;
        }
    }
    if (slot == Slot::Taken)
        throw UserError(U"フォルダ(" + FromUtf8((staging / ToUtf8(base)).string())
            + U")とその別名には、このレースのものではないフォルダーかファイルがあります。作成しませんでした。");

    const stdfs::path fresh = FreshFolder(staging, ".pado-build-");
    try {
        WriteTextFile((fresh / kRaceFolderMark).string(),
            { FromUtf8(id), U"PADO のレースデータから作成したレースのフォルダーです。" }, true);
        // Encoded before anything is written: a character CP932 cannot hold stops the build whole.
        racefiles::WriteRaceFiles(race.files, fresh.string(), true);
        if (slot == Slot::Free) {
            int err = RenameAt(fresh, target, RENAME_NOREPLACE);
            if (err == EINVAL || err == ENOSYS)
                err = SlotAt(target, id) == Slot::Free ? RenameAt(fresh, target, 0) : EEXIST;
            if (err)
                throw UserError(U"フォルダ(" + FromUtf8(target.string()) + U")に書き込めません。");
        } else {
            // Swapped in one step, so the race never stands half-written; the earlier build then sits at the
            // fresh folder's name and goes with it.
            int err = RenameAt(fresh, target, RENAME_EXCHANGE);
            // What was swapped out is deleted only when it still is this race's earlier build: something put
            // in its place since it was looked at goes back.
            if (!err && SlotAt(fresh, id) != Slot::OursForThisRace) {
                RenameAt(fresh, target, RENAME_EXCHANGE);
                err = EEXIST;
            }
            if (err == EINVAL || err == ENOSYS) {
                const stdfs::path old = FreshFolder(staging, ".pado-old-");
                err = RenameAt(target, old, 0);
                if (!err && SlotAt(old, id) != Slot::OursForThisRace)
                    err = EEXIST;
                else if (!err)
                    err = RenameAt(fresh, target, 0);
                if (err && !stdfs::exists(target, ec))
                    RenameAt(old, target, 0);
                if (!err)
                    stdfs::remove_all(old, ec);
                else
                    stdfs::remove(old, ec); // only when empty: what went back left it so
            }
            if (err)
                throw UserError(U"フォルダ(" + FromUtf8(target.string()) + U")に書き込めません。");
        }
    } catch (...) {
        stdfs::remove_all(fresh, ec);
        throw;
    }
    stdfs::remove_all(fresh, ec); // the earlier build after a swap; nothing after a plain rename
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
    return k.Text();
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
        k = RaceKey::OfId(std::stoll(ToUtf8(parts[0])));
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
    if (!k.IsValid())
        return std::nullopt;
    return k;
}

} // namespace pado::store
