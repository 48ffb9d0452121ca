#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/text.h"

// What every data source reader hands to the race store: one race, one runner of one race, one jockey,
// one horse. A source rarely carries every field, so each record says which it has: a field that is
// unknown keeps its "unknown" value (0 / empty / -1 as noted) and the store keeps whatever an earlier
// file of the same race already gave it. Readers never guess a field; the race builder derives or
// fills what is missing and says so in its report.
namespace pado::sources {

// 01 札幌 02 函館 03 福島 04 新潟 05 東京 06 中山 07 中京 08 京都 09 阪神 10 小倉.
// A source that names a race only by year, venue, 回, 日目 and number (the 66-column CSV data set's corner file)
// leaves month and day 0 and sets meeting and meetingDay on its RaceRecord; the store resolves such a key
// against the races it holds.
struct RaceKey {
    int year = 0, month = 0, day = 0;
    int venue = 0; // JRA venue code 1..10
    int number = 0; // race number 1..12
    friend bool operator==(const RaceKey&, const RaceKey&) = default;

    // yyyymmddVVRR as a number: ordering by it orders by date, venue and race number.
    long long Id() const { return ((year * 100LL + month) * 100 + day) * 10000 + venue * 100 + number; }
    static RaceKey OfId(long long id)
    {
        const long long date = id / 10000;
        return { static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100), static_cast<int>(date % 100),
            static_cast<int>(id / 100 % 100), static_cast<int>(id % 100) };
    }
    // The id as twelve digits, as the race list prints it and a race is named on the command line.
    std::string Text() const
    {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d", year, month, day, venue, number);
        return buf;
    }
    int Date() const { return (year * 100 + month) * 100 + day; } // yyyymmdd
    // A day that exists (1900 to 2199), a JRA venue and a race number of a JRA day.
    bool IsValid() const
    {
        return year >= 1900 && year <= 2199 && IsCivilDate(year, month, day) && venue >= 1 && venue <= 10 && number >= 1
            && number <= 12;
    }
};

// Who may run, as the programme codes it (JRDB's 記号, JV-Data's 競走記号コード); the same facts whichever source
// gave them. Read only where known is true: a source without the code says nothing either way.
enum class SexLimit { None, Fillies, Colts, ColtsAndGeldings, ColtsAndFillies };
enum class Designation { None, Designated, DesignatedSquare, SpecialDesignated }; // (指定) [指定] (特指)
struct RaceMarks {
    bool known = false;
    bool mixed = false; // (混): foreign-bred horses may run
    bool international = false; // (国際): foreign-trained horses may run too
    SexLimit sex = SexLimit::None;
    Designation designation = Designation::None;
    friend bool operator==(const RaceMarks&, const RaceMarks&) = default;
};

// 重量種別 (1 ハンデ 2 別定 3 馬齢 4 定量 in both sources).
enum class WeightRule { Unknown, Handicap, Allowance, ForAge, Fixed };

struct RaceRecord {
    RaceKey key;
    int meeting = 0; // 回, 0 unknown
    int meetingDay = 0; // 日目, 0 unknown
    Text name; // race name as the source gives it (may be empty for plain class races)
    Text classText; // 新馬, 未勝利, 1勝クラス, オープン ... empty unknown
    // Age, marks and weight rule as text, "3歳以上 (混)(牝)[指定] 定量" (any part may be missing); empty unknown.
    // The readers of coded sources write it from the fields below with ConditionText, so that it and they agree.
    Text conditions;
    int ageMin = 0; // the age the race is for (2, 3, 4), 0 unknown or none (a jump race without age)
    bool ageAndOlder = false; // 3歳以上 rather than 3歳
    RaceMarks marks;
    WeightRule weightRule = WeightRule::Unknown;
    int grade = 0; // 1 GI, 2 GII, 3 GIII, 0 none or unknown
    char32_t surface = 0; // 芝, ダ or 障; 0 unknown
    int distance = 0; // metres, 0 unknown
    char32_t direction = 0; // 右, 左, 直 or 0 unknown
    char32_t going = 0; // 良, 稍, 重, 不 (first character of 稍重, 不良) or 0 unknown
    Text weather; // 晴, 曇, 雨 ... empty unknown
    int startTime = -1; // hhmm, -1 unknown
    int fieldSize = 0; // runners that started, 0 unknown
    Text cornerOrders[4]; // race-level passing order text per corner 1..4, e.g. "(*2,5)9(3,13)8,1"; empty unknown
    // The texts above are the source's official race-level corner orders, complete as they stand: a corner
    // left empty was not called (a straight course has none at all) and must not be made up from the
    // runners' positions. False when the source gives no race-level texts (they are unknown).
    bool cornerOrdersOfficial = false;
    int last3f = 0, last4f = 0; // tenths of a second, 0 unknown
    Text furlongTimes; // the source's lap times, space separated tenths, empty unknown
    Text prizes; // first..fifth prize in 10,000 yen, space separated, empty unknown
    bool hasResult = false; // false for an entries-only (card) record
    int edition = 0; // 第N回 of a named race, 0 unknown
    Text addedPrizes; // 付加賞金 in 10,000 yen, space separated, empty unknown
};

