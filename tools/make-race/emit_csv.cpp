#include <fstream>
#include <map>

#include "emit.h"
#include "emit_records.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "racefiles/render.h"
#include "sources/venue_codes.h"

namespace makerace {

namespace {

using namespace pado::sources;
using pado::Text;
using pado::ToText;

Text Quoted(const Text& field)
{
    if (field.find_first_of(U",\"\n") == Text::npos)
        return field;
    return U"\"" + pado::ReplaceAll(field, U"\"", U"\"\"") + U"\"";
}

Text Row(const std::vector<Text>& fields)
{
    Text row;
    for (std::size_t i = 0; i < fields.size(); ++i)
        row += (i ? U"," : U"") + Quoted(fields[i]);
    return row;
}

Text Num(int n)
{
    return n ? ToText(n) : Text();
}

Text Tenths(int n)
{
    return n ? pado::racefiles::Seconds(n) : Text();
}

Text Kilograms(int tenths)
{
    return tenths % 10 ? Tenths(tenths) : ToText(tenths / 10);
}

Text Date(const RaceKey& k)
{
    return ToText(k.year) + U"-" + pado::racefiles::Zero2(k.month) + U"-" + pado::racefiles::Zero2(k.day);
}

Text Time(int tenths)
{
    if (!tenths)
        return U"";
    Text t = pado::racefiles::RaceTime(tenths); // m.ss.f
    return t.substr(0, t.find(U'.')) + U":" + t.substr(t.find(U'.') + 1);
}

Text Passing(const RunnerRecord& x)
{
    Text out;
    for (int c : x.corners)
        if (c)
            out += (out.empty() ? U"" : U"-") + ToText(c);
    return out;
}

Text Course(const RaceRecord& r)
{
    return Text(1, r.surface) + ToText(r.distance);
}

// Laps in seconds joined by "-", as result pages print them.
Text LapSeconds(const Text& tenths)
{
    Text out;
    for (int t : Numbers(tenths))
        out += (out.empty() ? U"" : U"-") + Tenths(t);
    return out;
}

void Write(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw pado::UserError(U"cannot write " + pado::FromUtf8(file.string()));
}

} // namespace

// results.csv (UTF-8 with a byte order mark): one row per runner of every race with a result, race columns
// repeated; card.csv (CP932): the race that has no result yet, its race row and then its entrants.
void EmitCsv(const SourceData& data, const std::filesystem::path& dir)
{
    std::filesystem::create_directories(dir);
    std::map<long long, const RaceRecord*> races;
    auto id = [](const RaceKey& k) {
        return ((k.year * 100LL + k.month) * 100 + k.day) * 10000 + k.venue * 100 + k.number;
    };
    for (const RaceRecord& r : data.races)
        races[id(r.key)] = &r;

    std::string results = "\xEF\xBB\xBF";
    results
        += pado::ToUtf8(U"日付,場,回,日,R,レース名,クラス,条件,距離,回り,天候,馬場,上り4F,上り3F,コーナー通過順1,"
                        U"コーナー通過順2,コーナー通過順3,コーナー通過順4,着順,枠番,馬番,馬名,性齢,斤量,騎手,タイム,"
                        U"着差,通過,上り,単勝,人気,馬体重,ラップ")
        + "\r\n";
    std::vector<Text> card;
    const RaceRecord* today = nullptr;
    for (const RunnerRecord& x : data.runners) {
        const RaceRecord& r = *races.at(id(x.race));
        if (!r.hasResult) {
            today = &r;
            card.push_back(Row({ ToText(x.number), x.horseName, Text(1, x.sex) + ToText(x.age),
                Kilograms(x.carriedTenths), x.jockeyName, x.mark }));
            continue;
        }
        std::vector<Text> f = { Date(r.key), VenueName(r.key.venue), Num(r.meeting), Num(r.meetingDay),
            ToText(r.key.number), r.name, r.classText, r.conditions, Course(r), Text(1, r.direction), r.weather,
            pado::racefiles::GoingWord(r.going), Tenths(r.last4f), Tenths(r.last3f) };
        for (const Text& c : r.cornerOrders)
            f.push_back(c);
        f.insert(f.end(),
            { Num(x.finish), Num(x.frame), ToText(x.number), x.horseName, Text(1, x.sex) + ToText(x.age),
                Tenths(x.carriedTenths), x.jockeyName, Time(x.timeTenths), x.margin, Passing(x), Tenths(x.last3fTenths),
                Tenths(x.winOddsTenths), Num(x.popularity), Num(x.bodyWeight), LapSeconds(r.furlongTimes) });
        results += pado::ToUtf8(Row(f)) + "\r\n";
    }
    Write(dir / "results.csv", results);

    if (today) {
        const RaceRecord& r = *today;
        Text start
            = r.startTime >= 0 ? ToText(r.startTime / 100) + U":" + pado::racefiles::Zero2(r.startTime % 100) : U"";
        pado::Lines lines = { U"日付,場,R,レース名,距離,回,日,クラス,条件,回り,発走,本賞金,付加賞金,回次",
            Row({ Date(r.key), VenueName(r.key.venue), ToText(r.key.number), r.name, Course(r), Num(r.meeting),
                Num(r.meetingDay), r.classText, r.conditions, Text(1, r.direction), start, r.prizes, r.addedPrizes,
                Num(r.edition) }),
            U"馬番,馬名,性齢,斤量,騎手,記号" };
        lines.insert(lines.end(), card.begin(), card.end());
        Write(dir / "card.csv", pado::EncodeTextLines(lines));
    }
}

} // namespace makerace
