#include <map>
#include <tuple>

#include "sources/fixed_record.h"
#include "sources/jrdb_codes.h"
#include "sources/jrdb_layout.h"
#include "sources/jv_codes.h"
#include "sources/source_reader.h"

namespace pado::sources {

namespace {

using namespace jrdb;

// JRDB carries the 8-digit registration number (two-digit birth year); the store keys horses by the 10-digit
// form that JV-Data and the other sources use, so the century goes back on.
std::string HorseIdFromJrdb(std::string_view id)
{
    if (id.size() != 8)
        return {};
    for (char c : id)
        if (c < '0' || c > '9')
            return {};
    int yy = (id[0] - '0') * 10 + (id[1] - '0');
    return (yy >= 70 ? "19" : "20") + std::string(id);
}

struct KeyFields {
    RaceKey key;
    int meeting = 0, meetingDay = 0;
};

// The race key of a race-level or runner-level record; false with the reason when a part does not read.
bool ReadKey(std::string_view rec, KeyFields& k, std::string& problem)
{
    k.key.venue = VenueFromCode(FieldAt(rec, kVenue, 2));
    if (k.key.venue == 0) {
        problem = FieldProblem("場コード", FieldAt(rec, kVenue, 2));
        return false;
    }
    std::optional<int> yy = NumberField(FieldAt(rec, kYear, 2));
    std::optional<int> meeting = NumberField(FieldAt(rec, kMeeting, 1));
    std::optional<int> race = NumberField(FieldAt(rec, kRace, 2));
    int day = JrdbDay(rec.size() >= 6 ? rec[kDay - 1] : ' ');
    if (!yy || FieldAt(rec, kYear, 2).find(' ') != std::string_view::npos) {
        problem = FieldProblem("年", FieldAt(rec, kYear, 2));
        return false;
    }
    if (!meeting || *meeting < 1) {
        problem = FieldProblem("回", FieldAt(rec, kMeeting, 1));
        return false;
    }
    if (day == 0) {
        problem = FieldProblem("日", FieldAt(rec, kDay, 1));
        return false;
    }
    if (!race || *race < 1 || *race > 12) {
        problem = FieldProblem("R", FieldAt(rec, kRace, 2));
        return false;
    }
    k.key.year = JrdbFullYear(*yy);
    k.key.number = *race;
    k.meeting = *meeting;
    k.meetingDay = day;
    return true;
}

// The part of the key that every JRDB race-day record starts with (venue, year, 回, 日); the record types
// keyed by the meeting day alone (KAB and the like) stop there.
bool LooksLikeDayKey(std::string_view line)
{
    if (line.size() < 8 || VenueFromCode(FieldAt(line, kVenue, 2)) == 0 || JrdbDay(line[kDay - 1]) == 0)
        return false;
    for (int pos : { kYear, kYear + 1, kMeeting })
        if (line[static_cast<std::size_t>(pos - 1)] < '0' || line[static_cast<std::size_t>(pos - 1)] > '9')
            return false;
    return true;
}

// The lengths of the race-keyed types this program reads (UKC, keyed by horse, is told by its own check).
bool KnownLength(std::size_t length)
{
    for (int known : { sed::kLength, srb::kLength, bac::kLength, kyi::kLength })
        if (length == static_cast<std::size_t>(known))
            return true;
    return false;
}

bool ReadDate(std::string_view field, RaceKey& key);

// The kinds JRDB ships that this program recognises but does not read, by their record length: the same race
// key as the kinds it reads, other contents.
const char* UnreadKind(std::size_t length)
{
    switch (length) {
    case 344:
        return "SEC";
    case 406:
        return "SRA";
    case 543:
        return "KYG";
    case 550:
        return "KYH";
    default:
        return nullptr;
    }
}

// A record keyed by the meeting day alone (venue, year, 回, 日, then the date), as the day files such as KAB
// have: a kind of its own, whatever its length.
bool LooksLikeDayRecord(std::string_view line)
{
    RaceKey key;
    return LooksLikeDayKey(line) && ReadDate(FieldAt(line, 7, 8), key);
}

bool LooksLikeUkc(std::string_view line)
{
    if (line.size() != static_cast<std::size_t>(ukc::kLength))
        return false;
    for (char c : FieldAt(line, ukc::kHorseId, 8))
        if (c < '0' || c > '9')
            return false;
    return true;
}

// YYYYMMDD into the key; false when it is not a date.
bool ReadDate(std::string_view field, RaceKey& key)
{
    std::optional<int> d = NumberField(field);
    if (!d || field.size() != 8 || field.find(' ') != std::string_view::npos)
        return false;
    int y = *d / 10000, m = *d / 100 % 100, day = *d % 100;
    if (m < 1 || m > 12 || day < 1 || day > 31)
        return false;
    key.year = y;
    key.month = m;
    key.day = day;
    return true;
}

// "  12.3" as 123; nullopt when it does not read.
std::optional<int> TenthsField(std::string_view field)
{
    std::size_t dot = field.find('.');
    if (dot == std::string_view::npos) {
        std::optional<int> whole = NumberField(field);
        return whole ? std::optional<int>(*whole * 10) : std::nullopt;
    }
    std::optional<int> whole = NumberField(field.substr(0, dot));
    std::optional<int> frac = NumberField(field.substr(dot + 1));
    if (!whole || !frac || field.size() - dot - 1 != 1)
        return std::nullopt;
    return *whole * 10 + *frac;
}

class JrdbReader {
public:
    JrdbReader(const std::string& file, RecordSink& sink)
        : file_(file)
        , sink_(sink)
    {
    }

