#include "store/race_builder.h"

#include <algorithm>
#include <unordered_map>

#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "racefiles/corner_order.h"
#include "sources/venue_codes.h"

namespace pado::store {

using namespace pado::sources;
namespace rf = pado::racefiles;

namespace {

std::string Hex(char32_t c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(c));
    return buf;
}

std::string Where(const RaceKey& k)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d ", k.year, k.month, k.day);
    return buf + ToUtf8(VenueName(k.venue)) + std::to_string(k.number) + "R";
}

bool IsJump(const RaceRecord& r)
{
    return r.surface == U'障' || StartsWith(r.classText, U"障害");
}

// The trailing grade mark of a race name such as "(ＧＩＩ)" or "(ＪＧＩ)", empty when none.
Text GradeMarkIn(const Text& name)
{
    if (name.empty() || name.back() != U')')
        return U"";
    std::size_t open = name.rfind(U'(');
    if (open == Text::npos)
        return U"";
    Text mark = name.substr(open);
    return mark.find(U'Ｇ') != Text::npos || mark.find(U'G') != Text::npos ? mark : Text();
}

Text GradeMark(int grade, bool jump)
{
    if (grade < 1 || grade > 3)
        return U"";
    return U"(" + Text(jump ? U"Ｊ" : U"") + U"Ｇ" + Text(static_cast<std::size_t>(grade), U'Ｉ') + U")";
}

// The conditions text split into its age condition, marks such as (国際)(指定) and weight rule.
struct Conditions {
    Text age, marks, weightRule;
};

Conditions SplitConditions(const Text& text)
{
    Conditions c;
    for (const Text& token : SplitAt(ReplaceAll(text, U"　", U" "), U' ')) {
        if (token.empty())
            continue;
        if (token == U"定量" || token == U"別定" || token == U"馬齢" || token == U"ハンデ")
            c.weightRule = token;
        else if (token.front() == U'(' || token.front() == U'[')
            c.marks += token;
        else if (token.find(U'歳') != Text::npos)
            c.age = token;
    }
    return c;
}

class Builder {
public:
    Builder(MorningView& view, const RaceKey& key, const BuildOptions& options)
        : view_(view)
        , key_(key)
        , options_(options)
    {
    }

    BuiltRace Build()
    {
        bool withheld = false;
        std::optional<RaceRecord> race = view_.Race(key_, &withheld);
        if (!race)
            throw UserError(U"レース(" + FromUtf8(Where(key_)) + U")はレースデータにありません。");
        BuiltRace out;
        out.key = key_;
        out.model.pastRuns = options_.pastRuns;
        out.model.head = Head(*race);
        out.folderName = out.model.head.name;
        if (withheld)
            Note("当日の結果は使わず出馬表として作成", Where(key_));

        std::vector<RunnerRecord> entrants = WithHorseFacts(view_.Runners(key_), *race);
        if (entrants.empty())
            throw UserError(U"レース(" + FromUtf8(Where(key_)) + U")の出走馬がレースデータにありません。");
        std::vector<int> padoRaces;
        for (const RunnerRecord& e : entrants) {
            rf::Entrant entrant = EntrantOf(e);
            for (const StoredRun& run : view_.RunsBefore(e.horseId, e.horseName)) {
                if (run.runner.abnormal == Abnormal::Scratched || run.runner.abnormal == Abnormal::Excluded)
                    continue; // it did not run: no run line
                int index = PastRaceIndex(run.race);
                if (index < 0)
                    continue;
                const rf::PastRace& p = races_[index];
                auto it = std::find_if(p.runners.begin(), p.runners.end(),
                    [&](const rf::RunnerRow& x) { return x.number == run.runner.number; });
                if (it == p.runners.end())
                    continue;
                entrant.runs.push_back({ index, static_cast<int>(it - p.runners.begin()) });
                padoRaces.push_back(index);
            }
            if (entrant.runs.empty())
                Note("過去の出走がない馬", ToUtf8(TrimSpaces(entrant.name)));
            out.model.entrants.push_back(entrant);
        }
        // pado.txt: every race an entrant ran in, in date order (the races were loaded in any order).
        std::sort(padoRaces.begin(), padoRaces.end());
        padoRaces.erase(std::unique(padoRaces.begin(), padoRaces.end()), padoRaces.end());
        std::sort(padoRaces.begin(), padoRaces.end(), [&](int a, int b) { return raceIds_[a] < raceIds_[b]; });
        out.model.padoRaces = padoRaces;
        out.model.races = std::move(races_);
        out.model.jockeys = Jockeys(out.model.entrants);
        out.files = rf::Render(out.model);
        for (Lines* lines : { &out.files.r1, &out.files.rall, &out.files.pado, &out.files.kisyu })
            ReplaceUnencodable(*lines);
        out.report = std::move(report_);
        return out;
    }

