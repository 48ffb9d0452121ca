#pragma once

#include "racefiles/race_model.h"

namespace pado::racefiles {

// The four files of one race, as lines without line breaks.
struct RaceFiles {
    Lines r1;
    Lines rall;
    Lines pado;
    Lines kisyu;
};

RaceFiles Render(const RaceFilesModel& model);

// Writes the four files (CP932, CR LF) into folder under the program's names for them; every file is encoded
// before the first is written, so a character CP932 cannot hold leaves the folder as it was. Throws UserError.
void WriteRaceFiles(const RaceFiles& files, const std::string& folder, bool durable = false);

// The pieces, for the tools that write only some of them.
Text RunLine(const PastRace& race, const RunnerRow& runner);
Lines ResultRecord(const PastRace& race); // the body of one race in pado.txt
Text PadoKey(const PastRace& race); // ◎yymmddVVrr
// pado.txt of these races in this order, laid out so that the race lookup finds each race's own body.
Lines PadoFile(const std::vector<const PastRace*>& races);
Lines CardHeadLines(const CardHead& head, const std::vector<Entrant>& entrants);
Text JockeyLine(const JockeyCounts& jockey);

// Small formatting helpers the fillers share.
Text Zero2(int n);
Text RaceTime(int tenths); // m.ss.f
Text Seconds(int tenths); // s.f
Text GoingWord(char32_t going); // 良, 稍重, 重, 不良
Text AgeText(int age); // the age, or kUnknownSexOrAge for 0

} // namespace pado::racefiles