    // False when the rest of the file need not be read.
    bool Line(std::string_view line, long number)
    {
        line_ = number;
        if (line.empty())
            return true;
        // A JRDB file holds one record type, so its first record tells what every line should be.
        if (fileLength_ == 0) {
            fileLength_ = line.size();
            std::string kind;
            if (const char* name = UnreadKind(line.size()); name && LooksLikeDayKey(line))
                kind = name;
            else if (!KnownLength(line.size()) && line.size() != static_cast<std::size_t>(ukc::kLength)
                && LooksLikeDayRecord(line))
                kind = "(" + std::to_string(line.size() + 2) + "バイト、開催日単位のレコード)";
            if (!kind.empty()) {
                // Named once for the file, which holds nothing else.
                sink_.NotRead("JRDB " + kind);
                return false;
            }
        }
        if (LooksLikeUkc(line)) {
            Ukc(line);
            return true;
        }
        if (!KnownLength(line.size())) {
            if (KnownLength(fileLength_) || fileLength_ == static_cast<std::size_t>(ukc::kLength))
                Bad("レコードの長さが" + std::to_string(fileLength_ + 2) + "バイトではありません("
                    + std::to_string(line.size() + 2) + "バイト)");
            else
                Bad("レコードの長さ(" + std::to_string(line.size() + 2)
                    + "バイト)がJRDBのどの種類(SED, SRB, BAC, KYI, UKC)とも合いません");
            return true;
        }
        KeyFields k;
        std::string problem;
        if (!ReadKey(line, k, problem)) {
            Bad(problem);
            return true;
        }
        switch (static_cast<int>(line.size())) {
        case sed::kLength:
            Sed(line, k);
            break;
        case srb::kLength:
            Srb(line, k);
            break;
        case bac::kLength:
            Bac(line, k);
            break;
        case kyi::kLength:
            Kyi(line, k);
            break;
        }
        return true;
    }

private:
    void Bad(const std::string& reason) { sink_.Malformed(file_, line_, reason); }

    // A date learnt from this file's own dated records, for the records that carry only 回 and 日.
    void Learn(const KeyFields& k)
    {
        dates_[{ k.key.venue, k.key.year, k.meeting, k.meetingDay }] = { k.key.month, k.key.day };
    }
    void Resolve(KeyFields& k) const
    {
        auto it = dates_.find({ k.key.venue, k.key.year, k.meeting, k.meetingDay });
        if (it != dates_.end()) {
            k.key.month = it->second.first;
            k.key.day = it->second.second;
        }
    }