    // The result tables of these races, one record each, in the order given.
    Lines ResultTables(const std::vector<RaceKey>& keys, BuildReport& report)
    {
        std::vector<const rf::PastRace*> tables;
        std::vector<int> indexes;
        for (const RaceKey& k : keys) {
            int i = PastRaceIndex(k);
            if (i >= 0)
                indexes.push_back(i);
        }
        for (int i : indexes)
            tables.push_back(&races_[i]);
        Lines out = rf::PadoFile(tables);
        report = std::move(report_);
        return out;
    }

private:
    void Note(const std::string& what, const std::string& where) { report_.Note(what, where); }

    // Race names, jockeys and conditions may hold characters the files cannot: each becomes "？", noted. A
    // control character (a line break in a horse's name) would split or garble a line, and goes the same way.
    Text Cp932Safe(const Text& line)
    {
        auto bad = [](char32_t c) { return c < 0x20 || c == 0x7F || EncodeCp932(Text(1, c)).unencodable; };
        if (std::none_of(line.begin(), line.end(), bad))
            return line;
        Text out;
        for (char32_t c : line) {
            if (bad(c)) {
                if (c < 0x20 || c == 0x7F)
                    Note("制御文字を？に置換", "U+" + Hex(c));
                else
                    Note("CP932 にない文字を？に置換", ToUtf8(Text(1, c)));
                out += U'？';
            } else {
                out += c;
            }
        }
        return out;
    }

    void ReplaceUnencodable(Lines& lines)
    {
        for (Text& l : lines)
            l = Cp932Safe(l);
    }

    rf::CardHead Head(const RaceRecord& r)
    {
        rf::CardHead c;
        const Text mark = GradeMarkIn(r.name);
        c.name = r.name.substr(0, r.name.size() - mark.size());
        c.gradeMark = !mark.empty() ? mark : GradeMark(r.grade, IsJump(r));
        if (c.name.empty())
            c.name = VenueName(r.key.venue) + ToText(r.key.number) + U"R";
        // The name is also the race folder's name, and the workspace's once the race is transferred.
        std::string why;
        Text safe = RaceFolderName(c.name, why);
        if (safe.empty()) {
            safe = FromUtf8(RaceIdText(r.key));
            Note("レース名がフォルダー名に使えないため、レースIDをレース名・フォルダー名に使用", Where(r.key));
        } else if (!why.empty()) {
            Note("レース名をフォルダー名に使えるよう変更 (" + why + ")", Where(r.key));
        }
        c.name = safe;
        c.year = r.key.year;
        c.month = r.key.month;
        c.day = r.key.day;
        c.meeting = r.meeting;
        c.meetingDay = r.meetingDay;
        if (!r.meeting || !r.meetingDay)
            Note("開催回・日目が不明 (0 と記入)", Where(r.key));
        c.venue = VenueName(r.key.venue);
        c.edition = r.edition;
        Conditions cond = SplitConditions(r.conditions);
        c.conditions = ConditionText(r, cond);
        c.distance = r.distance;
        c.surface = Surface(r);
        c.direction = Direction(r);
        c.marks = cond.marks;
        c.weightRule = WeightRule(r, cond);
        c.prizes = r.prizes;
        c.addedPrizes = r.addedPrizes;
        c.startTime = r.startTime;
        if (r.prizes.empty())
            Note("本賞金が不明 (行を省略)", Where(r.key));
        if (r.startTime < 0)
            Note("発走時刻が不明 (行を省略)", Where(r.key));
        if (!r.distance)
            Note("距離が不明 (0 と記入)", Where(r.key));
        return c;
    }

