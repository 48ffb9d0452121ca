#include <algorithm>
#include <set>

#include "model.h"
#include "results.h"
#include "rng.h"
#include "tracks.h"

namespace makerace {

namespace {

using pado::ToText;
namespace rf = pado::racefiles;

Text RaceTail(const Race& r)
{
    Text tail = ClassWord(r.cls);
    if (r.handicap)
        tail += U" ハンデ";
    if (!r.name.empty())
        tail += U" " + r.name;
    return tail;
}

int RunnerIndexOf(const Race& r, int entrant)
{
    for (std::size_t i = 0; i < r.runners.size(); ++i)
        if (r.runners[i].entrant == entrant)
            return static_cast<int>(i);
    return 0;
}

Text ConditionText(const Race& r)
{
    Text age = ToText(r.minAge) + (r.onlyAge ? U"歳" : U"歳以上");
    if (r.surface == U'障')
        return U"障害" + age + (r.cls == Class::JumpMaiden ? U"未勝利" : U"オープン");
    return age + ClassWord(r.cls);
}

Text WeightRule(const Race& r)
{
    return r.handicap ? U"ハンデ" : r.grade ? U"定量" : r.onlyAge ? U"馬齢" : U"別定";
}

rf::PastRace ToPastRace(const World& w, const Race& r)
{
    rf::PastRace p;
    CivilFromDays(r.day, p.year, p.month, p.day);
    p.venue = r.venue;
    p.number = r.number;
    p.meeting = r.meeting;
    p.meetingDay = r.meetingDay;
    p.title = r.name.empty() ? ConditionText(r) : r.name;
    p.tail = RaceTail(r);
    p.conditions = ConditionText(r);
    p.marks = r.grade ? U"(国際)(指定)" : U"";
    p.weightRule = WeightRule(r);
    p.surface = r.surface;
    p.distance = r.distance;
    p.direction = Direction(r.venue).front();
    p.going = r.going;
    p.weather = r.weather;
    p.last4f = r.last4f;
    p.last3f = r.last3f;
    p.firstCorner = r.firstCorner;
    p.cornerOrders = r.cornerOrders;
    int prev = r.runners.front().tenths;
    for (const Runner& x : r.runners) {
        rf::RunnerRow row;
        row.number = x.number;
        row.finish = x.finish;
        row.name = x.name;
        row.sex = x.sex;
        row.age = x.age;
        row.carriedTenths = static_cast<int>(x.carried * 10 + 0.5);
        row.jockeyKey = w.jockeys[x.jockey].key;
        row.timeTenths = x.tenths;
        row.lastTenths = x.lastTenths;
        row.popularity = x.popularity;
        row.bodyWeight = x.bodyWeight;
        if (x.finish != 1)
            row.margin = MarginText(x.tenths - prev, r.surface == U'障');
        p.runners.push_back(row);
        prev = x.tenths;
    }
    const Runner& win = r.runners.front();
    p.winNumber = win.number;
    p.winPayout = 110 + win.popularity * win.popularity * 90;
    return p;
}

std::vector<rf::JockeyCounts> Kisyu(const World& w, Rng& rng)
{
    std::vector<rf::JockeyCounts> out;
    for (std::size_t j = 0; j < w.jockeys.size(); ++j) {
        const Jockey& jk = w.jockeys[j];
        bool east = j % 2 == 0;
        rf::JockeyCounts line;
        line.key = jk.key;
        const auto& venues = AllVenues();
        for (std::size_t k = 0; k < venues.size(); ++k) {
            const Text& v = venues[k];
            bool home = (v == U"東京" || v == U"中山" || v == U"福島" || v == U"新潟" || v == U"函館" || v == U"札幌")
                == east;
            int rides = jk.skill * (home ? rng.Int(14, 30) : rng.Int(0, 8));
            if (jk.key == U"如月　" && v == U"中山")
                rides = 0; // an apprentice of the other region who has not ridden here yet
            int wins = rides * (jk.skill + rng.Int(0, 3)) / 60;
            int seconds = rides * (jk.skill + rng.Int(0, 3)) / 70;
            int thirds = rides * (jk.skill + rng.Int(0, 3)) / 80;
            int outs = std::max(0, rides - wins - seconds - thirds);
            line.counts[k] = { wins, seconds, thirds, outs };
        }
        out.push_back(line);
    }
    return out;
}

} // namespace

rf::CardHead TodaysRace()
{
    rf::CardHead c;
    c.name = U"冬星記念";
    c.year = kRaceYear;
    c.month = 12;
    c.day = 27;
    c.meeting = 5;
    c.meetingDay = 8;
    c.venue = U"中山";
    c.edition = 71;
    c.gradeMark = U"(ＧＩ)";
    c.conditions = U"3歳以上オープン";
    c.distance = 2500;
    c.surface = U'芝';
    c.direction = U'右';
    c.marks = U"(国際)(指定)";
    c.weightRule = U"定量";
    c.prizes = U"30000 12000 7500 4500 3000";
    c.addedPrizes = U"651 186 93";
    c.startTime = 1525;
    return c;
}

rf::Entrant TodaysEntrant(const World& w, int index)
{
    const Horse& h = w.horses[index];
    rf::Entrant e;
    e.name = h.name;
    e.sex = h.sex;
    e.age = kRaceYear - h.birthYear;
    e.carriedTenths = ((e.age == 3 ? 56 : 58) - (h.sex == U'牝' ? 2 : 0)) * 10;
    // A few cards print only the import mark where sex, age and weight would stand.
    if (index % 7 == 3)
        e.mark = U"外";
    e.jockeyCardText = w.jockeys[h.jockey].cardText;
    return e;
}

rf::RaceFilesModel ToModel(const World& w)
{
    rf::RaceFilesModel m;
    m.pastRuns = w.options.pastRuns;
    m.head = TodaysRace();
    for (const Race& r : w.races)
        m.races.push_back(ToPastRace(w, r));
    std::set<int> listed;
    const std::size_t past = static_cast<std::size_t>(m.pastRuns);
    for (std::size_t hi = 0; hi < w.horses.size(); ++hi) {
        rf::Entrant e = TodaysEntrant(w, static_cast<int>(hi));
        const auto& rs = w.horses[hi].races;
        for (std::size_t i = 0; i < rs.size(); ++i) {
            e.runs.push_back({ rs[i], RunnerIndexOf(w.races[rs[i]], static_cast<int>(hi)) });
            if (i + past >= rs.size())
                listed.insert(rs[i]);
        }
        m.entrants.push_back(e);
    }
    // pado.txt: the races of the listed runs, then earlier races of the entrants, latest first, up to
    // one record per listed run, all in date order.
    std::vector<int> races(listed.begin(), listed.end());
    const std::size_t want = past * w.horses.size();
    for (int ri = static_cast<int>(w.races.size()) - 1; ri >= 0 && races.size() < want; --ri)
        if (!listed.count(ri))
            races.push_back(ri);
    std::sort(races.begin(), races.end());
    m.padoRaces = races;

    Rng rng(w.options.seed ^ 0x6B69737975ull);
    m.jockeys = Kisyu(w, rng);
    return m;
}

RaceFiles Render(const World& w)
{
    return rf::Render(ToModel(w));
}

} // namespace makerace
