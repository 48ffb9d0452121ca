#include <algorithm>
#include <fstream>
#include <map>
#include <set>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "sources/csv_columns.h"
#include "sources/csv_fields.h"
#include "sources/csv_lines.h"
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

// The fields by the names a --columns file and the manual use, with the header names the common tables, data
// sets and scraped files give them. "1コーナー".."4コーナー" and passing_order_1..4 are a runner's positions in a
// file of runners and the race's order texts in a corner file; the reader sorts that out per file.
struct FieldNames {
    Col col;
    const char* field;
    std::vector<const char32_t*> headers;
};

const std::vector<FieldNames>& Fields()
{
    static const std::vector<FieldNames> fields = {
        { Col::RaceId, "race_id", { U"レースID", U"raceid" } },
        { Col::Date, "race_date", { U"日付", U"レース日付", U"開催日", U"年月日", U"date" } },
        { Col::Venue, "venue",
            { U"場", U"場名", U"競馬場", U"競馬場名", U"開催", U"racecourse", U"race_course", U"place",
                U"venue_name" } },
        { Col::Meeting, "meeting", { U"回", U"開催回数", U"開催回", U"kai" } },
        { Col::Day, "meeting_day", { U"日", U"日目", U"開催日数", U"開催日目", U"nichi" } },
        { Col::Number, "race_number",
            { U"R", U"Ｒ", U"レース", U"レース番号", U"ラウンド", U"race_no", U"race_num", U"round" } },
        { Col::RaceName, "race_name", { U"レース名", U"競走名", U"race_title" } },
        { Col::Class, "race_class", { U"クラス", U"クラス名", U"class" } },
        { Col::Conditions, "conditions", { U"条件", U"競走条件", U"競争条件", U"race_condition", U"race_conditions" } },
        { Col::Surface, "surface",
            { U"芝ダ", U"芝・ダート", U"芝・ダート区分", U"芝・ダ", U"コース", U"トラック", U"track_type",
                U"course_type", U"ground", U"turf_dirt" } },
        { Col::Distance, "distance", { U"距離", U"距離(m)", U"course_length", U"dist" } },
        { Col::Direction, "direction", { U"回り", U"右左", U"turn" } },
        { Col::Weather, "weather", { U"天候", U"天気" } },
        { Col::Going, "going", { U"馬場", U"馬場状態", U"track_condition", U"ground_condition", U"ground_state" } },
        { Col::Last4f, "race_last_4f", { U"上り4F" } },
        { Col::Last3f, "race_last_3f", { U"上り3F" } },
        { Col::Laps, "lap_times", { U"ラップ", U"laps", U"lap_time", U"lap" } },
        { Col::Order1, "corner_order_1", { U"コーナー通過順1" } },
        { Col::Order2, "corner_order_2", { U"コーナー通過順2" } },
        { Col::Order3, "corner_order_3", { U"コーナー通過順3" } },
        { Col::Order4, "corner_order_4", { U"コーナー通過順4" } },
        { Col::StartTime, "start_time", { U"発走", U"発走時刻", U"post_time" } },
        { Col::Prizes, "prize", { U"本賞金", U"賞金", U"prize_money", U"prizes" } },
        { Col::AddedPrizes, "added_prize", { U"付加賞金" } },
        { Col::Edition, "edition", { U"回次" } },
        { Col::Finish, "finish_position",
            { U"着順", U"着", U"rank", U"finish", U"finishing_position", U"arrival_order", U"result" } },
        { Col::Frame, "bracket_number", { U"枠番", U"枠", U"frame_number", U"bracket", U"waku", U"gate_number" } },
        { Col::HorseNumber, "horse_number", { U"馬番", U"horse_no", U"horse_num", U"umaban" } },
        { Col::HorseName, "horse_name", { U"馬名", U"horse" } },
        { Col::HorseId, "horse_id", { U"馬ID", U"血統登録番号" } },
        { Col::SexAge, "sex_age", { U"性齢", U"sexage", U"sex_and_age" } },
        { Col::Sex, "sex", { U"性", U"性別", U"gender" } },
        { Col::Age, "age", { U"年齢", U"馬齢", U"horse_age" } },
        { Col::Carried, "weight_carried",
            { U"斤量", U"負担重量", U"burden_weight", U"impost", U"carried_weight", U"handicap_weight", U"kinryo" } },
        { Col::Jockey, "jockey_name", { U"騎手", U"騎手名", U"jockey" } },
        { Col::JockeyId, "jockey_id", { U"騎手ID", U"騎手コード", U"jockey_code" } },
        { Col::Time, "finish_time", { U"タイム", U"走破タイム", U"走破時間", U"time", U"race_time" } },
        { Col::Margin, "margin", { U"着差", U"margin_text" } },
        { Col::Passing, "passing_order", { U"通過", U"通過順", U"コーナー通過順", U"passing", U"corner_passing" } },
        { Col::Corner1, "passing_order_1", { U"1コーナー", U"corner_1", U"corner1" } },
        { Col::Corner2, "passing_order_2", { U"2コーナー", U"corner_2", U"corner2" } },
        { Col::Corner3, "passing_order_3", { U"3コーナー", U"corner_3", U"corner3" } },
        { Col::Corner4, "passing_order_4", { U"4コーナー", U"corner_4", U"corner4" } },
        { Col::RunnerLast3f, "last_3f_time",
            { U"上り", U"上がり", U"上り3F(馬)", U"上がり3F", U"last_3f", U"last3f", U"final_3f", U"agari" } },
        { Col::Odds, "win_odds", { U"単勝", U"単勝オッズ", U"オッズ", U"odds", U"tansho_odds" } },
        { Col::Popularity, "popularity", { U"人気", U"単勝人気", U"favorite", U"ninki" } },
        { Col::BodyWeight, "horse_weight", { U"馬体重", U"体重", U"body_weight" } },
        { Col::WeightChange, "horse_weight_change",
            { U"場体重増減", U"馬体重増減", U"増減", U"体重増減", U"weight_change", U"horse_weight_diff",
                U"weight_diff" } },
        { Col::Mark, "horse_mark", { U"記号", U"馬記号", U"mark" } },
    };
    return fields;
}