    char32_t Surface(const RaceRecord& r)
    {
        if (r.surface)
            return r.surface;
        Note("芝・ダートが不明 (芝と記入)", Where(r.key));
        return U'芝';
    }

    char32_t Direction(const RaceRecord& r)
    {
        if (r.direction)
            return r.direction;
        Note("回りが不明 (－と記入)", Where(r.key));
        return U'－';
    }

    Text ConditionText(const RaceRecord& r, const Conditions& cond)
    {
        Text cls = r.classText;
        if (cls.empty()) {
            Note("クラスが不明 (一般と記入)", Where(r.key));
            cls = U"一般";
        }
        if (cond.age.empty())
            Note("年齢条件が不明", Where(r.key));
        if (IsJump(r))
            return U"障害" + cond.age + (StartsWith(cls, U"障害") ? cls.substr(2) : cls);
        return cond.age + cls;
    }

    Text WeightRule(const RaceRecord& r, const Conditions& cond)
    {
        if (!cond.weightRule.empty())
            return cond.weightRule;
        Note("重量種別が不明 (－と記入)", Where(r.key));
        return U"－";
    }

    Text Shaped(const Text& name)
    {
        std::string note;
        Text nine = NineCharacterName(name, note);
        if (!note.empty())
            Note(note, ToUtf8(name));
        return nine;
    }

    Text JockeyCardText(const RunnerRecord& x)
    {
        Text name = x.jockeyName;
        if (name.empty() && !x.jockeyId.empty())
            if (auto j = view_.Jockey(x.jockeyId))
                name = !j->shortName.empty() ? j->shortName : j->fullName;
        return name;
    }

    // A source whose runner lines carry no sex or age (JRDB's results) has them in its horse file: sex as
    // registered, age counted as JRA counts it, by the calendar year of the race from the year of birth. What is
    // still unknown comes from the race's conditions where they leave one answer (a fillies' race: 牝; a race
    // for one age only: that age); otherwise the filler stands there, never a guessed sex.
    std::vector<RunnerRecord> WithHorseFacts(std::vector<RunnerRecord> runners, const RaceRecord& race)
    {
        const RaceKey& key = race.key;
        for (RunnerRecord& x : runners) {
            if ((x.sex && x.age) || x.horseId.empty())
                continue;
            const std::string horseKey = x.horseId + "@" + std::to_string(key.Id());
            auto h = horses_.find(horseKey);
            if (h == horses_.end())
                h = horses_.emplace(horseKey, view_.Horse(x.horseId, key)).first;
            if (!h->second)
                continue;
            if (!x.sex && h->second->sex) {
                x.sex = h->second->sex;
                Note("性別を馬の登録情報から補完", Where(key) + " " + ToUtf8(x.horseName));
            }
            if (!x.age && h->second->birthYear > 0 && key.year > h->second->birthYear) {
                x.age = key.year - h->second->birthYear;
                Note("馬齢を馬の生年から算出", Where(key) + " " + ToUtf8(x.horseName));
            }
        }
        const bool fillies = FilliesOnly(race);
        const int onlyAge = OnlyAge(race);
        for (RunnerRecord& x : runners) {
            const std::string who = Where(key) + " " + ToUtf8(x.horseName);
            if (!x.sex && fillies) {
                x.sex = U'牝';
                Note("性別が不明、牝馬限定戦のため牝と記入", who);
            } else if (!x.sex) {
                x.sex = rf::kUnknownSexOrAge;
                Note("性別が不明 (－と記入)", who);
            }
            if (!x.age && onlyAge) {
                x.age = onlyAge;
                Note("馬齢が不明、" + std::to_string(onlyAge) + "歳限定戦のため " + std::to_string(onlyAge) + " と記入",
                    who);
            } else if (!x.age) {
                Note("馬齢が不明 (－と記入)", who);
            }
        }
        return runners;
    }

    // A race for fillies and mares carries the mark (牝) among its conditions; (牡・牝) and the like admit both.
    static bool FilliesOnly(const RaceRecord& r)
    {
        return SplitConditions(r.conditions).marks.find(U"(牝)") != Text::npos;
    }

