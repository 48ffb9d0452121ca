#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "card.h"
#include "model.h"
#include "results.h"
#include "rng.h"
#include "tracks.h"

namespace makerace {

namespace {

using pado::ToText;

Text Zero2(int n)
{
    Text s = ToText(n);
    return s.size() < 2 ? U"0" + s : s;
}

Text Right(int n, std::size_t width)
{
    Text s = ToText(n);
    return s.size() < width ? Text(width - s.size(), U' ') + s : s;
}

Text Ascii(const char* s)
{
    return pado::FromUtf8(s);
}

// m.ss.f, always six characters for the times a race can take.
Text Time(int tenths)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%02d.%d", tenths / 600, tenths / 10 % 60, tenths % 10);
    return Ascii(buf);
}

Text Seconds(int tenths)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%d", tenths / 10, tenths % 10);
    return Ascii(buf);
}

Text Date6(int day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return Zero2(y % 100) + Zero2(m) + Zero2(d);
}

Text RaceTail(const Race& r)
{
    Text tail = ClassWord(r.cls);
    if (r.handicap)
        tail += U" ハンデ";
    if (!r.name.empty())
        tail += U" " + r.name;
    return tail;
}

const Runner& RunnerOf(const Race& r, int entrant)
{
    for (const Runner& x : r.runners)
        if (x.entrant == entrant)
            return x;
    return r.runners.front();
}

// The fixed-column run line of one entrant in one race.
Text RunLine(const World& w, const Race& r, int entrant)
{
    const Runner& x = RunnerOf(r, entrant);
    Text l = Date6(r.day) + U" " + r.venue + U" " + Zero2(r.number) + U" ";
    l += Text(1, r.surface) + ToText(r.distance) + U"m " + Text(1, r.going) + U" ";
    l += Zero2(x.number) + U" " + Zero2(x.finish) + U" " + Time(x.tenths) + U" " + Seconds(x.lastTenths) + U" ";
    l += Zero2(x.popularity) + U" " + ToText(x.bodyWeight) + U" " + x.name + Text(1, x.sex) + ToText(x.age) + U" ";
    l += w.jockeys[x.jockey].key + U" " + RaceTail(r);
    return l;
}

Text GoingWord(char32_t g)
{
    return g == U'良' ? U"良" : g == U'稍' ? U"稍重" : g == U'重' ? U"重" : U"不良";
}

Text ConditionText(const Race& r)
{
    Text age = ToText(r.minAge) + (r.onlyAge ? U"歳" : U"歳以上");
    if (r.surface == U'障')
        return U"障害" + age + (r.cls == Class::JumpMaiden ? U"未勝利" : U"オープン");
    return age + ClassWord(r.cls);
}

Lines RaceRecord(const World& w, const Race& r)
{
    Lines b;
    Text title = ToText(r.meeting) + U"回" + r.venue + ToText(r.meetingDay) + U"日　" + ToText(r.number) + U"R　";
    title += r.name.empty() ? ConditionText(r) : r.name;
    b.push_back(title);
    Text weightRule = r.handicap ? U"ハンデ" : r.grade ? U"定量" : r.onlyAge ? U"馬齢" : U"別定";
    Text surfaceWord = r.surface == U'芝' ? U"芝" : r.surface == U'ダ' ? U"ダート" : U"障害・芝";
    b.push_back(ConditionText(r) + U"　" + (r.grade ? U"(国際)(指定)　" : U"") + weightRule + U"　" + ToText(r.distance)
        + U"ｍ（" + surfaceWord + U"・" + Direction(r.venue) + U"）");
    b.push_back(U"天候：" + r.weather + U"　" + (r.surface == U'ダ' ? U"ダート" : U"芝") + U"：" + GoingWord(r.going));
    b.push_back(U"上り　4F " + Seconds(r.last4f) + U"　3F " + Seconds(r.last3f));
    b.push_back(U"コーナー通過順位");
    for (std::size_t i = 0; i < r.cornerOrders.size(); ++i)
        b.push_back(ToText(r.firstCorner + static_cast<int>(i)) + U"コーナー  " + r.cornerOrders[i]);
    b.push_back(U"着 馬 馬名　　　　 性齢 斤量 騎手 タイム 着差 上り 人気 馬体重");
    int prev = r.runners.front().tenths;
    for (const Runner& x : r.runners) {
        char kg[16];
        std::snprintf(kg, sizeof kg, "%4.1f", x.carried);
        Text l = Right(x.finish, 2) + U" " + Right(x.number, 2) + U" " + x.name + U" " + Text(1, x.sex) + ToText(x.age);
        l += U" " + Ascii(kg) + U"kg " + w.jockeys[x.jockey].key + U"  " + Time(x.tenths);
        l += U" " + (x.finish == 1 ? Text() : MarginText(x.tenths - prev, r.surface == U'障') + U" ");
        l += Seconds(x.lastTenths) + U" " + Right(x.popularity, 2) + U" " + ToText(x.bodyWeight);
        b.push_back(l);
        prev = x.tenths;
    }
    b.push_back(U"---");
    const Runner& win = r.runners.front();
    b.push_back(U"単勝　" + ToText(win.number) + U"　" + ToText(110 + win.popularity * win.popularity * 90) + U"円");
    return b;
}

