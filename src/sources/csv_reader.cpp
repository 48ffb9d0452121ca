#include <algorithm>
#include <fstream>
#include <map>
#include <set>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "sources/csv_fields.h"
#include "sources/source_reader.h"
#include "sources/venue_codes.h"

namespace pado::sources {

namespace {

using namespace csv;

enum class Col {
    RaceId,
    Date,
    Venue,
    Meeting,
    Day,
    Number,
    RaceName,
    Class,
    Conditions,
    Surface,
    Distance,
    Direction,
    Weather,
    Going,
    Last4f,
    Last3f,
    Laps,
    Order1,
    Order2,
    Order3,
    Order4,
    StartTime,
    Prizes,
    AddedPrizes,
    Edition,
    Finish,
    Frame,
    HorseNumber,
    HorseName,
    HorseId,
    SexAge,
    Sex,
    Age,
    Carried,
    Jockey,
    JockeyId,
    Time,
    Margin,
    Passing,
    Corner1,
    Corner2,
    Corner3,
    Corner4,
    RunnerLast3f,
    Odds,
    Popularity,
    BodyWeight,
    WeightChange,
    Mark,
};

// Header names as the common tables and data sets spell them. "1コーナー".."4コーナー" are a runner's positions
// in a file of runners and the race's order texts in a corner file; the reader sorts that out per file.
const std::map<Text, Col>& Names()
{
    static const std::map<Text, Col> names = {
        { U"レースID", Col::RaceId },
        { U"race_id", Col::RaceId },
        { U"日付", Col::Date },
        { U"レース日付", Col::Date },
        { U"開催日", Col::Date },
        { U"年月日", Col::Date },
        { U"場", Col::Venue },
        { U"場名", Col::Venue },
        { U"競馬場", Col::Venue },
        { U"競馬場名", Col::Venue },
        { U"開催", Col::Venue },
        { U"回", Col::Meeting },
        { U"開催回数", Col::Meeting },
        { U"開催回", Col::Meeting },
        { U"日", Col::Day },
        { U"日目", Col::Day },
        { U"開催日数", Col::Day },
        { U"開催日目", Col::Day },
        { U"R", Col::Number },
        { U"Ｒ", Col::Number },
        { U"レース", Col::Number },
        { U"レース番号", Col::Number },
        { U"ラウンド", Col::Number },
        { U"レース名", Col::RaceName },
        { U"競走名", Col::RaceName },
        { U"クラス", Col::Class },
        { U"クラス名", Col::Class },
        { U"条件", Col::Conditions },
        { U"競走条件", Col::Conditions },
        { U"芝ダ", Col::Surface },
        { U"芝・ダート", Col::Surface },
        { U"芝・ダート区分", Col::Surface },
        { U"コース", Col::Surface },
        { U"トラック", Col::Surface },
        { U"距離", Col::Distance },
        { U"距離(m)", Col::Distance },
        { U"回り", Col::Direction },
        { U"右左", Col::Direction },
        { U"天候", Col::Weather },
        { U"天気", Col::Weather },
        { U"馬場", Col::Going },
        { U"馬場状態", Col::Going },
        { U"上り4F", Col::Last4f },
        { U"上り3F", Col::Last3f },
        { U"ラップ", Col::Laps },
        { U"コーナー通過順1", Col::Order1 },
        { U"コーナー通過順2", Col::Order2 },
        { U"コーナー通過順3", Col::Order3 },
        { U"コーナー通過順4", Col::Order4 },
        { U"発走", Col::StartTime },
        { U"発走時刻", Col::StartTime },
        { U"本賞金", Col::Prizes },
        { U"賞金", Col::Prizes },
        { U"付加賞金", Col::AddedPrizes },
        { U"回次", Col::Edition },
        { U"着順", Col::Finish },
        { U"着", Col::Finish },
        { U"枠番", Col::Frame },
        { U"枠", Col::Frame },
        { U"馬番", Col::HorseNumber },
        { U"馬名", Col::HorseName },
        { U"馬ID", Col::HorseId },
        { U"血統登録番号", Col::HorseId },
        { U"性齢", Col::SexAge },
        { U"性", Col::Sex },
        { U"性別", Col::Sex },
        { U"年齢", Col::Age },
        { U"馬齢", Col::Age },
        { U"斤量", Col::Carried },
        { U"負担重量", Col::Carried },
        { U"騎手", Col::Jockey },
        { U"騎手名", Col::Jockey },
        { U"騎手ID", Col::JockeyId },
        { U"騎手コード", Col::JockeyId },
        { U"タイム", Col::Time },
        { U"走破タイム", Col::Time },
        { U"着差", Col::Margin },
        { U"通過", Col::Passing },
        { U"通過順", Col::Passing },
        { U"1コーナー", Col::Corner1 },
        { U"2コーナー", Col::Corner2 },
        { U"3コーナー", Col::Corner3 },
        { U"4コーナー", Col::Corner4 },
        { U"上り", Col::RunnerLast3f },
        { U"上がり", Col::RunnerLast3f },
        { U"上り3F(馬)", Col::RunnerLast3f },
        { U"単勝", Col::Odds },
        { U"単勝オッズ", Col::Odds },
        { U"オッズ", Col::Odds },
        { U"人気", Col::Popularity },
        { U"単勝人気", Col::Popularity },
        { U"馬体重", Col::BodyWeight },
        { U"場体重増減", Col::WeightChange },
        { U"馬体重増減", Col::WeightChange },
        { U"増減", Col::WeightChange },
        { U"記号", Col::Mark },
        { U"馬記号", Col::Mark },
        { U"走破時間", Col::Time },
        { U"競争条件", Col::Conditions },
        { U"芝・ダ", Col::Surface },
        { U"コーナー通過順", Col::Passing },
        { U"体重", Col::BodyWeight },
        { U"体重増減", Col::WeightChange },
    };
    return names;
}

std::map<Col, std::size_t> MapHeader(const std::vector<Text>& cells)
{
    std::map<Col, std::size_t> cols;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        Text name = cells[i];
        if (!name.empty() && name[0] == U'\uFEFF')
            name.erase(0, 1);
        name = Normalize(name);
        auto it = Names().find(name);
        if (it != Names().end())
            cols.emplace(it->second, i);
    }
    return cols;
}

bool ValidUtf8(std::string_view s, bool allowCutEnd)
{
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (!n)
            return false;
        if (i + n > s.size())
            return allowCutEnd;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// A line of the file as text: UTF-8 when the file's head is UTF-8, CP932 otherwise.
std::optional<Text> DecodeLine(const std::string& bytes, bool utf8)
{
    if (utf8)
        return ValidUtf8(bytes, false) ? std::optional<Text>(FromUtf8(bytes)) : std::nullopt;
    return DecodeCp932(bytes);
}

// The header line decides the encoding: its column names are Japanese, and CP932 Japanese is almost never valid
// UTF-8. A stray bad byte further down then spoils its own line only.
Text FirstLine(std::string_view head, bool& utf8)
{
    const bool bom = head.substr(0, 3) == "\xEF\xBB\xBF";
    if (bom)
        head.remove_prefix(3);
    std::size_t end = head.find('\n');
    std::string_view line = head.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const bool ascii
        = std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    utf8 = bom || (ascii ? ValidUtf8(head, true) : ValidUtf8(line, false));
    std::optional<Text> t = utf8 ? std::optional<Text>(FromUtf8(line)) : DecodeCp932(line);
    return t ? *t : Text();
}

// "12.0 11.0 11.5" or "12.0-11.0-11.5" (seconds) as the store keeps laps: tenths, space separated.
Text LapTenths(const Text& field)
{
    Text out, lap;
    for (char32_t c : Normalize(field) + U" ") {
        if (c == U' ' || c == U'-' || c == U',' || c == U'　') {
            if (int t = ParseTenths(lap); t > 0)
                out += (out.empty() ? U"" : U" ") + ToText(t);
            lap.clear();
        } else {
            lap += c;
        }
    }
    return out;
}

enum class FileKind { Runners, Card, Corners, Unknown };

FileKind KindOf(const std::map<Col, std::size_t>& cols)
{
    if (cols.count(Col::HorseName) || (cols.count(Col::HorseNumber) && cols.count(Col::Finish)))
        return FileKind::Runners;
    if (cols.count(Col::RaceId) && (cols.count(Col::Corner1) || cols.count(Col::Corner4)))
        return FileKind::Corners;
    if ((cols.count(Col::Date) || cols.count(Col::RaceId)) && (cols.count(Col::RaceName) || cols.count(Col::Number)))
        return FileKind::Card;
    return FileKind::Unknown;
}

class Reader {
public:
    Reader(const std::filesystem::path& file, RecordSink& sink)
        : sink_(sink)
        , name_(file.string())
    {
    }

    void Header(const std::vector<Text>& cells)
    {
        cols_ = MapHeader(cells);
        width_ = cells.size();
        index_.assign(static_cast<std::size_t>(Col::Mark) + 1, -1);
        for (auto [c, i] : cols_)
            index_[static_cast<std::size_t>(c)] = static_cast<long>(i);
    }
    FileKind Kind() const { return KindOf(cols_); }

    // The race columns of a row; false (and reported) when the row names no race that can be placed.
    bool RaceOf(const std::vector<Text>& row, long line, RaceRecord& r)
    {
        if (Has(Col::RaceId))
            ParseRaceId(Cell(row, Col::RaceId), r.key, r.meeting, r.meetingDay);
        if (Has(Col::Date) && !ParseDate(Cell(row, Col::Date), r.key.year, r.key.month, r.key.day)) {
            sink_.Malformed(name_, line, "日付が読めません");
            return false;
        }
        if (Has(Col::Venue)) {
            Text v = Cell(row, Col::Venue);
            int code = VenueCode(v);
            if (!code) {
                long n = static_cast<long>(LeadingNumberOf(v));
                code = n >= 1 && n <= 10 ? static_cast<int>(n) : 0;
            }
            r.key.venue = code;
            // "5回中山8日" carries 回 and 日目 too.
            if (v.find(U'回') != Text::npos && v.find(U'日') != Text::npos) {
                r.meeting = static_cast<int>(LeadingNumberOf(v));
                r.meetingDay = static_cast<int>(LeadingNumberOf(v.substr(v.find(U'回') + 3)));
            }
        }
        if (Has(Col::Meeting))
            r.meeting = IntOf(row, Col::Meeting);
        if (Has(Col::Day))
            r.meetingDay = IntOf(row, Col::Day);
        if (Has(Col::Number))
            r.key.number = IntOf(row, Col::Number);
        if (r.key.venue < 1 || r.key.venue > 10) {
            sink_.Malformed(name_, line, "競馬場が読めません");
            return false;
        }
        if (r.key.number < 1 || r.key.number > 12 || r.key.year == 0) {
            sink_.Malformed(name_, line, "レース番号が読めません");
            return false;
        }
        r.name = Trim(Cell(row, Col::RaceName));
        r.grade = GradeOfName(r.name);
        r.classText = Trim(Cell(row, Col::Class));
        r.conditions = Trim(Cell(row, Col::Conditions));
        ParseCourse(Cell(row, Col::Distance), r.surface, r.direction, r.distance);
        if (char32_t s = ParseSurface(Cell(row, Col::Surface)))
            r.surface = s;
        if (Text d = Normalize(Cell(row, Col::Direction));
            !d.empty() && (d[0] == U'右' || d[0] == U'左' || d[0] == U'直'))
            r.direction = d[0];
        r.weather = Trim(Cell(row, Col::Weather));
        r.going = ParseGoing(Cell(row, Col::Going));
        r.last4f = ParseTenths(Cell(row, Col::Last4f));
        r.last3f = ParseTenths(Cell(row, Col::Last3f));
        r.furlongTimes = LapTenths(Cell(row, Col::Laps));
        const Col orders[] = { Col::Order1, Col::Order2, Col::Order3, Col::Order4 };
        for (int c = 0; c < 4; ++c)
            r.cornerOrders[c] = Trim(Cell(row, orders[c]));
        r.startTime = Has(Col::StartTime) ? ParseStartTime(Cell(row, Col::StartTime)) : -1;
        r.prizes = Trim(Cell(row, Col::Prizes));
        r.addedPrizes = Trim(Cell(row, Col::AddedPrizes));
        r.edition = IntOf(row, Col::Edition);
        return true;
    }

    void RunnerRow(const std::vector<Text>& row, long line, const RaceKey& key)
    {
        RunnerRecord x;
        x.race = key;
        x.number = IntOf(row, Col::HorseNumber);
        x.horseName = Trim(Cell(row, Col::HorseName));
        Finish f = ParseFinish(Cell(row, Col::Finish));
        if (x.number < 1 || x.number > 28) {
            // Scratched horses of some tables carry no number; nothing can key them.
            sink_.Malformed(name_, line, "馬番が読めません");
            return;
        }
        if (x.horseName.empty() && !Has(Col::HorseId)) {
            sink_.Malformed(name_, line, "馬名がありません");
            return;
        }
        x.frame = IntOf(row, Col::Frame);
        if (x.frame > 8)
            x.frame = 0;
        x.horseId = ToUtf8(Normalize(Cell(row, Col::HorseId)));
        ParseSexAge(Cell(row, Col::SexAge), x.sex, x.age);
        if (Has(Col::Sex))
            x.sex = ParseSex(Cell(row, Col::Sex));
        if (Has(Col::Age))
            x.age = IntOf(row, Col::Age);
        x.carriedTenths = ParseTenths(Cell(row, Col::Carried));
        x.jockeyName = Trim(Cell(row, Col::Jockey));
        x.jockeyId = ToUtf8(Normalize(Cell(row, Col::JockeyId)));
        x.finish = f.place;
        x.abnormal = f.abnormal;
        x.timeTenths = ParseTimeTenths(Cell(row, Col::Time));
        x.margin = Trim(Cell(row, Col::Margin));
        ParsePassing(Cell(row, Col::Passing), x.corners);
        const Col corners[] = { Col::Corner1, Col::Corner2, Col::Corner3, Col::Corner4 };
        for (int c = 0; c < 4; ++c)
            if (Has(corners[c]))
                x.corners[c] = std::clamp(IntOf(row, corners[c]), 0, 28);
        x.last3fTenths = ParseTenths(Cell(row, Col::RunnerLast3f));
        x.winOddsTenths = ParseTenths(Cell(row, Col::Odds));
        x.popularity = std::clamp(IntOf(row, Col::Popularity), 0, 28);
        ParseBodyWeight(Cell(row, Col::BodyWeight), x.bodyWeight, x.bodyWeightChange, x.bodyWeightChangeKnown);
        if (Has(Col::WeightChange))
            x.bodyWeightChangeKnown = ParseWeightChange(Cell(row, Col::WeightChange), x.bodyWeightChange);
        x.mark = Trim(Cell(row, Col::Mark));
        if (x.mark.size() >= 2 && (x.mark.front() == U'(' || x.mark.front() == U'（')
            && (x.mark.back() == U')' || x.mark.back() == U'）'))
            x.mark = x.mark.substr(1, x.mark.size() - 2);
        sink_.Runner(x);
    }

    bool Has(Col c) const { return index_[static_cast<std::size_t>(c)] >= 0; }
    std::size_t Width() const { return width_; }
    const std::map<Col, std::size_t>& Columns() const { return cols_; }

    const Text& Cell(const std::vector<Text>& row, Col c) const
    {
        static const Text none;
        const long i = index_[static_cast<std::size_t>(c)];
        return i >= 0 && static_cast<std::size_t>(i) < row.size() ? row[static_cast<std::size_t>(i)] : none;
    }

    int IntOf(const std::vector<Text>& row, Col c) const
    {
        double v = LeadingNumberOf(Cell(row, c));
        return v >= 0 && v < 1e6 ? static_cast<int>(v) : 0;
    }

    static double LeadingNumberOf(const Text& t)
    {
        Text n = Normalize(t);
        long v = 0;
        bool any = false;
        for (char32_t ch : n) {
            if (ch < U'0' || ch > U'9')
                break;
            v = v * 10 + static_cast<long>(ch - U'0');
            any = true;
            if (v > 1000000)
                break;
        }
        return any ? static_cast<double>(v) : 0;
    }

    RecordSink& sink_;
    std::string name_;

private:
    std::map<Col, std::size_t> cols_;
    std::vector<long> index_ = std::vector<long>(static_cast<std::size_t>(Col::Mark) + 1, -1);
    std::size_t width_ = 0;
};

} // namespace

bool LooksLikeCsv(std::string_view head)
{
    bool utf8 = false;
    Text first = FirstLine(head, utf8);
    if (first.find(U',') == Text::npos)
        return false;
    std::map<Col, std::size_t> cols = MapHeader(csv::SplitRow(first));
    return KindOf(cols) != FileKind::Unknown;
}

void ReadCsv(const std::filesystem::path& file, RecordSink& sink)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw UserError(U"ファイル(" + FromUtf8(file.string()) + U")を開けません。");
    std::string head(64 * 1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    in.clear();
    in.seekg(0);
    bool utf8 = false;
    FirstLine(head, utf8);

    Reader reader(file, sink);
    FileKind kind = FileKind::Unknown;
    std::set<long long> racesSeen;
    Text lastRawKey;
    RaceKey lastKey;
    RaceRecord cardRace;
    bool cardRaceRead = false, cardRunnersHeader = false;
    std::string bytes;
    long line = 0;
    while (std::getline(in, bytes)) {
        ++line;
        const long firstLine = line;
        if (line == 1 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
            bytes.erase(0, 3);
        if (!bytes.empty() && bytes.back() == '\r')
            bytes.pop_back();
        std::optional<Text> text = DecodeLine(bytes, utf8);
        // A quoted field may hold line breaks: the record goes on over the next lines.
        while (text && OpenQuote(*text) && std::getline(in, bytes)) {
            ++line;
            if (!bytes.empty() && bytes.back() == '\r')
                bytes.pop_back();
            std::optional<Text> more = DecodeLine(bytes, utf8);
            text = more ? std::optional<Text>(*text + U"\n" + *more) : std::nullopt;
        }
        if (sink.Cancelled())
            return;
        if (!text) {
            sink.Malformed(file.string(), firstLine,
                utf8 ? "UTF-8 として読めない文字があります" : "CP932 として読めない文字があります");
            continue;
        }
        if (text->find_first_not_of(U" ,\t") == Text::npos)
            continue; // blank lines and rows of empty cells
        std::vector<Text> row = SplitRow(*text);
        if (kind == FileKind::Unknown) {
            reader.Header(row);
            kind = reader.Kind();
            if (kind == FileKind::Unknown)
                throw UserError(U"ファイル(" + FromUtf8(file.string()) + U")の見出し行が読めません。");
            continue;
        }
        if (kind == FileKind::Card && cardRaceRead && !cardRunnersHeader) {
            // The card's second header names the entrant columns.
            reader.Header(row);
            cardRunnersHeader = reader.Has(Col::HorseNumber) || reader.Has(Col::HorseName);
            if (!cardRunnersHeader) {
                sink.Malformed(file.string(), firstLine, "出走馬の見出し行(馬番,馬名,…)がありません");
                return;
            }
            continue;
        }
        if (row.size() < reader.Width() && !(kind == FileKind::Card && cardRunnersHeader)) {
            sink.Malformed(file.string(), firstLine,
                "列が足りません(" + std::to_string(row.size()) + "/" + std::to_string(reader.Width()) + ")");
            continue;
        }
        switch (kind) {
        case FileKind::Runners: {
            // Rows of one race repeat its columns: the race is read once, the later rows only find its key.
            Text rawKey = reader.Cell(row, Col::RaceId) + U"," + reader.Cell(row, Col::Date) + U","
                + reader.Cell(row, Col::Venue) + U"," + reader.Cell(row, Col::Number);
            if (rawKey == lastRawKey) {
                reader.RunnerRow(row, firstLine, lastKey);
                break;
            }
            RaceRecord r;
            if (!reader.RaceOf(row, firstLine, r))
                break;
            lastRawKey = rawKey;
            lastKey = r.key;
            Finish f = ParseFinish(reader.Cell(row, Col::Finish));
            r.hasResult = reader.Has(Col::Finish) && (f.known || ParseTimeTenths(reader.Cell(row, Col::Time)) > 0);
            if (racesSeen.insert(r.key.Id()).second)
                sink.Race(r);
            reader.RunnerRow(row, firstLine, r.key);
            break;
        }
        case FileKind::Corners: {
            RaceRecord r;
            if (!ParseRaceId(reader.Cell(row, Col::RaceId), r.key, r.meeting, r.meetingDay)) {
                sink.Malformed(file.string(), firstLine, "レースIDが読めません");
                break;
            }
            const Col corners[] = { Col::Corner1, Col::Corner2, Col::Corner3, Col::Corner4 };
            for (int c = 0; c < 4; ++c)
                r.cornerOrders[c] = Trim(reader.Cell(row, corners[c]));
            sink.Race(r);
            break;
        }
        case FileKind::Card:
            if (!cardRaceRead) {
                if (!reader.RaceOf(row, firstLine, cardRace))
                    return; // without its race the entrants cannot be placed
                sink.Race(cardRace);
                cardRaceRead = true;
            } else {
                reader.RunnerRow(row, firstLine, cardRace.key);
            }
            break;
        case FileKind::Unknown:
            break;
        }
    }
}

} // namespace pado::sources
