#include "racefiles/render.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado::racefiles {

namespace {

Text RightAligned(int n, std::size_t width)
{
    Text s = ToText(n);
    return s.size() < width ? Text(width - s.size(), U' ') + s : s;
}

Text PadLeft(const Text& s, std::size_t width, char32_t fill = U' ')
{
    return s.size() < width ? Text(width - s.size(), fill) + s : s;
}

Text Ascii(const char* s)
{
    return FromUtf8(s);
}

Text Date6(int year, int month, int day)
{
    return Zero2(year % 100) + Zero2(month) + Zero2(day);
}

Text Kilograms(int tenths)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d.%d", tenths / 10, tenths % 10);
    return Ascii(buf);
}

} // namespace

const std::vector<Text>& JockeyFileVenues()
{
    static const std::vector<Text> venues
        = { U"京都", U"阪神", U"中京", U"小倉", U"東京", U"中山", U"福島", U"新潟", U"函館", U"札幌" };
    return venues;
}

Text Zero2(int n)
{
    Text s = ToText(n);
    return s.size() < 2 ? U"0" + s : s;
}

// m.ss.f, always six characters for the times a race can take.
Text RaceTime(int tenths)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d.%d", tenths / 600, tenths / 10 % 60, tenths % 10);
    return Ascii(buf);
}

Text Seconds(int tenths)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d", tenths / 10, tenths % 10);
    return Ascii(buf);
}

Text AgeText(int age)
{
    return age > 0 ? ToText(age) : Text(1, kUnknownSexOrAge);
}

Text GoingWord(char32_t g)
{
    return g == U'良' ? U"良" : g == U'稍' ? U"稍重" : g == U'重' ? U"重" : U"不良";
}

Text RunLine(const PastRace& r, const RunnerRow& x)
{
    Text l = Date6(r.year, r.month, r.day) + U" " + r.venue + U" " + Zero2(r.number) + U" ";
    l += Text(1, r.surface) + ToText(r.distance) + U"m " + Text(1, r.going) + U" ";
    // Every field keeps its width, so the columns the readers take stay in place whatever a source lacked.
    l += Zero2(x.number) + U" " + (x.finishWord.empty() ? Zero2(x.finish) : x.finishWord) + U" "
        + RaceTime(x.timeTenths) + U" " + PadLeft(Seconds(x.lastTenths), 4) + U" ";
    l += Zero2(x.popularity) + U" " + PadLeft(ToText(x.bodyWeight), 3, U'0') + U" " + x.name + Text(1, x.sex)
        + AgeText(x.age) + U" ";
    l += x.jockeyKey + U" " + r.tail;
    return l;
}

Text PadoKey(const PastRace& r)
{
    return U"◎" + Date6(r.year, r.month, r.day) + r.venue + Zero2(r.number);
}

Lines ResultRecord(const PastRace& r)
{
    Lines b;
    b.push_back(
        ToText(r.meeting) + U"回" + r.venue + ToText(r.meetingDay) + U"日　" + ToText(r.number) + U"R　" + r.title);
    Text surfaceWord = r.surface == U'芝' ? U"芝" : r.surface == U'ダ' ? U"ダート" : U"障害・芝";
    b.push_back(r.conditions + U"　" + (r.marks.empty() ? Text() : r.marks + U"　") + r.weightRule + U"　"
        + ToText(r.distance) + U"ｍ（" + surfaceWord + U"・" + Text(1, r.direction) + U"）");
    b.push_back(U"天候：" + r.weather + U"　" + (r.surface == U'ダ' ? U"ダート" : U"芝") + U"：" + GoingWord(r.going));
    b.push_back(U"上り　4F " + Seconds(r.last4f) + U"　3F " + Seconds(r.last3f));
    b.push_back(U"コーナー通過順位");
    for (std::size_t i = 0; i < r.cornerOrders.size(); ++i)
        b.push_back(ToText(r.firstCorner + static_cast<int>(i)) + U"コーナー  " + r.cornerOrders[i]);
    b.push_back(U"着 馬 馬名　　　　 性齢 斤量 騎手 タイム 着差 上り 人気 馬体重");
    for (const RunnerRow& x : r.runners) {
        Text l = (x.finishWord.empty() ? RightAligned(x.finish, 2) : x.finishWord) + U" " + RightAligned(x.number, 2)
            + U" " + x.name + U" " + Text(1, x.sex) + AgeText(x.age);
        l += U" " + Kilograms(x.carriedTenths) + U"kg " + x.jockeyKey + U"  " + RaceTime(x.timeTenths);
        l += U" " + (x.margin.empty() ? Text() : x.margin + U" ");
        l += Seconds(x.lastTenths) + U" " + RightAligned(x.popularity, 2) + U" " + ToText(x.bodyWeight);
        b.push_back(l);
    }
    b.push_back(U"---");
    if (r.winPayout > 0)
        b.push_back(U"単勝　" + ToText(r.winNumber) + U"　" + ToText(r.winPayout) + U"円");
    // Horses that did not start stand after the end line, where no reader takes them for runners.
    for (const NonRunner& n : r.nonRunners)
        b.push_back(n.word + U" " + RightAligned(n.number, 2) + U" " + n.name);
    return b;
}

Lines PadoFile(const std::vector<const PastRace*>& races)
{
    // The readers find a key's body under the 30th header after the key's own once the file holds more
    // than 30 races, so the bodies are written 30 records further on to keep every key leading to its race.
    const int h = static_cast<int>(races.size());
    Lines out;
    for (int j = 0; j < h; ++j) {
        out.push_back(PadoKey(*races[j]));
        for (const Text& l : ResultRecord(*races[h > 30 ? ((j - 30) % h + h) % h : j]))
            out.push_back(l);
    }
    return out;
}