    // Race conditions that SED and BAC both carry, at their own positions.
    struct ConditionPositions {
        int distance, surface, direction, kind, cls, mark, weightRule, grade, raceName;
    };
    bool Conditions(std::string_view rec, const ConditionPositions& p, RaceRecord& race)
    {
        std::optional<int> distance = NumberField(FieldAt(rec, p.distance, 4));
        if (!distance) {
            Bad(FieldProblem("距離", FieldAt(rec, p.distance, 4)));
            return false;
        }
        std::optional<Text> name = TextField(FieldAt(rec, p.raceName, 50));
        if (!name) {
            Bad("レース名がCP932ではありません");
            return false;
        }
        race.distance = *distance;
        race.surface = JrdbSurface(rec[p.surface - 1]);
        race.direction = JrdbDirection(rec[p.direction - 1]);
        race.classText = JumpClass(JrdbClass(FieldAt(rec, p.cls, 2), race.key.year), race.surface);
        const Text age = JrdbAgeText(FieldAt(rec, p.kind, 2));
        AgeFromText(age, race.ageMin, race.ageAndOlder);
        race.marks = JrdbRaceMarks(FieldAt(rec, p.mark, 3));
        race.weightRule = WeightRuleFromCode(rec[p.weightRule - 1]);
        race.conditions = ConditionText(age, race.marks, race.weightRule);
        race.grade = JrdbGrade(rec[p.grade - 1]);
        race.name = *name;
        return true;
    }

    void Sed(std::string_view rec, KeyFields k)
    {
        using namespace sed;
        int twoDigitYear = k.key.year;
        if (!ReadDate(FieldAt(rec, kDate, 8), k.key) || k.key.year % 100 != twoDigitYear % 100) {
            Bad(FieldProblem("年月日", FieldAt(rec, kDate, 8)));
            return;
        }
        Learn(k);
        RunnerRecord r;
        r.race = k.key;
        r.meeting = k.meeting;
        r.meetingDay = k.meetingDay;
        std::optional<int> number = NumberField(FieldAt(rec, kNumber, 2));
        std::optional<int> finish = NumberField(FieldAt(rec, kFinish, 2));
        std::optional<int> time = NumberField(FieldAt(rec, kTime, 4));
        std::optional<int> carried = NumberField(FieldAt(rec, kCarried, 3));
        std::optional<int> odds = TenthsField(FieldAt(rec, kOdds, 6));
        std::optional<int> popularity = NumberField(FieldAt(rec, kPopularity, 2));
        std::optional<int> last3f = NumberField(FieldAt(rec, kLast3f, 3));
        std::optional<int> field = NumberField(FieldAt(rec, kField, 2));
        std::optional<Text> name = TextField(FieldAt(rec, kName, 36));
        std::optional<Text> jockey = TextField(FieldAt(rec, kJockey, 12));
        struct Check {
            bool ok;
            const char* what;
            int pos, len;
        };
        for (const Check& c :
            { Check { number && *number > 0, "馬番", kNumber, 2 }, Check { finish.has_value(), "着順", kFinish, 2 },
                Check { time && TimeTenths(*time) >= 0, "タイム", kTime, 4 },
                Check { carried.has_value(), "斤量", kCarried, 3 }, Check { odds.has_value(), "単勝オッズ", kOdds, 6 },
                Check { popularity.has_value(), "人気", kPopularity, 2 },
                Check { last3f.has_value(), "後3F", kLast3f, 3 }, Check { field.has_value(), "頭数", kField, 2 } })
            if (!c.ok) {
                Bad(FieldProblem(c.what, FieldAt(rec, c.pos, c.len)));
                return;
            }
        if (!name || !jockey) {
            Bad(!name ? "馬名がCP932ではありません" : "騎手名がCP932ではありません");
            return;
        }
        for (int i = 0; i < 4; ++i) {
            std::optional<int> c = NumberField(FieldAt(rec, kCorner1 + 2 * i, 2));
            if (!c) {
                Bad(FieldProblem("コーナー順位", FieldAt(rec, kCorner1 + 2 * i, 2)));
                return;
            }
            r.corners[i] = *c;
        }
        r.number = *number;
        r.horseId = HorseIdFromJrdb(FieldAt(rec, kHorseId, 8));
        r.horseName = *name;
        r.carriedTenths = *carried;
        r.jockeyName = *jockey;
        r.jockeyId = std::string(FieldAt(rec, kJockeyId, 5));
        while (!r.jockeyId.empty() && r.jockeyId.back() == ' ')
            r.jockeyId.pop_back();
        r.abnormal = JrdbAbnormal(rec[kAbnormal - 1]);
        bool ran = r.abnormal == Abnormal::None || r.abnormal == Abnormal::Demoted;
        r.finish = ran ? *finish : 0;
        r.timeTenths = TimeTenths(*time);
        r.winOddsTenths = *odds;
        r.popularity = *popularity;
        r.last3fTenths = *last3f;
        std::string_view bodyWeight = FieldAt(rec, kBodyWeight, 3);
        std::string_view change = FieldAt(rec, kWeightChange, 3);
        std::optional<int> bw = NumberField(bodyWeight);
        std::optional<int> ch = SignedNumberField(change);
        if (!bw || !ch) {
            Bad(FieldProblem(!bw ? "馬体重" : "馬体重増減", !bw ? bodyWeight : change));
            return;
        }
        r.bodyWeight = *bw;
        r.bodyWeightChangeKnown = *bw > 0 && change.find_first_not_of(' ') != std::string_view::npos;
        r.bodyWeightChange = r.bodyWeightChangeKnown ? *ch : 0;

        if (!(k.key == lastRace_)) { // a runner of a new race: the race itself first
            RaceRecord race;
            race.key = k.key;
            race.meeting = k.meeting;
            race.meetingDay = k.meetingDay;
            if (!Conditions(rec,
                    { kDistance, kSurface, kDirection, kKind, kClass, kMark, kWeightRule, kGrade, kRaceName }, race))
                return;
            race.going = JrdbGoing(FieldAt(rec, kGoing, 2));
            race.weather = JrdbWeather(rec[kWeather - 1]);
            std::optional<int> start = NumberField(FieldAt(rec, kStartTime, 4));
            race.startTime = start && FieldAt(rec, kStartTime, 4).find(' ') == std::string_view::npos ? *start : -1;
            race.fieldSize = *field;
            race.hasResult = true;
            sink_.Race(race);
            lastRace_ = k.key;
        }
        sink_.Runner(r);
    }

