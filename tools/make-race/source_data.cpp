#include "source_data.h"

#include <map>
#include <tuple>

#include "racefiles/corner_order.h"
#include "results.h"
#include "sources/venue_codes.h"
#include "tracks.h"

namespace makerace {

namespace {

using namespace pado::sources;
using pado::ToText;

Text Trimmed(const Text& name)
{
    Text t = name;
    while (!t.empty() && (t.back() == U' ' || t.back() == U'　'))
        t.pop_back();
    return t;
}

// "3歳以上 (国際)(指定) 定量": the age condition, the marks and the weight rule, as a race's conditions read.
Text Conditions(const Race& r)
{
    Text c = ToText(r.minAge) + (r.onlyAge ? U"歳" : U"歳以上");
    if (r.grade)
        c += U" (国際)(指定)";
    c += r.handicap ? U" ハンデ" : r.grade ? U" 定量" : r.onlyAge ? U" 馬齢" : U" 別定";
    return c;
}

RaceKey KeyOf(int day, const Text& venue, int number)
{
    RaceKey k;
    CivilFromDays(day, k.year, k.month, k.day);
    k.venue = VenueCode(venue);
    k.number = number;
    return k;
}

std::string JockeyId(int index)
{
    std::string s = std::to_string(1001 + index);
    return std::string(5 - s.size(), '0') + s;
}

Text FullName(const Text& cardText)
{
    Text out;
    for (char32_t c : cardText)
        if (c != U' ' && c != U'　' && c != U'▲' && c != U'△' && c != U'☆')
            out += c;
    return out;
}

} // namespace

// The winner's furlong times as data files list them, tenths, space separated: the last four agree with the
// race's last 4F and 3F, the earlier ones share the rest of the winner's time (a distance that is not a whole
// number of furlongs starts with its odd part, counted as a lap of its own). Empty when the race has no time.
Text Laps(const Race& r)
{
    const int count = (r.distance + 199) / 200;
    if (r.runners.empty() || count <= 4 || r.last4f <= r.last3f)
        return {};
    const int early = r.runners.front().tenths - r.last4f;
    const int before = count - 4;
    if (early < before * 100)
        return {};
    std::vector<int> laps(static_cast<std::size_t>(before), early / before);
    laps.front() += early % before;
    laps.push_back(r.last4f - r.last3f);
    laps.push_back(r.last3f / 3);
    laps.push_back(r.last3f / 3);
    laps.push_back(r.last3f - 2 * (r.last3f / 3));
    Text out;
    for (int lap : laps)
        out += (out.empty() ? U"" : U" ") + pado::ToText(lap);
    return out;
}

SourceData ToSourceData(const World& w)
{
    SourceData d;
    for (std::size_t j = 0; j < w.jockeys.size(); ++j)
        d.jockeys.push_back({ JockeyId(static_cast<int>(j)), w.jockeys[j].cardText, FullName(w.jockeys[j].cardText) });

    // The world reuses names for the horses outside today's field; a horse is its name, year of birth and sex,
    // so that a source that keeps sex and age only in its horse file (JRDB) finds each run's own.
    std::map<std::tuple<Text, int, char32_t>, std::string> horseIds;
    int serial = 0;
    auto horseId = [&](const Text& name, int birthYear, char32_t sex) {
        auto [it, fresh] = horseIds.insert({ { name, birthYear, sex }, std::string() });
        if (fresh) {
            std::string n = std::to_string(++serial);
            it->second = std::to_string(birthYear) + "1" + std::string(5 - n.size(), '0') + n;
            d.horses.push_back({ it->second, Trimmed(name), sex, birthYear });
        }
        return it->second;
    };
    for (const Horse& h : w.horses)
        horseId(h.name, h.birthYear, h.sex);

    for (const Race& r : w.races) {
        RaceRecord rr;
        rr.key = KeyOf(r.day, r.venue, r.number);
        rr.meeting = r.meeting;
        rr.meetingDay = r.meetingDay;
        rr.name = r.name;
        rr.classText = ClassWord(r.cls);
        rr.conditions = Conditions(r);
        rr.grade = r.grade;
        rr.surface = r.surface;
        rr.distance = r.distance;
        rr.direction = Direction(r.venue).front();
        rr.going = r.going;
        rr.weather = r.weather;
        rr.fieldSize = static_cast<int>(r.runners.size());
        for (std::size_t c = 0; c < r.cornerOrders.size(); ++c)
            rr.cornerOrders[r.firstCorner - 1 + c] = r.cornerOrders[c];
        rr.last3f = r.last3f;
        rr.last4f = r.last4f;
        rr.furlongTimes = Laps(r);
        rr.hasResult = true;
        d.races.push_back(rr);

        std::vector<std::vector<int>> positions;
        for (const Text& order : r.cornerOrders)
            positions.push_back(pado::racefiles::PositionsFromOrder(order));
        int prev = r.runners.front().tenths;
        for (const Runner& x : r.runners) {
            RunnerRecord rn;
            rn.race = rr.key;
            rn.number = x.number;
            rn.horseName = Trimmed(x.name);
            rn.horseId = horseId(x.name, rr.key.year - x.age, x.sex);
            rn.sex = x.sex;
            rn.age = x.age;
            rn.carriedTenths = static_cast<int>(x.carried * 10 + 0.5);
            rn.jockeyId = JockeyId(x.jockey);
            rn.jockeyName = w.jockeys[x.jockey].cardText;
            rn.finish = x.finish;
            rn.timeTenths = x.tenths;
            if (x.finish != 1)
                rn.margin = MarginText(x.tenths - prev, r.surface == U'障');
            prev = x.tenths;
            for (std::size_t c = 0; c < positions.size(); ++c) {
                const auto& p = positions[c];
                rn.corners[r.firstCorner - 1 + c] = x.number < static_cast<int>(p.size()) ? p[x.number] : 0;
            }
            rn.last3fTenths = x.lastTenths;
            if (x.finish == 1)
                rn.winOddsTenths = (110 + x.popularity * x.popularity * 90) / 10;
            rn.popularity = x.popularity;
            rn.bodyWeight = x.bodyWeight;
            d.runners.push_back(rn);
        }
    }

    // Today's race: the card, entrants numbered in card order.
    const pado::racefiles::CardHead head = TodaysRace();
    RaceRecord today;
    today.key = { head.year, head.month, head.day, VenueCode(head.venue), 11 };
    today.meeting = head.meeting;
    today.meetingDay = head.meetingDay;
    today.name = head.name + head.gradeMark;
    today.classText = U"オープン";
    today.conditions = U"3歳以上 " + head.marks + U" " + head.weightRule;
    today.grade = 1;
    today.surface = head.surface;
    today.distance = head.distance;
    today.direction = head.direction;
    today.startTime = head.startTime;
    today.fieldSize = static_cast<int>(w.horses.size());
    today.prizes = head.prizes;
    today.addedPrizes = head.addedPrizes;
    today.edition = head.edition;
    d.races.push_back(today);
    for (std::size_t i = 0; i < w.horses.size(); ++i) {
        const pado::racefiles::Entrant e = TodaysEntrant(w, static_cast<int>(i));
        const Horse& h = w.horses[i];
        RunnerRecord rn;
        rn.race = today.key;
        rn.number = static_cast<int>(i) + 1;
        rn.horseId = horseId(h.name, h.birthYear, h.sex);
        rn.horseName = Trimmed(h.name);
        rn.sex = e.sex;
        rn.age = e.age;
        rn.carriedTenths = e.carriedTenths;
        rn.jockeyId = JockeyId(h.jockey);
        rn.jockeyName = e.jockeyCardText;
        rn.mark = e.mark;
        d.runners.push_back(rn);
    }
    return d;
}

} // namespace makerace