    // The one age a race is for ("2歳", "3歳"), 0 when it admits several ("3歳以上") or says nothing.
    static int OnlyAge(const RaceRecord& r)
    {
        const Text age = SplitConditions(r.conditions).age;
        if (age.empty() || age.find(U'上') != Text::npos || age.find(U'～') != Text::npos)
            return 0;
        const std::size_t at = age.find(U'歳');
        if (at == 0 || at == Text::npos)
            return 0;
        const char32_t d = age[at - 1];
        const char32_t digit = d >= U'０' && d <= U'９' ? d - U'０' + U'0' : d;
        return digit >= U'2' && digit <= U'9' ? static_cast<int>(digit - U'0') : 0;
    }

    rf::Entrant EntrantOf(const RunnerRecord& x)
    {
        rf::Entrant e;
        e.name = Shaped(x.horseName);
        e.sex = x.sex ? x.sex : rf::kUnknownSexOrAge;
        e.age = x.age;
        e.carriedTenths = x.carriedTenths;
        e.mark = x.mark;
        e.jockeyCardText = JockeyCardText(x);
        if (!x.carriedTenths && x.mark.empty())
            Note("出走馬の斤量が不明 (0 と記入)", ToUtf8(x.horseName));
        if (e.jockeyCardText.empty())
            Note("出走馬の騎手が不明", ToUtf8(x.horseName));
        return e;
    }

    // The past race as its result table shows it, loaded once however many entrants ran in it; -1 when the
    // store holds no result for it.
    int PastRaceIndex(const RaceKey& key)
    {
        const long long id = RaceId(key);
        auto found = index_.find(id);
        if (found != index_.end())
            return found->second;
        int index = -1;
        std::optional<RaceRecord> race = view_.Race(key);
        if (race && race->hasResult) {
            races_.push_back(PastRaceOf(*race, WithHorseFacts(view_.Runners(key), *race)));
            raceIds_.push_back(id);
            index = static_cast<int>(races_.size()) - 1;
        } else {
            Note("結果のないレース (省略)", Where(key));
        }
        index_.emplace(id, index);
        return index;
    }

    rf::PastRace PastRaceOf(const RaceRecord& r, std::vector<RunnerRecord> runners)
    {
        const std::string where = Where(r.key);
        rf::PastRace p;
        p.year = r.key.year;
        p.month = r.key.month;
        p.day = r.key.day;
        p.venue = VenueName(r.key.venue);
        p.number = r.key.number;
        p.meeting = r.meeting;
        p.meetingDay = r.meetingDay;
        if (!r.meeting || !r.meetingDay)
            Note("開催回・日目が不明 (0 と記入)", where);
        Conditions cond = SplitConditions(r.conditions);
        p.conditions = ConditionText(r, cond);
        const Text mark = GradeMarkIn(r.name);
        const Text name = r.name.empty() || !mark.empty() ? r.name : r.name + GradeMark(r.grade, IsJump(r));
        p.title = name.empty() ? p.conditions : name;
        p.tail = r.classText.empty() ? Text(U"一般") : r.classText;
        if (cond.weightRule == U"ハンデ")
            p.tail += U" ハンデ";
        if (!name.empty())
            p.tail += U" " + name;
        p.marks = cond.marks;
        p.weightRule = WeightRule(r, cond);
        p.surface = Surface(r);
        p.distance = r.distance;
        if (!r.distance)
            Note("距離が不明 (0 と記入)", where);
        p.direction = Direction(r);
        p.going = r.going;
        if (!r.going) {
            Note("馬場状態が不明 (良と記入)", where);
            p.going = U'良';
        }
        p.weather = r.weather;
        if (r.weather.empty()) {
            Note("天候が不明 (－と記入)", where);
            p.weather = U"－";
        }
        Closing(r, p);
        Corners(r, runners, p);

        // Finishers by placing, then the runners without one; horses that did not start follow the table.
        std::stable_sort(runners.begin(), runners.end(), [](const RunnerRecord& a, const RunnerRecord& b) {
            auto rank = [](const RunnerRecord& x) { return x.finish > 0 ? x.finish : 100; };
            return rank(a) < rank(b);
        });
        for (const RunnerRecord& x : runners) {
            if (x.abnormal == Abnormal::Scratched || x.abnormal == Abnormal::Excluded) {
                p.nonRunners.push_back(
                    { x.abnormal == Abnormal::Scratched ? U"取消" : U"除外", x.number, Shaped(x.horseName) });
                continue;
            }
            p.runners.push_back(RowOf(r, x));
            if (x.finish == 1 && x.winOddsTenths > 0 && !p.winPayout) {
                p.winNumber = x.number;
                p.winPayout = x.winOddsTenths * 10;
            }
        }
        return p;
    }

