// The invented world as JV-Data records, one per CR LF line as the SDK hands them out: jockeys (KS) and horses
// (UM) first, then each race (RA) followed by its runners (SE); results for the races that were run (data
// division 7, Monday's results), the card for the race still to run (2, the entries).
#include "emit.h"
#include "emit_records.h"
#include "sources/fixed_record.h"
#include "sources/jv_codes.h"
#include "sources/jv_layout.h"

namespace makerace {

namespace {

using namespace pado::sources;

long Date(const RaceKey& k)
{
    return k.year * 10000L + k.month * 100 + k.day;
}

void PutHeader(RecordBuilder& b, const char* recordType, char kubun, long makeDate)
{
    b.Put(jv::kRecordType, 2, recordType);
    b.Put(jv::kDataKubun, 1, std::string(1, kubun));
    b.PutNumber(jv::kMakeDate, 8, makeDate);
}

void PutRaceId(RecordBuilder& b, const RaceRecord& race)
{
    b.PutNumber(jv::kYear, 4, race.key.year);
    b.PutNumber(jv::kMonthDay, 4, race.key.month * 100 + race.key.day);
    b.PutNumber(jv::kJyoCD, 2, race.key.venue);
    b.PutNumber(jv::kKaiji, 2, race.meeting);
    b.PutNumber(jv::kNichiji, 2, race.meetingDay);
    b.PutNumber(jv::kRaceNum, 2, race.key.number);
}

std::string Ra(const RaceRecord& race)
{
    using namespace jv::ra;
    RecordBuilder b(kLength);
    PutHeader(b, "RA", race.hasResult ? '7' : '2', Date(race.key));
    PutRaceId(b, race);
    b.PutText(kHondai, 60, race.name, true);
    b.Put(kGradeCD, 1, std::string(1, JvGradeCode(race.grade, race.surface)));
    b.PutNumber(kSyubetuCD, 2, JvKindCode(AgePart(race.conditions), race.surface));
    char weight = WeightCode(race.conditions);
    b.Put(kJyuryoCD, 1, std::string(1, weight == ' ' ? '0' : weight));
    for (int i = 0; i < 5; ++i) // every age condition the same: the emitted races carry one class
        b.PutNumber(kJyokenCD5 - 3 * (4 - i), 3, ConditionFromClass(race.classText));
    b.PutNumber(kKyori, 4, race.distance);
    b.PutNumber(kTrackCD, 2, JvTrackCode(race.surface, race.direction));
    std::vector<int> prizes = Numbers(race.prizes);
    for (int i = 0; i < 5; ++i)
        b.PutNumber(kHonsyokin1 + 8 * i, 8,
            i < static_cast<int>(prizes.size()) ? prizes[static_cast<std::size_t>(i)] * 100L : 0);
    std::vector<int> added = Numbers(race.addedPrizes);
    for (int i = 0; i < 5 && i < static_cast<int>(added.size()); ++i)
        b.PutNumber(kFukasyokin1 + 8 * i, 8, added[static_cast<std::size_t>(i)] * 100L);
    b.PutNumber(kNkai, 3, race.edition);
    b.PutNumber(kHassoTime, 4, race.startTime >= 0 ? race.startTime : 0);
    b.PutNumber(kSyussoTosu, 2, race.fieldSize);
    b.Put(kTenkoCD, 1, std::string(1, JvWeatherCode(race.weather)));
    char going = JvGoingCode(race.going);
    b.Put(kSibaBabaCD, 1, std::string(1, race.surface == U'ダ' ? '0' : going));
    b.Put(kDirtBabaCD, 1, std::string(1, race.surface == U'ダ' ? going : '0'));
    std::vector<int> laps = Numbers(race.furlongTimes);
    for (int i = 0; i < 25; ++i)
        b.PutNumber(kLapTime1 + 3 * i, 3, i < static_cast<int>(laps.size()) ? laps[static_cast<std::size_t>(i)] : 0);
    b.PutNumber(kHaronTimeL3, 3, race.last3f);
    b.PutNumber(kHaronTimeL4, 3, race.last4f);
    int slot = 0;
    for (int corner = 1; corner <= 4; ++corner) {
        if (race.cornerOrders[corner - 1].empty())
            continue;
        int at = kCorner1 + kCornerStride * slot++;
        b.PutNumber(at, 1, corner);
        b.PutNumber(at + 1, 1, 1);
        b.PutText(at + 2, 70, race.cornerOrders[corner - 1]);
    }
    for (; slot < 4; ++slot) {
        int at = kCorner1 + kCornerStride * slot;
        b.PutNumber(at, 1, 0);
        b.PutNumber(at + 1, 1, 0);
    }
    return b.Bytes();
}

std::string Se(const RaceRecord& race, const RunnerRecord& r)
{
    using namespace jv::se;
    RecordBuilder b(kLength);
    PutHeader(b, "SE", race.hasResult ? '7' : '2', Date(race.key));
    PutRaceId(b, race);
    b.PutNumber(kWakuban, 1, r.frame);
    b.PutNumber(kUmaban, 2, r.number);
    b.Put(kKettoNum, 10, r.horseId.empty() ? std::string("0000000000") : r.horseId);
    b.PutText(kBamei, 36, r.horseName, true);
    b.Put(kSexCD, 1, std::string(1, SexCode(r.sex) == ' ' ? '0' : SexCode(r.sex)));
    b.PutNumber(kBarei, 2, r.age);
    b.PutNumber(kFutan, 3, r.carriedTenths);
    b.Put(kKisyuCode, 5, r.jockeyId.empty() ? std::string("00000") : r.jockeyId);
    b.PutText(kKisyuRyakusyo, 8, r.jockeyName, true);
    b.PutNumber(kBaTaijyu, 3, r.bodyWeight);
    if (r.bodyWeightChangeKnown) {
        b.Put(kZogenFugo, 1, r.bodyWeightChange > 0 ? "+" : r.bodyWeightChange < 0 ? "-" : " ");
        b.PutNumber(kZogenSa, 3, r.bodyWeightChange < 0 ? -r.bodyWeightChange : r.bodyWeightChange);
    }
    b.Put(kIJyoCD, 1, std::string(1, JvAbnormalCode(r.abnormal)));
    b.PutNumber(kKakuteiJyuni, 2, r.finish);
    b.PutNumber(kTime, 4, TimeField(r.timeTenths));
    b.Put(kChakusaCD, 3, JvMarginCode(r.margin));
    for (int i = 0; i < 4; ++i)
        b.PutNumber(kJyuni1c + 2 * i, 2, r.corners[i]);
    b.PutNumber(kOdds, 4, r.winOddsTenths);
    b.PutNumber(kNinki, 2, r.popularity);
    b.PutNumber(kHaronTimeL3, 3, r.last3fTenths);
    return b.Bytes();
}

std::string Ks(const JockeyRecord& j, long makeDate)
{
    using namespace jv::ks;
    RecordBuilder b(kLength);
    PutHeader(b, "KS", '1', makeDate);
    b.Put(kKisyuCode, 5, j.id);
    b.PutText(kKisyuName, 34, j.fullName, true);
    b.PutText(kKisyuRyakusyo, 8, j.shortName, true);
    return b.Bytes();
}

std::string Um(const HorseRecord& h, long makeDate)
{
    using namespace jv::um;
    RecordBuilder b(kLength);
    PutHeader(b, "UM", '1', makeDate);
    b.Put(kKettoNum, 10, h.id);
    b.PutNumber(kBirthDate, 8, h.birthYear > 0 ? h.birthYear * 10000L + 101 : 0); // only the year is known
    b.PutText(kBamei, 36, h.name, true);
    b.Put(kSexCD, 1, std::string(1, SexCode(h.sex) == ' ' ? '0' : SexCode(h.sex)));
    return b.Bytes();
}

} // namespace

void EmitJvData(const SourceData& data, const std::filesystem::path& dir)
{
    long latest = 0;
    for (const RaceRecord& race : data.races)
        latest = std::max(latest, Date(race.key));
    RunnersByRace runners = GroupRunners(data);
    std::vector<std::string> records;
    for (const JockeyRecord& j : data.jockeys)
        records.push_back(Ks(j, latest));
    for (const HorseRecord& h : data.horses)
        records.push_back(Um(h, latest));
    for (const RaceRecord& race : data.races) {
        records.push_back(Ra(race));
        if (auto it = runners.find(race.key); it != runners.end())
            for (const RunnerRecord* r : it->second)
                records.push_back(Se(race, *r));
    }
    WriteRecords(dir, "JVDATA.txt", records);
}

} // namespace makerace
