#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <tuple>

#include "model.h"
#include "names.h"
#include "results.h"
#include "rng.h"
#include "tracks.h"

namespace makerace {

namespace {

struct Plan {
    int target = 0;
    Class cls = Class::Open;
    char32_t surface = U'芝';
    bool wantsWin = false;
};

int YearOf(int day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return y;
}

int MonthOf(int day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return m;
}

int SnapToWeekend(int day)
{
    int w = Weekday(day); // 0 Sunday .. 6 Saturday
    if (w == 0 || w == 6)
        return day;
    return w <= 3 ? day - w : day + (6 - w);
}

int Rank(Class c)
{
    switch (c) {
    case Class::Debut:
        return 0;
    case Class::Maiden:
        return 1;
    case Class::Win1:
        return 2;
    case Class::Win2:
        return 3;
    case Class::Win3:
        return 4;
    case Class::Open:
        return 5;
    case Class::JumpMaiden:
        return 11;
    case Class::JumpOpen:
        return 12;
    }
    return 0;
}

bool IsJump(Class c)
{
    return c == Class::JumpMaiden || c == Class::JumpOpen;
}

Class FlatClassAt(int i, int n)
{
    if (i == 0)
        return Class::Debut;
    double f = n > 1 ? static_cast<double>(i) / (n - 1) : 1.0;
    if (f < 0.12)
        return Class::Maiden;
    if (f < 0.28)
        return Class::Win1;
    if (f < 0.42)
        return Class::Win2;
    if (f < 0.55)
        return Class::Win3;
    return Class::Open;
}

std::vector<Plan> PlanCareer(Rng& rng, Horse& h)
{
    int n = h.runCount;
    bool lateStart = rng.Chance(0.25);
    int debut = lateStart ? DaysFromCivil(h.birthYear + 3, rng.Int(1, 4), rng.Int(1, 28))
                          : DaysFromCivil(h.birthYear + 2, rng.Int(6, 11), rng.Int(1, 28));
    int end = DaysFromCivil(kRaceYear, 11, 29) - rng.Int(0, 20);
    constexpr int kGap = 21;
    if (end - debut < kGap * (n - 1))
        debut = std::max(DaysFromCivil(h.birthYear + 2, 6, 1), end - kGap * (n - 1));
    n = std::min(n, (end - debut) / kGap + 1);
    h.runCount = n;

    // Uneven gaps: a few long breaks between busy spells, as real careers go.
    std::vector<double> weights(std::max(n - 1, 0));
    double total = 0;
    for (double& w : weights) {
        double x = rng.Real();
        w = x * x * x + 0.05;
        total += w;
    }
    int slack = end - debut - kGap * (n - 1);
    std::vector<Plan> plans(n);
    double day = debut;
    int jumpFrom = h.kind == Horse::Kind::Jumper ? n / 2 : n + 1;
    int jumpTo = h.kind == Horse::Kind::Jumper ? n * 72 / 100 : n + 1;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            day += kGap + slack * weights[i - 1] / total;
        Plan& p = plans[i];
        p.target = SnapToWeekend(static_cast<int>(std::lround(day)));
        if (i >= jumpFrom && i < jumpTo) {
            p.cls = i == jumpFrom ? Class::JumpMaiden : Class::JumpOpen;
            p.surface = U'障';
            continue;
        }
        p.cls = i > jumpTo ? Class::Open : FlatClassAt(i, n);
        switch (h.kind) {
        case Horse::Kind::Dirt:
            p.surface = rng.Chance(0.92) ? U'ダ' : U'芝';
            break;
        default:
            p.surface = (i < n / 4 && Rank(p.cls) <= 2 && rng.Chance(0.3)) || rng.Chance(0.04) ? U'ダ' : U'芝';
            break;
        }
    }
    for (int i = 0; i + 1 < n; ++i) {
        Class a = plans[i].cls, b = plans[i + 1].cls;
        plans[i].wantsWin = a != Class::Debut && Rank(b) > Rank(a) && IsJump(a) == IsJump(b);
    }
    return plans;
}

struct Placer {
    World& w;
    Rng& rng;
    std::set<std::tuple<int, Text, int>> keys;