Lines Pado(const World& w, const std::vector<int>& races)
{
    // The readers find a key's body under the 30th header after the key's own once the file holds more
    // than 30 races, so the bodies are written 30 records further on to keep every key leading to its race.
    const int h = static_cast<int>(races.size());
    Lines out;
    for (int j = 0; j < h; ++j) {
        const Race& key = w.races[races[j]];
        out.push_back(U"◎" + Date6(key.day) + key.venue + Zero2(key.number));
        const Race& body = w.races[races[h > 30 ? ((j - 30) % h + h) % h : j]];
        for (const Text& l : RaceRecord(w, body))
            out.push_back(l);
    }
    return out;
}

Lines Kisyu(const World& w, Rng& rng)
{
    Lines out;
    for (std::size_t j = 0; j < w.jockeys.size(); ++j) {
        const Jockey& jk = w.jockeys[j];
        bool east = j % 2 == 0;
        Text line = jk.key + U"   ";
        for (const Text& v : AllVenues()) {
            bool home = (v == U"東京" || v == U"中山" || v == U"福島" || v == U"新潟" || v == U"函館" || v == U"札幌")
                == east;
            int rides = jk.skill * (home ? rng.Int(14, 30) : rng.Int(0, 8));
            if (jk.key == U"如月　" && v == U"中山")
                rides = 0; // an apprentice of the other region who has not ridden here yet
            int wins = rides * (jk.skill + rng.Int(0, 3)) / 60;
            int seconds = rides * (jk.skill + rng.Int(0, 3)) / 70;
            int thirds = rides * (jk.skill + rng.Int(0, 3)) / 80;
            int outs = std::max(0, rides - wins - seconds - thirds);
            line += Right(wins, 3) + Right(seconds, 3) + Right(thirds, 3) + Right(outs, 3) + U"   ";
        }
        out.push_back(line);
    }
    return out;
}

} // namespace

RaceFiles Render(const World& w)
{
    RaceFiles f;
    const int past = w.options.pastRuns;
    // Rall.txt: every run of every entrant, horses in card order, each oldest first.
    std::vector<std::vector<Text>> lines(w.horses.size());
    for (std::size_t hi = 0; hi < w.horses.size(); ++hi)
        for (int ri : w.horses[hi].races)
            lines[hi].push_back(RunLine(w, w.races[ri], static_cast<int>(hi)));
    for (const auto& hl : lines)
        f.rall.insert(f.rall.end(), hl.begin(), hl.end());

    f.r1 = CardHead(w);
    Lines recent, cut;
    std::set<int> listed;
    for (std::size_t hi = 0; hi < w.horses.size(); ++hi) {
        const auto& rs = w.horses[hi].races;
        for (std::size_t i = rs.size() > static_cast<std::size_t>(past) ? rs.size() - past : 0; i < rs.size(); ++i) {
            recent.push_back(lines[hi][i]);
            cut.push_back(pado::Left(lines[hi][i], 62));
            listed.insert(rs[i]);
        }
    }
    f.r1.push_back(U"日付　 場 Ｒ 距離　 馬 番 着 タイム 上り 人 体重 馬名　　　性齢 騎手 条件");
    f.r1.insert(f.r1.end(), recent.begin(), recent.end());
    f.r1.push_back(U"◆-◆-◆ 近走成績 ◆-◆-◆");
    f.r1.push_back(U"日付　 場 Ｒ 距離　 馬 番 着 タイム 上り 人 体重 馬名　　　性齢 騎手");
    f.r1.insert(f.r1.end(), cut.begin(), cut.end());
    f.r1.push_back(U"◆-◆-◆ 距離＆タイム順 ◆-◆-◆");
    Lines byTime = f.rall;
    std::stable_sort(byTime.begin(), byTime.end(), [](const Text& a, const Text& b) {
        return std::make_pair(pado::Cols(a, 15, 18), pado::Cols(a, 29, 34))
            < std::make_pair(pado::Cols(b, 15, 18), pado::Cols(b, 29, 34));
    });
    f.r1.insert(f.r1.end(), byTime.begin(), byTime.end());

    // pado.txt: the races of the listed runs, then earlier races of the entrants, latest first, up to
    // one record per listed run, all in date order.
    std::vector<int> races(listed.begin(), listed.end());
    const std::size_t want = static_cast<std::size_t>(past) * w.horses.size();
    for (int ri = static_cast<int>(w.races.size()) - 1; ri >= 0 && races.size() < want; --ri)
        if (!listed.count(ri))
            races.push_back(ri);
    std::sort(races.begin(), races.end());
    f.pado = Pado(w, races);

    Rng rng(w.options.seed ^ 0x6B69737975ull);
    f.kisyu = Kisyu(w, rng);
    return f;
}

} // namespace makerace
