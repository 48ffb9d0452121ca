#pragma once

#include <array>
#include <string_view>

// Every file the program keeps in its program folder, by what it holds. Use these names instead of
// literals: telling R12.txt from R13.txt is otherwise the first thing a newcomer has to learn.
namespace pado::files {

// Input files, read only (put there by the user or by the members window's transfer).
inline constexpr const char* kRaceCard = "R1.txt"; // race name, header block, entrants, run block, past runs, listing
inline constexpr const char* kPastRuns = "Rall.txt"; // every past run of every entrant, one run line each
inline constexpr const char* kRaceResults = "pado.txt"; // result tables of past races, looked up by race key
inline constexpr const char* kJockeys = "kisyuE.txt"; // jockey statistics per venue (optional)

// Settings: the 22 assist parameters, kept between runs (opened by bare name, in the current directory).
inline constexpr const char* kParameters = "repara.txt";

// Work files: written and read by the presses, removed at close-all or shut-down.
inline constexpr const char* kRaceFolderRecord = "nowfolder.txt"; // start-up: the race folder path; nothing reads it
inline constexpr const char* kEntrantList = "R11.txt"; // start-up: today's entrants; read by the ranking and pop-up
inline constexpr const char* kPastRaceNames = "R10.txt"; // race detail: horse names of the looked-up race
inline constexpr const char* kPastRaceRunners = "R13.txt"; // race detail: runner lines cols 1-37; the passes read it
inline constexpr const char* kCoRunners = "R12.txt"; // pop-up: today's entrants found in the past race
inline constexpr const char* kHolderRuns = "himoto.txt"; // ranking: run lines of the holder
inline constexpr const char* kChallengerRuns = "hisaki.txt"; // ranking: run lines of the challenger
inline constexpr const char* kNoRuns = "Nodata.txt"; // ranking: entrants without runs
inline constexpr const char* kNoSurfaceRuns = "Nokoo.txt"; // ranking: entrants without runs on today's surface
inline constexpr const char* kNoDistanceRuns = "Nokyo.txt"; // ranking: entrants without runs at today's distance
inline constexpr const char* kSelectedRuns = "Sentaku.txt"; // same race: runs of the selected entrant
inline constexpr const char* kPickedRunners = "Pickdoji.txt"; // same race: horses of one past race
inline constexpr const char* kRunBlock = "F3.txt"; // members window: the race card's run block; the assist reads it
inline constexpr const char* kHorseRunBlock = "F31.txt"; // assist: the run block lines of one horse
inline constexpr const char* kMarkedMemo = "R2.txt"; // assist: the memo pad's text with the marks
inline constexpr const char* kMarkingCopy = "R3.txt"; // assist: a copy while marking
inline constexpr const char* kTimeOrderText = "R14.txt"; // dirt solo pass: the distance and time window's text

// Every name above: a memo or a race must not take one of them (compared without regard to ASCII case), or a
// later press would read it as race data or destroy it.
inline constexpr std::array<std::string_view, 22> kAll
    = { kRaceCard, kPastRuns, kRaceResults, kJockeys, kParameters, kRaceFolderRecord, kEntrantList, kPastRaceNames,
          kPastRaceRunners, kCoRunners, kHolderRuns, kChallengerRuns, kNoRuns, kNoSurfaceRuns, kNoDistanceRuns,
          kSelectedRuns, kPickedRunners, kRunBlock, kHorseRunBlock, kMarkedMemo, kMarkingCopy, kTimeOrderText };

} // namespace pado::files