// A header cell as it is looked up: full-width digits and marks made plain, a byte order mark dropped, ASCII
// letters in lower case and spaces, hyphens and dots as underscores, so "Horse Name" finds horse_name.
Text HeaderKey(Text name)
{
    if (!name.empty() && name[0] == U'\uFEFF')
        name.erase(0, 1);
    name = Normalize(name);
    for (char32_t& c : name) {
        if (c >= U'A' && c <= U'Z')
            c = c - U'A' + U'a';
        else if (c == U' ' || c == U'-' || c == U'.')
            c = U'_';
    }
    return name;
}

const std::map<Text, Col>& Names()
{
    static const std::map<Text, Col> names = [] {
        std::map<Text, Col> m;
        for (const FieldNames& f : Fields()) {
            m.emplace(HeaderKey(FromUtf8(f.field)), f.col);
            for (const char32_t* h : f.headers)
                m.emplace(HeaderKey(h), f.col);
        }
        return m;
    }();
    return names;
}

std::optional<Col> ColOfField(std::string_view field)
{
    for (const FieldNames& f : Fields())
        if (field == f.field)
            return f.col;
    return std::nullopt;
}

// The columns a header places, the user's own names first; unrecognised collects the cells it does not.
std::map<Col, std::size_t> MapHeader(
    const std::vector<Text>& cells, const ReadOptions& options, std::vector<Text>* unrecognised = nullptr)
{
    std::map<Text, Col> user;
    for (const auto& [column, field] : options.csvColumns)
        if (std::optional<Col> c = ColOfField(field))
            user[HeaderKey(FromUtf8(column))] = *c;
    std::map<Col, std::size_t> cols;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Text key = HeaderKey(cells[i]);
        std::optional<Col> col;
        if (auto u = user.find(key); u != user.end())
            col = u->second;
        else if (auto n = Names().find(key); n != Names().end())
            col = n->second;
        if (col)
            cols.emplace(*col, i);
        else if (unrecognised && !key.empty())
            unrecognised->push_back(Trim(cells[i]));
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
    std::string_view line = head.substr(0, head.find_first_of("\r\n"));
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

    void Header(const std::vector<Text>& cells, std::vector<Text>* unrecognised = nullptr)
    {
        cols_ = MapHeader(cells, sink_.Options(), unrecognised);
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
    // Any header of named columns is taken as CSV, placed or not: a file of unknown columns is then refused
    // with what was not recognised, rather than called a file of no kind.
    bool utf8 = false;
    Text first = FirstLine(head, utf8);
    if (first.empty() || first.size() > 4096 || first.find(U',') == Text::npos)
        return false;
    std::vector<std::string> bytes;
    if (!SplitFields(ToUtf8(first), bytes) || bytes.size() < 2)
        return false;
    std::size_t named = 0, filled = 0;
    for (const std::string& b : bytes) {
        Text cell = Trim(FromUtf8(b));
        if (std::any_of(cell.begin(), cell.end(), [](char32_t c) { return c < 0x20 || c == 0x7F; }))
            return false;
        const bool number = !cell.empty()
            && std::all_of(cell.begin(), cell.end(), [](char32_t c) { return (c >= U'0' && c <= U'9') || c == U'.'; });
        named += !cell.empty() && !number;
        filled += !cell.empty();
    }
    return named > 0 && named * 2 >= filled;
}

namespace {

// A cell of a header for a message: control characters and the like never reach the terminal, long names cut.
std::string Shown(const Text& cell)
{
    std::string out;
    std::size_t n = 0;
    for (char32_t c : cell) {
        if (++n > 40) {
            out += "…";
            break;
        }
        out += c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || (c >= 0xDC80 && c <= 0xDCFF) ? "?"
                                                                                                : ToUtf8(Text(1, c));
    }
    return out;
}

// Why a header cannot be placed: the columns not recognised and the fields a file of runners still lacks.
std::string HeaderProblem(const std::vector<Text>& unrecognised, const std::map<Col, std::size_t>& cols)
{
    auto has = [&](Col c) { return cols.count(c) > 0; };
    std::vector<std::string> missing;
    if (!has(Col::RaceId)) {
        std::string race;
        for (auto [c, name] :
            { std::pair { Col::Date, "race_date" }, { Col::Venue, "venue" }, { Col::Number, "race_number" } })
            if (!has(c))
                race += (race.empty() ? "" : ", ") + std::string(name);
        if (!race.empty())
            missing.push_back("race_id (または " + race + ")");
    }
    if (!has(Col::HorseNumber))
        missing.push_back("horse_number");
    if (!has(Col::HorseName) && !has(Col::HorseId))
        missing.push_back("horse_name");
    std::string text = "見出し行の列を読み取れません。";
    if (!unrecognised.empty()) {
        text += "分からない列: ";
        for (std::size_t i = 0; i < unrecognised.size() && i < 30; ++i)
            text += (i ? ", " : "") + Shown(unrecognised[i]);
        if (unrecognised.size() > 30)
            text += " ほか" + std::to_string(unrecognised.size() - 30) + "列";
        text += "。";
    }
    if (!missing.empty()) {
        text += "足りない項目: ";
        for (std::size_t i = 0; i < missing.size(); ++i)
            text += (i ? ", " : "") + missing[i];
        text += "。";
    }
    return text + "列と項目の対応は --columns で指定できます。";
}

// The fields of a record as text; false when a field does not decode.
bool DecodeFields(const std::vector<std::string>& fields, bool utf8, std::vector<Text>& row)
{
    row.clear();
    for (const std::string& f : fields) {
        std::optional<Text> t = DecodeLine(f, utf8);
        if (!t)
            return false;
        row.push_back(std::move(*t));
    }
    return true;
}

} // namespace

void ReadCsv(const std::filesystem::path& file, RecordSink& sink)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw UserError(U"ファイル(" + FromUtf8(file.string()) + U")を開けません。");
    // Read as a stream from the start (an archive member arrives through a pipe): the head decides the encoding
    // and is then read as the first lines.
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    in.clear();
    bool utf8 = false;
    FirstLine(head, utf8);
    if (head.compare(0, 3, "\xEF\xBB\xBF") == 0)
        head.erase(0, 3);

    const std::string name = file.string();
    Reader reader(file, sink);
    FileKind kind = FileKind::Unknown;
    std::set<long long> racesSeen;
    Text lastRawKey;
    RaceKey lastKey;
    RaceRecord cardRace;
    bool cardRaceRead = false, cardRunnersHeader = false;
    std::size_t width = 0;
    RecordSource records(in, std::move(head));
    RecordSource::Record rec;
    std::vector<Text> row;
    while (records.Next(rec, width)) {
        if (sink.Cancelled())
            return;
        const long firstLine = rec.line;
        if (rec.problem != RecordSource::Problem::None) {
            const std::string why = rec.problem == RecordSource::Problem::Cut
                ? "行が長すぎます(" + std::to_string(rec.length) + "バイト、読むのは" + std::to_string(kMaxLineBytes)
                    + "バイトまで)"
                : "引用符(\")が閉じていないため列に分けられません";
            if (kind == FileKind::Unknown)
                throw UserError(U"ファイル(" + FromUtf8(name) + U")の見出し行を読めません: " + FromUtf8(why));
            sink.Malformed(name, firstLine, why);
            continue;
        }
        if (!DecodeFields(rec.fields, utf8, row)) {
            sink.Malformed(
                name, firstLine, utf8 ? "UTF-8 として読めない文字があります" : "CP932 として読めない文字があります");
            continue;
        }
        if (std::all_of(
                row.begin(), row.end(), [](const Text& t) { return t.find_first_not_of(U" \t") == Text::npos; }))
            continue; // blank lines and rows of empty cells
        if (kind == FileKind::Unknown) {
            std::vector<Text> unrecognised;
            reader.Header(row, &unrecognised);
            kind = reader.Kind();
            const auto& c = reader.Columns();
            if (kind == FileKind::Runners && !c.count(Col::RaceId)
                && !(c.count(Col::Date) && c.count(Col::Venue) && c.count(Col::Number)))
                kind = FileKind::Unknown; // runners that no race can be found for
            if (kind == FileKind::Unknown)
                throw UserError(U"ファイル(" + FromUtf8(name) + U"): " + FromUtf8(HeaderProblem(unrecognised, c)));
            width = reader.Width();
            continue;
        }
        if (kind == FileKind::Card && cardRaceRead && !cardRunnersHeader) {
            // The card's second header names the entrant columns.
            reader.Header(row);
            cardRunnersHeader = reader.Has(Col::HorseNumber) || reader.Has(Col::HorseName);
            if (!cardRunnersHeader) {
                sink.Malformed(name, firstLine, "出走馬の見出し行(馬番,馬名,…)がありません");
                return;
            }
            width = reader.Width();
            continue;
        }
        if (row.size() < reader.Width() && !(kind == FileKind::Card && cardRunnersHeader)) {
            sink.Malformed(name, firstLine,
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
                sink.Malformed(name, firstLine, "レースIDが読めません");
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

std::map<std::string, std::string> ReadColumnMapping(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw UserError(U"列の対応ファイル(" + FromUtf8(file.string()) + U")を開けません。");
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    in.clear();
    if (in.peek() != std::char_traits<char>::eof())
        throw UserError(U"列の対応ファイル(" + FromUtf8(file.string()) + U")が大きすぎます。");
    const bool utf8 = ValidUtf8(head, false);
    std::map<std::string, std::string> mapping;
    LineSource lines(in, head);
    LineSource::Line line;
    while (lines.Next(line)) {
        auto fail = [&](const std::string& why) {
            throw UserError(U"列の対応ファイル(" + FromUtf8(file.string()) + U") " + ToText(line.number) + U"行目: "
                + FromUtf8(why));
        };
        std::string bytes = line.bytes;
        if (line.number == 1 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
            bytes.erase(0, 3);
        std::optional<Text> text = DecodeLine(bytes, utf8);
        if (!text)
            fail("UTF-8 としても CP932 としても読めません");
        const Text t = Trim(*text);
        if (t.empty() || t[0] == U'#')
            continue;
        const std::size_t eq = t.rfind(U'=');
        if (eq == Text::npos)
            fail("「列名=項目名」の形ではありません");
        const Text column = Trim(t.substr(0, eq));
        const std::string field = ToUtf8(Trim(t.substr(eq + 1)));
        if (column.empty())
            fail("列名がありません");
        if (!ColOfField(field))
            fail("項目名「" + Shown(FromUtf8(field)) + "」はありません(マニュアルの一覧にある名前を使います)");
        mapping[ToUtf8(column)] = field;
    }
    return mapping;
}

const std::vector<std::string>& CsvFieldNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const FieldNames& f : Fields())
            v.push_back(f.field);
        return v;
    }();
    return names;
}

} // namespace pado::sources