    // Named races come back at the same course in the same month, as fixtures do.
    static int Fixture(const Race& r)
    {
        int k = MonthOf(r.day) * 31 + r.distance / 100 + static_cast<int>(r.surface);
        for (char32_t c : r.venue)
            k = k * 7 + static_cast<int>(c);
        return k & 0x7fffffff;
    }

    int AgeAt(const Horse& h, int day) const { return YearOf(day) - h.birthYear; }

    bool Fits(const Horse& h, const Race& r) const
    {
        int a = AgeAt(h, r.day);
        return r.onlyAge ? a == r.minAge : a >= r.minAge;
    }

    int Find(const Horse& h, const Plan& p, int earliest, int latest) const
    {
        int best = -1;
        double bestScore = -1;
        for (int i = 0; i < static_cast<int>(w.races.size()); ++i) {
            const Race& r = w.races[i];
            if (std::abs(r.day - p.target) > 7 || r.day < earliest || r.day > latest)
                continue;
            if (r.surface != p.surface || Rank(r.cls) != Rank(p.cls) || !Fits(h, r))
                continue;
            if (static_cast<int>(r.entrants.size()) >= r.field)
                continue;
            double score = static_cast<double>(r.entrants.size()) + (r.feature ? 10 : 0);
            if (score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        return best;
    }

    int Number(int day, const Text& venue, int preferred)
    {
        for (int k = 0; k < 12; ++k) {
            int n = (preferred - 1 + k) % 12 + 1;
            if (keys.insert({ day, venue, n }).second)
                return n;
        }
        return 0; // twelve races that day already; the caller picks another venue
    }

    void SetConditions(Race& r, int age)
    {
        int month = MonthOf(r.day);
        if (IsJump(r.cls)) {
            r.minAge = month <= 5 ? 4 : 3;
        } else if (age == 2) {
            r.minAge = 2, r.onlyAge = true;
        } else if (age == 3 && month <= 5) {
            r.minAge = 3, r.onlyAge = true;
        } else {
            r.minAge = month <= 5 ? 4 : 3;
        }
    }

    int Create(const Horse& h, const Plan& p)
    {
        Race r;
        r.day = p.target;
        r.cls = p.cls;
        r.surface = p.surface;
        SetConditions(r, AgeAt(h, r.day));
        std::vector<Text> venues;
        for (const Text& v : VenuesInMonth(MonthOf(r.day)))
            if (!Distances(v, r.surface).empty())
                venues.push_back(v);
        if (venues.empty())
            venues = { U"中山", U"阪神" };
        rng.Shuffle(venues);

        if (r.cls == Class::Open && rng.Chance(0.4))
            r.grade = rng.Chance(0.25) ? 1 : rng.Chance(0.45) ? 2 : 3;
        if (r.cls == Class::JumpOpen && rng.Chance(0.3))
            r.grade = rng.Int(2, 3);
        int preferred = r.grade && !IsJump(r.cls) ? 11
            : IsJump(r.cls)                       ? rng.Int(4, 8)
            : Rank(r.cls) <= 1                    ? rng.Int(1, 5)
            : Rank(r.cls) == 5                    ? rng.Int(10, 11)
                                                  : rng.Int(5, 10);
        for (const Text& v : venues) {
            r.number = Number(r.day, v, preferred);
            if (r.number) {
                r.venue = v;
                break;
            }
        }
        const auto& ds = Distances(r.venue, r.surface);
        int want = r.surface == U'芝' ? h.preferredDistance + rng.Int(-500, 400)
            : r.surface == U'ダ'      ? std::min(h.preferredDistance, 1800) + rng.Int(-500, 300)
                                      : 3200;
        // Young and lower-class horses stay at sprint to middle distances.
        int longest = AgeAt(h, r.day) == 2 ? 2000 : Rank(r.cls) < 5 && !IsJump(r.cls) ? 2600 : 9999;
        r.distance = ds.front();
        for (int d : ds) {
            int gap = std::abs(d - want), bestGap = std::abs(r.distance - want);
            if (d <= longest && (gap < bestGap || (gap == bestGap && rng.Chance(0.5))))
                r.distance = d;
        }
        switch (r.cls) {
        case Class::Open:
            r.name = r.grade ? GradedName(r.grade, false, Fixture(r)) : OpenName(Fixture(r));
            break;
        case Class::JumpOpen:
            if (r.grade)
                r.name = GradedName(r.grade, true, Fixture(r));
            break;
        case Class::Win1:
            if (rng.Chance(0.5))
                r.name = SpecialName(Fixture(r) + r.number);
            break;
        case Class::Win2:
        case Class::Win3:
            r.name = SpecialName(Fixture(r) + r.number);
            r.handicap = rng.Chance(0.25);
            break;
        default:
            break;
        }
        double g = rng.Real();
        r.going = g < 0.66 ? U'良' : g < 0.82 ? U'稍' : g < 0.94 ? U'重' : U'不';
        r.field = IsJump(r.cls) ? rng.Int(8, 14) : Rank(r.cls) >= 4 ? rng.Int(12, 18) : rng.Int(8, 18);
        w.races.push_back(r);
        return static_cast<int>(w.races.size()) - 1;
    }

    // Earlier editions of today's race, for the entrants that were in open company at the time.
    void AddFeatureEditions()
    {
        for (int y = 2019; y <= kRaceYear - 1; ++y) {
            Race r;
            r.day = DaysFromCivil(y, 12, 22);
            while (Weekday(r.day) != 0)
                ++r.day;
            r.venue = U"中山";
            r.number = Number(r.day, r.venue, 11);
            r.distance = 2500;
            r.cls = Class::Open;
            r.grade = 1;
            r.name = U"冬星記念(ＧＩ)";
            r.field = 16;
            r.feature = true;
            r.going = y % 3 == 1 ? U'稍' : U'良';
            w.races.push_back(r);
        }
    }
};

// 回 and 日目 come from the month and the week, which can give two race days of one venue and year the same
// pair; data files that name a race by venue, year, 回, 日目 and number (and no date) rely on it being unique.
// A later day that would repeat an earlier day's pair takes the next free 回.
void NumberMeetings(World& w)
{
    std::vector<Race*> byDay;
    for (Race& r : w.races)
        byDay.push_back(&r);
    std::stable_sort(byDay.begin(), byDay.end(), [](const Race* a, const Race* b) { return a->day < b->day; });
    std::map<std::tuple<int, Text, int, int>, int> dayOf; // year, venue, 回, 日目 -> day
    std::map<std::pair<int, Text>, int> meetingOf; // day, venue -> 回 given
    for (Race* r : byDay) {
        auto given = meetingOf.find({ r->day, r->venue });
        if (given != meetingOf.end()) {
            r->meeting = given->second;
            continue;
        }
        int year, month, dayOfMonth;
        CivilFromDays(r->day, year, month, dayOfMonth);
        for (;;) {
            auto [it, fresh] = dayOf.emplace(std::make_tuple(year, r->venue, r->meeting, r->meetingDay), r->day);
            if (fresh || it->second == r->day)
                break;
            ++r->meeting;
        }
        meetingOf[{ r->day, r->venue }] = r->meeting;
    }
}

void Place(World& w, Rng& rng)
{
    Placer placer { w, rng, {} };
    placer.AddFeatureEditions();
    std::vector<std::vector<bool>> wins(w.horses.size());
    for (int hi = 0; hi < static_cast<int>(w.horses.size()); ++hi) {
        Horse& h = w.horses[hi];
        std::vector<Plan> plans = PlanCareer(rng, h);
        int prevDay = -100000;
        for (std::size_t i = 0; i < plans.size(); ++i) {
            const Plan& p = plans[i];
            int latest = i + 1 < plans.size() ? plans[i + 1].target - 14 : p.target + 7;
            int found = placer.Find(h, p, prevDay + 14, latest);
            double join = Rank(p.cls) == 5 ? 0.7 : Rank(p.cls) <= 1 ? 0.3 : 0.45;
            if (found >= 0 && !w.races[found].feature && !rng.Chance(join))
                found = -1;
            int ri = found >= 0 ? found : placer.Create(h, p);
            Race& r = w.races[ri];
            r.entrants.push_back(hi);
            h.races.push_back(ri);
            prevDay = r.day;
            wins[hi].push_back(p.wantsWin);
        }
    }

    // Only races an entrant ran in stay, in date order.
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(w.races.size()); ++i)
        if (!w.races[i].entrants.empty())
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Race &x = w.races[a], &y = w.races[b];
        return std::tie(x.day, x.venue, x.number) < std::tie(y.day, y.venue, y.number);
    });
    std::vector<int> newIndex(w.races.size(), -1);
    std::vector<Race> races;
    for (int i : order) {
        newIndex[i] = static_cast<int>(races.size());
        races.push_back(std::move(w.races[i]));
    }
    w.races = std::move(races);
    for (Horse& h : w.horses)
        for (int& ri : h.races)
            ri = newIndex[ri];
    for (int hi = 0; hi < static_cast<int>(w.horses.size()); ++hi)
        for (std::size_t i = 0; i < w.horses[hi].races.size(); ++i)
            if (wins[hi][i])
                MarkWinWanted(w.races[w.horses[hi].races[i]], hi);
}

} // namespace