    void Srb(std::string_view rec, KeyFields k)
    {
        using namespace srb;
        Resolve(k);
        RaceRecord race;
        race.key = k.key;
        race.meeting = k.meeting;
        race.meetingDay = k.meetingDay;
        Text laps;
        for (int i = 0; i < kFurlongCount; ++i) {
            std::string_view f = FieldAt(rec, kFurlongs + 3 * i, 3);
            std::optional<int> t = NumberField(f);
            if (!t) {
                Bad(FieldProblem("ハロンタイム", f));
                return;
            }
            if (*t > 0)
                laps += (laps.empty() ? U"" : U" ") + ToText(*t);
        }
        race.furlongTimes = laps;
        for (int i = 0; i < 4; ++i) {
            std::optional<Text> order = TextField(FieldAt(rec, kCorner1 + kCornerLength * i, kCornerLength));
            if (!order) {
                Bad("コーナー通過順がCP932ではありません");
                return;
            }
            race.cornerOrders[i] = *order;
        }
        race.cornerOrdersOfficial = true;
        race.hasResult = true;
        sink_.Race(race);
    }

    void Bac(std::string_view rec, KeyFields k)
    {
        using namespace bac;
        int twoDigitYear = k.key.year;
        if (!ReadDate(FieldAt(rec, kDate, 8), k.key) || k.key.year % 100 != twoDigitYear % 100) {
            Bad(FieldProblem("年月日", FieldAt(rec, kDate, 8)));
            return;
        }
        Learn(k);
        RaceRecord race;
        race.key = k.key;
        race.meeting = k.meeting;
        race.meetingDay = k.meetingDay;
        if (!Conditions(
                rec, { kDistance, kSurface, kDirection, kKind, kClass, kMark, kWeightRule, kGrade, kRaceName }, race))
            return;
        std::string_view start = FieldAt(rec, kStartTime, 4);
        std::optional<int> hhmm = NumberField(start);
        if (!hhmm
            || (start.find_first_not_of(' ') != std::string_view::npos && (*hhmm / 100 > 23 || *hhmm % 100 > 59))) {
            Bad(FieldProblem("発走時間", start));
            return;
        }
        race.startTime = start.find(' ') == std::string_view::npos ? *hhmm : -1;
        std::optional<int> field = NumberField(FieldAt(rec, kField, 2));
        if (!field) {
            Bad(FieldProblem("頭数", FieldAt(rec, kField, 2)));
            return;
        }
        race.fieldSize = *field;
        Text prizes;
        bool any = false;
        for (int i = 0; i < 5; ++i) {
            std::optional<int> p = NumberField(FieldAt(rec, kPrize1 + 5 * i, 5));
            if (!p) {
                Bad(FieldProblem("賞金", FieldAt(rec, kPrize1 + 5 * i, 5)));
                return;
            }
            any = any || *p > 0;
            prizes += (i ? U" " : U"") + ToText(*p);
        }
        if (any)
            race.prizes = prizes;
        sink_.Race(race);
    }

