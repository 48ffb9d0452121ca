#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "racefiles/render.h"
#include "store/race_store.h"

// Builds a race's four files from the race store, as the race looked on its morning: nothing run on or after its
// date enters them, and a stored result of the race itself is withheld.
namespace pado::store {

struct BuildOptions {
    int pastRuns = 5; // latest runs per entrant in the card's run block and past-run section
    int jockeyDays = 365; // the jockey file counts results of this many days before the race
};

// What the build had to derive or fill, by kind, with the races or horses it concerns (UTF-8, Japanese).
struct BuildReport {
    std::map<std::string, std::vector<std::string>> notes;
    void Note(const std::string& what, const std::string& where);
    std::vector<std::string> Lines() const; // one line per kind: "what: N件 (where, where, …)"
};

struct BuiltRace {
    sources::RaceKey key;
    Text folderName; // the race name line, made by RaceFolderName (or the race id): the race folder's name
    racefiles::RaceFilesModel model;
    racefiles::RaceFiles files;
    BuildReport report;
};

// Throws UserError when the race is not in the store, or the view is not of the race's own morning.
BuiltRace BuildRace(MorningView& view, const sources::RaceKey& race, const BuildOptions& options = {});
// The same through a view of the race's morning, read in one transaction.
BuiltRace BuildRace(RaceStore& store, const sources::RaceKey& race, const BuildOptions& options = {});

// pado.txt records of these races (their results, for a user who wants only the tables), laid out for the race
// lookup; a race without a stored result is left out and noted.
Lines BuildResultTables(RaceStore& store, const std::vector<sources::RaceKey>& races, BuildReport& report);

// Race folders are named after their race, and race names come from downloaded files: the name is made safe
// for a folder of the staging folder and for the program's start-up, which takes the card's first line as
// the name of its workspace. Control characters and characters CP932 cannot hold become "？", "/" and "\\"
// their full-width forms, a leading "." the full-width "．", and the name is cut to kMaxFolderNameBytes, which
// leaves room for the dated form below. Empty when nothing usable is left (nothing, only replacement marks, or
// the name of one of the program's own files): the race id is then the name. note says what was replaced.
inline constexpr std::size_t kMaxFolderNameBytes = 200;
Text RaceFolderName(const Text& raceName, std::string& note);

// Every race folder the builder writes holds this file, with the race id on its first line. Only a folder
// holding it for the same race is ever replaced.
inline constexpr const char* kRaceFolderMark = ".pado-race";

// Writes the four files (CP932, CR LF) and the marker into staging/<folder name>/, replacing an earlier build of
// the same race whole: the files are written into a new folder of an unguessable name that is then swapped into
// place. A folder or file of that name that is not an earlier build of this race stays: the race then takes
// "<name> yyyy-mm-dd 場NR", or its id, and the report says so. Returns the folder. Throws UserError.
std::filesystem::path WriteRaceFolder(BuiltRace& race, const std::filesystem::path& staging);

// The staging folder PADO-tdy beside the program folder.
std::filesystem::path DefaultStaging(const std::filesystem::path& programFolder);

// A race named as yyyymmddVVRR or as "yyyy-mm-dd 中山 11" (venue by name or code, number with or without R).
std::optional<sources::RaceKey> ParseRaceName(const std::string& text);
std::string RaceIdText(const sources::RaceKey& key); // yyyymmddVVRR

// Text helpers the builder uses and the tests check.
Text JockeyKeyOf(const Text& cardName); // "▲早 瀬" -> "早瀬　", "Ｆ．ロワゾー" -> "ロワゾ"
// The 9-character form of a horse name; a name too long is cut and a character CP932 cannot hold is replaced
// by "？", each said in note (empty when the name fits as it is).
Text NineCharacterName(const Text& name, std::string& note);

} // namespace pado::store
