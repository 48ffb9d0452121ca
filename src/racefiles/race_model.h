#pragma once

#include <array>
#include <vector>

#include "platform/text.h"

// The race as the four race files show it. make-race fills it from its simulation and the race builder from
// the race store; one writer (render.h) turns it into R1.txt, Rall.txt, pado.txt and kisyuE.txt, so both
// always write the same layouts.
namespace pado::racefiles {

// The ten venues in the order the jockey file lists them.
const std::vector<Text>& JockeyFileVenues();

// Written in the sex or the age column where the source gave neither and the race implies nothing: one
// character, so every column after it stays in place, and no sex or digit, so no view takes it for one.
inline constexpr char32_t kUnknownSexOrAge = U'－';

// One runner of a past race, as its result table and its run line show it.
struct RunnerRow {
    int number = 0; // horse number
    int finish = 0; // placing, 0 when the runner has none (see finishWord)
    Text finishWord; // two characters standing for the placing when there is none: 中止, 失格
    Text name; // padded to 9 characters
    char32_t sex = U'牡';
    int age = 0;
    int carriedTenths = 0; // kilograms × 10
    Text jockeyKey; // three characters, as in the jockey file
    int timeTenths = 0;
    int lastTenths = 0; // last 600 m
    int popularity = 0;
    int bodyWeight = 0;
    Text margin; // empty for the winner (and wherever the table shows none)
};

// A runner named in the table who did not run (取消, 除外): listed after the table's end line.
struct NonRunner {
    Text word; // 取消 or 除外
    int number = 0;
    Text name; // 9 characters
};

struct PastRace {
    int year = 0, month = 0, day = 0;
    Text venue; // two characters
    int number = 0;
    int meeting = 0, meetingDay = 0;
    Text title; // the race name, or its conditions when it has no name
    Text tail; // the run lines' race tail: class word, " ハンデ", " " name
    Text conditions; // 3歳以上オープン
    Text marks; // (国際)(指定), empty when none
    Text weightRule; // 定量, 別定, 馬齢, ハンデ
    char32_t surface = U'芝'; // 芝, ダ or 障
    int distance = 0;
    char32_t direction = U'右';
    char32_t going = U'良';
    Text weather;
    int last4f = 0, last3f = 0;
    int firstCorner = 3; // corners firstCorner..4 are listed
    std::vector<Text> cornerOrders;
    std::vector<RunnerRow> runners; // finishing order
    std::vector<NonRunner> nonRunners;
    int winNumber = 0, winPayout = 0; // yen per 100; 0 when unknown (no payout line)
};

// Today's race as the card's head and entrant section show it.
struct CardHead {
    Text name; // race name line, also the race folder's name
    int year = 0, month = 0, day = 0;
    int meeting = 0, meetingDay = 0;
    Text venue;
    int edition = 0; // 第N回, 0 unknown
    Text gradeMark; // (ＧＩ) ..., empty none
    Text conditions; // 3歳以上オープン
    int distance = 0;
    char32_t surface = U'芝';
    char32_t direction = U'右';
    Text marks; // (国際)(指定)
    Text weightRule;
    Text prizes; // 本賞金 in 10,000 yen, space separated; empty unknown
    Text addedPrizes; // 付加賞金
    int startTime = -1; // hhmm
};

struct Entrant {
    Text name; // 9 characters
    char32_t sex = U'牡';
    int age = 0;
    int carriedTenths = 0;
    Text mark; // 外 ...: printed in place of sex, age and weight
    Text jockeyCardText; // the jockey as the card prints it (marks, spaces, initials)
    // This entrant's runs, oldest first: race index into RaceFilesModel::races and runner index in it.
    std::vector<std::pair<int, int>> runs;
};

struct JockeyCounts {
    Text key; // three characters
    std::array<std::array<int, 4>, 10> counts {}; // per JockeyFileVenues(): first, second, third, out
};

struct RaceFilesModel {
    CardHead head;
    std::vector<Entrant> entrants; // card order
    std::vector<PastRace> races;
    std::vector<int> padoRaces; // races written to pado.txt, in file order
    std::vector<JockeyCounts> jockeys;
    int pastRuns = 5; // latest runs per entrant in the run block and the past-run section
};

} // namespace pado::racefiles
