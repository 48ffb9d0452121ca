#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "sources/fixed_record.h"
#include "sources/jv_codes.h"
#include "sources/jv_fields.h"

namespace pado::sources {

namespace {

std::string Trim(std::string_view s)
{
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

// A whole number; a database may hand a whole column back as a decimal ("2024.000"), which is the same
// number as long as nothing follows the point.
std::optional<int> Whole(std::string_view value)
{
    std::string v = Trim(value);
    std::size_t dot = v.find('.');
    if (dot != std::string::npos) {
        if (v.find_first_not_of('0', dot + 1) != std::string::npos)
            return std::nullopt;
        v.resize(dot);
    }
    return NumberField(v);
}

bool IsBlankOrZeros(std::string_view s)
{
    return s.find_first_not_of(" 0") == std::string_view::npos;
}

// A value in tenths: the record's digits as they are, or a database's decimal (a point) times ten. A whole
// number below `smallest` cannot be in tenths (no time, weight or lap is that short), so it is a database's
// whole seconds or kilograms and is scaled too.
std::optional<int> Tenths(std::string_view value, int smallest)
{
    std::string v = Trim(value);
    if (v.find('.') != std::string::npos) {
        char* end = nullptr;
        double d = std::strtod(v.c_str(), &end);
        if (end == v.c_str() || *end != '\0' || d < 0)
            return std::nullopt;
        return static_cast<int>(std::lround(d * 10));
    }
    std::optional<int> n = NumberField(v);
    if (n && *n > 0 && *n < smallest)
        return *n * 10;
    return n;
}

// A number with a decimal point; nullopt when it does not read or is negative.
std::optional<double> Decimal(const std::string& v)
{
    char* end = nullptr;
    double d = std::strtod(v.c_str(), &end);
    if (v.empty() || end == v.c_str() || *end != '\0' || !(d >= 0) || d > 1e9)
        return std::nullopt;
    return d;
}

// A time column holds the record's minute, seconds and tenths digits (m ss s) whatever its storage: "1497",
// 1497 and 149.7 (the digits divided by ten, as the Linux bridge stores them even though its schema calls the
// column seconds) all mean 1:49.7. Tenths of a second; nullopt when the digits are not a time.
std::optional<int> RaceTime(std::string_view value)
{
    std::string v = Trim(value);
    std::optional<int> digits;
    if (v.find('.') != std::string::npos) {
        std::optional<double> d = Decimal(v);
        if (d)
            digits = static_cast<int>(std::lround(*d * 10));
    } else {
        digits = NumberField(v);
    }
    if (!digits)
        return std::nullopt;
    int t = TimeTenths(*digits);
    return t < 0 ? std::nullopt : std::optional<int>(t);
}

std::string TimeText(int tenths)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d.%d", tenths / 600, tenths % 600 / 10, tenths % 10);
    return buf;
}

// Codes lose their padding in some databases (" 12" becomes "12", "06" may become 6).
std::string TwoDigitCode(std::string_view value)
{
    std::string v = Trim(value);
    if (v.size() == 1 && v[0] >= '0' && v[0] <= '9')
        return "0" + v;
    return v;
}

std::string MarginCode(std::string_view value)
{
    std::string v(value);
    while (!v.empty() && v.back() == ' ')
        v.pop_back();
    if (v.size() == 2 && v[0] >= '0' && v[0] <= '9' && v[1] >= '0' && v[1] <= '9')
        return " " + v; // a fraction whose leading space was trimmed
    v.resize(3, ' ');
    return v;
}

char FirstChar(const std::string& s)
{
    std::string t = Trim(s);
    return t.empty() ? ' ' : t[0];
}

struct Key {
    RaceKey key;
    int meeting = 0, meetingDay = 0;
};

JvOutcome Bad(const char* field, std::string_view value)
{
    return { JvOutcome::Malformed, FieldProblem(field, value) };
}

// The race identification shared by RA and SE; Used, or why the record is not a JRA race we can key.
JvOutcome ReadKey(const char* type, const std::string& dataKubun, const std::string& year, const std::string& monthDay,
    const std::string& jyoCD, const std::string& kaiji, const std::string& nichiji, const std::string& raceNum, Key& k)
{
    char kubun = FirstChar(dataKubun);
    if (kubun == '0')
        return { JvOutcome::Skipped, std::string("JV ") + type + " 削除" };
    if (kubun == '9')
        return { JvOutcome::Skipped, std::string("JV ") + type + " 中止" };
    if (kubun == 'A' || kubun == 'B')
        return { JvOutcome::Skipped, std::string("JV ") + type + " 地方・海外" };
    std::string venue = TwoDigitCode(jyoCD);
    k.key.venue = VenueFromCode(venue);
    if (k.key.venue == 0) {
        bool code = venue.size() == 2 && std::isalnum(static_cast<unsigned char>(venue[0]))
            && std::isalnum(static_cast<unsigned char>(venue[1]));
        if (code)
            return { JvOutcome::Skipped, std::string("JV ") + type + " 地方・海外" };
        return Bad("競馬場コード", jyoCD);
    }
    std::optional<int> y = Whole(year);
    std::optional<int> md = Whole(monthDay);
    std::optional<int> meeting = Whole(kaiji);
    std::optional<int> day = Whole(nichiji);
    std::optional<int> number = Whole(raceNum);
    if (!y || *y < 1900 || *y > 2999)
        return Bad("開催年", year);
    if (!md || *md / 100 < 1 || *md / 100 > 12 || *md % 100 < 1 || *md % 100 > 31)
        return Bad("開催月日", monthDay);
    if (!meeting || !day)
        return Bad(!meeting ? "開催回" : "開催日目", !meeting ? kaiji : nichiji);
    if (!number || *number < 1 || *number > 12)
        return Bad("レース番号", raceNum);
    k.key.year = *y;
    k.key.month = *md / 100;
    k.key.day = *md % 100;
    k.key.number = *number;
    k.meeting = *meeting;
    k.meetingDay = *day;
    return {};
}

} // namespace

JvOutcome ConvertJvRace(const JvRaceFields& f, RaceRecord& race)
{
    Key k;
    JvOutcome key = ReadKey("RA", f.dataKubun, f.year, f.monthDay, f.jyoCD, f.kaiji, f.nichiji, f.raceNum, k);
    if (key.kind != JvOutcome::Used)
        return key;
    race = RaceRecord();
    race.key = k.key;
    race.meeting = k.meeting;
    race.meetingDay = k.meetingDay;
    race.name = TrimPadding(f.hondai);
    race.grade = JvGrade(FirstChar(f.gradeCD));
    std::optional<int> kind = Whole(f.syubetuCD);
    std::optional<int> condition = Whole(f.jyokenCD5);
    if (!kind || !condition)
        return !kind ? Bad("競走種別コード", f.syubetuCD) : Bad("競走条件コード", f.jyokenCD5);
    race.classText = ClassFromCondition(*condition, race.key.year);
    const Text age = JvAgeText(*kind);
    AgeFromText(age, race.ageMin, race.ageAndOlder);
    std::string kigo = Trim(f.kigoCD);
    if (!kigo.empty() && kigo.size() < 3 && kigo.find_first_not_of("0123456789") == std::string::npos)
        kigo.insert(0, 3 - kigo.size(), '0'); // a number column drops the leading zeros of "020"
    race.marks = JvRaceMarks(kigo);
    race.weightRule = WeightRuleFromCode(FirstChar(f.jyuryoCD));
    race.conditions = ConditionText(age, race.marks, race.weightRule);
    std::optional<int> distance = Whole(f.kyori);
    if (!distance)
        return Bad("距離", f.kyori);
    race.distance = *distance;
    std::optional<int> track = Whole(f.trackCD);
    if (!track)
        return Bad("トラックコード", f.trackCD);
    JvTrack(*track, race.surface, race.direction); // 00 and unlisted codes leave both unknown
    race.classText = JumpClass(race.classText, race.surface);
    char32_t turf = JvGoing(FirstChar(f.sibaBabaCD)), dirt = JvGoing(FirstChar(f.dirtBabaCD));
    race.going = race.surface == U'ダ' ? (dirt ? dirt : turf) : (turf ? turf : dirt);
    race.weather = JvWeather(FirstChar(f.tenkoCD));
    std::string start = Trim(f.hassoTime);
    std::erase(start, ':'); // a database's TIME may read "15:40" or "15:40:00"
    if (start.size() == 6)
        start.resize(4);
    std::optional<int> hhmm = NumberField(start);
    if (!hhmm || *hhmm / 100 > 23 || *hhmm % 100 > 59)
        return Bad("発走時刻", f.hassoTime);
    race.startTime = IsBlankOrZeros(start) ? -1 : *hhmm;
    std::optional<int> field = Whole(f.syussoTosu);
    if (!field)
        return Bad("出走頭数", f.syussoTosu);
    race.fieldSize = *field;
    Text laps;
    for (const std::string& lap : f.lapTime) {
        std::optional<int> t = Tenths(lap, 50);
        if (!t)
            return Bad("ラップタイム", lap);
        if (*t > 0)
            laps += (laps.empty() ? U"" : U" ") + ToText(*t);
    }
    race.furlongTimes = laps;
    std::optional<int> l3 = Tenths(f.haronTimeL3, 100), l4 = Tenths(f.haronTimeL4, 100);
    if (!l3 || !l4)
        return !l3 ? Bad("後3ハロン", f.haronTimeL3) : Bad("後4ハロン", f.haronTimeL4);
    race.last3f = *l3;
    race.last4f = *l4;
    Text prizes;
    bool anyPrize = false;
    for (int i = 0; i < 5; ++i) {
        std::optional<int> p = Whole(f.honsyokin[i]);
        if (!p)
            return Bad("本賞金", f.honsyokin[i]);
        anyPrize = anyPrize || *p > 0;
        prizes += (i ? U" " : U"") + ToText(*p / 100); // 100 yen to 10,000 yen
    }
    if (anyPrize)
        race.prizes = prizes;
    // Added prizes go to as many places as the race pays them; the blank places after are not prizes of 0.
    std::vector<int> added;
    for (int i = 0; i < 5; ++i) {
        std::optional<int> p = Whole(f.fukasyokin[i]);
        if (!p)
            return Bad("付加賞金", f.fukasyokin[i]);
        added.push_back(*p / 100);
    }
    while (!added.empty() && added.back() == 0)
        added.pop_back();
    race.addedPrizes.clear();
    for (std::size_t i = 0; i < added.size(); ++i)
        race.addedPrizes += (i ? U" " : U"") + ToText(added[i]);
    std::optional<int> edition = Whole(f.nkai);
    if (!edition)
        return Bad("重賞回次", f.nkai);
    race.edition = *edition;
    bool passing = false;
    for (int i = 0; i < 4; ++i) {
        std::optional<int> corner = Whole(f.corner[i]);
        Text order = TrimPadding(f.jyuni[i]);
        if (!corner || *corner > 4)
            return Bad("コーナー", f.corner[i]);
        if (*corner >= 1 && !order.empty()) { // a later lap past the same corner replaces the earlier one
            race.cornerOrders[*corner - 1] = order;
            passing = true;
        }
    }
    char kubun = FirstChar(f.dataKubun);
    if (kubun == ' ') // a database without the data division: results show in what only a run race has
        race.hasResult = passing || race.last3f > 0 || !laps.empty();
    else
        race.hasResult = kubun >= '3' && kubun <= '7';
    // The passing orders come with the results of all runners (6) and the final ones (7); before that the
    // slots are blank because they are not known yet, not because the race had no corners.
    race.cornerOrdersOfficial = f.cornerColumns && (kubun == ' ' ? race.hasResult : kubun == '6' || kubun == '7');
    return {};
}

JvOutcome ConvertJvRunner(const JvRunnerFields& f, RunnerRecord& r)
{
    Key k;
    JvOutcome key = ReadKey("SE", f.dataKubun, f.year, f.monthDay, f.jyoCD, f.kaiji, f.nichiji, f.raceNum, k);
    if (key.kind != JvOutcome::Used)
        return key;
    r = RunnerRecord();
    r.race = k.key;
    r.meeting = k.meeting;
    r.meetingDay = k.meetingDay;
    std::optional<int> number = Whole(f.umaban);
    std::optional<int> frame = Whole(f.wakuban);
    if (!number || !frame)
        return !number ? Bad("馬番", f.umaban) : Bad("枠番", f.wakuban);
    if (*number == 0) // the nominations list of Thursday has no numbers yet
        return { JvOutcome::Skipped, "JV SE 馬番未定" };
    r.number = *number;
    r.frame = *frame;
    std::string id = Trim(f.kettoNum);
    r.horseId = IsBlankOrZeros(id) ? std::string() : id;
    r.horseName = TrimPadding(f.bamei);
    r.sex = SexFromCode(FirstChar(f.sexCD));
    std::optional<int> age = Whole(f.barei);
    std::optional<int> carried = Tenths(f.futan, 100);
    if (!age || !carried)
        return !age ? Bad("馬齢", f.barei) : Bad("負担重量", f.futan);
    r.age = *age;
    r.carriedTenths = *carried;
    std::string jockey = Trim(f.kisyuCode);
    r.jockeyId = IsBlankOrZeros(jockey) ? std::string() : jockey;
    r.jockeyName = TrimPadding(f.kisyuRyakusyo);
    // Body weight and its change are whole kilograms in the record's digits. A database that stores every
    // number divided by ten shows itself by a body weight no horse has (48.0 for 480 kg).
    std::string bw = Trim(f.baTaijyu), zs = Trim(f.zogenSa);
    std::optional<int> weight = Whole(bw);
    bool byTen = false;
    if (bw.find('.') != std::string::npos) {
        std::optional<double> d = Decimal(bw);
        if (d && *d > 0 && *d < 100) {
            weight = static_cast<int>(std::lround(*d * 10));
            byTen = true;
        }
    }
    char ownSign = 0; // a signed number column carries the sign itself
    if (!zs.empty() && (zs[0] == '+' || zs[0] == '-')) {
        ownSign = zs[0];
        zs = Trim(zs.substr(1));
    }
    std::optional<int> change = Whole(zs);
    if (byTen || (!change && zs.find('.') != std::string::npos)) {
        std::optional<double> d = Decimal(zs);
        change = d ? std::optional<int>(static_cast<int>(std::lround(*d * (byTen ? 10 : 1)))) : std::nullopt;
        if (d && !byTen && *change != *d) // a fraction of a kilogram: the digits divided by ten
            change = static_cast<int>(std::lround(*d * 10));
    }
    if (!weight || !change)
        return !weight ? Bad("馬体重", f.baTaijyu) : Bad("増減差", f.zogenSa);
    char sign = FirstChar(f.zogenFugo);
    if (ownSign && sign != ' ' && sign != ownSign && *change != 0)
        return Bad("増減符号", f.zogenFugo + "/" + f.zogenSa);
    if (ownSign)
        sign = ownSign;
    bool weighed = *weight > 0 && *weight < 999; // 999: could not be weighed
    r.bodyWeight = weighed ? *weight : 0;
    r.bodyWeightChangeKnown = weighed && !zs.empty() && *change < 999;
    r.bodyWeightChange = r.bodyWeightChangeKnown ? (sign == '-' ? -*change : *change) : 0;

    char kubun = FirstChar(f.dataKubun);
    std::optional<int> finish = Whole(f.kakuteiJyuni);
    std::optional<int> time = RaceTime(f.time);
    if (!finish || !time)
        return !finish ? Bad("確定着順", f.kakuteiJyuni) : Bad("走破タイム", f.time);
    Abnormal abnormal = JvAbnormal(FirstChar(f.ijyoCD));
    bool results
        = kubun == ' ' ? (*finish > 0 || *time > 0 || abnormal != Abnormal::None) : kubun >= '3' && kubun <= '7';
    r.abnormal = abnormal;
    if (!results) { // a card knows only who will not start
        if (abnormal != Abnormal::Scratched && abnormal != Abnormal::Excluded)
            r.abnormal = Abnormal::None;
        return {};
    }
    bool ran = abnormal == Abnormal::None || abnormal == Abnormal::Demoted;
    r.finish = ran ? *finish : 0;
    r.timeTenths = *time;
    JvOutcome used;
    if (std::string seconds = Trim(f.raceTimeSeconds); !seconds.empty()) {
        std::optional<double> d = Decimal(seconds);
        const int checked = d ? static_cast<int>(std::lround(*d * 10)) : -1;
        if (checked < 0)
            used.warning = FieldProblem("RaceTimeSeconds", f.raceTimeSeconds);
        else if (r.timeTenths == 0)
            r.timeTenths = checked; // the digits are blank, the seconds are not
        else if (checked != r.timeTenths)
            used.warning = "走破タイムが食い違います: Time(" + Trim(f.time) + ")は" + TimeText(r.timeTenths)
                + "、RaceTimeSeconds(" + seconds + ")は" + TimeText(checked) + "。Timeの値を使いました";
    }
    r.margin = JvMargin(MarginCode(f.chakusaCD));
    for (int i = 0; i < 4; ++i) {
        std::optional<int> c = Whole(f.jyuni[i]);
        if (!c)
            return Bad("コーナー順位", f.jyuni[i]);
        r.corners[i] = *c;
    }
    std::string odds = Trim(f.odds);
    if (odds.find_first_not_of("*-") == std::string::npos) // no odds for a scratched runner
        odds.clear();
    std::optional<int> oddsTenths = odds.find('.') != std::string::npos ? Tenths(odds, 0) : NumberField(odds);
    std::optional<int> popularity = Whole(f.ninki);
    std::optional<int> last3f = Tenths(f.haronTimeL3, 100);
    if (!oddsTenths || !popularity || !last3f)
        return !oddsTenths ? Bad("単勝オッズ", f.odds)
            : !popularity  ? Bad("単勝人気順", f.ninki)
                           : Bad("後3ハロンタイム", f.haronTimeL3);
    r.winOddsTenths = *oddsTenths;
    r.popularity = *popularity;
    r.last3fTenths = *last3f;
    return used;
}

JvOutcome ConvertJvJockey(const JvJockeyFields& f, JockeyRecord& j)
{
    j = JockeyRecord();
    j.id = Trim(f.kisyuCode);
    if (j.id.empty() || IsBlankOrZeros(j.id))
        return Bad("騎手コード", f.kisyuCode);
    j.fullName = TrimPadding(f.kisyuName);
    j.shortName = TrimPadding(f.kisyuRyakusyo);
    return {};
}

JvOutcome ConvertJvHorse(const JvHorseFields& f, HorseRecord& h)
{
    h = HorseRecord();
    h.id = Trim(f.kettoNum);
    if (h.id.empty() || IsBlankOrZeros(h.id))
        return Bad("血統登録番号", f.kettoNum);
    h.name = TrimPadding(f.bamei);
    h.sex = SexFromCode(FirstChar(f.sexCD));
    std::string birth = Trim(f.birthDate);
    std::erase(birth, '-'); // a database's DATE may read 2019-04-01
    std::optional<int> b = NumberField(birth);
    if (!b)
        return Bad("生年月日", f.birthDate);
    h.birthYear = birth.size() >= 8 ? *b / 10000 : 0;
    return {};
}

} // namespace pado::sources