// 取消, 除外, 中止, 失格, 降着 (再騎乗 is read as a finish).
enum class Abnormal { None, Scratched, Excluded, DidNotFinish, Disqualified, Demoted };

struct RunnerRecord {
    RaceKey race;
    // 回 and 日目 of the race when the source names it only so (race.month and race.day then 0), as JRDB's
    // entrant file does; the store resolves such a runner like such a race.
    int meeting = 0, meetingDay = 0;
    int frame = 0; // 枠番, 0 unknown
    int number = 0; // 馬番 (required)
    std::string horseId; // registration number, empty when the source has none
    Text horseName; // as the source gives it, unpadded
    char32_t sex = 0; // 牡, 牝, セ or 0 unknown
    int age = 0; // 0 unknown
    int carriedTenths = 0; // weight carried in tenths of a kilogram, 0 unknown
    std::string jockeyId; // source code, empty unknown
    Text jockeyName; // short name as printed on a card, empty unknown
    int finish = 0; // 着順, 0 none (card, or abnormal)
    Abnormal abnormal = Abnormal::None;
    int timeTenths = 0; // race time in tenths of a second, 0 unknown
    Text margin; // 着差 text such as "クビ", "1 1/2", empty unknown
    int corners[4] = { 0, 0, 0, 0 }; // position at corners 1..4, 0 unknown or not run
    int last3fTenths = 0; // 0 unknown
    int winOddsTenths = 0; // win odds × 10, 0 unknown
    int popularity = 0; // 0 unknown
    int bodyWeight = 0; // kg, 0 unknown
    int bodyWeightChange = 0;
    bool bodyWeightChangeKnown = false;
    Text mark; // horse mark such as 外 (foreign bred) or 地, empty none or unknown
};

struct JockeyRecord {
    std::string id;
    Text shortName; // as printed on cards
    Text fullName; // empty unknown
};

struct HorseRecord {
    std::string id; // registration number
    Text name;
    char32_t sex = 0;
    int birthYear = 0;
};

// What the user told the import about their files.
struct ReadOptions {
    // A CSV column's header as the file spells it (UTF-8) → the field it holds (a name the manual lists).
    std::map<std::string, std::string> csvColumns;
};

// Readers push records here in file order. Line numbers are 1-based.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void Race(const RaceRecord& race) = 0;
    virtual void Runner(const RunnerRecord& runner) = 0;
    virtual void Jockey(const JockeyRecord& jockey) = 0;
    virtual void Horse(const HorseRecord& horse) = 0;
    // A line the reader could not use; the rest of the file goes on.
    virtual void Malformed(const std::string& file, long line, const std::string& reason) = 0;
    // A record of a type this program does not use, counted by type ("JRDB KAB", "JV HR" ...).
    virtual void Skipped(const std::string& recordType) = 0;
    // A kind of file or record this program recognises but does not read ("JRDB SEC"): the report names it
    // once instead of counting its records as skipped.
    virtual void NotRead(const std::string& kind) { Skipped(kind); }
    virtual const ReadOptions& Options() const
    {
        static const ReadOptions none;
        return none;
    }
    // Polled between records; true stops the reader (the import of this file is then rolled back).
    virtual bool Cancelled() { return false; }
};

} // namespace pado::sources
