// The invented world as JRDB's fixed-length files: results (SED per runner, SRB per race) for the races that
// were run, the programme (BAC) for every race, entrants (KYI) for the races still to run, horses (UKC).
#include "emit.h"
#include "emit_records.h"
#include "sources/fixed_record.h"
#include "sources/jrdb_codes.h"
#include "sources/jrdb_layout.h"
#include "sources/jv_codes.h"

namespace makerace {

namespace {

using namespace pado::sources;
using pado::Text;

void PutKey(RecordBuilder& b, const RaceRecord& race)
{
    b.PutNumber(jrdb::kVenue, 2, race.key.venue);
    b.PutNumber(jrdb::kYear, 2, race.key.year % 100);
    b.PutNumber(jrdb::kMeeting, 1, race.meeting);
    b.Put(jrdb::kDay, 1, std::string(1, JrdbDayCode(race.meetingDay)));
    b.PutNumber(jrdb::kRace, 2, race.key.number);
}

// JRDB keeps the 8-digit registration number: the 10-digit one without its century.
std::string JrdbHorseId(const std::string& id)
{
    return id.size() == 10 ? id.substr(2) : id.size() == 8 ? id : std::string();
}

void PutDate(RecordBuilder& b, int pos, const RaceKey& k)
{
    b.PutNumber(pos, 8, k.year * 10000L + k.month * 100 + k.day);
}

struct ConditionPositions {
    int distance, surface, direction, inOut, kind, cls, weightRule, grade, raceName;
};

void PutConditions(RecordBuilder& b, const RaceRecord& race, const ConditionPositions& p)
{
    b.PutNumber(p.distance, 4, race.distance);
    b.Put(p.surface, 1, std::string(1, JrdbSurfaceCode(race.surface)));
    b.Put(p.direction, 1, std::string(1, JrdbDirectionCode(race.direction)));
    b.Put(p.inOut, 1, "1");
    b.Put(p.kind, 2, JrdbKindCode(AgePart(race.conditions), race.surface));
    b.Put(p.cls, 2, JrdbClassCode(race.classText));
    b.Put(p.weightRule, 1, std::string(1, WeightCode(race.conditions)));
    b.Put(p.grade, 1, std::string(1, JrdbGradeCode(race.grade)));
    b.PutText(p.raceName, 50, race.name);
}

// "ZZZ9.9": 123 tenths as "  12.3".
std::string OddsText(int tenths)
{
    if (tenths <= 0)
        return "";
    std::string s = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    return std::string(s.size() < 6 ? 6 - s.size() : 0, ' ') + s;
}

std::string Sed(const RaceRecord& race, const RunnerRecord& r)
{
    using namespace jrdb::sed;
    RecordBuilder b(kLength);
    PutKey(b, race);
    b.PutNumber(kNumber, 2, r.number);
    b.Put(kHorseId, 8, JrdbHorseId(r.horseId));
    PutDate(b, kDate, race.key);
    b.PutText(kName, 36, r.horseName);
    PutConditions(
        b, race, { kDistance, kSurface, kDirection, kDirection + 1, kKind, kClass, kWeightRule, kGrade, kRaceName });
    b.Put(kGoing, 2, JrdbGoingCode(race.going));
    b.PutNumber(kField, 2, race.fieldSize);
    b.PutNumber(kFinish, 2, r.finish);
    b.Put(kAbnormal, 1, std::string(1, JrdbAbnormalCode(r.abnormal)));
    b.PutNumber(kTime, 4, TimeField(r.timeTenths));
    b.PutNumber(kCarried, 3, r.carriedTenths);
    b.PutText(kJockey, 12, r.jockeyName);
    b.Put(kOdds, 6, OddsText(r.winOddsTenths));
    b.PutNumber(kPopularity, 2, r.popularity);
    b.PutNumber(kLast3f, 3, r.last3fTenths);
    for (int i = 0; i < 4; ++i)
        b.PutNumber(kCorner1 + 2 * i, 2, r.corners[i]);
    b.Put(kJockeyId, 5, r.jockeyId);
    b.PutBlankZero(kBodyWeight, 3, r.bodyWeight);
    if (r.bodyWeightChangeKnown) {
        int c = r.bodyWeightChange;
        std::string digits = std::to_string(c < 0 ? -c : c);
        b.Put(kWeightChange, 3,
            std::string(1,
                c > 0       ? '+'
                    : c < 0 ? '-'
                            : ' ')
                + (digits.size() < 2 ? " " : "") + digits);
    }
    b.Put(kWeather, 1, std::string(1, JrdbWeatherCode(race.weather)));
    if (race.startTime >= 0)
        b.PutNumber(kStartTime, 4, race.startTime);
    return b.Bytes();
}

std::string Srb(const RaceRecord& race)
{
    using namespace jrdb::srb;
    RecordBuilder b(kLength);
    PutKey(b, race);
    std::vector<int> laps = Numbers(race.furlongTimes);
    for (int i = 0; i < kFurlongCount && i < static_cast<int>(laps.size()); ++i)
        b.PutNumber(kFurlongs + 3 * i, 3, laps[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 4; ++i)
        b.PutText(kCorner1 + kCornerLength * i, kCornerLength, race.cornerOrders[i]);
    return b.Bytes();
}

std::string Bac(const RaceRecord& race)
{
    using namespace jrdb::bac;
    RecordBuilder b(kLength);
    PutKey(b, race);
    PutDate(b, kDate, race.key);
    if (race.startTime >= 0)
        b.PutNumber(kStartTime, 4, race.startTime);
    PutConditions(
        b, race, { kDistance, kSurface, kDirection, kDirection + 1, kKind, kClass, kWeightRule, kGrade, kRaceName });
    b.PutNumber(kField, 2, race.fieldSize);
    std::vector<int> prizes = Numbers(race.prizes);
    for (int i = 0; i < 5; ++i)
        b.PutBlankZero(
            kPrize1 + 5 * i, 5, i < static_cast<int>(prizes.size()) ? prizes[static_cast<std::size_t>(i)] : 0);
    return b.Bytes();
}

std::string Kyi(const RaceRecord& race, const RunnerRecord& r)
{
    using namespace jrdb::kyi;
    RecordBuilder b(kLength);
    PutKey(b, race);
    b.PutNumber(kNumber, 2, r.number);
    b.Put(kHorseId, 8, JrdbHorseId(r.horseId));
    b.PutText(kName, 36, r.horseName);
    b.PutText(kJockey, 12, r.jockeyName);
    b.PutNumber(kCarried, 3, r.carriedTenths);
    b.PutNumber(kFrame, 1, r.frame);
    b.Put(kJockeyId, 5, r.jockeyId);
    if (r.abnormal == Abnormal::Scratched)
        b.Put(kScratched, 1, "1");
    b.Put(kSex, 1, std::string(1, SexCode(r.sex)));
    return b.Bytes();
}

std::string Ukc(const HorseRecord& h)
{
    using namespace jrdb::ukc;
    RecordBuilder b(kLength);
    b.Put(kHorseId, 8, JrdbHorseId(h.id));
    b.PutText(kName, 36, h.name);
    b.Put(kSex, 1, std::string(1, SexCode(h.sex)));
    if (h.birthYear > 0)
        b.PutNumber(kBirthDate, 8, h.birthYear * 10000L + 101); // only the year is known; ages count from it
    return b.Bytes();
}

} // namespace

void EmitJrdb(const SourceData& data, const std::filesystem::path& dir)
{
    RunnersByRace runners = GroupRunners(data);
    std::vector<std::string> sed, srb, bac, kyi, ukc;
    for (const RaceRecord& race : data.races) {
        bac.push_back(Bac(race));
        auto it = runners.find(race.key);
        if (race.hasResult) {
            srb.push_back(Srb(race));
            if (it != runners.end())
                for (const RunnerRecord* r : it->second)
                    sed.push_back(Sed(race, *r));
        } else if (it != runners.end()) {
            for (const RunnerRecord* r : it->second)
                kyi.push_back(Kyi(race, *r));
        }
    }
    for (const HorseRecord& h : data.horses)
        ukc.push_back(Ukc(h));
    WriteRecords(dir, "BAC.txt", bac);
    WriteRecords(dir, "KYI.txt", kyi);
    WriteRecords(dir, "SED.txt", sed);
    WriteRecords(dir, "SRB.txt", srb);
    WriteRecords(dir, "UKC.txt", ukc);
}

} // namespace makerace
