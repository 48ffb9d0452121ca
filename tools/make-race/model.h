#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/text.h"
#include "racefiles/race_model.h"
#include "racefiles/render.h"

namespace makerace {

using pado::Lines;
using pado::Text;

struct Options {
    std::uint64_t seed = 6;
    int entrants = 17;
    int runs = 40; // runs of the most experienced entrant; the others have between 3/8 of it and all of it
    int pastRuns = 5; // the latest runs of each entrant listed in the race card
};

// The year of today's race; every career ends before it.
constexpr int kRaceYear = 2026;

using pado::racefiles::RaceFiles;

enum class Class { Debut, Maiden, Win1, Win2, Win3, Open, JumpMaiden, JumpOpen };

struct Jockey {
    Text key; // three characters, as in the jockey file and in run lines
    Text cardText; // as the race card prints it: spaces, an initial with "．", apprentice marks
    int skill = 0;
};

struct Horse {
    Text name; // padded to 9
    char32_t sex = U'牡';
    int birthYear = 0;
    double ability = 0;
    int jockey = 0;
    int bodyWeight = 480;
    int runCount = 0;
    int preferredDistance = 2000;
    enum class Kind { Turf, Dirt, Jumper } kind = Kind::Turf;
    std::vector<int> races; // indexes into the race list, oldest first
};

struct Runner {
    int entrant = -1; // index of today's entrant, -1 for a horse outside today's field
    Text name;
    char32_t sex = U'牡';
    int age = 3;
    int number = 0; // horse number
    int finish = 0;
    int popularity = 0;
    int jockey = 0;
    int bodyWeight = 480;
    double carried = 56;
    int tenths = 0; // race time in tenths of a second
    int lastTenths = 0; // last 600 m
    double score = 0; // lower finishes better
    bool wantsWin = false;
};

struct Race {
    int day = 0; // days since 1970-01-01
    Text venue;
    int number = 11;
    char32_t surface = U'芝';
    int distance = 2000;
    char32_t going = U'良';
    Class cls = Class::Open;
    int minAge = 3; // age condition: exactly minAge when onlyAge, otherwise minAge and older
    bool onlyAge = false;
    int grade = 0; // 1 GI, 2 GII, 3 GIII
    Text name; // race name token, empty for plain maiden and debut races
    bool handicap = false;
    int field = 16;
    bool feature = false; // an earlier edition of today's race
    std::vector<int> entrants; // today's entrants that ran in it
    std::vector<int> wantWin; // entrants whose next run is a class higher: they won this one
    std::vector<Runner> runners; // after the results: in finishing order
    int firstCorner = 3; // the result table lists the corners from this one to 4
    std::vector<Text> cornerOrders;
    Text weather;
    int last3f = 0, last4f = 0; // tenths of a second
    int meeting = 1, meetingDay = 1;
};

struct World {
    Options options;
    std::vector<Horse> horses; // today's entrants in card order
    std::vector<Jockey> jockeys;
    std::vector<Race> races;
};

// Careers of today's entrants, the past races they met in and every result.
World Simulate(const Options& options);
// The race as the four files show it, and the files written from it.
pado::racefiles::RaceFilesModel ToModel(const World& world);
pado::racefiles::CardHead TodaysRace();
pado::racefiles::Entrant TodaysEntrant(const World& world, int index); // without its runs
RaceFiles Render(const World& world);
RaceFiles GenerateRace(const Options& options);

// Calendar helpers (proleptic Gregorian), days since 1970-01-01.
using pado::CivilFromDays;
using pado::DaysFromCivil;
int Weekday(int days); // 0 Sunday .. 6 Saturday

} // namespace makerace
