#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "sources/race_records.h"

// The JV-Data fields this program uses, by record field name, as the record file and the database both give
// them: numbers and codes as text (the record's digits, or a database's number, which may be in the record's
// units or, with a decimal point, in seconds, kilograms or odds), names already decoded. One conversion turns
// them into the store's records, so the record reader and the database reader cannot drift apart.
namespace pado::sources {

struct JvRaceFields {
    std::string dataKubun, year, monthDay, jyoCD, kaiji, nichiji, raceNum;
    Text hondai;
    std::string gradeCD, syubetuCD, kigoCD, jyuryoCD, jyokenCD5;
    std::string kyori, trackCD, hassoTime, syussoTosu, tenkoCD, sibaBabaCD, dirtBabaCD;
    std::string lapTime[25];
    std::string haronTimeL3, haronTimeL4;
    std::string nkai; // 第N回 of a named race
    std::string honsyokin[5]; // in 100 yen
    std::string fukasyokin[5]; // added prizes, in 100 yen
    std::string corner[4]; // which corner (1-4) each of the four passing-order slots describes
    Text jyuni[4];
    bool cornerColumns = true; // false for a database without the passing-order columns
};

struct JvRunnerFields {
    std::string dataKubun, year, monthDay, jyoCD, kaiji, nichiji, raceNum;
    std::string wakuban, umaban, kettoNum;
    Text bamei;
    std::string sexCD, barei, futan, kisyuCode;
    Text kisyuRyakusyo;
    std::string baTaijyu, zogenFugo, zogenSa, ijyoCD, kakuteiJyuni, time, chakusaCD;
    std::string jyuni[4];
    std::string odds, ninki, haronTimeL3;
    std::string raceTimeSeconds; // a database's time in seconds (109.7), to check the digits against; empty none
};

struct JvJockeyFields {
    std::string kisyuCode;
    Text kisyuName, kisyuRyakusyo;
};

struct JvHorseFields {
    std::string kettoNum, birthDate, sexCD;
    Text bamei;
};

// What became of one record: used, counted and skipped as a type (a deleted record, a local or overseas race,
// a field not yet drawn), or malformed with the reason.
struct JvOutcome {
    enum Kind { Used, Skipped, Malformed } kind = Used;
    JvOutcome() = default;
    JvOutcome(Kind k, std::string t)
        : kind(k)
        , text(std::move(t))
    {
    }
    std::string text; // the skipped type ("JV RA 地方・海外") or the reason
    std::string warning; // a used record with a problem worth a line in the report (two fields disagree)
};

// ReadJvDatabase with its bounds given: a table read stops, named in the report, after maxRows rows or when no
// row came for maxWait.
void ReadJvDatabaseBounded(
    const std::filesystem::path& file, RecordSink& sink, long long maxRows, std::chrono::milliseconds maxWait);

JvOutcome ConvertJvRace(const JvRaceFields& f, RaceRecord& race);
JvOutcome ConvertJvRunner(const JvRunnerFields& f, RunnerRecord& runner);
JvOutcome ConvertJvJockey(const JvJockeyFields& f, JockeyRecord& jockey);
JvOutcome ConvertJvHorse(const JvHorseFields& f, HorseRecord& horse);

} // namespace pado::sources
