#include "results.h"

#include <algorithm>
#include <numeric>
#include <set>

#include "tracks.h"

namespace makerace {

namespace {

int YearOf(int day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return y;
}

double GoingFactor(char32_t surface, char32_t going)
{
    static const char32_t goings[] = { U'良', U'稍', U'重', U'不' };
    static const double turf[] = { 1.0, 1.006, 1.013, 1.022 };
    static const double dirt[] = { 1.0, 0.996, 0.992, 0.990 };
    static const double jump[] = { 1.0, 1.01, 1.02, 1.03 };
    int k = 0;
    while (k < 3 && goings[k] != going)
        ++k;
    return surface == U'芝' ? turf[k] : surface == U'ダ' ? dirt[k] : jump[k];
}

double ClassFactor(const Race& r)
{
    switch (r.cls) {
    case Class::Debut:
        return 1.012;
    case Class::Maiden:
        return 1.009;
    case Class::Win1:
        return 1.006;
    case Class::Win2:
        return 1.004;
    case Class::Win3:
        return 1.002;
    case Class::Open:
        return r.grade ? 0.998 : 1.0;
    case Class::JumpMaiden:
        return 1.02;
    case Class::JumpOpen:
        return 1.0;
    }
    return 1.0;
}

// Numbers in passing order, written the way result tables do: commas for a length or so, hyphens
// and equals signs for wider gaps, parentheses for horses abreast, an asterisk for the inside one.
Text FormatOrder(Rng& rng, const std::vector<int>& nums)
{
    Text out;
    std::size_t i = 0;
    while (i < nums.size()) {
        if (i > 0) {
            double x = rng.Real();
            out += x < 0.68 ? U"," : x < 0.92 ? U"-" : U"=";
        }
        std::size_t left = nums.size() - i;
        if (left >= 2 && rng.Chance(0.22)) {
            std::size_t g = std::min<std::size_t>(left, rng.Int(2, 3));
            out += U"(";
            if (rng.Chance(0.35))
                out += U"*";
            for (std::size_t j = 0; j < g; ++j) {
                if (j)
                    out += U",";
                out += pado::ToText(nums[i + j]);
            }
            out += U")";
            i += g;
        } else {
            if (rng.Chance(0.1))
                out += U"*";
            out += pado::ToText(nums[i]);
            ++i;
        }
    }
    return out;
}

Text Weather(Rng& rng, char32_t going, int month)
{
    if (going == U'良')
        return rng.Chance(0.7) ? U"晴" : U"曇";
    if (going == U'稍')
        return rng.Chance(0.6) ? U"曇" : U"小雨";
    if ((month <= 2 || month == 12) && rng.Chance(0.3))
        return U"雪";
    return rng.Chance(0.6) ? U"雨" : U"小雨";
}

} // namespace

Text ClassWord(Class c)
{
    switch (c) {
    case Class::Debut:
        return U"新馬";
    case Class::Maiden:
        return U"未勝利";
    case Class::Win1:
        return U"1勝クラス";
    case Class::Win2:
        return U"2勝クラス";
    case Class::Win3:
        return U"3勝クラス";
    case Class::Open:
        return U"オープン";
    case Class::JumpMaiden:
        return U"障害未勝利";
    case Class::JumpOpen:
        return U"障害オープン";
    }
    return U"";
}

Text MarginText(int tenths, bool jump)
{
    if (jump)
        tenths /= 2;
    static const std::vector<std::pair<int, Text>> margins = { { 0, U"ハナ" }, { 1, U"クビ" }, { 2, U"1/2" },
        { 3, U"3/4" }, { 5, U"1" }, { 7, U"1 1/2" }, { 10, U"2" }, { 15, U"3" }, { 25, U"5" } };
    for (const auto& [upTo, text] : margins)
        if (tenths <= upTo)
            return text;
    return U"大差";
}

void MarkWinWanted(Race& race, int entrant)
{
    race.wantWin.push_back(entrant);
}

void RunRace(const World& world, Rng& rng, Race& r, const std::vector<Text>& others)
{
    const int field = std::max<int>(r.field, r.entrants.size());
    r.field = field;
    int year = YearOf(r.day);
    int month = 0, dd = 0;
    CivilFromDays(r.day, year, month, dd);
    bool jump = r.surface == U'障';

    std::set<int> riders;
    std::vector<Runner> runners;
    for (int e : r.entrants) {
        const Horse& h = world.horses[e];
        Runner x;
        x.entrant = e;
        x.name = h.name;
        x.sex = h.sex;
        x.age = year - h.birthYear;
        x.bodyWeight = h.bodyWeight + rng.Int(-8, 8) + std::min(x.age - 2, 3) * 4;
        x.score = (rng.Real() + rng.Real()) - h.ability * 0.2;
        x.wantsWin = std::find(r.wantWin.begin(), r.wantWin.end(), e) != r.wantWin.end();
        x.jockey = rng.Chance(0.65) && !riders.count(h.jockey) ? h.jockey : -1;
        if (x.jockey >= 0)
            riders.insert(x.jockey);
        runners.push_back(x);
    }
    std::vector<int> pool(others.size());
    std::iota(pool.begin(), pool.end(), 0);
    for (int k = static_cast<int>(runners.size()); k < field; ++k) {
        int pick = rng.Int(0, static_cast<int>(pool.size()) - 1);
        Runner x;
        x.jockey = -1;
        x.name = others[pool[pick]];
        pool.erase(pool.begin() + pick);
        double s = rng.Real();
        x.sex = s < 0.6 ? U'牡' : s < 0.9 ? U'牝' : U'セ';
        x.age = r.onlyAge ? r.minAge : std::min(9, r.minAge + rng.Int(0, jump ? 5 : 3));
        x.bodyWeight = rng.Int(420, 530);
        x.score = rng.Real() + rng.Real();
        runners.push_back(x);
    }
    int jockeys = static_cast<int>(world.jockeys.size());
    for (Runner& x : runners) {
        while (x.jockey < 0) {
            int j = rng.Int(0, jockeys - 1);
            if (riders.insert(j).second)
                x.jockey = j;
        }
    }
    std::stable_sort(runners.begin(), runners.end(), [](const Runner& a, const Runner& b) {
        if (a.wantsWin != b.wantsWin)
            return a.wantsWin;
        return a.score < b.score;
    });

    std::vector<int> numbers(field);
    std::iota(numbers.begin(), numbers.end(), 1);
    rng.Shuffle(numbers);
    std::vector<std::pair<double, int>> fancy;
    for (int i = 0; i < field; ++i) {
        Runner& x = runners[i];
        x.finish = i + 1;
        x.number = numbers[i];
        fancy.push_back({ x.score + rng.Real() * 0.8, i });
    }
    std::sort(fancy.begin(), fancy.end());
    for (int k = 0; k < field; ++k)
        runners[fancy[k].second].popularity = k + 1;

    int winner = static_cast<int>(BaseTenths(r.surface, r.distance) * GoingFactor(r.surface, r.going) * ClassFactor(r)
        * (1.0 + (rng.Real() - 0.5) * 0.01));
    int t = winner;
    int lastBase = jump ? 400 : r.surface == U'ダ' ? 372 : r.distance <= 1400 ? 340 : r.distance >= 2400 ? 352 : 346;
    for (int i = 0; i < field; ++i) {
        Runner& x = runners[i];
        if (i > 0) {
            int gap = rng.Chance(0.15) ? rng.Int(5, 10) : rng.Int(0, 4);
            t += jump ? gap * 3 : gap;
        }
        x.tenths = t;
        x.lastTenths = lastBase + rng.Int(-8, 12) + (i < 3 ? -5 : 0);
        double base = x.age == 2 ? 54 : x.age == 3 && r.onlyAge ? 56 : 57;
        if (x.sex == U'牝')
            base -= 2;
        if (jump)
            base = 60;
        x.carried = r.handicap ? 52 + rng.Int(0, 12) * 0.5 : base;
    }
    r.runners = runners;

    const int corners = jump ? 4 : r.distance <= 1400 ? 2 : r.distance <= 1800 ? rng.Int(2, 4) : 4;
    r.firstCorner = 5 - corners;
    std::vector<double> style(field);
    for (double& s : style)
        s = rng.Real();
    static const double pull[] = { 0, 0.1, 0.2, 0.45, 0.7 };
    r.cornerOrders.clear();
    for (int c = r.firstCorner; c <= 4; ++c) {
        std::vector<std::pair<double, int>> at;
        for (int i = 0; i < field; ++i) {
            double key = style[i] * (1 - pull[c]) + (static_cast<double>(i) / field) * pull[c] + rng.Real() * 0.15;
            at.push_back({ key, runners[i].number });
        }
        std::sort(at.begin(), at.end());
        std::vector<int> nums;
        for (auto& p : at)
            nums.push_back(p.second);
        r.cornerOrders.push_back(FormatOrder(rng, nums));
    }
    r.weather = Weather(rng, r.going, month);
    r.last3f = runners[0].lastTenths + rng.Int(0, 8);
    r.last4f = r.last3f + rng.Int(112, 126);
    r.meeting = 1 + (month - 1) * 5 / 12;
    r.meetingDay = (dd - 1) / 7 * 2 + (Weekday(r.day) == 6 ? 1 : 2);
}

} // namespace makerace