    void Closing(const RaceRecord& r, rf::PastRace& p)
    {
        p.last3f = r.last3f;
        p.last4f = r.last4f;
        if (p.last3f && p.last4f)
            return;
        std::vector<int> laps;
        for (const Text& t : SplitAt(TrimSpaces(r.furlongTimes), U' '))
            if (!t.empty())
                laps.push_back(static_cast<int>(LeadingInt(t)));
        auto sumLast = [&](std::size_t n) {
            int s = 0;
            for (std::size_t i = laps.size() - n; i < laps.size(); ++i)
                s += laps[i];
            return s;
        };
        if (laps.size() >= 4) {
            if (!p.last4f)
                p.last4f = sumLast(4);
            if (!p.last3f)
                p.last3f = sumLast(3);
            Note("上り4F・3Fをラップから算出", Where(r.key));
        } else {
            Note("上り4F・3Fが不明 (0.0 と記入)", Where(r.key));
        }
    }

    // A race with an official passing order (any corner) shows exactly those lines: the runners' own positions
    // exist for corners the official text leaves out (中山 ダ1200 lists corners 3 and 4) and must not add a line.
    // Only a race without any official text gets lines made from the positions, and the report lists it.
    void Corners(const RaceRecord& r, const std::vector<RunnerRecord>& runners, rf::PastRace& p)
    {
        Text orders[4];
        const bool official = std::any_of(
            std::begin(r.cornerOrders), std::end(r.cornerOrders), [](const Text& t) { return !TrimSpaces(t).empty(); });
        bool derived = false;
        for (int c = 0; c < 4; ++c) {
            if (official) {
                orders[c] = TrimSpaces(r.cornerOrders[c]);
                continue;
            }
            std::vector<std::pair<int, int>> positions;
            for (const RunnerRecord& x : runners)
                positions.push_back({ x.number, x.corners[c] });
            orders[c] = rf::OrderFromPositions(positions);
            derived = derived || !orders[c].empty();
        }
        int first = 0;
        while (first < 4 && orders[first].empty())
            ++first;
        if (first >= 4)
            Note("コーナー通過順が不明 (空欄)", Where(r.key));
        else if (derived)
            Note("公式のコーナー通過順がないため各馬の通過順位から作成", Where(r.key));
        // The readers need two corner lines at least; a race passing one corner only has corner 3 blank.
        first = std::min(first, 2);
        p.firstCorner = first + 1;
        for (int c = first; c < 4; ++c)
            p.cornerOrders.push_back(orders[c]);
    }

    rf::RunnerRow RowOf(const RaceRecord& r, const RunnerRecord& x)
    {
        rf::RunnerRow row;
        row.number = x.number;
        row.finish = x.finish;
        row.name = Shaped(x.horseName);
        row.sex = x.sex ? x.sex : rf::kUnknownSexOrAge;
        row.age = x.age;
        row.carriedTenths = x.carriedTenths;
        row.jockeyKey = JockeyKeyOf(JockeyCardText(x));
        row.timeTenths = x.timeTenths;
        row.lastTenths = x.last3fTenths;
        row.popularity = x.popularity;
        row.bodyWeight = x.bodyWeight;
        row.margin = x.finish == 1 ? Text() : x.margin;
        if (x.finish == 0) {
            // Without a placing the row keeps its width: the word in the placing, the slowest time.
            row.finishWord = x.abnormal == Abnormal::Disqualified ? U"失格" : U"中止";
            if (!row.timeTenths)
                row.timeTenths = 5999;
            if (!row.lastTenths)
                row.lastTenths = 999;
            Note(ToUtf8(row.finishWord) + " の馬 (着順の欄に記入)", Where(r.key) + " " + ToUtf8(x.horseName));
        } else {
            if (x.abnormal == Abnormal::Demoted)
                Note("降着の馬 (降着後の着順で記入)", Where(r.key) + " " + ToUtf8(x.horseName));
            if (!row.timeTenths) {
                row.timeTenths = 5999;
                Note("走破タイムが不明 (9.59.9 と記入)", Where(r.key) + " " + ToUtf8(x.horseName));
            }
            if (!row.lastTenths)
                Note("上りが不明 (0.0 と記入)", Where(r.key));
            if (x.finish > 1 && x.margin.empty())
                Note("着差が不明 (空欄)", Where(r.key));
        }
        if (!x.bodyWeight)
            Note("馬体重が不明 (000 と記入)", Where(r.key));
        if (row.jockeyKey.empty()) {
            row.jockeyKey = U"－－－";
            Note("騎手が不明 (－－－と記入)", Where(r.key));
        }
        return row;
    }