    void Kyi(std::string_view rec, KeyFields k)
    {
        using namespace kyi;
        Resolve(k);
        RunnerRecord r;
        r.race = k.key;
        r.meeting = k.meeting;
        r.meetingDay = k.meetingDay;
        std::optional<int> number = NumberField(FieldAt(rec, kNumber, 2));
        std::optional<int> carried = NumberField(FieldAt(rec, kCarried, 3));
        std::optional<int> frame = NumberField(FieldAt(rec, kFrame, 1));
        std::optional<Text> name = TextField(FieldAt(rec, kName, 36));
        std::optional<Text> jockey = TextField(FieldAt(rec, kJockey, 12));
        if (!number || *number <= 0) {
            Bad(FieldProblem("馬番", FieldAt(rec, kNumber, 2)));
            return;
        }
        if (!carried || !frame) {
            Bad(!carried ? FieldProblem("負担重量", FieldAt(rec, kCarried, 3))
                         : FieldProblem("枠番", FieldAt(rec, kFrame, 1)));
            return;
        }
        if (!name || !jockey) {
            Bad(!name ? "馬名がCP932ではありません" : "騎手名がCP932ではありません");
            return;
        }
        r.number = *number;
        r.horseId = HorseIdFromJrdb(FieldAt(rec, kHorseId, 8));
        r.horseName = *name;
        r.jockeyName = *jockey;
        r.carriedTenths = *carried;
        r.frame = *frame;
        r.jockeyId = std::string(FieldAt(rec, kJockeyId, 5));
        while (!r.jockeyId.empty() && r.jockeyId.back() == ' ')
            r.jockeyId.pop_back();
        r.sex = SexFromCode(rec[kSex - 1]);
        if (rec[kScratched - 1] == '1')
            r.abnormal = Abnormal::Scratched;
        sink_.Runner(r);
    }

    void Ukc(std::string_view rec)
    {
        using namespace ukc;
        HorseRecord h;
        h.id = HorseIdFromJrdb(FieldAt(rec, kHorseId, 8));
        std::optional<Text> name = TextField(FieldAt(rec, kName, 36));
        if (!name) {
            Bad("馬名がCP932ではありません");
            return;
        }
        h.name = *name;
        h.sex = SexFromCode(rec[kSex - 1]);
        std::optional<int> birth = NumberField(FieldAt(rec, kBirthDate, 8));
        if (!birth) {
            Bad(FieldProblem("生年月日", FieldAt(rec, kBirthDate, 8)));
            return;
        }
        h.birthYear = *birth / 10000;
        sink_.Horse(h);
    }

    std::string file_;
    RecordSink& sink_;
    long line_ = 0;
    std::size_t fileLength_ = 0;
    RaceKey lastRace_;
    std::map<std::tuple<int, int, int, int>, std::pair<int, int>> dates_;
};

} // namespace

bool LooksLikeJrdb(std::string_view head)
{
    // Complete lines only: the last one may be cut by the size of the head.
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (lines.size() < 8) {
        std::size_t nl = head.find('\n', start);
        if (nl == std::string_view::npos)
            break;
        std::string_view l = head.substr(start, nl - start);
        if (!l.empty() && l.back() == '\r')
            l.remove_suffix(1);
        if (!l.empty())
            lines.push_back(l);
        start = nl + 1;
    }
    if (lines.empty())
        return false;
    for (std::string_view l : lines) {
        if (LooksLikeUkc(l))
            continue;
        KeyFields k;
        std::string problem;
        bool known = KnownLength(l.size()) && ReadKey(l, k, problem);
        // Types this program does not read are still fixed-length records behind a race-day key.
        if (!known && !(LooksLikeDayKey(l) && l.size() == lines[0].size() && l.size() >= 16))
            return false;
    }
    return true;
}

void ReadJrdb(const std::filesystem::path& file, RecordSink& sink)
{
    JrdbReader reader(file.string(), sink);
    ForEachLine(file.string(), [&](std::string_view line, long number) {
        // Polled on every line, however short: a file of garbage lines stops at once when the user cancels.
        if (sink.Cancelled())
            return false;
        return reader.Line(line, number);
    });
}

} // namespace pado::sources