Lines CardHeadLines(const CardHead& c, const std::vector<Entrant>& entrants)
{
    static const Text weekdays = U"日月火水木金土";
    Lines out;
    out.push_back(c.name);
    out.push_back(ToText(c.year) + U"年" + ToText(c.month) + U"月" + ToText(c.day) + U"日（"
        + Text(1, weekdays[WeekdayOf(c.year, c.month, c.day)]) + U"）　" + ToText(c.meeting) + U"回" + c.venue
        + ToText(c.meetingDay) + U"日目");
    Text surface = c.surface == U'障' ? Text(U"障害・芝") : Text(1, c.surface);
    out.push_back((c.edition > 0 ? U"第" + ToText(c.edition) + U"回 " : Text()) + c.name + c.gradeMark + U"  "
        + c.conditions + U"  " + ToText(c.distance) + U"m・" + surface + U"・" + Text(1, c.direction) + U"  "
        + (c.marks.empty() ? Text() : c.marks + U" ") + c.weightRule);
    if (!c.prizes.empty())
        out.push_back(U"本 賞 金  " + c.prizes + U"万円");
    if (!c.addedPrizes.empty())
        out.push_back(U"付加賞金  " + c.addedPrizes + U"万円");
    if (c.startTime >= 0)
        out.push_back(U" 発走 " + ToText(c.startTime / 100) + U":" + Zero2(c.startTime % 100));
    out.push_back(U"");
    for (const Entrant& e : entrants) {
        Text weight = e.carriedTenths % 10 ? Kilograms(e.carriedTenths) : ToText(e.carriedTenths / 10);
        Text text = !e.mark.empty() ? e.name + U"(" + e.mark + U")"
                                    : e.name + Text(1, e.sex) + AgeText(e.age) + U"(" + weight + U")";
        out.push_back(text + e.jockeyCardText);
    }
    out.push_back(U"＝＝＝＝＝＝＝＝＝＝＝＝");
    out.push_back(U"");
    return out;
}

Text JockeyLine(const JockeyCounts& j)
{
    Text line = j.key + U"   ";
    for (const auto& venue : j.counts) {
        for (int n : venue)
            line += RightAligned(std::clamp(n, 0, 999), 3);
        line += U"   ";
    }
    return line;
}

RaceFiles Render(const RaceFilesModel& m)
{
    RaceFiles f;
    const std::size_t past = static_cast<std::size_t>(std::max(m.pastRuns, 0));
    // Rall.txt: every run of every entrant, horses in card order, each oldest first.
    std::vector<Lines> lines(m.entrants.size());
    for (std::size_t e = 0; e < m.entrants.size(); ++e)
        for (auto [race, runner] : m.entrants[e].runs)
            lines[e].push_back(RunLine(m.races[race], m.races[race].runners[runner]));
    for (const Lines& hl : lines)
        f.rall.insert(f.rall.end(), hl.begin(), hl.end());

    f.r1 = CardHeadLines(m.head, m.entrants);
    Lines recent, cut;
    for (const Lines& hl : lines)
        for (std::size_t i = hl.size() > past ? hl.size() - past : 0; i < hl.size(); ++i) {
            recent.push_back(hl[i]);
            cut.push_back(Left(hl[i], 62));
        }
    f.r1.push_back(U"日付　 場 Ｒ 距離　 馬 番 着 タイム 上り 人 体重 馬名　　　性齢 騎手 条件");
    f.r1.insert(f.r1.end(), recent.begin(), recent.end());
    f.r1.push_back(U"◆-◆-◆ 近走成績 ◆-◆-◆");
    f.r1.push_back(U"日付　 場 Ｒ 距離　 馬 番 着 タイム 上り 人 体重 馬名　　　性齢 騎手");
    f.r1.insert(f.r1.end(), cut.begin(), cut.end());
    f.r1.push_back(U"◆-◆-◆ 距離＆タイム順 ◆-◆-◆");
    Lines byTime = f.rall;
    std::stable_sort(byTime.begin(), byTime.end(), [](const Text& a, const Text& b) {
        return std::make_pair(Cols(a, 15, 18), Cols(a, 29, 34)) < std::make_pair(Cols(b, 15, 18), Cols(b, 29, 34));
    });
    f.r1.insert(f.r1.end(), byTime.begin(), byTime.end());

    std::vector<const PastRace*> pado;
    for (int ri : m.padoRaces)
        pado.push_back(&m.races[ri]);
    f.pado = PadoFile(pado);
    for (const JockeyCounts& j : m.jockeys)
        f.kisyu.push_back(JockeyLine(j));
    return f;
}

void WriteRaceFiles(const RaceFiles& f, const std::string& folder, bool durable)
{
    const std::pair<const char*, const Lines*> parts[] = { { files::kRaceCard, &f.r1 }, { files::kPastRuns, &f.rall },
        { files::kRaceResults, &f.pado }, { files::kJockeys, &f.kisyu } };
    std::string bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = EncodeTextLines(*parts[i].second);
    for (int i = 0; i < 4; ++i) {
        const std::string path = fs::Join(folder, parts[i].first);
        if (!fs::WriteBytesAtomic(path, bytes[i], durable ? fs::WriteKind::Durable : fs::WriteKind::Work))
            throw UserError(U"ファイル(" + FromUtf8(path) + U")に書き込めません。");
    }
}

} // namespace pado::racefiles