    // Every jockey of today's card, then every other with rides in the window, with their placings per venue.
    std::vector<rf::JockeyCounts> Jockeys(const std::vector<rf::Entrant>& entrants)
    {
        int from = 0, to = 0;
        const std::vector<JockeyTally> tallies = view_.JockeyTallies(options_.jockeyDays, from, to);
        std::vector<rf::JockeyCounts> out;
        std::unordered_map<Text, std::size_t> byKey;
        auto slot = [&](const Text& key) -> rf::JockeyCounts& {
            auto [it, fresh] = byKey.emplace(key, out.size());
            if (fresh)
                out.push_back({ key, {} });
            return out[it->second];
        };
        for (const rf::Entrant& e : entrants)
            if (!e.jockeyCardText.empty())
                slot(JockeyKeyOf(e.jockeyCardText));
        const auto& venues = rf::JockeyFileVenues();
        for (const JockeyTally& t : tallies) {
            Text name = t.jockeyName;
            if (name.empty())
                continue;
            const Text venue = VenueName(t.venue);
            auto v = std::find(venues.begin(), venues.end(), venue);
            if (v == venues.end())
                continue;
            rf::JockeyCounts& j = slot(JockeyKeyOf(name));
            for (int i = 0; i < 4; ++i)
                j.counts[v - venues.begin()][i] += t.counts[i];
        }
        Note("騎手成績は当日より前の " + std::to_string(options_.jockeyDays) + " 日間の結果から集計",
            std::to_string(from) + "〜" + std::to_string(to));
        return out;
    }

    MorningView& view_;
    RaceKey key_;
    BuildOptions options_;
    BuildReport report_;
    std::vector<rf::PastRace> races_;
    std::vector<long long> raceIds_;
    std::unordered_map<long long, int> index_;
    // registration number @ race id -> the horse as known on that race's day
    std::unordered_map<std::string, std::optional<HorseRecord>> horses_;
};

} // namespace

void BuildReport::Note(const std::string& what, const std::string& where)
{
    auto& list = notes[what];
    if (std::find(list.begin(), list.end(), where) == list.end())
        list.push_back(where);
}

std::vector<std::string> BuildReport::Lines() const
{
    std::vector<std::string> out;
    for (const auto& [what, where] : notes) {
        std::string line = what + ": " + std::to_string(where.size()) + "件 (";
        for (std::size_t i = 0; i < where.size() && i < 5; ++i)
            line += (i ? ", " : "") + where[i];
        out.push_back(line + (where.size() > 5 ? ", …)" : ")"));
    }
    return out;
}

BuiltRace BuildRace(MorningView& view, const RaceKey& race, const BuildOptions& options)
{
    if (view.Date() != race.Date())
        throw UserError(FromUtf8("レース " + race.Text() + " はその日の朝の時点でしか作れません。"));
    return Builder(view, race, options).Build();
}

BuiltRace BuildRace(RaceStore& store, const RaceKey& race, const BuildOptions& options)
{
    MorningView view(store, race.Date());
    return BuildRace(view, race, options);
}

Lines BuildResultTables(RaceStore& store, const std::vector<RaceKey>& races, BuildReport& report)
{
    // Every stored result, each with its horses as known on its own day.
    MorningView view(store, 99991231);
    return Builder(view, races.empty() ? RaceKey {} : races.front(), {}).ResultTables(races, report);
}

} // namespace pado::store