World Simulate(const Options& options)
{
    World w;
    w.options = options;
    Rng rng(options.seed);
    w.jockeys = MakeJockeys();
    int n = std::clamp(options.entrants, 2, 18);
    std::vector<Text> names = MakeHorseNames(rng, n, true, {});
    rng.Shuffle(names);

    std::vector<int> riders(n);
    for (int i = 0; i < n; ++i)
        riders[i] = i;
    rng.Shuffle(riders);
    int busiest = rng.Int(0, n - 1);
    int dirtHorse = (busiest + 1 + rng.Int(0, n - 2)) % n;
    int jumper = (dirtHorse + 1) % n == busiest ? (dirtHorse + 2) % n : (dirtHorse + 1) % n;
    int minRuns = std::max(options.pastRuns + 1, options.runs * 3 / 8);
    for (int i = 0; i < n; ++i) {
        Horse h;
        h.name = names[i];
        double s = rng.Real();
        h.sex = s < 0.7 ? U'牡' : s < 0.88 ? U'牝' : U'セ';
        h.ability = 0.6 + rng.Real() * 0.8;
        h.jockey = riders[i];
        h.bodyWeight = rng.Int(430, 530);
        h.runCount = i == busiest ? options.runs : rng.Int(std::min(minRuns, options.runs), options.runs);
        h.kind = i == dirtHorse && n > 2 ? Horse::Kind::Dirt
            : i == jumper && n > 3       ? Horse::Kind::Jumper
                                         : Horse::Kind::Turf;
        static const std::vector<int> distances = { 1800, 2000, 2000, 2200, 2400, 2400, 2500, 3000 };
        h.preferredDistance = h.kind == Horse::Kind::Dirt ? 1800 : rng.Pick(distances);
        int years = (h.runCount + 8) / 9;
        int age = std::clamp(2 + years + rng.Int(0, 1), 3, 9);
        if (h.kind == Horse::Kind::Jumper)
            age = 9; // an old campaigner back from jumping
        h.birthYear = kRaceYear - age;
        w.horses.push_back(h);
    }
    Place(w, rng);
    std::vector<Text> others = MakeHorseNames(rng, 260, false, names);
    for (Race& r : w.races)
        RunRace(w, rng, r, others);
    NumberMeetings(w);
    return w;
}

RaceFiles GenerateRace(const Options& options)
{
    return Render(Simulate(options));
}

} // namespace makerace
